// The program's entry: one running copy at a time. A second start wakes the first and ends. With
// arguments it is the command line instead (app/CommandLine.h), and shows no window.
#include <windows.h>

#include "app/CommandLine.h"
#include "app/Main.h"
#include "resources/forms/MainFormDesc.h"
#include "toolkit/win/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::wstring> args = qd::ProgramArguments();
    if (!args.empty()) return qd::CommandLineMain(args);
    if (HWND running = FindWindowW(qd::desc::kMainWindowClass, nullptr)) {
        PostMessageW(running, qd::desc::kInstanceWakeup, 0, 0);
        SetForegroundWindow(running);
        return 0;
    }
    tk::Application().Initialize();
    tk::Application().CreateForm<qd::TfrmMain>(nullptr);
    tk::Application().SetTitle(qd::desc::kApplicationTitle);
    tk::Application().Run();
    return 0;
}
