// The kill test: the program with 10,000 rows sorts them, and is killed at a chosen moment of the
// rewrite (early, middle, late, and after the last write but before the record is cleared; the
// test program stops there and the test kills it, so the moment is exact); the next start must
// find the key holding exactly the list from before the sort, every entry once. The test prints
// what the key held at each kill and after each restart. Five starts of the program in all.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "list/ShortcutStore.h"
#include "list/win/ListWriter.h"
#include "resources/forms/MainFormDesc.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/Scoped.h"

namespace {

using Row = std::pair<std::wstring, std::wstring>;

constexpr int kRows = 10000;
constexpr DWORD kKilled = 9;

struct Program {
    PROCESS_INFORMATION info{};
    ~Program() {
        if (!info.hProcess) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
        const tk::ScopedKernelHandle process(info.hProcess), thread(info.hThread);  // closed here
    }
    DWORD WaitExit(DWORD ms) {
        if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

// Sets environment variables for the programs started while it lives.
class Environment {
public:
    void Set(const wchar_t* name, const std::wstring& value) {
        SetEnvironmentVariableW(name, value.c_str());
        names_.push_back(name);
    }
    ~Environment() {
        for (const wchar_t* name : names_) SetEnvironmentVariableW(name, nullptr);
    }

private:
    std::vector<const wchar_t*> names_;
};

bool Start(Program& p) {
    const std::wstring exe = qdtest::WindowsPath(QD_KILL_POINT_PROGRAM);
    STARTUPINFOW si{sizeof(si)};
    std::wstring cmd = L"\"" + exe + L"\"";
    return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p.info) != 0;
}

struct Found {
    DWORD pid;
    const wchar_t* className;
    HWND window;
};

BOOL CALLBACK MatchTopWindow(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (owner != f->pid || !IsWindowVisible(w) || lstrcmpW(cls, f->className) != 0) return TRUE;
    f->window = w;
    return FALSE;
}

// A visible top-level window of the process with that class, or nullptr.
HWND TopWindowOf(const Program& p, const wchar_t* className) {
    Found f{p.info.dwProcessId, className, nullptr};
    EnumWindows(&MatchTopWindow, reinterpret_cast<LPARAM>(&f));
    return f.window;
}

// The first descendant of the window with that class.
HWND Descendant(HWND parent, const wchar_t* className) { return qdtest::FindDescendant(parent, className); }

// Sends a message whose parameter points at a T, through memory of the other process.
template <typename T>
T RemoteSend(HWND window, UINT msg, WPARAM wParam, T value) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const tk::ScopedKernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process.get(), remote, &value, sizeof(T), nullptr);
    SendMessageW(window, msg, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process.get(), remote, &value, sizeof(T), nullptr);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return value;
}

// Clicks the sort button of the program's tool bar once it is enabled, with posted mouse messages
// (the program does not answer a sent message while it sorts).
bool ClickSort(HWND main) {
    HWND bar = Descendant(main, TOOLBARCLASSNAMEW);
    if (!bar) return false;
    int index = 0;
    while (std::wstring(qd::desc::kMainToolButtons[index].name) != L"ToolButton4") ++index;
    const bool enabled = qdtest::PumpUntil([&] {
        const TBBUTTON button = RemoteSend(bar, TB_GETBUTTON, index, TBBUTTON{});
        return (button.fsState & TBSTATE_ENABLED) != 0;
    }, 20000);
    if (!enabled) return false;
    const RECT r = RemoteSend(bar, TB_GETITEMRECT, index, RECT{});
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(bar, WM_LBUTTONUP, 0, at);
    return true;
}

// The program's main window once its list holds the rows.
HWND WaitForFilledWindow(const Program& p) {
    HWND main = nullptr;
    qdtest::PumpUntil([&] {
        main = TopWindowOf(p, qd::desc::kMainWindowClass);
        HWND list = main ? Descendant(main, WC_LISTVIEWW) : nullptr;
        return list && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == kRows;
    }, 60000);
    return main;
}

