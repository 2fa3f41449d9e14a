// The program's entry: one running copy at a time. A second start wakes the first and ends.
#include <windows.h>

#include "app/Main.h"
#include "resources/forms/MainFormDesc.h"
#include "toolkit/win/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
