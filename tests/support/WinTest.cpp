#include "tests/support/WinTest.h"

#include <algorithm>
#include <chrono>

#include "tests/support/TempDir.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/Scoped.h"

namespace qdtest {

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            tk::Application().Idle();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    return true;
}

void PumpIdle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    tk::Application().Idle();
}

PrivateKey::PrivateKey() : path_(L"Software\\QuiverdirTests\\" + UniqueName(L"key")) {}

PrivateKey::~PrivateKey() { tk::TRegistry().DeleteKey(path_); }

void PrivateKey::WriteString(const std::wstring& name, const std::wstring& value) const {
    tk::TRegistry reg;
    reg.OpenKey(path_, true);
    reg.WriteString(name, value);
}

void PrivateKey::WriteDword(const std::wstring& name, DWORD value) const {
    HKEY created = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    const tk::ScopedRegKey key(created);
    RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

std::wstring PrivateKey::Read(const std::wstring& name) const {
    tk::TRegistry reg;
    if (!reg.OpenKeyReadOnly(path_) || !reg.ValueExists(name)) return L"<absent>";
    return reg.ReadString(name);
}

bool PrivateKey::Has(const std::wstring& name) const {
    tk::TRegistry reg;
    return reg.OpenKeyReadOnly(path_) && reg.ValueExists(name);
}

std::vector<std::wstring> PrivateKey::ValueNames() const {
    std::vector<std::wstring> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return names;
    const tk::ScopedRegKey key(opened);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD len = 256;
        if (RegEnumValueW(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    return names;
}

namespace {

// The file name box of a common file dialog (explorer style, then the old style).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

bool IsFileDialog(HWND w) { return GetDlgItem(w, kFileNameCombo) || GetDlgItem(w, kFileNameEdit); }

struct BoxSearch {
    DWORD thread;
    bool fileDialog;  // look for a file dialog (true) or for a message box (false)
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<BoxSearch*>(p);
    wchar_t cls[64];
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == search->thread &&
        IsFileDialog(w) == search->fileDialog) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND w, LPARAM out) {
    wchar_t cls[64];
    GetClassNameW(w, cls, 64);
    if (_wcsicmp(cls, L"Static") == 0) {
        wchar_t text[1024];
        GetWindowTextW(w, text, 1024);
        *reinterpret_cast<std::wstring*>(out) += text;
    }
    return TRUE;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int buttonId, std::function<void()> then)
    : buttonId_(buttonId), then_(std::move(then)), uiThread_(GetCurrentThreadId()), watcher_([this] { Watch(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    stop_ = true;
    watcher_.join();
}

std::wstring MessageBoxAnswerer::Text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

namespace {

struct BoxList {
    DWORD thread;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND w, LPARAM p) {
    auto* list = reinterpret_cast<BoxList*>(p);
    wchar_t cls[64];
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == list->thread &&
        !IsFileDialog(w))
        list->boxes.push_back(w);
    return TRUE;
}

}  // namespace

PaintFault::PaintFault(int times, std::wstring message) : left_(times), message_(std::move(message)) {
    tk::TCanvas::SetDrawHook([this](HDC) {
        if (left_ == 0) return;
        if (left_ > 0) --left_;
        ++thrown_;
        throw tk::Exception(message_);
    });
}

PaintFault::~PaintFault() { tk::TCanvas::SetDrawHook(nullptr); }

MessageBoxCounter::MessageBoxCounter(int buttonId)
    : buttonId_(buttonId), uiThread_(GetCurrentThreadId()), watcher_([this] { Watch(); }) {}

MessageBoxCounter::~MessageBoxCounter() {
    stop_ = true;
    watcher_.join();
}

std::vector<std::wstring> MessageBoxCounter::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

void MessageBoxCounter::Watch() {
    std::vector<HWND> answered;
    while (!stop_) {
        BoxList list{uiThread_, {}};
        EnumWindows(&CollectBoxes, reinterpret_cast<LPARAM>(&list));
        if (static_cast<int>(list.boxes.size()) > mostAtOnce_) mostAtOnce_ = static_cast<int>(list.boxes.size());
        // A box answered earlier may still be closing; what is gone is forgotten.
        std::erase_if(answered, [&](HWND h) { return std::find(list.boxes.begin(), list.boxes.end(), h) == list.boxes.end(); });
        for (HWND box : list.boxes) {
            if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
            std::wstring text;
            EnumChildWindows(box, &CollectText, reinterpret_cast<LPARAM>(&text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                texts_.push_back(text);
            }
            ++shown_;
            answered.push_back(box);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId_)));
            break;  // the topmost first: the one under it answers once it is on top again
        }
        Sleep(20);
    }
}

void MessageBoxAnswerer::Watch() {
    while (!stop_ && !answered_) {
        BoxSearch search{uiThread_, false};
        EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            std::wstring text;
            EnumChildWindows(search.found, &CollectText, reinterpret_cast<LPARAM>(&text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                text_ = text;
            }
            answered_ = true;
            PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(buttonId_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(search.found, buttonId_)));
            if (then_) then_();
            return;
        }
        Sleep(20);
    }
}

FileDialogAnswerer::FileDialogAnswerer(std::wstring fileName)
    : fileName_(std::move(fileName)), uiThread_(GetCurrentThreadId()), watcher_([this] { Watch(); }) {}

FileDialogAnswerer::~FileDialogAnswerer() {
    stop_ = true;
    watcher_.join();
}

std::wstring FileDialogAnswerer::Title() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return title_;
}