std::map<std::wstring, std::wstring> ReadKey(const std::wstring& path) {
    std::map<std::wstring, std::wstring> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    const tk::ScopedRegKey owned(key);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, bytes = 0;
        static wchar_t data[4096];
        bytes = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) !=
            ERROR_SUCCESS)
            break;
        values[std::wstring(name, nameLength)] = std::wstring(data, bytes / sizeof(wchar_t)).c_str();
    }
    return values;
}

// The list the key holds, as a reader takes it.
std::vector<Row> ListOf(const std::map<std::wstring, std::wstring>& values) {
    std::vector<Row> rows;
    for (int i = 0;; ++i) {
        auto a = values.find(qd::AliasValueName(i)), p = values.find(qd::PathValueName(i));
        if (a == values.end() || p == values.end() || a->second.empty() || p->second.empty()) break;
        rows.emplace_back(a->second, p->second);
    }
    return rows;
}

TEST(KillTest, ASortKilledAtAnyMomentOfItsRewriteLeavesTheListFromBeforeItAfterTheNextStart) {
    qdtest::PrivateKey key;
    qdtest::TempDir dir;
    const std::filesystem::path backups = dir / "backups";

    // 10,000 different shortcuts in shuffled order: the sort moves nearly every one.
    std::vector<Row> before;
    for (int i = 0; i < kRows; ++i) {
        const std::wstring n = std::to_wstring(100000 + i).substr(1);
        before.emplace_back((i % 3 ? L"folder " : L"项目 ") + n, L"C:\\Data\\" + n);
    }
    std::shuffle(before.begin(), before.end(), std::mt19937(2024));
    {
        tk::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(key.Path(), true));
        for (int i = 0; i < kRows; ++i) {
            reg.WriteString(qd::AliasValueName(i), before[static_cast<size_t>(i)].first);
            reg.WriteString(qd::PathValueName(i), before[static_cast<size_t>(i)].second);
        }
    }
    std::map<std::wstring, std::wstring> expected;
    for (int i = 0; i < kRows; ++i) {
        expected[qd::AliasValueName(i)] = before[static_cast<size_t>(i)].first;
        expected[qd::PathValueName(i)] = before[static_cast<size_t>(i)].second;
    }

    const std::wstring eventName = L"Local\\" + qdtest::UniqueName(L"qd-kill-point");
    const tk::ScopedKernelHandle stopped(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    struct Moment {
        const char* name;
        std::wstring stopAt;
    };
    const std::vector<Moment> moments = {
        {"early (first value)", L"1"},
        {"middle (10,000 values)", L"10000"},
        {"late (19,999 values)", L"19999"},
        {"after the last write, before the record is cleared", L"20000"},
    };
    Environment env;
    env.Set(L"QD_TEST_KEY", key.Path());
    env.Set(L"QD_TEST_BACKUPS", backups.wstring());
    env.Set(L"QD_STOP_EVENT", eventName);
    // Each start after a kill finds the record and puts the list back, and then sorts again to be
    // killed at the next moment; the last start only puts the list back.
    const auto sortUntilStopped = [&](Program& program, HWND main) {
        ResetEvent(stopped.get());
        ASSERT_TRUE(ClickSort(main)) << "the sort button was not enabled";
        ASSERT_EQ(WaitForSingleObject(stopped.get(), 60000), WAIT_OBJECT_0) << "the sort did not reach the moment";
        ASSERT_TRUE(TerminateProcess(program.info.hProcess, kKilled));
        ASSERT_EQ(program.WaitExit(20000), kKilled);
    };
    {
        env.Set(L"QD_STOP_AT", moments[0].stopAt);
        Program first;
        ASSERT_TRUE(Start(first));
        HWND main = WaitForFilledWindow(first);
        ASSERT_TRUE(main) << "the program showed no list of " << kRows << " rows";
        sortUntilStopped(first, main);
        if (HasFatalFailure()) return;
    }
    for (size_t k = 0; k < moments.size(); ++k) {
        SCOPED_TRACE(moments[k].name);
        // What the kill left in the key.
        const auto cut = ReadKey(key.Path());
        const std::vector<Row> cutList = ListOf(cut);
        std::set<Row> present(cutList.begin(), cutList.end());
        int changed = 0, lost = 0;
        for (int i = 0; i < kRows; ++i) {
            if (cut.count(qd::AliasValueName(i)) && cut.at(qd::AliasValueName(i)) != before[static_cast<size_t>(i)].first)
                ++changed;
            if (!present.count(before[static_cast<size_t>(i)])) ++lost;
        }
        EXPECT_TRUE(cut.count(qd::kRewriteRecordValue));
        EXPECT_GT(changed, 0) << "the kill came before the rewrite began";
        std::printf("killed at %s: %d of %d aliases rewritten, %d entries missing from the key, %zu duplicates, "
                    "record %s\n",
                    moments[k].name, changed, kRows, lost, cutList.size() - present.size(),
                    cut.count(qd::kRewriteRecordValue) ? "present" : "absent");

        // The next start puts the list back and says so once.
        const bool last = k + 1 == moments.size();
        if (last) {
            SetEnvironmentVariableW(L"QD_STOP_AT", nullptr);
        } else {
            SetEnvironmentVariableW(L"QD_STOP_AT", moments[k + 1].stopAt.c_str());
        }
        Program next;
        ASSERT_TRUE(Start(next));
        // The message comes as the window shows its list. A start without one is given up once its
        // window has stood filled and usable (no box disables it) for ten seconds.
        HWND box = nullptr;
        DWORD usableSince = 0;
        qdtest::PumpUntil([&] {
            if ((box = TopWindowOf(next, L"#32770"))) return true;
            HWND shown = TopWindowOf(next, qd::desc::kMainWindowClass);
            HWND list = shown ? Descendant(shown, WC_LISTVIEWW) : nullptr;
            if (!list || !IsWindowEnabled(shown) || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != kRows) {
                usableSince = 0;
                return false;
            }
            if (!usableSince) usableSince = GetTickCount();
            return GetTickCount() - usableSince > 10000;
        }, 90000);
        ASSERT_TRUE(box) << "no message at the start; exit code " << next.WaitExit(0);
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        EXPECT_EQ(std::wstring(text), tk::FormatText(qd::kRecoveredText, {std::to_wstring(kRows)}));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        HWND main = WaitForFilledWindow(next);
        ASSERT_TRUE(main) << "the list after the restart does not hold " << kRows << " rows";

        auto after = ReadKey(key.Path());
        EXPECT_TRUE(after.count(L"Setting"));
        after.erase(L"Setting");
        // Putting the list back raised the count of changes, as every write of the list does.
        EXPECT_TRUE(after.count(qd::kChangeCountValue));
        after.erase(qd::kChangeCountValue);
        EXPECT_TRUE(after == expected) << "the key does not hold exactly the list from before the sort";
        const std::vector<Row> afterList = ListOf(after);
        std::printf("after the restart: %zu entries, %s the list from before the sort, %zu different entries, "
                    "record %s\n",
                    afterList.size(), afterList == before ? "exactly" : "NOT",
                    std::set<Row>(afterList.begin(), afterList.end()).size(),
                    after.count(qd::kRewriteRecordValue) ? "present" : "gone");
        // Only automatic backups stay in the folder, no recovery backup.
        for (const auto& entry : std::filesystem::directory_iterator(backups))
            EXPECT_NE(entry.path().filename().wstring().rfind(L"recovery", 0), 0u) << entry.path().string();

        if (last) {
            PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_EQ(next.WaitExit(20000), 0u);
        } else {
            sortUntilStopped(next, main);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
