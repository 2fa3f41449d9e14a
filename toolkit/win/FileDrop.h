// Files and folders dragged from the shell (Explorer, a file dialog, any program that drags file
// names) and dropped onto a window. The window becomes an OLE drop target, which is how Explorer
// drops: the target tells the dragging program during the drag whether it takes the data and
// with which effect, so the program never offers to move the dragged files. (The older way, the
// WM_DROPFILES message of DragAcceptFiles, gives neither.)
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/win/ScopedOle.h"

namespace tk {

// The names a file list (clipboard format CF_HDROP, as Explorer drags and copies files) holds, in
// its order.
std::vector<std::wstring> FileListNames(HDROP list);
// The same from the list's memory block of the given size (a DROPFILES header, then the names in
// UTF-16 or the ANSI code page). Only the block is read: a list that runs past its end gives the
// names complete before the end.
std::vector<std::wstring> ParseFileList(const void* block, size_t size);

// The effect a drop of file names takes when the dragging program allows the given effects: a
// link (the files stay where they are and something refers to them), else a copy; never a move,
// after which the dragging program would delete what it dragged.
DWORD FileDropEffect(DWORD allowed);

class FileDropTarget {
public:
    using DropHandler = std::function<void(const std::vector<std::wstring>& names)>;

    // Makes the window a drop target for file lists while the object lives. The handler runs once
    // the drop has returned to the dragging program (so that a message the handler shows does not
    // hold that program up), through the application's error box for what it throws. Throws
    // tk::Exception when the window cannot be registered.
    FileDropTarget(HWND window, DropHandler onDrop);
    ~FileDropTarget();
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

private:
    class Target;
    void Deliver(std::vector<std::wstring> names);
    static LRESULT CALLBACK DeliveryProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    OleScope ole_;
    HWND window_;
    DropHandler onDrop_;
    std::deque<std::vector<std::wstring>> pending_;
    ScopedWindow delivery_;
    ScopedComPtr<Target> target_;
    bool registered_ = false;
};

}  // namespace tk
