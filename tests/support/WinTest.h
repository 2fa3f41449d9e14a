// Helpers for tests of real windows and the real registry under Wine.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "toolkit/win/Scoped.h"

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

// Makes the program's painting fail while it lives: the canvas's drawing operations throw
// tk::Exception(message) the given number of times (-1: every time), then draw again.
class PaintFault {
public:
    explicit PaintFault(int times = 1, std::wstring message = L"Painting failed");
    ~PaintFault();
    int Thrown() const { return thrown_; }

private:
    int left_;
    std::atomic<int> thrown_{0};
    std::wstring message_;
};

// Answers every message box that this thread shows while it lives, as a person would, and counts
// them: how many were shown, the most that were up at the same time (a box opened from inside
// another box's loop) and their texts.
class MessageBoxCounter {
public:
    explicit MessageBoxCounter(int buttonId = IDOK);
    ~MessageBoxCounter();
    int Shown() const { return shown_; }
    int MostAtOnce() const { return mostAtOnce_; }
    std::vector<std::wstring> Texts() const;

private:
    void Watch();
    int buttonId_;
    DWORD uiThread_;
    std::atomic<int> shown_{0};
    std::atomic<int> mostAtOnce_{0};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::wstring> texts_;
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

// Looking at and answering windows of the user-interface thread from another thread, as a person
// would: find the window, read it, type into it, press its buttons. The functions that wait give
// up after timeoutMs and then return nullptr / false.

// A visible top-level window of the thread with that caption, or (empty caption) of that class.
HWND WaitForTopWindow(DWORD thread, const std::wstring& caption, const std::wstring& className = L"",
                      int timeoutMs = 5000);
// A visible message box or system dialog (class #32770) of the thread.
HWND WaitForSystemDialog(DWORD thread, int timeoutMs = 5000);
bool WaitUntilGone(HWND window, int timeoutMs = 5000);
// The texts of a box's static controls, joined.
std::wstring DialogText(HWND box);
// Presses a button of a message box or system dialog by its identifier.
void PressDialogButton(HWND box, int id);
// The index-th descendant window of the given class (in window order, depth first), or nullptr.
HWND FindDescendant(HWND parent, const std::wstring& className, int index = 0);
// The descendant whose text is exactly text, or nullptr.
HWND FindDescendantByText(HWND parent, const std::wstring& text);
std::wstring WindowText(HWND window);
void SetWindowTextFromOutside(HWND window, const std::wstring& text);
void PressButton(HWND button);
// The window that has the keyboard focus in the thread.
HWND FocusOf(DWORD thread);

// Records which windows of the constructing thread are given the keyboard focus (WM_SETFOCUS),
// whatever happens to the focus afterwards: on a shared display another program's window may take
// the activation away again at any moment.
class FocusRecorder {
public:
    FocusRecorder();
    ~FocusRecorder();
    void Clear();
    bool Received(HWND window) const;

private:
    tk::ScopedHook hook_;
};

// Runs a script on a thread of its own while the user-interface thread is busy in a modal loop;
// joined on destruction. Whatever top-level window of the user-interface thread is still shown
// when the script ends, other than the given main window, is closed, so that a failed script
// never leaves a modal loop waiting.
class UiScript {
public:
    UiScript(HWND mainWindow, std::function<void(DWORD uiThread)> script);
    ~UiScript();
    void Join();

private:
    HWND main_;
    DWORD uiThread_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// A left click at client coordinates of a window, as the mouse would deliver it.
void ClickAt(HWND window, int x, int y);
void DoubleClickAt(HWND window, int x, int y);

// The Windows path of a file known by its build path (under Wine, Unix paths live on Z:).
std::wstring WindowsPath(const std::string& buildPath);

}  // namespace qdtest
