// The list commands on a long list: start-up to a filled list, refresh, sort (ascending from a
// shuffled list, then descending from the ascending one), deleting the first row, moving a row up,
// importing a backup of as many entries (half of them already in the list) and exporting the list,
// each on the real main window with its list in a private registry key. Every operation is
// measured on 10,000 shortcuts and on 100 (the anchor, measured in the same run); the report gives
// the median time of each, the ratio of the two, and the command's floor: the registry reads or
// writes the command must make (for export, the file write), done alone under the same key in the
// same run, with the command's time as a multiple of it. The sort's order computation alone,
// without window and registry, is measured too.
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

#include "list/win/AliasSortKey.h"
#include "app/Global.h"
#include "app/Main.h"
#include "list/ShortcutStore.h"
#include "toolkit/win/IniFile.h"
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

    // Each command's time and its floor (0 where there is none).
    struct Figure {
        double time = 0, floor = 0;
        double floorPerValue = 0;  // import: the same writes, each under the key opened anew
    };
    struct Result {
        Figure startup, refresh, sortAscending, sortDescending, deleteFirst, moveUp, undoMove, redoMove, undoDelete,
            import, importAgain, exportList, orderOnly;
    };

    Result Run() {
        std::vector<Figure> startup, refresh, sortUp, sortDown, del, move, undoMove, redoMove, undoDelete, import, again,
            exported, order;
        auto add = [](std::vector<Figure>& to, double time, double floor) { to.push_back({time, floor}); };
        for (int r = 0; r < repetitions_; ++r) {
            WriteStore();
            form_.reset();
            const double startTime = Time([&] { StartForm(); });
            add(startup, startTime, ReadFloor(form_->Model().Count()));
            const double refreshTime = Time([&] { form_->tbRefreshClick(nullptr); });
            add(refresh, refreshTime, ReadFloor(form_->Model().Count()));
            const double upTime = Time([&] { form_->aSortExecute(nullptr); });
            add(sortUp, upTime, WriteFloor(0, form_->Model().Count() - 1, 0));
            const double downTime = Time([&] { form_->aSortExecute(nullptr); });
            add(sortDown, downTime, WriteFloor(0, form_->Model().Count() - 1, 0));
            form_->lvMain->SetItemIndex(0);
            Pump();
            const double deleteTime = Time([&] { form_->aDeleteExecute(nullptr); });
            {
                // The floor: the rows that moved up rewritten, the pair that fell off the end deleted.
                const int n = form_->Model().Count();
                tk::TRegistry reg;
                reg.OpenKey(keyPath_, false);
                reg.WriteString(qd::AliasValueName(n), L"x");
                reg.WriteString(qd::PathValueName(n), L"x");
                add(del, deleteTime, WriteFloor(0, n - 1, n));
            }
            form_->lvMain->SetItemIndex(n_ / 2);
            Pump();
            const double moveTime = Time([&] { form_->aItemUpExecute(nullptr); });
            add(move, moveTime, WriteFloor(n_ / 2 - 1, n_ / 2, 0));
            // Undo and redo of the move, then undo of the deletion of the first row (every pair
            // moves down by one, written from the end).
            add(undoMove, Time([&] { form_->Undo(); }), WriteFloor(n_ / 2 - 1, n_ / 2, 0));
            add(redoMove, Time([&] { form_->Redo(); }), WriteFloor(n_ / 2 - 1, n_ / 2, 0));
            form_->Undo();
            add(undoDelete, Time([&] { form_->Undo(); }), WriteFloor(0, form_->Model().Count() - 1, 0));
            form_->Redo();
            form_->Redo();

            // Import: a backup of n entries, the second half of the list and as many new ones.
            const std::filesystem::path source = dir_ / "source.pwb";
            WriteBackup(source);
            const int before = form_->Model().Count();
            const double importTime = Time([&] { form_->ImportFrom(source.wstring()); });
            if (form_->Model().Count() != before + n_ / 2) {
                std::fprintf(stderr, "import added %d rows, expected %d\n", form_->Model().Count() - before, n_ / 2);
                std::exit(1);
            }
            {
                // The floor: the appended pairs written anew, after they have been removed.
                tk::TRegistry reg;
                reg.OpenKey(keyPath_, false);
                for (int i = before; i < form_->Model().Count(); ++i) {
                    reg.DeleteValue(qd::AliasValueName(i));
                    reg.DeleteValue(qd::PathValueName(i));
                }
                add(import, importTime, WriteFloor(before, form_->Model().Count() - 1, 0));
            }
            {
                // The same writes as the store makes them for each appended row (the key opened
                // for every value), again after the pairs have been removed.
                tk::TRegistry reg;
                reg.OpenKey(keyPath_, false);
                for (int i = before; i < form_->Model().Count(); ++i) {
                    reg.DeleteValue(qd::AliasValueName(i));
                    reg.DeleteValue(qd::PathValueName(i));
                }
                reg.CloseKey();
                import.back().floorPerValue = Time([&] {
                    for (int i = before; i < form_->Model().Count(); ++i) {
                        for (int v = 0; v < 2; ++v) {
                            tk::TRegistry one;
                            one.SetAccess(KEY_WRITE);
                            one.OpenKey(keyPath_, true);
                            const qd::ShortcutRow& row = form_->Model().Row(i);
                            one.WriteString(v ? qd::PathValueName(i) : qd::AliasValueName(i), v ? row.Path : row.Alias);
                        }
                    }
                });
            }

            // The same file again: every entry is in the list now, so this is the reading and the
            // duplicate search alone.
            const int after = form_->Model().Count();
            add(again, Time([&] { form_->ImportFrom(source.wstring()); }), 0);
            if (form_->Model().Count() != after) {
                std::fprintf(stderr, "the second import added rows\n");
                std::exit(1);
            }

            const std::filesystem::path target = dir_ / "export.pwb";
            std::filesystem::remove(target);
            const double exportTime = Time([&] { form_->ExportTo(target.wstring()); });
            add(exported, exportTime, ExportFloor(dir_ / "floor.pwb"));

            std::vector<std::string> keys;
            for (const auto& row : rows_) keys.push_back(qd::AliasSortKey(row.first));
            add(order, Time([&] { qd::AliasSortOrder(keys, true); }), 0);
        }
        return {Median(startup),  Median(refresh),  Median(sortUp),     Median(sortDown), Median(del),
                Median(move),     Median(undoMove), Median(redoMove),   Median(undoDelete), Median(import),
                Median(again),    Median(exported), Median(order)};
    }

