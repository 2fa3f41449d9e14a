// A small program for the tests: shows one common file dialog as another program would and, when
// the dialog closes, writes what it returned to a file and ends with 0 (cancelled), 1 (a file was
// chosen) or 2 (the dialog could not be shown).
//   FileDialogHost.exe open|save|ansi-open|newer-open|newer-pick FOLDER RESULT-FILE
// The newer dialog's start folder is given as a shell item, made from its path (Vista on).
//   FileDialogHost.exe browse|browse-new FOLDER RESULT-FILE
// shows the shell's browse-for-folder dialog at FOLDER (browse-new: its newer look,
// BIF_NEWDIALOGSTYLE); its title reads "selected=PATH" each time
// the folder selected in its tree changes.
// Three more modes show a window of the dialog class that only looks like a file dialog from
// outside, by its control numbers (see FakeDialog below), and report what reached it:
//   FileDialogHost.exe late-answer|lookalike|password FOLDER RESULT-FILE
#undef _WIN32_IE
#define _WIN32_IE 0x0700
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "toolkit/Text.h"
#include "toolkit/win/AnsiText.h"
#include "toolkit/win/ComPtr.h"
#include "toolkit/win/Scoped.h"

namespace {

struct Outcome {
    int code = 2;
    std::wstring detail;
};

std::wstring FromAnsi(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    return wide.c_str();
}

const COMDLG_FILTERSPEC kAllFiles[] = {{L"All files", L"*.*"}};

Outcome ClassicW(bool save, const std::wstring& folder, const std::wstring& title) {
    std::wstring file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFilter = L"All files\0*.*\0Text\0*.txt\0";
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (chosen) return {1, file.c_str()};
    return {CommDlgExtendedError() ? 2 : 0, std::to_wstring(CommDlgExtendedError())};
}

Outcome ClassicA(const std::wstring& folder, const std::wstring& title) {
    const std::string folderA = tk::ToAnsi(folder), titleA = tk::ToAnsi(title);
    std::string file(32768, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFilter = "All files\0*.*\0";
    ofn.lpstrInitialDir = folderA.c_str();
    ofn.lpstrTitle = titleA.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameA(&ofn)) return {1, FromAnsi(file.c_str())};
    return {CommDlgExtendedError() ? 2 : 0, std::to_wstring(CommDlgExtendedError())};
}

Outcome Newer(bool pickFolders, const std::wstring& folder, const std::wstring& title) {
    const tk::ScopedComInit com;
    tk::ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                dialog.put_void())))
        return {2, L"no dialog"};
    if (pickFolders) {
        FILEOPENDIALOGOPTIONS options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_PICKFOLDERS);
    } else {
        dialog->SetFileTypes(1, kAllFiles);
    }
    dialog->SetTitle(title.c_str());
    tk::ComPtr<IShellItem> start;
    if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, start.put_void())))
        dialog->SetFolder(start.get());
    const HRESULT shown = dialog->Show(nullptr);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return {0, L""};
    tk::ComPtr<IShellItem> result;
    tk::CoTaskMem<wchar_t> name;
    if (FAILED(shown) || FAILED(dialog->GetResult(result.put())) ||
        FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, name.put())))
        return {2, L"failed"};
    return {1, name.get()};
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) {
    if (message == BFFM_INITIALIZED)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    if (message == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH] = {};
        SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path);
        SetWindowTextW(dialog, (std::wstring(L"selected=") + path).c_str());
    }
    return 0;
}

Outcome Browse(bool newer, const std::wstring& folder, const std::wstring& title) {
    const tk::ScopedComInit com;
    BROWSEINFOW info{};
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | (newer ? BIF_NEWDIALOGSTYLE : 0);
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(folder.c_str());
    const tk::CoTaskMem<ITEMIDLIST> chosen(SHBrowseForFolderW(&info));
    if (!chosen) return {0, L""};
    wchar_t path[MAX_PATH] = {};
    SHGetPathFromIDListW(chosen.get(), path);
    return {1, path};
}

// A window of the dialog class with a file name field (edt1, holding "secret"), a list of file types
// (cmb1), a folder list (cmb2) and OK, and no list of files:
//   late-answer  asked for its folder (CDM_GETFOLDERPATH), it answers only once the test sets the
//                event "qd.LateAnswer.<process id>", long after the asker stopped waiting, and
//                writes the folder into the block it was given only if that block is still there
//                ("live"; "freed" if not)
//   lookalike    nothing more: a dialog of some program that uses those control numbers
//   password     also a list box lst1, as the older file dialogs have, but its field is a
//                password field
// Cancel (or closing it) ends it; the detail says "typed=N ok=N field=TEXT" (texts set into the
// field from outside, presses of OK, what the field holds), and the late answer's word.
class FakeDialog {
public:
    explicit FakeDialog(const std::wstring& mode, const std::wstring& folder) : mode_(mode), folder_(folder) {}

