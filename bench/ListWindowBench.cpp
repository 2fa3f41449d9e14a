// The main window driven from outside, as a person's clicks reach it: start-up to a filled list
// and the tool bar's 刷新 (refresh), on 10,000 shortcuts in a private registry key, each against
// its floor measured in the same run by a program of its own (bench_registry_floor.exe): the
// 20,000 values read under the key opened once. The window runs in its own process
// (bench_list_window_host.exe: the program's main window on a private key and folder).
//
//   bench_list_window.exe [RUNS] [ROWS]        (Windows build; run under Wine with a display)
// RUNS (default 5) starts of the window on ROWS (default 10,000) rows, each with three refreshes,
// and as many starts on 100 rows (the start's fixed cost: skin, frame, window). Prints every figure's
// minimum, median and maximum in ms, and the ratios to the floor of the same run.
//
// Start-up is timed from CreateProcess to the list view reporting every row, painted (the window
// then answers a forced update at once); refresh from sending the button's WM_COMMAND until the
// SendMessage returns and the list, painted again, still reports every row. Both are also timed
// until every row shows the mark of its folder check (the folders do not exist), which happens
// off the window's thread; the next refresh starts only then.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "resources/forms/MainFormDesc.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

HANDLE gWindowProcess = nullptr;  // the window's process while it runs: ended when the bench fails

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "bench_list_window: %s\n", what.c_str());
    if (gWindowProcess) TerminateProcess(gWindowProcess, 1);
    std::exit(1);
}

std::filesystem::path ProgramDir() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

// A list as the list commands' benchmark makes it: numbered aliases, some Chinese, one in eight
// repeated; paths of folders that do not exist (every row gets its missing mark).
void WriteList(const std::wstring& keyPath, int rows) {
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        Die("cannot create the key");
    auto set = [&](const std::wstring& name, const std::wstring& text) {
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    for (int i = 0; i < rows; ++i) {
        const int id = i % 8 == 7 ? i - 7 : i;
        const std::wstring number = std::to_wstring(100000 + id).substr(1);
        set(L"N" + std::to_wstring(i), (id % 3 == 0 ? L"项目 " : id % 3 == 1 ? L"folder " : L"Folder ") + number);
        set(L"P" + std::to_wstring(i), L"C:\\Data\\Folder" + number);
    }
    RegCloseKey(key);
}

struct Process {
    PROCESS_INFORMATION info{};
    ~Process() {
        if (!info.hProcess) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
};

void Start(const std::filesystem::path& exe, const std::wstring& args, Process& p, HANDLE output = nullptr) {
    STARTUPINFOW si{sizeof(si)};
    if (output) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = output;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    std::wstring cmd = L"\"" + exe.wstring() + L"\" " + args;
    if (!CreateProcessW(exe.wstring().c_str(), cmd.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                        exe.parent_path().wstring().c_str(), &si, &p.info))
        Die("cannot start " + exe.string());
}

// Runs the floor program and returns the time it printed.
double Floor(const std::wstring& args) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0)) Die("no pipe");
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    std::string out;
    {
        Process p;
        Start(ProgramDir() / "bench_registry_floor.exe", args, p, write);
        CloseHandle(write);
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got > 0) out.append(buffer, got);
        WaitForSingleObject(p.info.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(p.info.hProcess, &code);
        if (code != 0) Die("the floor program failed");
    }
    CloseHandle(read);
    return std::atof(out.c_str());
}

struct Found {
    DWORD pid;
    HWND window;
};

BOOL CALLBACK MatchMain(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (owner != f->pid || !IsWindowVisible(w) || lstrcmpW(cls, qd::desc::kMainWindowClass) != 0) return TRUE;
    f->window = w;
    return FALSE;
}

