// The folder menu program's entry: one running copy per user session. A second start asks the
// running copy for its menu and ends.
#include <windows.h>

#include "app/Global.h"
#include "menu/FolderMenuApp.h"
#include "resources/forms/FolderMenuDesc.h"
#include "toolkit/win/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (HWND running = FindWindowW(qd::desc::kFolderMenuWindowClass, nullptr)) {
        // The user started this copy: the running one may take the front for its menu.
        DWORD process = 0;
        GetWindowThreadProcessId(running, &process);
        AllowSetForegroundWindow(process);
        PostMessageW(running, qd::desc::kShowFolderMenu, 0, 0);
        return 0;
    }
    tk::Application().Initialize();
    tk::Application().SetTitle(qd::kMessageCaption);
    std::unique_ptr<qd::menu::TFolderMenuApp> app;
    tk::Application().Guarded([&] { app = std::make_unique<qd::menu::TFolderMenuApp>(); });
    if (!app) return 1;
    while (tk::Application().HandleMessage()) {
    }
    return 0;
}