void FileDialogAnswerer::Watch() {
    while (!stop_ && !answered_) {
        BoxSearch search{uiThread_, true};
        EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            wchar_t title[256] = {};
            GetWindowTextW(search.found, title, 256);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                title_ = title;
            }
            int button = IDCANCEL;
            if (!fileName_.empty()) {
                const int box = GetDlgItem(search.found, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
                SetDlgItemTextW(search.found, box, fileName_.c_str());
                button = IDOK;
            }
            answered_ = true;
            PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(search.found, button)));
            return;
        }
        Sleep(20);
    }
}


namespace {

struct TopSearch {
    DWORD thread;
    std::wstring caption, className;
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<TopSearch*>(p);
    if (!IsWindowVisible(w) || GetWindowThreadProcessId(w, nullptr) != search->thread) return TRUE;
    wchar_t cls[256];
    GetClassNameW(w, cls, 256);
    const bool match = search->caption.empty() ? search->className == cls
                                               : WindowText(w) == search->caption &&
                                                     (search->className.empty() || search->className == cls);
    if (match) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

struct DescendantSearch {
    std::wstring className, text;
    int index = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<DescendantSearch*>(p);
    if (!search->className.empty()) {
        wchar_t cls[256];
        GetClassNameW(w, cls, 256);
        if (_wcsicmp(cls, search->className.c_str()) != 0 || search->index-- > 0) return TRUE;
    } else if (WindowText(w) != search->text) {
        return TRUE;
    }
    search->found = w;
    return FALSE;
}

BOOL CALLBACK CollectShownTop(HWND w, LPARAM p) {
    if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

}  // namespace

HWND WaitForTopWindow(DWORD thread, const std::wstring& caption, const std::wstring& className, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        TopSearch search{thread, caption, className};
        EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (std::chrono::steady_clock::now() > end) return nullptr;
        Sleep(10);
    }
}

HWND WaitForSystemDialog(DWORD thread, int timeoutMs) { return WaitForTopWindow(thread, L"", L"#32770", timeoutMs); }

bool WaitUntilGone(HWND window, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(10);
    }
    return true;
}

std::wstring DialogText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, &CollectText, reinterpret_cast<LPARAM>(&text));
    return text;
}

void PressDialogButton(HWND box, int id) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

HWND FindDescendant(HWND parent, const std::wstring& className, int index) {
    DescendantSearch search{className, L"", index};
    EnumChildWindows(parent, &FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendantByText(HWND parent, const std::wstring& text) {
    DescendantSearch search{L"", text};
    EnumChildWindows(parent, &FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND window) {
    // Sent, so it works across threads while the owning thread handles messages.
    const int n = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = static_cast<int>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return text;
}

void SetWindowTextFromOutside(HWND window, const std::wstring& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{sizeof(info)};
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

namespace {

std::mutex gFocusMutex;
std::vector<HWND> gFocused;

LRESULT CALLBACK RecordFocus(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_SETFOCUS) {
            std::lock_guard<std::mutex> lock(gFocusMutex);
            gFocused.push_back(message->hwnd);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

FocusRecorder::FocusRecorder() : hook_(WH_CALLWNDPROC, &RecordFocus) { Clear(); }

FocusRecorder::~FocusRecorder() = default;

void FocusRecorder::Clear() {
    std::lock_guard<std::mutex> lock(gFocusMutex);
    gFocused.clear();
}

bool FocusRecorder::Received(HWND window) const {
    std::lock_guard<std::mutex> lock(gFocusMutex);
    return std::find(gFocused.begin(), gFocused.end(), window) != gFocused.end();
}

UiScript::UiScript(HWND mainWindow, std::function<void(DWORD uiThread)> script)
    : main_(mainWindow), uiThread_(GetCurrentThreadId()) {
    thread_ = std::thread([this, script = std::move(script)] {
        script(uiThread_);
        // Close whatever the script left open, newest first, so no modal loop waits forever.
        for (int round = 0; round < 10; ++round) {
            std::vector<HWND> shown;
            EnumThreadWindows(uiThread_, &CollectShownTop, reinterpret_cast<LPARAM>(&shown));
            std::erase(shown, main_);
            if (shown.empty()) break;
            for (HWND w : shown) {
                PressDialogButton(w, IDCANCEL);
                PressDialogButton(w, IDNO);
                PostMessageW(w, WM_CLOSE, 0, 0);
            }
            Sleep(50);
        }
        done_ = true;
    });
}

UiScript::~UiScript() { Join(); }

void UiScript::Join() {
    // Keep handling messages meanwhile: the script may be waiting for an answer from this thread.
    while (!done_) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    if (thread_.joinable()) thread_.join();
}

void DoubleClickAt(HWND window, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

void ClickAt(HWND window, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

std::wstring WindowsPath(const std::string& buildPath) {
    std::wstring path = tk::FromUtf8(buildPath);
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

}  // namespace qdtest
