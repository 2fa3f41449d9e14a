#include "tests/support/WinTest.h"

#include <chrono>

#include "tests/support/TempDir.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"

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
    HKEY key;
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

std::wstring PrivateKey::Read(const std::wstring& name) const {
    tk::TRegistry reg;
    if (!reg.OpenKey(path_, false) || !reg.ValueExists(name)) return L"<absent>";
    return reg.ReadString(name);
}

bool PrivateKey::Has(const std::wstring& name) const {
    tk::TRegistry reg;
    return reg.OpenKey(path_, false) && reg.ValueExists(name);
}

std::vector<std::wstring> PrivateKey::ValueNames() const {
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD len = 256;
        if (RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    RegCloseKey(key);
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
