// One participant of the test of programs changing the list at the same time: a long random series
// of changes made through one of the program's real paths, on a private key, and a record of what
// it did. Test-only; the program itself reads no such arguments.
//
// Arguments: KIND KEY SEED STEPS TAG WORK BACKUPS GO OUT
//   KIND     "command": the command line's RunCommand (--add, --delete of an own row, --import of a
//            few rows); "menu": the folder menu's AddFolderToList; "editor": the main window on the
//            key, its commands run as its keys and buttons run them (add, edit, delete and moves of
//            an own row, sort, import, dropped folders, undo of its own add), messages handled
//            between some of them and not others; at the end it waits until the window shows
//            the list the key holds, as the next reload after the others' changes brings it
//   KEY      the registry key of the list, below HKEY_CURRENT_USER
//   SEED     the random series' seed; STEPS how many changes
//   TAG      begins every alias and folder name the participant makes (so the test tells who wrote)
//   WORK     the folder its folders and import files go under (the folders need not exist)
//   BACKUPS  where the writer's recovery files go
//   GO       the name of an event the participant waits for before its first change
//   OUT      the file it writes what it did to, UTF-16, one line each:
//            "+ALIAS\tPATH" a row it added, "-ALIAS" a row it deleted, "writes N" the changes it
//            wrote (each raises the key's count once), "error TEXT" a change that failed
// Exit status: 0 when every change succeeded, 1 otherwise, 2 for bad arguments.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "app/CommandLine.h"
#include "app/Global.h"
#include "list/ListHistory.h"
#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/win/RegistryAccessor.h"
#include "menu/FolderList.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Scoped.h"