    Outcome Run(const std::wstring& title) {
        answerNow_.reset(CreateEventW(nullptr, TRUE, FALSE,
                                      (L"qd.LateAnswer." + std::to_wstring(GetCurrentProcessId())).c_str()));
        window_ = CreateWindowExW(0, L"#32770", title.c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 360, 220,
                                  nullptr, nullptr, nullptr, nullptr);
        if (!window_) return {2, L"no window"};
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        dialogProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FakeDialog::Proc)));
        const DWORD fieldStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | (mode_ == L"password" ? ES_PASSWORD : 0);
        field_ = Child(L"Edit", L"secret", fieldStyle, 10, 10, 0x480);
        SetWindowLongPtrW(field_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        fieldProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FakeDialog::FieldProc)));
        Child(L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 40, 0x470);
        Child(L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 70, 0x471);
        if (mode_ == L"password") Child(L"ListBox", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 100, 0x460);
        Child(L"Button", L"OK", WS_CHILD | WS_VISIBLE, 240, 10, IDOK);
        Child(L"Button", L"Cancel", WS_CHILD | WS_VISIBLE, 240, 40, IDCANCEL);
        SetForegroundWindow(window_);
        MSG msg;
        while (!done_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        wchar_t held[256] = {};
        GetWindowTextW(field_, held, 256);
        DestroyWindow(window_);
        return {0, L"typed=" + std::to_wstring(typed_) + L" ok=" + std::to_wstring(presses_) + L" field=" + held +
                       (lateAnswer_.empty() ? L"" : L" answer=" + lateAnswer_)};
    }

private:
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int id) {
        return CreateWindowExW(0, cls, text, style, x, y, 200, cls == std::wstring(L"ListBox") ? 60 : 24, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    // Answers the request for its folder late, into the block it was given if that is still there.
    LRESULT AnswerLate(WPARAM chars, LPARAM address) {
        WaitForSingleObject(answerNow_.get(), 60000);
        auto* block = reinterpret_cast<wchar_t*>(address);
        MEMORY_BASIC_INFORMATION region{};
        const std::size_t bytes = (folder_.size() + 1) * sizeof(wchar_t);
        const bool live = VirtualQuery(block, &region, sizeof region) == sizeof region && region.State == MEM_COMMIT &&
                          region.Protect == PAGE_READWRITE &&
                          reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize >=
                              reinterpret_cast<std::uintptr_t>(block) + bytes;
        lateAnswer_ = live ? L"live" : L"freed";
        SetWindowTextW(window_, (L"answered " + lateAnswer_).c_str());
        if (!live || chars <= folder_.size()) return 0;
        std::memcpy(block, folder_.c_str(), bytes);
        return static_cast<LRESULT>(folder_.size() + 1);
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FakeDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == CDM_GETFOLDERPATH && self->mode_ == L"late-answer") return self->AnswerLate(wParam, lParam);
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            ++self->presses_;
            return 0;
        }
        if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
            self->done_ = true;
            return 0;
        }
        return CallWindowProcW(self->dialogProc_, window, message, wParam, lParam);
    }
    static LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FakeDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        // Only another program sets this field's text: this one set it before it listened.
        if (message == WM_SETTEXT) ++self->typed_;
        return CallWindowProcW(self->fieldProc_, window, message, wParam, lParam);
    }

    std::wstring mode_, folder_, lateAnswer_;
    tk::ScopedKernelHandle answerNow_;
    HWND window_ = nullptr, field_ = nullptr;
    WNDPROC dialogProc_ = nullptr, fieldProc_ = nullptr;
    int typed_ = 0, presses_ = 0;
    bool done_ = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
    if (!argv || argc != 4) return 2;
    const std::wstring mode = argv.get()[1], folder = argv.get()[2], resultFile = argv.get()[3];
    const std::wstring title = L"Host " + mode;
    Outcome outcome;
    if (mode == L"open" || mode == L"save") outcome = ClassicW(mode == L"save", folder, title);
    else if (mode == L"ansi-open") outcome = ClassicA(folder, title);
    else if (mode == L"newer-open" || mode == L"newer-pick") outcome = Newer(mode == L"newer-pick", folder, title);
    else if (mode == L"browse" || mode == L"browse-new") outcome = Browse(mode == L"browse-new", folder, title);
    else if (mode == L"late-answer" || mode == L"lookalike" || mode == L"password")
        outcome = FakeDialog(mode, folder).Run(title);
    std::ofstream out(std::filesystem::path(resultFile), std::ios::binary);
    out << (outcome.code == 0 ? "cancel" : outcome.code == 1 ? "chosen" : "error") << '\n'
        << tk::ToUtf8(outcome.detail) << '\n';
    return outcome.code;
}
