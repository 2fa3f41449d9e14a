#include "toolkit/win/Application.h"

#include <commctrl.h>

#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Form.h"

namespace tk {

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
