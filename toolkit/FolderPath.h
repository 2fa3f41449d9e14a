// Platform-free parts of checking whether folders exist: what a check can find, and which part of
// a path answers for it (the computer of a network path, the drive of a local one), so that a
// computer that does not answer is asked once rather than once per folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tk {

enum class TFolderState {
    Present,  // the folder is there
    Missing,  // the system says there is no folder at that path
    Unknown,  // no clear answer: the drive or computer is absent or did not answer in time
};

// One answer of a folder check: the question's ticket, the path asked about and what was found.
struct TFolderAnswer {
    std::uint64_t Ticket;
    std::wstring Path;
    TFolderState State;
};

// True for a path from the root of a drive ("C:\", "C:/") or of a network share ("\\server\share");
// false for a relative path (".", "docs", "C:Temp", "\docs").
bool IsFullPath(std::wstring_view path);

// The part of a path that answers for it: "\\server" for a network path (also written
// "\\?\UNC\server\..." or with forward slashes), "X:" for a path on a drive (also "\\?\X:\..."),
// both with letters in lower case; empty for any other text (a relative path).
std::wstring FolderRoot(std::wstring_view path);

// The root folder of the drive or network share a path lies on, as a path that can be asked about:
// "X:\" or "\\server\share\" (device paths "\\?\X:\..." and "\\?\UNC\server\share\..." give
// the same); empty for any other text. A folder "not found" there is missing only while this root
// is there: on a drive that is not plugged in, every path is "not found".
std::wstring VolumeRoot(std::wstring_view path);

}  // namespace tk
