// The clipboard: reading it for pasting files (the file list Explorer's Copy puts there, or a
// text), and putting text there as Unicode text (CF_UNICODETEXT), which every program can read
// whatever its code page: a path in Chinese reaches a program running in another code page intact.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tk {

struct ClipboardFiles {
    bool HasFileList = false;             // files or folders copied (clipboard format CF_HDROP)
    std::vector<std::wstring> FileNames;  // their names, in order
    bool HasText = false;                 // no file list, but a text
    std::wstring Text;
};

// What the clipboard holds now: its file list if it has one, otherwise its text, otherwise
// nothing. Throws tk::Exception when the clipboard stays held open by another program.
ClipboardFiles ReadClipboardFiles(HWND owner);

// The text of a clipboard text block (CF_UNICODETEXT) of the given size in bytes: up to its first
// zero, and never past its end.
std::wstring ClipboardTextOf(const void* block, size_t size);

// Replaces what the clipboard holds with the text; owner (may be nullptr) owns the clipboard
// afterwards. False when the text could not be put there.
bool SetClipboardText(HWND owner, const std::wstring& text);

}  // namespace tk
