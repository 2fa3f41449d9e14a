// Backup export and import on long lists, under Wine: a list of N shortcuts exported to a new
// file, and a file of N entries (half of them already in a list of N rows) imported into that
// list with every appended row written to a private registry key, as the main window does.
// Each figure is the median of five runs; the ratio to N = 100 shows how the cost grows, and the
// duplicate search of the import is set against the plain linear search over the list.
// The automatic backup (the whole list as one file, written under a temporary name, flushed and
// moved to its name, older backups pruned), the strict reading of a backup for a restore, and a
// rewrite of the whole list under the crash record against the same rewrite alone are measured
// too.
//   wine build/win/bench/bench_backup.exe
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "list/win/RegistryAccessor.h"
#include "list/ShortcutStore.h"
#include "list/win/ListWriter.h"
#include "toolkit/win/Registry.h"

namespace {

struct Rows : qd::ShortcutRows {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    int RowCount() override { return static_cast<int>(rows.size()); }
    std::wstring Alias(int i) override { return rows[static_cast<size_t>(i)].first; }
    std::wstring Path(int i) override { return rows[static_cast<size_t>(i)].second; }
    void AppendRow(const std::wstring& a, const std::wstring& p) override { rows.emplace_back(a, p); }
};

double MedianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

Rows MakeList(int n, int offset) {
    Rows list;
    for (int i = 0; i < n; ++i)
        list.rows.emplace_back(L"Folder " + std::to_wstring(i + offset), L"C:\\Data\\Folder" + std::to_wstring(i + offset));
    return list;
}

struct Figures {
    double exportMs, importMs, linearSearchMs;
    double autoBackupMs, readBackMs, rewriteMs, guardedRewriteMs, flushMs;
    double writerImportMs, writerDeleteHalfMs, writerAppendOneMs;
};

Figures Measure(int n, const std::filesystem::path& folder) {
    const std::wstring keyPath = L"Software\\QuiverdirBench";
    const std::filesystem::path exported = folder / "export.pwb";
    const std::filesystem::path source = folder / "source.pwb";
    Rows list = MakeList(n, 0);

    Figures f{};
    f.exportMs = MedianMs(
        5, [&] { std::filesystem::remove(exported); },
        [&] { qd::ExportBackup(tk::TIniFile(exported.wstring()), list); });

    // The file to import: the second half of the list and as many new entries.
    Rows fileRows = MakeList(n, n / 2);
    std::filesystem::remove(source);
    qd::ExportBackup(tk::TIniFile(source.wstring()), fileRows);
    Rows target;
    qd::ShortcutStore store(qd::RegistryAccessors(), target);
    f.importMs = MedianMs(
        5,
        [&] {
            tk::TRegistry().DeleteKey(keyPath);
            target = MakeList(n, 0);
        },
        [&] {
            qd::ImportBackup(tk::TIniFile(source.wstring()), target, [&](const std::wstring& a, const std::wstring& p) {
                target.AppendRow(a, p);
                const int last = target.RowCount() - 1;
                store.WriteRegString(keyPath, qd::AliasValueName(last), a);
                store.WriteRegString(keyPath, qd::PathValueName(last), p);
            });
        });
    tk::TRegistry().DeleteKey(keyPath);

    // The anchor: the same duplicate decisions by a linear search over the growing list.
    f.linearSearchMs = MedianMs(
        3, [&] { target = MakeList(n, 0); },
        [&] {
            for (const auto& [alias, path] : fileRows.rows) {
                const std::wstring key = qd::SameFolderKey(path);
                bool found = false;
                for (const auto& row : target.rows)
                    if (row.first == alias && qd::SameFolderKey(row.second) == key) {
                        found = true;
                        break;
                    }
                if (!found) target.AppendRow(alias, path);
            }
        });

    // The automatic backup, into a folder that already holds the kept number of backups.
    std::vector<qd::ShortcutRow> rows;
    for (const auto& [alias, path] : list.rows) rows.push_back({alias, path, false});
    const std::wstring backups = (folder / "backups").wstring();
    std::wstring written;
    f.autoBackupMs = MedianMs(7, [] {}, [&] { written = qd::WriteAutomaticBackup(backups, rows); });
    f.readBackMs = MedianMs(5, [] {}, [&] {
        if (qd::ReadBackupRows(written).size() != rows.size()) std::fprintf(stderr, "the backup read back differs\n");
    });

    // The whole list rewritten (every pair), alone and under the crash record.
    Rows unused;
    qd::ShortcutStore writer(qd::RegistryAccessors(), unused);
    qd::RowsOf whole(rows);
    tk::TRegistry().DeleteKey(keyPath);
    writer.WriteList(keyPath, whole);
    f.rewriteMs = MedianMs(5, [] {}, [&] { writer.WriteItemRange(keyPath, 0, n - 1, whole); });
    qd::WriterSettings place;
    place.KeyPath = keyPath;
    place.BackupFolder = (folder / "recovery").wstring();
    // Every pair differs from the key's each time: the writer puts it under the crash record.
    const std::vector<qd::ShortcutRow> reversed(rows.rbegin(), rows.rend());
    bool flipped = false;
    f.guardedRewriteMs = MedianMs(5, [] {}, [&] {
        flipped = !flipped;
        qd::ListWriter(place).Apply([&](const std::vector<qd::ShortcutRow>&) { return flipped ? reversed : rows; });
    });
    f.flushMs = MedianMs(5, [] {}, [&] { writer.Flush(keyPath); });

    // Through the list's writer, as the command line and the menu change the list (the key read
    // under the lock, the change written under one opening of the key): n new rows appended to n
    // (an import), every second row of n deleted (one rewrite from the first deleted row on), one
    // row appended.
    std::vector<qd::ShortcutRow> doubled = rows;
    for (const auto& [alias, path] : MakeList(n, n).rows) doubled.push_back({alias, path, false});
    std::vector<qd::ShortcutRow> halved;
    for (size_t i = 0; i < rows.size(); i += 2) halved.push_back(rows[i]);
    const auto setTo = [&](const std::vector<qd::ShortcutRow>& wanted) {
        tk::TRegistry().DeleteKey(keyPath);
        qd::ListWriter(place).Apply([&](const std::vector<qd::ShortcutRow>&) { return wanted; });
    };
    f.writerImportMs = MedianMs(5, [&] { setTo(rows); }, [&] {
        qd::ListWriter(place).Apply([&](const std::vector<qd::ShortcutRow>&) { return doubled; });
    });
    f.writerDeleteHalfMs = MedianMs(5, [&] { setTo(rows); }, [&] {
        qd::ListWriter(place).Apply([&](const std::vector<qd::ShortcutRow>&) { return halved; });
    });
    f.writerAppendOneMs = MedianMs(5, [&] { setTo(rows); }, [&] {
        qd::ListWriter(place).Apply([](std::vector<qd::ShortcutRow> current) {
            current.push_back({L"one more", L"C:\\one more"});
            return current;
        });
    });
    tk::TRegistry().DeleteKey(keyPath);
    return f;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / "quiverdir-backup-bench";
    std::filesystem::create_directories(folder);
    const Figures small = Measure(100, folder);
    const Figures large = Measure(10000, folder);
    std::filesystem::remove_all(folder);
    std::printf("%-44s %12s %12s %10s\n", "operation", "100 rows", "10000 rows", "ratio");
    auto row = [](const char* name, double a, double b) { std::printf("%-44s %10.2f ms %10.2f ms %9.1fx\n", name, a, b, b / a); };
    row("export to a new file", small.exportMs, large.exportMs);
    row("import, half duplicates, stored at once", small.importMs, large.importMs);
    row("anchor: linear duplicate search alone", small.linearSearchMs, large.linearSearchMs);
    row("automatic backup (write, flush, rename, prune)", small.autoBackupMs, large.autoBackupMs);
    row("backup read back whole (restore)", small.readBackMs, large.readBackMs);
    row("whole list rewritten", small.rewriteMs, large.rewriteMs);
    row("the same under the crash record", small.guardedRewriteMs, large.guardedRewriteMs);
    row("registry key flushed to the disk", small.flushMs, large.flushMs);
    row("writer: N rows imported into N", small.writerImportMs, large.writerImportMs);
    row("writer: every second of N rows deleted", small.writerDeleteHalfMs, large.writerDeleteHalfMs);
    row("writer: one row appended to N", small.writerAppendOneMs, large.writerAppendOneMs);
    return 0;
}
