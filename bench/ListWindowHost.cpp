// The program's main window as the program runs it (its message loop, the real registry), with its
// list in a private key and its files in a private folder, for the benchmark that drives it from
// outside (bench/ListWindowBench.cpp). The program itself is the same but for the key and files.
//
//   bench_list_window_host.exe KEY FOLDER
// KEY: the list's registry key below HKEY_CURRENT_USER; FOLDER: holds options.ini and the backups.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/Main.h"
#include "resources/forms/MainFormDesc.h"
#include "toolkit/win/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    qd::MainSettings settings = qd::MainSettings::ForThisProgram();
    settings.KeyPath = argv[1];
    settings.OptionsFile = std::wstring(argv[2]) + L"\\options.ini";
    settings.BackupFolder = std::wstring(argv[2]) + L"\\backups";
    LocalFree(argv);
    tk::Application().Initialize();
    tk::Application().CreateForm<qd::TfrmMain>(nullptr, settings);
    tk::Application().SetTitle(qd::desc::kApplicationTitle);
    tk::Application().Run();
    return 0;
}
