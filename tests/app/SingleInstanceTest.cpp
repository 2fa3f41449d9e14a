// The built program, started as a person starts it: a second start wakes the first copy and
// ends. The program runs from a private folder (its options file lands there) and uses its own
// registry key, which these tests reset.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Registry.h"

namespace {

constexpr wchar_t kMainClass[] = L"Quiverdir Made by Tallowmere";

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

BOOL CALLBACK MatchListView(HWND w, LPARAM p) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (lstrcmpiW(name, WC_LISTVIEWW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
}

// The list view somewhere inside the window (it sits in the window's frame).
HWND FindListView(HWND window) {
    HWND found = nullptr;
    EnumChildWindows(window, &MatchListView, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForMainWindow(int ms) {
    HWND w = nullptr;
    qdtest::PumpUntil([&] { return (w = FindWindowW(kMainClass, nullptr)) && IsWindowVisible(w); }, ms);
    return w;
}

// Reads a list view row's text from another process through memory allocated in that process.
std::wstring RemoteItemText(HWND list, int row, int column) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    const tk::ScopedKernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    HANDLE proc = process.get();
    if (!proc) return L"<no access>";
    constexpr size_t kChars = 260;
    auto* remote = static_cast<BYTE*>(
        VirtualAllocEx(proc, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(proc, remote, &item, sizeof(item), nullptr);
    const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kChars] = {};
    ReadProcessMemory(proc, remote + sizeof(LVITEMW), text, sizeof(text), nullptr);
    VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    return std::wstring(text, static_cast<size_t>(n));
}

void RemoteSelect(HWND list, int row) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    const tk::ScopedKernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid));
    HANDLE proc = process.get();
    auto* remote = VirtualAllocEx(proc, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    WriteProcessMemory(proc, remote, &item, sizeof(item), nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
}

class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FindWindowW(kMainClass, nullptr)) << "a copy of the program is running already";
        tk::TRegistry().DeleteKey(L"Software\\Quiverdir");
        exe = dir / "Quiverdir.exe";
        std::filesystem::copy_file(qdtest::WindowsPath(QD_PROGRAM_FILE), exe);
        ASSERT_TRUE(Start(exe, first));
        main = WaitForMainWindow(30000);
        ASSERT_TRUE(main) << "the program showed no main window";
        list = FindListView(main);
        ASSERT_TRUE(list);
    }
    void TearDown() override {
        if (main) PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(first.WaitExit(10000), 0u) << "the program did not end when its window closed";
    }
    // Starts the program again; it must end by itself, quickly and successfully.
    void StartSecond() {
        Process second;
        ASSERT_TRUE(Start(exe, second));
        EXPECT_EQ(second.WaitExit(20000), 0u);
    }
    bool InFront() {
        return qdtest::PumpUntil([&] {
            return IsWindowVisible(main) && !IsIconic(main) && GetForegroundWindow() == main;
        });
    }

    qdtest::TempDir dir;
    std::filesystem::path exe;
    Process first;
    HWND main = nullptr;
    HWND list = nullptr;
};

TEST_F(SingleInstanceTest, FirstStartShowsTheSeededList) {
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(RemoteItemText(list, 0, 0), L"Windows安装目录");
    EXPECT_EQ(RemoteItemText(list, 1, 0), L"C:\\");
    EXPECT_EQ(RemoteItemText(list, 1, 1), L"C:\\");
    tk::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(L"Software\\Quiverdir", false));
    EXPECT_EQ(std::filesystem::path(reg.ReadString(L"Setting")), exe);
    wchar_t caption[64] = {};
    GetWindowTextW(main, caption, 64);
    EXPECT_STREQ(caption, L"Quorvane快捷目录软件 1.1");
}

TEST_F(SingleInstanceTest, SecondStartRestoresAMinimisedFirstCopy) {
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(qdtest::PumpUntil([&] { return IsIconic(main) != 0; }));
    StartSecond();
    EXPECT_TRUE(InFront());
    EXPECT_EQ(FindWindowW(kMainClass, nullptr), main);
}

TEST_F(SingleInstanceTest, SecondStartBringsTheFirstCopyToTheFrontUnchanged) {
    RemoteSelect(list, 1);
    // Another window takes the front.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    qdtest::PumpUntil([&] { return GetForegroundWindow() == other; }, 2000);
    StartSecond();
    EXPECT_TRUE(InFront());
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    DestroyWindow(other);
}

struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BoxSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (owner == s->pid && IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// A message box of the given process, or nullptr.
HWND FindMessageBoxOf(DWORD pid) {
    BoxSearch search{pid, nullptr};
    EnumWindows(&MatchMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(ProgramStartTest, AValueOfAnotherTypeShowsTheErrorBoxAndThenTheWindow) {
    ASSERT_FALSE(FindWindowW(kMainClass, nullptr)) << "a copy of the program is running already";
    tk::TRegistry().DeleteKey(L"Software\\Quiverdir");
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quiverdir", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExW(tk::ScopedRegKey(created).get(), L"N0", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                   sizeof(one));

    qdtest::TempDir dir;
    const std::filesystem::path exe = dir / "Quiverdir.exe";
    std::filesystem::copy_file(qdtest::WindowsPath(QD_PROGRAM_FILE), exe);
    Process program;
    ASSERT_TRUE(Start(exe, program));
    HWND box = nullptr;
    ASSERT_TRUE(qdtest::PumpUntil([&] { return (box = FindMessageBoxOf(program.info.dwProcessId)) != nullptr; }, 30000))
        << "no error box; exit code " << program.WaitExit(0);
    wchar_t text[128] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 128);  // a message box's text control
    EXPECT_STREQ(text, L"Invalid data type for 'N0'");
    // The application's title is set only after the main window is made: the box carries the
    // program's name.
    wchar_t caption[64] = {};
    GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, L"Quiverdir");
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    HWND main = WaitForMainWindow(10000);
    ASSERT_TRUE(main) << "the program showed no main window after the error";
    HWND list = FindListView(main);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(program.WaitExit(300), STILL_ACTIVE);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
    tk::TRegistry().DeleteKey(L"Software\\Quiverdir");
}

}  // namespace
