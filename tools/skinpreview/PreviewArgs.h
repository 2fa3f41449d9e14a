// The skin preview's command line: a built-in style by name, or a skin file with an optional
// password.
#pragma once

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

inline constexpr wchar_t kPreviewUsage[] =
    L"Usage: SkinPreview.exe --style MacOS|WinXP|DeepBlue|Protein|BlueGlass\n"
    L"       SkinPreview.exe --skin FILE [--password PASSWORD]";

}  // namespace preview
