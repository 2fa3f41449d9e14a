// The skin preview's command line: a built-in style by name, or a skin file with an optional
// password.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "skin/theme/ThemeItems.h"

namespace preview {

struct PreviewArgs {
    TsuiUIStyle Style = TsuiUIStyle::DeepBlue;  // FromThemeFile with a skin file
    std::wstring SkinFile;
    std::wstring Password;
    std::wstring Error;  // not empty when the command line was refused
};

// The built-in style of that name (MacOS, WinXP, DeepBlue, Protein, BlueGlass; letter case
// ignored), or nothing.
std::optional<TsuiUIStyle> StyleByName(const std::wstring& name);
std::wstring StyleName(TsuiUIStyle style);

// Reads "--style NAME" or "--skin FILE [--password P]"; no argument means DeepBlue. Anything else
// gives an error text naming what is wrong.
PreviewArgs ParsePreviewArgs(const std::vector<std::wstring>& args);

// The skin file as the preview hands it to its theme: a relative path is taken from the given
// current folder, where the skin author stands (the theme would otherwise also look for its name
// beside the program and in the Windows folders), and keeps naming that file after a file dialog
// has changed the current folder. An absolute path stays as it is; "." and ".." are resolved.
std::wstring ResolveSkinPath(const std::wstring& file, const std::filesystem::path& currentFolder);

inline constexpr wchar_t kPreviewUsage[] =
    L"Usage: SkinPreview.exe --style MacOS|WinXP|DeepBlue|Protein|BlueGlass\n"
    L"       SkinPreview.exe --skin FILE [--password PASSWORD]";

}  // namespace preview
