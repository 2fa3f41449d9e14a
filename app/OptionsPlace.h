// Where the editor and the folder menu keep options.ini. Both programs take the file from here, so
// they always read and write the same one (the editor its [Options], the menu its [FolderMenu]).
// Platform-free: the caller finds out whether the file and the folder are there and writable.
#pragma once

#include <string>

namespace qd {

struct OptionsPlace {
    std::wstring File;          // the options.ini to read and write
    bool PerUser = false;       // File is the user's own, in the application data folder
    bool CopyBesideFirst = false;  // the per-user file starts as a copy of the one beside the program
};

// programFolder: the programs' folder (without a trailing backslash); besideExists: options.ini is
// there; folderWritable: the user may make files there; appData: the user's roaming application
// data folder ("" when unknown).
// A folder the user may write to is the user's own (a portable copy, a per-user install): the
// options live beside the program. A folder the user may not write to (an install for all users
// in Program Files) gets each user's options in appData\Quiverdir\options.ini, which starts as a
// copy of the file beside the program when there is one. Without appData, the file beside the
// program is used (a save then says it cannot be written).
OptionsPlace ChooseOptionsPlace(const std::wstring& programFolder, bool besideExists, bool folderWritable,
                                const std::wstring& appData);

}  // namespace qd
