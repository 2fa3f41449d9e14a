// Opening the folder menu on a long list: the time from the request (the hot key's handler) to
// the menu on the screen and painted, on 10,000 shortcuts and on 100, with the list in a private
// registry key. Two cases: the key unchanged since the last opening (the rows kept are shown), and
// the key changed just before (the whole list read again, as after the editor wrote it). The
// reading alone is measured in the same run: the floor of the second case. The folders are checked
// after the menu shows, on the probe's threads; how long until every answer is in is measured too
// (the paths do not exist: each answer is quick), and nothing else is timed meanwhile. Then typing
// into the open menu: each keystroke's filtering, rebuilding and repainting of the menu, against
// the plain match of the same texts (alias or path contains the text, letter case folded, as the
// find box matches) over the same rows in the same process.
//
//   bench_folder_menu.exe [REPETITIONS]      (Windows build; run under Wine with a display)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "list/FindText.h"
#include "list/MenuFilter.h"
#include "list/win/RegistryAccessor.h"
#include "list/ShortcutStore.h"
#include "menu/FolderList.h"
#include "menu/FolderMenuApp.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Figures {
    double unchanged = 0, changed = 0, reading = 0, checking = 0;
    double keystroke = 0, slowestKeystroke = 0, rebuild = 0, plainMatch = 0;
};

// The keys typed into the open menu: "f" and "fo" keep every row (each path holds "Folder"), two
// Backspaces, then "xm" (the initials of 项目, a third of the rows) and "xm0", and Escape (every
// row again).
struct Keystroke {
    UINT Message;
    WPARAM Key;
    const wchar_t* Text;  // the text after it
};
constexpr Keystroke kTyping[] = {
    {WM_CHAR, L'f', L"f"},   {WM_CHAR, L'o', L"fo"},   {WM_KEYDOWN, VK_BACK, L"f"},   {WM_KEYDOWN, VK_BACK, L""},
    {WM_CHAR, L'x', L"x"},   {WM_CHAR, L'm', L"xm"},   {WM_CHAR, L'0', L"xm0"},       {WM_KEYDOWN, VK_ESCAPE, L""},
};

