// The application object: message loop with idle processing, the main form, title, minimise /
// restore / bring to front, an application-wide message hook, and the default error box for
// exceptions that escape an event handler.
#pragma once

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tk {

class TForm;

// Messages during which no modal box may be shown: painting (client, frame, background, printing),
// item drawing and measuring, frame calculation, control colours, custom draw notifications,
// activation, hit-testing and cursor shape, size limits and timer ticks. A box shown there lets
// its own message loop deliver the same message again, which fails again and opens another box,
// without end. Reflected messages (CN_BASE + the message) count as the message.
bool MustNotInterrupt(UINT msg, WPARAM wParam, LPARAM lParam);

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

    // Runs a window's handler for a message; nothing it throws unwinds through the window system.
    // An exception raised while handling an ordinary message goes to the error box at once. One
    // raised during a message that must not be interrupted (MustNotInterrupt) is put aside: the
    // window's update region is validated so that painting does not repeat, and the box is shown
    // once the message has returned (ShowDeferredErrors). The handler returns the message result;
    // a failed message returns 0 (TRUE for WM_NCACTIVATE, which must not block the change).
    template <typename Fn>
    LRESULT HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, Fn&& handler) {
        const bool quiet = MustNotInterrupt(msg, wParam, lParam);
        QuietScope scope(*this, quiet);
        try {
            return handler();
        } catch (...) {
            return MessageFailed(std::current_exception(), window, msg, quiet);
        }
    }
    // Runs work that must not show a box while it runs (a timer tick): an exception it raises is
    // put aside as above.
    template <typename Fn>
    void Quietly(Fn&& work) {
        QuietScope scope(*this, true);
        try {
            work();
        } catch (...) {
            DeferException(std::current_exception());
        }
    }
    // Puts an error aside for the error box. The same message waiting already, or shown once
    // already this way, is dropped: a painter that keeps failing is reported once.
    void DeferException(std::exception_ptr error);
    // Shows the errors put aside, one box after the other, unless a message that must not be
    // interrupted is being handled, a menu is open or an error box is already up: then they wait
    // for the next call (the application's message loop calls it after every message).
    void ShowDeferredErrors();
    std::size_t DeferredErrorCount() const { return deferred_.size(); }

    // The default error box: the exception's message, captioned with the application title.
    void HandleException(std::exception_ptr error);
    // Replaces the error box (tests record errors instead of waiting on a box); empty restores it.
    using ExceptionHandler = std::function<void(const std::wstring& message)>;
    void SetExceptionHandler(ExceptionHandler handler) { exceptionHandler_ = std::move(handler); }

    // The application's message box, owned by the active window.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

private:
    // Counts the messages being handled that must not be interrupted, for as long as one runs.
    class QuietScope {
    public:
        QuietScope(TApplication& app, bool quiet) : app_(app), quiet_(quiet) {
            if (quiet_) ++app_.quietDepth_;
        }
        ~QuietScope() {
            if (quiet_) --app_.quietDepth_;
        }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        TApplication& app_;
        bool quiet_;
    };
    LRESULT MessageFailed(std::exception_ptr error, HWND window, UINT msg, bool quiet);
    // The hidden window that the wake-up for deferred errors is posted to.
    HWND NotifyWindow();
    static LRESULT CALLBACK NotifyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool ProcessMessage(MSG& msg);

    TForm* mainForm_ = nullptr;
    std::wstring title_;
    bool terminated_ = false;
    int nextId_ = 1;
    std::vector<std::pair<int, IdleHandler>> idleHandlers_;
    std::vector<std::pair<int, MessageHook>> hooks_;
    ExceptionHandler exceptionHandler_;
    int quietDepth_ = 0;
    bool showingDeferred_ = false;
    std::deque<std::pair<std::wstring, std::exception_ptr>> deferred_;
    std::deque<std::wstring> shownDeferred_;  // the latest texts shown from deferred errors
    HWND notifyWindow_ = nullptr;
};

TApplication& Application();

// A hidden window of the program's own class (registered on first use), for receiving messages:
// a message-only window when parent is HWND_MESSAGE.
HWND CreateHelperWindow(const wchar_t* className, WNDPROC proc, DWORD exStyle, DWORD style, HWND parent);

// The text an error box shows for an exception: its message (UTF-8 text of a standard exception
// converted), or "Unknown error".
std::wstring ExceptionMessage(std::exception_ptr error);

}  // namespace tk
