// One participant of the test of programs changing the list at the same time: a long random series
// of changes made through one of the program's real paths, on a private key, and a record of what
// it did. Test-only; the program itself reads no such arguments.
//
// Arguments: KIND KEY SEED STEPS TAG WORK BACKUPS GO OUT
//   KIND     "command": the command line's RunCommand (--add, --delete of an own row, --import of a
//            few rows); "menu": the folder menu's AddFolderToList
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
#include <random>
#include <string>
#include <vector>

#include "app/AutoBackup.h"
#include "app/Backup.h"
#include "app/CommandLine.h"
#include "app/ListWriter.h"
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
    } else {
        return 2;
    }
    out.text += L"writes " + std::to_wstring(out.writes) + L"\r\n";
    tk::WriteUnicodeFile(a[9], out.text, true);
    return out.failed ? 1 : 0;
}