Figures Measure(int n, int repetitions) {
    const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
    const std::wstring keyPath = L"Software\\QuiverdirBench\\menu-" + tag;
    {
        tk::TRegistry reg;
        reg.OpenKey(keyPath, true);
        for (int i = 0; i < n; ++i) {
            const std::wstring number = std::to_wstring(100000 + i).substr(1);
            reg.WriteString(qd::AliasValueName(i), (i % 3 == 0 ? L"项目 " : L"folder ") + number);
            reg.WriteString(qd::PathValueName(i), L"C:\\Data\\Folder" + number);
        }
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path dir = std::filesystem::path(temp) / (L"qdbench-menu-" + tag);
    std::filesystem::create_directories(dir);

    qd::menu::MenuSettings settings;
    settings.KeyPath = keyPath;
    settings.Accessors = qd::RegistryAccessors();
    settings.OptionsFile = (dir / "options.ini").wstring();
    settings.ExePath = (dir / "QuiverdirMenu.exe").wstring();
    settings.EditorPath = (dir / "Quiverdir.exe").wstring();
    settings.RunKeyPath = keyPath + L"\\Run";
    settings.WindowClass = L"QuiverdirMenuBench" + tag;
    settings.ShowIcon = false;
    settings.TakeUserThere = [](HWND, const std::wstring&, bool) {};
    auto app = std::make_unique<qd::menu::TFolderMenuApp>(settings);
    app->TryHotKey({});  // no hot key: the benchmark may run beside a running folder menu

    Clock::time_point shownAt;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        shownAt = Clock::now();
        app->FolderMenu->Close();
    };
    // The checks of one opening's folders run on the probe's threads after the menu shows; they
    // are let finish before anything else is timed.
    std::vector<double> checking;
    const auto open = [&] {
        const Clock::time_point start = Clock::now();
        app->OpenFolderMenuAt(nullptr, POINT{100, 100});
        tk::Application().ProcessMessages();  // hands the checks their paths
        for (;;) {
            tk::Application().ProcessMessages();  // the answers
            const tk::TFolderProbeCounts counts = app->Probe->Counts();
            if (counts.Waiting == 0 && counts.Running == 0) break;
            Sleep(1);
        }
        checking.push_back(Milliseconds(Clock::now() - shownAt));
        return Milliseconds(shownAt - start);
    };
    open();  // the first reading

    std::vector<double> unchanged, changed, reading;
    for (int r = 0; r < repetitions; ++r) {
        unchanged.push_back(open());
        {
            // The editor rewrote a value.
            tk::TRegistry reg;
            reg.OpenKey(keyPath, false);
            reg.WriteString(qd::AliasValueName(0), L"项目 0000 " + std::to_wstring(r));
        }
        changed.push_back(open());
        qd::menu::FolderList alone(keyPath, qd::RegistryAccessors());
        const Clock::time_point start = Clock::now();
        alone.Rows();
        reading.push_back(Milliseconds(Clock::now() - start));
    }
    // Typing: each keystroke sent to the open menu and the menu painted again.
    std::vector<double> typing, rebuilding, plain;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        HWND menu = app->FolderMenu->Handle();
        for (const Keystroke& k : kTyping) {
            const Clock::time_point start = Clock::now();
            SendMessageW(menu, k.Message, k.Key, 0);
            rebuilding.push_back(Milliseconds(Clock::now() - start));
            UpdateWindow(menu);
            typing.push_back(Milliseconds(Clock::now() - start));
        }
        app->FolderMenu->Close();
    };
    for (int r = 0; r < repetitions; ++r) app->OpenFolderMenuAt(nullptr, POINT{100, 100});
    const std::vector<qd::ShortcutRow> rows = app->List().Rows();
    for (int r = 0; r < repetitions; ++r)
        for (const Keystroke& k : kTyping) {
            if (!*k.Text) continue;
            const Clock::time_point start = Clock::now();
            const std::wstring folded = qd::FoldLetterCase(k.Text);
            std::vector<int> kept;
            for (size_t i = 0; i < rows.size(); ++i)
                if (qd::ContainsFolded(rows[i].Alias, folded) || qd::ContainsFolded(rows[i].Path, folded))
                    kept.push_back(static_cast<int>(i));
            plain.push_back(Milliseconds(Clock::now() - start));
        }
    const double slowest = typing.empty() ? 0 : *std::max_element(typing.begin(), typing.end());

    app.reset();
    tk::TRegistry().DeleteKey(keyPath);
    std::error_code e;
    std::filesystem::remove_all(dir, e);
    return {Median(unchanged), Median(changed), Median(reading), Median(checking),
            Median(typing),    slowest,          Median(rebuilding), Median(plain)};
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    tk::Application().Initialize();
    const Figures large = Measure(10000, repetitions);
    const Figures small = Measure(100, repetitions * 5);
    std::printf("Opening the folder menu (median ms; %d runs on 10,000 rows, %d on 100)\n", repetitions,
                repetitions * 5);
    std::printf("%-44s %10s %10s %8s\n", "", "100 rows", "10,000", "ratio");
    const auto line = [](const char* what, double a, double b) {
        std::printf("%-44s %10.1f %10.1f %8.1f\n", what, a, b, a > 0 ? b / a : 0.0);
    };
    line("key unchanged since the last opening", small.unchanged, large.unchanged);
    line("key changed: the list read again", small.changed, large.changed);
    line("floor: reading the list alone", small.reading, large.reading);
    line("after the menu shows: every folder checked", small.checking, large.checking);
    line("typing: one keystroke filtered and painted", small.keystroke, large.keystroke);
    line("typing: the slowest keystroke", small.slowestKeystroke, large.slowestKeystroke);
    line("typing: filtering and rebuilding alone", small.rebuild, large.rebuild);
    line("anchor: the plain match of the same texts", small.plainMatch, large.plainMatch);
    std::printf("on 10,000 rows: keystroke / plain match %.1f, filtering and rebuilding / plain match %.1f\n",
                large.plainMatch > 0 ? large.keystroke / large.plainMatch : 0.0,
                large.plainMatch > 0 ? large.rebuild / large.plainMatch : 0.0);
    return 0;
}
