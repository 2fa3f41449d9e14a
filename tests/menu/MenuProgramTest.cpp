// The built QuiverdirMenu.exe, started as a person starts it: one copy runs; a second start brings
// up the running copy's menu and ends; the hot key, pressed through the input queue, opens the
// menu of the running copy for the window in front, which gets the front back when the menu is
// dismissed; asked to close, it ends. It reads the program's own registry key.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <vector>

#include "resources/forms/FolderMenuDesc.h"
#include "tests/menu/MenuInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Registry.h"

namespace {

struct Process {
    PROCESS_INFORMATION info{};
    ~Process() {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
            const tk::ScopedKernelHandle process(info.hProcess), thread(info.hThread);  // closed here
        }
    }
    DWORD WaitExit(DWORD ms) {
        if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

bool Start(const std::filesystem::path& exe, Process& p) {
    STARTUPINFOW si{sizeof(si)};
    std::wstring cmd = L"\"" + exe.wstring() + L"\"";
    return CreateProcessW(exe.wstring().c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          exe.parent_path().wstring().c_str(), &si, &p.info) != 0;
}

constexpr wchar_t kKey[] = L"Software\\Quiverdir";

TEST(MenuProgram, OneCopyRunsASecondStartOpensItsMenuAndTheHotKeyActsForTheWindowInFront) {
    ASSERT_FALSE(FindWindowW(qd::desc::kFolderMenuWindowClass, nullptr)) << "a folder menu is running already";
    tk::TRegistry().DeleteKey(kKey);
    {
        tk::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        reg.WriteString(L"N0", L"Windows");
        reg.WriteString(L"P0", L"C:\\windows");
    }
    qdtest::TempDir dir;
    const std::filesystem::path exe = dir / "QuiverdirMenu.exe";
    std::filesystem::copy_file(qdtest::WindowsPath(QD_MENU_PROGRAM_FILE), exe);

    const std::vector<HWND> iconsBefore = menutest::TrayIcons();
    Process first;
    ASSERT_TRUE(Start(exe, first));
    HWND host = nullptr;
    ASSERT_TRUE(qdtest::PumpUntil([&] { return (host = FindWindowW(qd::desc::kFolderMenuWindowClass, nullptr)); }, 30000))
        << "the program made no window; exit code " << first.WaitExit(0);
    EXPECT_FALSE(IsWindowVisible(host));
    const DWORD menuThread = GetWindowThreadProcessId(host, nullptr);

    // A second start ends at once, with success, and the first copy shows its menu.
    {
        Process second;
        ASSERT_TRUE(Start(exe, second));
        EXPECT_EQ(second.WaitExit(20000), 0u);
    }
    HWND menu = qdtest::WaitForTopWindow(menuThread, L"", L"tsui.ListMenu", 10000);
    ASSERT_TRUE(menu) << "the running copy showed no menu";
    EXPECT_EQ(FindWindowW(qd::desc::kFolderMenuWindowClass, nullptr), host);
    // The menu takes the keyboard just after it shows.
    EXPECT_TRUE(qdtest::PumpUntil([&] { return GetForegroundWindow() == menu; }, 3000));
    menutest::Press({VK_ESCAPE});
    EXPECT_TRUE(qdtest::WaitUntilGone(menu));

    // The hot key, with a window of another program (this test) in front.
    HWND front = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(front);
    ASSERT_TRUE(qdtest::PumpUntil([&] { return GetForegroundWindow() == front; }, 3000));
    menutest::Press({VK_LWIN, VK_MENU, 'F'});
    menu = qdtest::WaitForTopWindow(menuThread, L"", L"tsui.ListMenu", 10000);
    ASSERT_TRUE(menu) << "the hot key did not open the menu";
    qdtest::PumpUntil([&] { return GetForegroundWindow() == menu; }, 3000);
    // Another window comes up meanwhile, above the others but without the front: the system would
    // give it the front when the menu goes.
    HWND other = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP, 300, 300, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    qdtest::PumpUntil([] { return false; }, 200);
    menutest::Press({VK_ESCAPE});
    EXPECT_TRUE(qdtest::WaitUntilGone(menu));
    EXPECT_TRUE(qdtest::PumpUntil([&] { return GetForegroundWindow() == front; }, 5000))
        << "the window that was in front did not get the front back";

    // A left click on the icon (where Wine shows it) with that window in front: the menu is for it.
    HWND icon = menutest::NewTrayIcon(iconsBefore);
    ASSERT_TRUE(icon) << "the program's icon is not in Wine's notification area";
    ShowWindow(other, SW_HIDE);
    SetForegroundWindow(front);
    ASSERT_TRUE(qdtest::PumpUntil([&] { return GetForegroundWindow() == front; }, 3000));
    menutest::ClickIcon(icon, false);
    menu = qdtest::WaitForTopWindow(menuThread, L"", L"tsui.ListMenu", 10000);
    ASSERT_TRUE(menu) << "a click on the icon did not open the menu";
    qdtest::PumpUntil([&] { return GetForegroundWindow() == menu; }, 3000);
    SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    qdtest::PumpUntil([] { return false; }, 200);
    menutest::Press({VK_ESCAPE});
    EXPECT_TRUE(qdtest::WaitUntilGone(menu));
    EXPECT_TRUE(qdtest::PumpUntil([&] { return GetForegroundWindow() == front; }, 5000))
        << "after a click on the icon, the window that was in front did not get the front back";
    DestroyWindow(other);
    DestroyWindow(front);

    // Asked to close (as setup asks before it replaces the files), it ends.
    PostMessageW(host, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(10000), 0u);
    tk::TRegistry().DeleteKey(kKey);
}

}  // namespace
