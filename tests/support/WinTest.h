// Helpers for tests of real windows and the real registry under Wine.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

namespace qdtest {

// Handles messages until the condition holds or the time runs out; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// Handles every waiting message, then runs the application's idle work.
void PumpIdle();

// A registry key below HKEY_CURRENT_USER that only this test uses; removed at the end.
class PrivateKey {
public:
    PrivateKey();
    ~PrivateKey();
    const std::wstring& Path() const { return path_; }
    void WriteString(const std::wstring& name, const std::wstring& value) const;
    void WriteDword(const std::wstring& name, DWORD value) const;
    // The value's text, or nullopt-like "<absent>" when it does not exist.
    std::wstring Read(const std::wstring& name) const;
    bool Has(const std::wstring& name) const;
    std::vector<std::wstring> ValueNames() const;

private:
    std::wstring path_;
};

// Answers the next message box that this thread shows by pressing the given button, as a
// person would, and records its text. It watches from a thread of its own, so it works whatever
// the box's loop is busy with.
class MessageBoxAnswerer {
public:
    // then: run on the watching thread once the box has been answered (posting the next step).
    explicit MessageBoxAnswerer(int buttonId, std::function<void()> then = nullptr);
    ~MessageBoxAnswerer();
    bool Answered() const { return answered_; }
    std::wstring Text() const;

private:
    void Watch();
    int buttonId_;
    std::function<void()> then_;
    DWORD uiThread_;
    std::atomic<bool> answered_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::wstring text_;
    std::thread watcher_;
};

// Answers the next open or save file dialog of this thread as a person would: types the file
// name into its name box and presses OK, or presses Cancel when the name is empty. Records the
// dialog's title.
class FileDialogAnswerer {
public:
    explicit FileDialogAnswerer(std::wstring fileName);
    ~FileDialogAnswerer();
    bool Answered() const { return answered_; }
    std::wstring Title() const;

private:
    void Watch();
    std::wstring fileName_;
    DWORD uiThread_;
    std::atomic<bool> answered_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::wstring title_;
    std::thread watcher_;
};

// A left click at client coordinates of a window, as the mouse would deliver it.
void ClickAt(HWND window, int x, int y);

// The Windows path of a file known by its build path (under Wine, Unix paths live on Z:).
std::wstring WindowsPath(const std::string& buildPath);

}  // namespace qdtest
