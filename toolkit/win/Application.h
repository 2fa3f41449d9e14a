// The application object: message loop with idle processing, the main form, title, minimise /
// restore / bring to front, an application-wide message hook, and the default error box for
// exceptions that escape an event handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace tk {

class TForm;

class TApplication {
public:
    void Initialize();

    // Creates the main form (the first form created this way) and keeps it until Run ends. A
    // form whose construction fails is reported through the error box and gives nullptr.
    template <typename F, typename... Args>
    F* CreateForm(Args&&... args) {
        F* form = nullptr;
        try {
            form = new F(std::forward<Args>(args)...);
        } catch (...) {
            HandleException(std::current_exception());
            return nullptr;
        }
        if (!mainForm_) mainForm_ = form;
        return form;
    }
    // Runs work on the user's behalf; an exception it raises goes to the error box.
    template <typename Fn>
    void Guarded(Fn&& work) {
        try {
            work();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // Shows the main form if it is hidden (its creation may have stopped before showing it), runs
    // the message loop until the main form closes, then frees the main form.
    void Run();
    // Handles every message waiting now, without waiting; then runs the idle work once.
    void ProcessMessages();
    // Takes one message (waiting for it when the queue is empty and idle work is done) and
    // dispatches it. Returns false when WM_QUIT was taken.
    bool HandleMessage();
    bool Terminated() const { return terminated_; }
    void Terminate();

    // The application's title; until one is set, the program's name (its file name without the
    // extension), so that boxes shown during start-up have a caption too.
    std::wstring Title() const;
    void SetTitle(const std::wstring& title) { title_ = title; }
    HICON Icon() const;

    void Minimize();
    void Restore();
    void BringToFront();
    bool IsMinimized() const;

    // Idle work: run when the queue has gone empty (action updates register here).
    using IdleHandler = std::function<void()>;
    int AddIdleHandler(IdleHandler handler);
    void RemoveIdleHandler(int id);
    void Idle();

    // Application-wide message hook: sees every message taken from the queue before it is
    // dispatched; returning true swallows it.
    using MessageHook = std::function<bool(MSG&)>;
    int AddMessageHook(MessageHook hook);
    void RemoveMessageHook(int id);

    // The default error box: the exception's message, captioned with the application title.
    void HandleException(std::exception_ptr error);
    // Replaces the error box (tests record errors instead of waiting on a box); empty restores it.
    using ExceptionHandler = std::function<void(const std::wstring& message)>;
    void SetExceptionHandler(ExceptionHandler handler) { exceptionHandler_ = std::move(handler); }

    // The application's message box, owned by the active window.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

private:
    bool ProcessMessage(MSG& msg);

    TForm* mainForm_ = nullptr;
    std::wstring title_;
    bool terminated_ = false;
    int nextId_ = 1;
    std::vector<std::pair<int, IdleHandler>> idleHandlers_;
    std::vector<std::pair<int, MessageHook>> hooks_;
    ExceptionHandler exceptionHandler_;
};

TApplication& Application();

// The text an error box shows for an exception: its message (UTF-8 text of a standard exception
// converted), or "Unknown error".
std::wstring ExceptionMessage(std::exception_ptr error);

}  // namespace tk
