#include "toolkit/win/Application.h"

#include <commctrl.h>

#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Form.h"

namespace tk {

namespace {

constexpr wchar_t kNotifyWindowClass[] = L"tk.ApplicationNotify";
constexpr UINT kShowDeferredErrors = WM_APP + 0x2E0;
// While errors wait behind an open menu or a message in progress, they are tried again this often.
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMilliseconds = 100;
// How many shown texts are remembered for the once-only rule.
constexpr std::size_t kShownMemory = 32;

bool InMenuMode() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE);
}

}  // namespace

bool MustNotInterrupt(UINT msg, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    if (msg >= CN_BASE && msg < CN_BASE + 0x400) msg -= CN_BASE;
    switch (msg) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_SYNCPAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_NCCALCSIZE:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETMINMAXINFO:
    case WM_TIMER:
        return true;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && header->code == static_cast<UINT>(NM_CUSTOMDRAW);
    }
    default:
        return false;
    }
}

TApplication& Application() {
    static TApplication app;
    return app;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
}

HICON TApplication::Icon() const {
    return LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
}

bool TApplication::ProcessMessage(MSG& msg) {
    for (auto& [id, hook] : std::vector<std::pair<int, MessageHook>>(hooks_)) {
        bool swallowed = false;
        Guarded([&] { swallowed = hook(msg); });
        if (swallowed) return true;
    }
    // Dialog navigation (Tab, Enter, Escape) inside the active form.
    HWND active = GetActiveWindow();
    if (active && TWinControl::FromHandle(active) && IsDialogMessageW(active, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

bool TApplication::HandleMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        Idle();
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            terminated_ = true;
            return false;
        }
    } else if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    ProcessMessage(msg);
    if (!deferred_.empty()) ShowDeferredErrors();
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ProcessMessage(msg);
        if (!deferred_.empty()) ShowDeferredErrors();
    }
    Idle();
}

void TApplication::Run() {
    if (mainForm_ && !terminated_ && !mainForm_->Visible()) Guarded([this] { mainForm_->Show(); });
    while (!terminated_ && mainForm_ && HandleMessage()) {
    }
    delete mainForm_;
    mainForm_ = nullptr;
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::Minimize() {
    if (mainForm_) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (mainForm_ && IsIconic(mainForm_->Handle())) ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void TApplication::BringToFront() {
    if (!mainForm_) return;
    HWND h = mainForm_->Handle();
    // A modal dialog in front of the main form keeps the front.
    HWND popup = GetLastActivePopup(h);
    SetForegroundWindow(popup ? popup : h);
    BringWindowToTop(popup ? popup : h);
}

bool TApplication::IsMinimized() const {
    return mainForm_ && mainForm_->HandleAllocated() && IsIconic(mainForm_->Handle());
}

int TApplication::AddIdleHandler(IdleHandler handler) {
    idleHandlers_.emplace_back(nextId_, std::move(handler));
    return nextId_++;
}

void TApplication::RemoveIdleHandler(int id) {
    std::erase_if(idleHandlers_, [id](const auto& p) { return p.first == id; });
}

void TApplication::Idle() {
    for (auto& [id, handler] : std::vector<std::pair<int, IdleHandler>>(idleHandlers_)) Guarded(handler);
}

int TApplication::AddMessageHook(MessageHook hook) {
    hooks_.emplace_back(nextId_, std::move(hook));
    return nextId_++;
}

void TApplication::RemoveMessageHook(int id) {
    std::erase_if(hooks_, [id](const auto& p) { return p.first == id; });
}

std::wstring ExceptionMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return L"Unknown error";
    }
}

LRESULT TApplication::MessageFailed(std::exception_ptr error, HWND window, UINT msg, bool quiet) {
    if (!quiet) {
        HandleException(error);
        return 0;
    }
    // Painting that failed is not asked for again: the region counts as painted.
    if (window && (msg == WM_PAINT || msg == WM_NCPAINT)) ValidateRect(window, nullptr);
    DeferException(error);
    return msg == WM_NCACTIVATE ? TRUE : 0;
}

void TApplication::DeferException(std::exception_ptr error) {
    std::wstring message = ExceptionMessage(error);
    for (const auto& waiting : deferred_)
        if (waiting.first == message) return;
    for (const std::wstring& shown : shownDeferred_)
        if (shown == message) return;
    deferred_.emplace_back(std::move(message), error);
    if (HWND notify = NotifyWindow()) PostMessageW(notify, kShowDeferredErrors, 0, 0);
}

void TApplication::ShowDeferredErrors() {
    if (showingDeferred_) return;
    if (deferred_.empty()) {
        if (notifyWindow_) KillTimer(notifyWindow_, kRetryTimer);
        return;
    }
    if (quietDepth_ > 0 || InMenuMode()) {
        // A loop that is not the application's may run meanwhile (a menu's, a dialog's): the
        // timer brings the errors to it once it may show them.
        if (HWND notify = NotifyWindow()) SetTimer(notify, kRetryTimer, kRetryMilliseconds, nullptr);
        return;
    }
    if (notifyWindow_) KillTimer(notifyWindow_, kRetryTimer);
    showingDeferred_ = true;
    while (!deferred_.empty()) {
        auto [message, error] = std::move(deferred_.front());
        deferred_.pop_front();
        shownDeferred_.push_back(message);
        if (shownDeferred_.size() > kShownMemory) shownDeferred_.pop_front();
        try {
            HandleException(error);
        } catch (...) {
            // Showing must not fail the loop that shows; the remaining errors still get their turn.
        }
    }
    showingDeferred_ = false;
}

LRESULT CALLBACK TApplication::NotifyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kShowDeferredErrors || (msg == WM_TIMER && wParam == kRetryTimer)) {
        Application().ShowDeferredErrors();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND CreateHelperWindow(const wchar_t* className, WNDPROC proc, DWORD exStyle, DWORD style, HWND parent) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{sizeof(wc)};
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }
    return CreateWindowExW(exStyle, className, L"", style, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
}

HWND TApplication::NotifyWindow() {
    if (notifyWindow_ && IsWindow(notifyWindow_)) return notifyWindow_;
    notifyWindow_ = CreateHelperWindow(kNotifyWindowClass, &NotifyWindowProc, 0, 0, HWND_MESSAGE);
    return notifyWindow_;
}

std::wstring TApplication::Title() const {
    if (!title_.empty()) return title_;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            const std::wstring path(buffer.data(), n);
            const size_t slash = path.find_last_of(L"\\/");
            std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
            const size_t dot = name.find_last_of(L'.');
            if (dot != std::wstring::npos && dot > 0) name.erase(dot);
            return name;
        }
        buffer.resize(buffer.size() * 2);
    }
}

void TApplication::HandleException(std::exception_ptr error) {
    const std::wstring message = ExceptionMessage(error);
    if (exceptionHandler_) {
        exceptionHandler_(message);
        return;
    }
    ShowMessageBox(message, Title(), MB_OK | MB_ICONERROR);
}

int TApplication::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND owner = GetActiveWindow();
    if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Handle();
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace tk
