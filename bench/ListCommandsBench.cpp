// The list commands on a long list: start-up to a filled list, refresh, sort (ascending from a
// shuffled list, then descending from the ascending one), deleting the first row and moving a row
// up, each on the real main window with its list in a private registry key. Every operation is
// measured on 10,000 shortcuts and on 100 (the anchor, measured in the same run); the report gives
// the median time of each and the ratio of the two. The sort's order computation alone, without
// list view and registry, is measured too.
//
//   bench_list_commands.exe [REPETITIONS]      (Windows build; run under Wine with a display)
// REPETITIONS (default 5) runs on 10,000 rows, five times as many on 100.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "app/AliasSort.h"
#include "app/Global.h"
#include "app/Main.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    tk::Application().Idle();
}

// A list of n shortcuts in shuffled order, one in eight aliases repeated (equal aliases are part of
// real lists), some of them Chinese.
std::vector<std::pair<std::wstring, std::wstring>> MakeRows(int n) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (int i = 0; i < n; ++i) {
        const int id = i % 8 == 7 ? i - 7 : i;
        const std::wstring number = std::to_wstring(100000 + id).substr(1);
        std::wstring alias = (id % 3 == 0 ? L"项目 " : id % 3 == 1 ? L"folder " : L"Folder ") + number;
        rows.emplace_back(alias, L"C:\\Data\\Folder" + number);
    }
    std::shuffle(rows.begin(), rows.end(), std::mt19937(12345));
    return rows;
}

class Bench {
public:
    Bench(int n, int repetitions) : n_(n), repetitions_(repetitions), rows_(MakeRows(n)) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::filesystem::path(temp) / (L"qdbench-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n));
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "options.ini") << "[Options]\nAskDelete=0\n";
        keyPath_ = L"Software\\QuiverdirBench\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
        WriteStore();
    }
    ~Bench() {
        form_.reset();
        tk::TRegistry().DeleteKey(keyPath_);
        std::error_code e;
        std::filesystem::remove_all(dir_, e);
    }

    struct Result {
        double startup, refresh, sortAscending, sortDescending, deleteFirst, moveUp, orderOnly;
    };

    Result Run() {
        std::vector<double> startup, refresh, sortUp, sortDown, del, move, order;
        for (int r = 0; r < repetitions_; ++r) {
            WriteStore();
            form_.reset();
            startup.push_back(Time([&] { StartForm(); }));
            refresh.push_back(Time([&] { form_->tbRefreshClick(nullptr); }));
            sortUp.push_back(Time([&] { form_->aSortExecute(nullptr); }));
            sortDown.push_back(Time([&] { form_->aSortExecute(nullptr); }));
            form_->lvMain->SetItemIndex(0);
            Pump();
            del.push_back(Time([&] { form_->aDeleteExecute(nullptr); }));
            form_->lvMain->SetItemIndex(n_ / 2);
            Pump();
            move.push_back(Time([&] { form_->aItemUpExecute(nullptr); }));

            std::vector<std::string> keys;
            for (const auto& row : rows_) keys.push_back(qd::AliasSortKey(row.first));
            order.push_back(Time([&] { qd::AliasSortOrder(keys, true); }));
        }
        return {Median(startup), Median(refresh), Median(sortUp), Median(sortDown), Median(del), Median(move), Median(order)};
    }

private:
    double Time(const std::function<void()>& operation) {
        const auto start = Clock::now();
        operation();
        return Milliseconds(Clock::now() - start);
    }
    void WriteStore() {
        tk::TRegistry().DeleteKey(keyPath_);
        tk::TRegistry reg;
        reg.OpenKey(keyPath_, true);
        for (int i = 0; i < n_; ++i) {
            reg.WriteString(L"N" + std::to_wstring(i), rows_[static_cast<size_t>(i)].first);
            reg.WriteString(L"P" + std::to_wstring(i), rows_[static_cast<size_t>(i)].second);
        }
    }
    void StartForm() {
        qd::MainSettings settings{keyPath_, L"C:\\Tools\\Quiverdir.exe", (dir_ / "options.ini").wstring(), L"C:\\windows", L""};
        form_ = std::make_unique<qd::TfrmMain>(nullptr, settings);
        tk::Application().SetMainForm(form_.get());
        if (form_->lvMain->Count() != n_) {
            std::fprintf(stderr, "list holds %d rows, expected %d\n", form_->lvMain->Count(), n_);
            std::exit(1);
        }
    }

    int n_, repetitions_;
    std::vector<std::pair<std::wstring, std::wstring>> rows_;
    std::filesystem::path dir_;
    std::wstring keyPath_;
    std::unique_ptr<qd::TfrmMain> form_;
};

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    tk::Application().Initialize();
    tk::Application().SetExceptionHandler([](const std::wstring& message) {
        std::fwprintf(stderr, L"error: %ls\n", message.c_str());
        std::exit(1);
    });
    Bench::Result small{}, large{};
    {
        // The anchor is cheap: more runs steady its median on a busy machine.
        Bench b(100, repetitions * 5);
        small = b.Run();
    }
    {
        Bench b(10000, repetitions);
        large = b.Run();
    }
    tk::Application().SetMainForm(nullptr);
    struct Line {
        const char* name;
        double Bench::Result::*field;
    } lines[] = {
        {"start-up to a filled list", &Bench::Result::startup},
        {"refresh", &Bench::Result::refresh},
        {"sort ascending (shuffled)", &Bench::Result::sortAscending},
        {"sort descending (after ascending)", &Bench::Result::sortDescending},
        {"delete the first row", &Bench::Result::deleteFirst},
        {"move a row up", &Bench::Result::moveUp},
        {"sort order alone (no window)", &Bench::Result::orderOnly},
    };
    std::printf("median of %d / %d runs     100 rows (ms)   10000 rows (ms)   ratio 10000/100\n", repetitions * 5, repetitions);
    for (const Line& l : lines) {
        const double a = small.*l.field, b = large.*l.field;
        std::printf("%-34s %12.3f %17.3f %17.1f\n", l.name, a, b, a > 0 ? b / a : 0.0);
    }
    return 0;
}
