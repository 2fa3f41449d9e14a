// A question about folders for the folder probe that hangs on demand: a network path ("\\server\...")
// waits until the gate opens, as a server that does not answer keeps the system's call waiting;
// any other path is asked of the system. A question asked on the thread that made the gate (the
// window's) is counted and answered at once, so that a check asking there fails its test rather
// than hanging it.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "toolkit/win/FolderProbe.h"

namespace qdtest {

class FolderGate {
public:
    void Open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    int NetworkCalls() {
        std::lock_guard lock(mutex_);
        return networkCalls_;
    }
    int WindowThreadCalls() {
        std::lock_guard lock(mutex_);
        return windowThreadCalls_;
    }
    tk::TFolderState Ask(const std::wstring& path) {
        std::unique_lock lock(mutex_);
        if (GetCurrentThreadId() == windowThread_) {
            ++windowThreadCalls_;
            return tk::TFolderState::Unknown;
        }
        if (!path.starts_with(L"\\\\")) {
            lock.unlock();
            return tk::TestFolder(path);
        }
        ++networkCalls_;
        opened_.wait(lock, [this] { return open_; });
        return tk::TFolderState::Present;
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
    int networkCalls_ = 0, windowThreadCalls_ = 0;
    const DWORD windowThread_ = GetCurrentThreadId();
};

}  // namespace qdtest
