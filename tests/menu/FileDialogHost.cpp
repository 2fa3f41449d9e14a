// A small program for the tests: shows one common file dialog as another program would and, when
// the dialog closes, writes what it returned to a file and ends with 0 (cancelled), 1 (a file was
// chosen) or 2 (the dialog could not be shown).
//   FileDialogHost.exe open|save|ansi-open|newer-open|newer-pick FOLDER RESULT-FILE
// The newer dialog's start folder is given as a shell item, made from its path (Vista on).
#undef _WIN32_IE
#define _WIN32_IE 0x0700
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "toolkit/Text.h"
#include "toolkit/win/AnsiText.h"
#include "toolkit/win/ComPtr.h"

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
    std::ofstream out(std::filesystem::path(resultFile), std::ios::binary);
    out << (outcome.code == 0 ? "cancel" : outcome.code == 1 ? "chosen" : "error") << '\n'
        << tk::ToUtf8(outcome.detail) << '\n';
    return outcome.code;
}