struct ChildSearch {
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (lstrcmpiW(cls, s->cls) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

HWND Child(HWND parent, const wchar_t* cls) {
    ChildSearch s{cls, nullptr};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Sends a message whose parameter points at a T, through memory of the other process.
template <typename T>
T RemoteSend(HWND window, UINT msg, WPARAM wParam, T value) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = VirtualAllocEx(process, nullptr, sizeof(T) + 512, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, &value, sizeof(T), nullptr);
    SendMessageW(window, msg, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &value, sizeof(T), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return value;
}

std::wstring RemoteItemText(HWND list, int row) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + 520, MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.cchTextMax = 260;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
    const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    std::wstring text(static_cast<size_t>(n), L'\0');
    ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

// The window's pending paints, done now (sent to the window's thread, so it waits for them).
void Painted(HWND main) { RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

struct Window {
    Process process;
    Clock::time_point started;
    HWND main = nullptr, list = nullptr, bar = nullptr;
};

// Starts the window on the key and waits until its list reports rows rows, painted.
double StartWindow(const std::wstring& key, const std::wstring& folder, int rows, Window& w) {
    const auto t0 = w.started = Clock::now();
    Start(ProgramDir() / "bench_list_window_host.exe", L"\"" + key + L"\" \"" + folder + L"\"", w.process);
    gWindowProcess = w.process.info.hProcess;
    const auto limit = t0 + std::chrono::seconds(120);
    // Looked for every 5 ms (looking costs the window's process time too); once the list is
    // there, the count is asked for by a sent message, which the window answers as soon as it
    // takes messages again.
    for (;;) {
        if (!w.main) {
            Found f{w.process.info.dwProcessId, nullptr};
            EnumWindows(&MatchMain, reinterpret_cast<LPARAM>(&f));
            w.main = f.window;
        }
        if (w.main && !w.list) w.list = Child(w.main, WC_LISTVIEWW);
        if (w.list && SendMessageW(w.list, LVM_GETITEMCOUNT, 0, 0) == rows) break;
        if (Clock::now() > limit || WaitForSingleObject(w.process.info.hProcess, 0) == WAIT_OBJECT_0)
            Die("the window did not show the list");
        Sleep(5);
    }
    Painted(w.main);
    const double ms = Ms(Clock::now() - t0);
    w.bar = Child(w.main, TOOLBARCLASSNAMEW);
    return ms;
}

void CloseWindow(Window& w) {
    PostMessageW(w.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(w.process.info.hProcess, 20000) != WAIT_OBJECT_0) Die("the window did not close");
    gWindowProcess = nullptr;
}

int RefreshCommand(HWND bar) {
    int index = 0;
    while (qd::desc::kMainToolButtons[index].command != qd::desc::MainCommand::Refresh) ++index;
    return RemoteSend(bar, TB_GETBUTTON, index, TBBUTTON{}).idCommand;
}

// The mark a row shows (0: none yet), asked of the list as it paints it.
int RowMark(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -1;
    return RemoteSend(list, LVM_GETITEMW, 0, item).iImage;
}

// Waits until every row shows the mark of its folder check (the rows' folders do not exist):
// eleven rows spread over the list, the last among them, asked every 20 ms. The time since start.
double Marked(Window& w, int rows, Clock::time_point start) {
    const auto limit = Clock::now() + std::chrono::seconds(60);
    for (int k = 0; k <= 10;) {
        const int row = static_cast<int>(static_cast<long long>(rows - 1) * (10 - k) / 10);
        if (RowMark(w.list, row) > 0) {
            ++k;
            continue;
        }
        if (Clock::now() > limit) Die("the rows did not get their marks");
        Sleep(20);
    }
    return Ms(Clock::now() - start);
}

// Refreshes the list; the times until it shows the rows and until they show their marks.
std::pair<double, double> Refresh(Window& w, int rows) {
    const int id = RefreshCommand(w.bar);
    const auto t0 = Clock::now();
    SendMessageW(GetParent(w.bar), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(w.bar));
    if (SendMessageW(w.list, LVM_GETITEMCOUNT, 0, 0) != rows) Die("the refresh lost rows");
    Painted(w.main);
    const double shown = Ms(Clock::now() - t0);
    return {shown, Marked(w, rows, t0)};
}

struct Series {
    const char* name;
    bool ratio = false;
    std::vector<double> values;
    void Print() const {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        std::printf(ratio ? "%-46s %9.2f %9.2f %9.2f\n" : "%-46s %9.1f %9.1f %9.1f\n", name, v.front(), v[v.size() / 2], v.back());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int rows = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    constexpr int kSmall = 100;
    const std::wstring base = L"Software\\QuiverdirBench\\window-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring bigKey = base + L"-big", smallKey = base + L"-small";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder =
        std::filesystem::path(temp) / (L"qdbench-window-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "options.ini") << "[Options]\nAskDelete=0\n";
    WriteList(bigKey, rows);
    WriteList(smallKey, kSmall);

    Series floor{"floor: reading the values"}, floorProcess{"floor program from start to exit"},
        startup{"start-up to a filled list"}, startupMarked{"start-up until every row has its mark"},
        startupSmall{"start-up, 100 rows"}, refresh{"refresh (tool bar command)"},
        refreshMarked{"refresh until every row has its mark"};
    Series startupRatio{"start-up / floor", true}, startupProcessRatio{"start-up / floor program start to exit", true},
        extraRatio{"(start-up - start-up of 100 rows) / floor", true}, refreshRatio{"refresh / floor", true},
        refreshMarkedRatio{"refresh until marked / floor", true};
    // The floor is read before and after the window's run; the run's figures are taken against
    // the mean of the two.
    auto readFloor = [&] {
        const auto f0 = Clock::now();
        const double f = Floor(L"read \"" + bigKey + L"\" " + std::to_wstring(rows));
        floorProcess.values.push_back(Ms(Clock::now() - f0));
        floor.values.push_back(f);
        return std::pair<double, double>(f, floorProcess.values.back());
    };
    for (int r = 0; r < runs; ++r) {
        const auto [f1, p1] = readFloor();
        double small = 0;
        {
            Window w;
            small = StartWindow(smallKey, folder.wstring(), kSmall, w);
            CloseWindow(w);
        }
        Window w;
        const double start = StartWindow(bigKey, folder.wstring(), rows, w);
        const double startMarked = Marked(w, rows, w.started);
        if (r == 0) {
            const std::wstring first = RemoteItemText(w.list, 0);
            if (first != L"项目 00000") {
                char shown[600] = {};
                WideCharToMultiByte(CP_UTF8, 0, first.c_str(), -1, shown, sizeof(shown), nullptr, nullptr);
                Die(std::string("the list does not show the key's rows: its first row is ") + shown);
            }
        }
        std::vector<std::pair<double, double>> refreshes;
        for (int i = 0; i < 3; ++i) refreshes.push_back(Refresh(w, rows));
        CloseWindow(w);
        const auto [f2, p2] = readFloor();
        const double f = (f1 + f2) / 2, p = (p1 + p2) / 2;
        startupSmall.values.push_back(small);
        startup.values.push_back(start);
        startupMarked.values.push_back(startMarked);
        startupRatio.values.push_back(start / f);
        startupProcessRatio.values.push_back(start / p);
        extraRatio.values.push_back((start - small) / f);
        for (const auto& [shown, marked] : refreshes) {
            refresh.values.push_back(shown);
            refreshMarked.values.push_back(marked);
            refreshRatio.values.push_back(shown / f);
            refreshMarkedRatio.values.push_back(marked / f);
        }
        std::fprintf(stderr, "run %d: floor %.0f, start-up %.0f (100 rows: %.0f), refresh %.0f %.0f %.0f ms\n", r + 1, f,
                     start, small, refreshes[0].first, refreshes[1].first, refreshes[2].first);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, bigKey.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, smallKey.c_str());
    std::error_code e;
    std::filesystem::remove_all(folder, e);

    std::printf("%d rows, %d runs (floor: 2 per run, refresh: 3); ms      min    median       max\n", rows, runs);
    for (const Series* s : {&floor, &floorProcess, &startup, &startupMarked, &startupSmall, &refresh, &refreshMarked})
        s->Print();
    std::printf("ratios to the run's floor                            min    median       max\n");
    for (const Series* s : {&startupRatio, &startupProcessRatio, &extraRatio, &refreshRatio, &refreshMarkedRatio})
        s->Print();
    return 0;
}