namespace {

struct Record {
    std::wstring text;
    int writes = 0;
    bool failed = false;
    void Error(const std::wstring& what) {
        text += L"error " + what + L"\r\n";
        failed = true;
    }
};

void RunCommands(const std::vector<std::wstring>& a, std::mt19937& random, int steps, Record& out) {
    qd::CommandContext context;
    context.KeyPath = a[2];
    context.WindowsDirectory = L"C:\\windows";
    context.FolderExists = [](const std::wstring&) { return true; };
    context.RecoveryFolders = {a[7]};
    const std::wstring& tag = a[5];
    const std::filesystem::path work(a[6]);
    std::vector<std::wstring> mine;  // own rows in the list now
    int serial = 0;
    for (int step = 0; step < steps; ++step) {
        const int pick = static_cast<int>(random() % 4);
        qd::CommandRequest request;
        std::vector<qd::ShortcutRow> imported;
        if (pick == 0 && !mine.empty()) {
            const size_t k = random() % mine.size();
            request = {qd::CommandAction::Delete, mine[k]};
        } else if (pick == 1) {
            for (int i = 0; i < 3; ++i) {
                const std::wstring name = tag + L"-" + std::to_wstring(++serial);
                imported.push_back({name, (work / name).wstring()});
            }
            request.Action = qd::CommandAction::Import;
            request.File = (work / (tag + L"-import.pwb")).wstring();
            qd::WriteBackupFile(request.File, imported, true);
        } else {
            const std::wstring name = tag + L"-" + std::to_wstring(++serial);
            request = {qd::CommandAction::Add, name, (work / name).wstring()};
        }
        const qd::CommandOutcome o = qd::RunCommand(request, context);
        if (o.Status != qd::kExitOk || !o.Err.empty()) {
            out.Error(o.Err);
            continue;
        }
        if (o.ListChanged) ++out.writes;
        switch (request.Action) {
        case qd::CommandAction::Delete:
            out.text += L"-" + request.Alias + L"\r\n";
            mine.erase(std::find(mine.begin(), mine.end(), request.Alias));
            break;
        case qd::CommandAction::Import:
            for (const qd::ShortcutRow& row : imported) {
                out.text += L"+" + row.Alias + L"\t" + row.Path + L"\r\n";
                mine.push_back(row.Alias);
            }
            break;
        default:
            out.text += L"+" + request.Alias + L"\t" + request.Path + L"\r\n";
            mine.push_back(request.Alias);
            break;
        }
    }
}

void RunMenu(const std::vector<std::wstring>& a, int steps, Record& out) {
    qd::WriterSettings settings;
    settings.KeyPath = a[2];
    settings.BackupFolder = a[7];
    qd::menu::FolderList list(settings);
    for (int step = 0; step < steps; ++step) {
        const std::wstring folder = (std::filesystem::path(a[6]) / (a[5] + L"-" + std::to_wstring(step + 1))).wstring();
        try {
            const qd::menu::FolderAddition added = qd::menu::AddFolderToList(list, folder);
            if (added.AlreadyThere) {
                out.Error(L"already there: " + folder);
                continue;
            }
            ++out.writes;
            out.text += L"+" + added.Alias + L"\t" + folder + L"\r\n";
            // The menu reads the list between its changes, as it does at each opening.
            list.Rows();
        } catch (...) {
            out.Error(tk::ExceptionMessage(std::current_exception()));
        }
    }
}

// The registry, counting this process's raisings of the key's count of changes: one per change
// the window wrote.
class CountingAccessor : public qd::RegistryAccessor {
public:
    explicit CountingAccessor(int& writes) : writes_(writes) {}
    void WriteString(const std::wstring& name, const std::wstring& text) override {
        RegistryAccessor::WriteString(name, text);
        if (name == qd::kChangeCountValue) ++writes_;
    }

private:
    int& writes_;
};

void RunEditor(const std::vector<std::wstring>& a, std::mt19937& random, int steps, Record& out) {
    const std::wstring& tag = a[5];
    const std::filesystem::path work(a[6]);
    tk::Application().Initialize();
    std::vector<std::wstring> boxErrors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { boxErrors.push_back(m); });
    std::ofstream(work / "options.ini") << "[Options]\nAskDelete=0\n";
    int writes = 0;
    qd::MainSettings settings{a[2], L"C:\\Tools\\Quiverdir.exe", (work / "options.ini").wstring(), L"C:\\windows", L""};
    settings.Accessors = [&writes] { return std::make_unique<CountingAccessor>(writes); };
    // Its automatic backups and recovery files stay out of the folder the test checks.
    settings.BackupFolder = (work / "backups").wstring();
    settings.FolderProbe.Test = [](const std::wstring&) { return tk::TFolderState::Present; };
    auto form = std::make_unique<qd::TfrmMain>(nullptr, settings);
    tk::Application().SetMainForm(form.get());
    const auto pump = [] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) tk::Application().HandleMessage();
    };
    pump();
    std::vector<qd::ShortcutRow> mine;  // own rows in the list now
    int serial = 0;
    const auto fresh = [&] {
        const std::wstring name = tag + L"-" + std::to_wstring(++serial);
        return qd::ShortcutRow{name, (work / name).wstring()};
    };
    const auto added = [&](const qd::ShortcutRow& row) {
        out.text += L"+" + row.Alias + L"\t" + row.Path + L"\r\n";
        mine.push_back(row);
    };
    const auto removed = [&](size_t k) {
        out.text += L"-" + mine[k].Alias + L"\r\n";
        mine.erase(mine.begin() + static_cast<std::ptrdiff_t>(k));
    };
    // An own row, chosen in the window as a click chooses it.
    const auto chooseOwn = [&](size_t k) {
        form->lvMain->SetItemIndex(qd::FindShortcutRow(form->Model().Rows(), mine[k]));
    };
    for (int step = 0; step < steps; ++step) {
        // Half the time the window has handled the others' notices before the command.
        if (random() % 2) pump();
        const int pick = static_cast<int>(random() % 9);
        const size_t k = mine.empty() ? 0 : random() % mine.size();
        try {
            if (pick == 0 || mine.empty()) {
                const qd::ShortcutRow row = fresh();
                form->AddShortcut(row.Alias, row.Path);
                added(row);
                // Now and then the add is undone at once (refused when another change came first).
                if (random() % 3 == 0 && form->UndoName() == qd::kStepAdd) {
                    const size_t before = boxErrors.size();
                    tk::Application().Guarded([&] { form->Undo(); });
                    if (boxErrors.size() == before) {
                        removed(mine.size() - 1);
                    } else if (boxErrors.back() == qd::kHistoryNoLongerFits) {
                        boxErrors.pop_back();
                    }
                }
            } else if (pick == 1) {
                chooseOwn(k);
                form->aDeleteExecute(form->aDelete);
                removed(k);
            } else if (pick == 2) {
                const qd::ShortcutRow row = fresh();
                form->EditShortcut(qd::FindShortcutRow(form->Model().Rows(), mine[k]), row.Alias, row.Path);
                removed(k);
                added(row);
            } else if (pick == 3 || pick == 4) {
                chooseOwn(k);
                form->RunCommand(pick == 3 ? qd::desc::MainCommand::ItemUp : qd::desc::MainCommand::ItemDown);
            } else if (pick == 5) {
                form->aSortExecute(form->aSort);
            } else if (pick == 6) {
                std::vector<qd::ShortcutRow> entries{fresh(), fresh()};
                const std::wstring file = (work / (tag + L"-import.pwb")).wstring();
                qd::WriteBackupFile(file, entries, true);
                form->ImportFrom(file);
                for (const qd::ShortcutRow& row : entries) added(row);
            } else {
                // Folders dropped from Explorer: they exist, and their names become the aliases.
                std::vector<std::wstring> paths;
                std::vector<qd::ShortcutRow> rows;
                for (int i = 0; i < 2; ++i) {
                    rows.push_back(fresh());
                    std::filesystem::create_directories(rows.back().Path);
                    paths.push_back(rows.back().Path);
                }
                form->AddFolders(paths, qd::kStepDrop);
                // The rows come once the folder check has answered, off the window's thread.
                const DWORD asked = GetTickCount();
                while (form->FolderAddsWaiting() > 0 && GetTickCount() - asked < 60000) {
                    pump();
                    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                }
                for (const qd::ShortcutRow& row : rows) added(row);
            }
        } catch (...) {
            out.Error(tk::ExceptionMessage(std::current_exception()));
        }
        for (const std::wstring& e : boxErrors) out.Error(e);
        boxErrors.clear();
    }
    out.writes = writes;
    // The window shows what the key holds once the others are done and it has handled their
    // notices (or its watch of the key told it).
    qd::WriterSettings reading;
    reading.KeyPath = a[2];
    reading.BackupFolder = a[7];
    const DWORD start = GetTickCount();
    for (;;) {
        pump();
        const qd::StoredList list = qd::ListWriter(reading).Read();
        if (qd::SameShortcuts(list.Rows, form->Model().Rows()) && list.Version == form->ListVersion()) break;
        if (GetTickCount() - start > 60000) {
            out.Error(L"the window does not show the list the key holds");
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    for (const std::wstring& e : boxErrors) out.Error(e);
    tk::Application().SetMainForm(nullptr);
    form.reset();
}

}  // namespace

int main() {
    std::vector<std::wstring> a = qd::ProgramArguments();
    a.insert(a.begin(), L"");
    if (a.size() != 10) return 2;
    std::mt19937 random(static_cast<unsigned>(std::stoul(a[3])));
    const int steps = std::stoi(a[4]);
    const tk::ScopedKernelHandle go(OpenEventW(SYNCHRONIZE, FALSE, a[8].c_str()));
    if (!go || WaitForSingleObject(go.get(), 60000) != WAIT_OBJECT_0) return 2;
    Record out;
    if (a[1] == L"command") {
        RunCommands(a, random, steps, out);
    } else if (a[1] == L"menu") {
        RunMenu(a, steps, out);
    } else if (a[1] == L"editor") {
        RunEditor(a, random, steps, out);
    } else {
        return 2;
    }
    out.text += L"writes " + std::to_wstring(out.writes) + L"\r\n";
    tk::WriteUnicodeFile(a[9], out.text, true);
    return out.failed ? 1 : 0;
}