private:
    static Figure Median(const std::vector<Figure>& figures) {
        std::vector<double> times, floors, perValue;
        for (const Figure& f : figures) {
            times.push_back(f.time);
            floors.push_back(f.floor);
            perValue.push_back(f.floorPerValue);
        }
        return {::Median(times), ::Median(floors), ::Median(perValue)};
    }
    // Reading the list alone: both values of every row and of the index that ends it, under the
    // key opened once.
    double ReadFloor(int rows) {
        return Time([&] {
            tk::TRegistry reg;
            reg.OpenKeyReadOnly(keyPath_);
            for (int i = 0; i <= rows; ++i) {
                reg.ReadString(qd::AliasValueName(i));
                reg.ReadString(qd::PathValueName(i));
            }
        });
    }
    // Writing rows first..last of the model alone under the key opened once, then deleting the
    // pair at deleteIndex when it is not 0.
    double WriteFloor(int first, int last, int deleteIndex) {
        std::vector<std::pair<std::wstring, std::wstring>> values;
        for (int i = first; i <= last; ++i) {
            values.emplace_back(qd::AliasValueName(i), form_->Model().Row(i).Alias);
            values.emplace_back(qd::PathValueName(i), form_->Model().Row(i).Path);
        }
        return Time([&] {
            tk::TRegistry reg;
            reg.OpenKey(keyPath_, false);
            for (const auto& [name, text] : values) reg.WriteString(name, text);
            if (deleteIndex > 0) {
                reg.DeleteValue(qd::AliasValueName(deleteIndex));
                reg.DeleteValue(qd::PathValueName(deleteIndex));
            }
        });
    }
    // Writing the list's backup section alone, to a new file.
    double ExportFloor(const std::filesystem::path& file) {
        std::filesystem::remove(file);
        tk::TIniFile::Entries entries{{L"Count", std::to_wstring(form_->Model().Count())}};
        for (int i = 0; i < form_->Model().Count(); ++i) {
            entries.emplace_back(qd::AliasValueName(i), form_->Model().Row(i).Alias);
            entries.emplace_back(qd::PathValueName(i), form_->Model().Row(i).Path);
        }
        return Time([&] {
            tk::TIniFile ini(file.wstring());
            ini.UseUnicode();
            ini.WriteSection(L"PathWarden", entries);
        });
    }
    // A backup of n entries: the second half of the list as it is now and n/2 new ones.
    void WriteBackup(const std::filesystem::path& file) {
        std::filesystem::remove(file);
        tk::TIniFile::Entries entries{{L"Count", std::to_wstring(n_ / 2 * 2)}};
        const int count = form_->Model().Count();
        int k = 0;
        for (int i = count - n_ / 2; i < count; ++i, ++k) {
            entries.emplace_back(qd::AliasValueName(k), form_->Model().Row(i).Alias);
            entries.emplace_back(qd::PathValueName(k), form_->Model().Row(i).Path);
        }
        for (int i = 0; i < n_ / 2; ++i, ++k) {
            entries.emplace_back(qd::AliasValueName(k), L"Imported " + std::to_wstring(i));
            entries.emplace_back(qd::PathValueName(k), L"D:\\Imported\\" + std::to_wstring(i));
        }
        tk::TIniFile ini(file.wstring());
        ini.UseUnicode();
        ini.WriteSection(L"PathWarden", entries);
    }
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
        settings.BackupFolder = (dir_ / "backups").wstring();
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
        Bench::Figure Bench::Result::*field;
    } lines[] = {
        {"start-up to a filled list", &Bench::Result::startup},
        {"refresh", &Bench::Result::refresh},
        {"sort ascending (shuffled)", &Bench::Result::sortAscending},
        {"sort descending (after ascending)", &Bench::Result::sortDescending},
        {"delete the first row", &Bench::Result::deleteFirst},
        {"move a row up", &Bench::Result::moveUp},
        {"undo the move", &Bench::Result::undoMove},
        {"redo the move", &Bench::Result::redoMove},
        {"undo the deletion of the first row", &Bench::Result::undoDelete},
        {"import n into n (half duplicates)", &Bench::Result::import},
        {"import again (all duplicates)", &Bench::Result::importAgain},
        {"export", &Bench::Result::exportList},
        {"sort order alone (no window)", &Bench::Result::orderOnly},
    };
    std::printf("median of %d / %d runs          100 rows (ms)  10000 rows (ms)  10000/100  floor 10000 (ms)  x floor\n",
                repetitions * 5, repetitions);
    for (const Line& l : lines) {
        const Bench::Figure a = small.*l.field, b = large.*l.field;
        std::printf("%-36s %13.3f %16.3f %10.1f", l.name, a.time, b.time, a.time > 0 ? b.time / a.time : 0.0);
        if (b.floor > 0)
            std::printf(" %17.3f %8.2f\n", b.floor, b.time / b.floor);
        else
            std::printf("\n");
    }
    const Bench::Figure import = large.import;
    std::printf("import 10000 against its writes with the key opened for each value (%.3f ms): %.2f\n",
                import.floorPerValue, import.floorPerValue > 0 ? import.time / import.floorPerValue : 0.0);
    // Start-up has a fixed part (window, skin, tool bar): its goal is the start-up with 100 rows
    // plus the reading of 10,000.
    const double startGoal = small.startup.time + 1.5 * large.startup.floor;
    std::printf("start-up 10000 against start-up 100 + 1.5 x read floor (%.3f ms): %.2f\n", startGoal,
                large.startup.time / startGoal);
    return 0;
}
