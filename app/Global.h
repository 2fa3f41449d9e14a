// Shared routines and message texts of the program: the options record and its file, the
// executable's own path, the texts of message boxes.
#pragma once

#include <string>

namespace qd {

// Caption of every message box of the program.
constexpr wchar_t kMessageCaption[] = L"Quorvane快捷目录软件";
constexpr wchar_t kConfirmDelete[] = L"您确定要删除此项吗?";
constexpr wchar_t kSortHintAfterAscending[] = L"按别名降序排列";
constexpr wchar_t kSortHintAfterDescending[] = L"按别名升序排列";

struct TAppOptions {
    bool ExploreFolder = false;
    bool AskDelete = false;
    bool ShowTips = false;
};

// The process-wide options, all false until loaded.
extern TAppOptions AppOptions;

// Loads (load true) or saves the options in "options.ini" beside the executable.
void ReadWriteOptions(bool load);
// The same for a given file. A missing file or unreadable values load as the defaults; a file
// that cannot be written raises the INI error naming it.
void ReadWriteOptionsFile(const std::wstring& fileName, bool load);

std::wstring ExePath();            // full path and name of the running executable
std::wstring OptionsFilePath();    // folder of ExePath() + "options.ini"
std::wstring WindowsDirectory();   // as the system reports it

}  // namespace qd
