#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "app/AddItem.h"
#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "app/BulkRewrite.h"
#include "app/Global.h"
#include "list/win/RegistryAccessor.h"
#include "list/ShortcutModel.h"
#include "resources/forms/MainFormDesc.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/StdStream.h"

namespace qd {

namespace {

std::wstring RowLine(const std::wstring& alias, const std::wstring& path) { return alias + L"\t" + path + L"\r\n"; }

CommandOutcome Refused(std::wstring message) {
    CommandOutcome outcome;
    outcome.Status = kExitRefused;
    outcome.Err = std::move(message) + L"\r\n";
    return outcome;
}

bool FileExists(const std::wstring& name) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

CommandOutcome RunCommand(const CommandRequest& request, const CommandContext& context) {
    CommandOutcome outcome;
    if (request.Action == CommandAction::Help || request.Action == CommandAction::None) {
        outcome.Out = UsageText();
        return outcome;
    }
    if (request.Action == CommandAction::Add) {
        // The property dialog's checks, with its texts.
        if (request.Alias.empty() || request.Path.empty()) return Refused(kEmptyAliasOrPath);
        const bool exists = context.FolderExists ? context.FolderExists(request.Path) : DirectoryExists(request.Path);
        if (!exists) return Refused(PathNotFoundText(request.Path));
    }
    if (request.Action == CommandAction::Import && !FileExists(request.File))
        return Refused(L"No such file: " + request.File);

    try {
        ShortcutModel list;
        ShortcutStore store(context.Accessors ? context.Accessors : RegistryAccessors(), list);
        const bool changes = request.Action == CommandAction::Add || request.Action == CommandAction::Delete ||
                             request.Action == CommandAction::Import;
        // A first change on a machine without the key starts from the list the editor would show.
        if (changes) store.SeedStore(context.KeyPath, context.WindowsDirectory);
        store.LoadItems(context.KeyPath);
        ShortcutModel next;
        next.ReplaceAll(list.Rows());

        switch (request.Action) {
        case CommandAction::List:
            for (const ShortcutRow& row : list.Rows()) outcome.Out += RowLine(row.Alias, row.Path);
            return outcome;
        case CommandAction::Export: {
            const std::wstring name = BackupFileName(request.File);
            ExportBackup(tk::TIniFile(name), list);
            outcome.Out = tk::FormatText(L"Exported %s rows to %s\r\n", {tk::IntToText(list.Count()), name});
            return outcome;
        }
        case CommandAction::Add:
            next.Append(request.Alias, request.Path);
            outcome.Out = L"Added: " + RowLine(request.Alias, request.Path);
            break;
        case CommandAction::Delete: {
            int row = 0;
            while (row < list.Count() && list.Row(row).Alias != request.Alias) ++row;
            if (row == list.Count()) return Refused(L"No row has the alias " + request.Alias);
            outcome.Out = L"Deleted: " + RowLine(list.Row(row).Alias, list.Row(row).Path);
            next.Delete(row);
            break;
        }
        case CommandAction::Import: {
            // The single place where the list is saved before an import changes it.
            if (context.BackupBeforeImport) context.BackupBeforeImport(list);
            const tk::TUnicodeIniCopy backup(request.File);
            const int added = ImportBackup(backup.File(), next, [&next](const std::wstring& alias, const std::wstring& path) {
                next.Append(alias, path);
            });
            outcome.Out = tk::FormatText(L"Imported %s rows from %s\r\n", {tk::IntToText(added), request.File});
            break;
        }
        default:
            break;
        }
        // Add, delete and import change the list by rows added or taken away.
        if (next.Count() != list.Count()) {
            // Told even when the write fails part-way: the key may hold some of it.
            outcome.ListChanged = true;
            // Every pair from the first changed row on may move: more than two go under the
            // crash record, so a program killed part-way leaves the list as it was.
            int first = 0;
            while (first < std::min(list.Count(), next.Count()) && SameShortcut(list.Row(first), next.Row(first)))
                ++first;
            const auto write = [&] { store.RewriteRows(context.KeyPath, list, next); };
            if (std::max(list.Count(), next.Count()) - first > 2 && !context.RecoveryFolders.empty()) {
                RunBulkRewrite({store, context.KeyPath, context.RecoveryFolders}, list.Rows(), write);
            } else {
                write();
            }
        }
    } catch (...) {
        outcome.Status = kExitRefused;
        outcome.Out.clear();
        outcome.Err = tk::ExceptionMessage(std::current_exception()) + L"\r\n";
    }
    return outcome;
}

std::vector<std::wstring> ProgramArguments() {
    std::vector<std::wstring> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> owned(argv, &LocalFree);
    for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
    return args;
}

int CommandLineMain(const std::vector<std::wstring>& args) {
    CommandOutcome outcome;
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.Error.empty()) {
        outcome.Status = kExitUsage;
        outcome.Err = parsed.Error + L"\r\n" + UsageText();
    } else {
        CommandContext context;
        context.WindowsDirectory = WindowsDirectory();
        context.RecoveryFolders = {BackupFolderPath(), TemporaryFolder()};
        context.BackupBeforeImport = [](ShortcutRows& list) {
            std::vector<ShortcutRow> rows;
            for (int i = 0; i < list.RowCount(); ++i) rows.push_back({list.Alias(i), list.Path(i)});
            WriteAutomaticBackup(BackupFolderPath(), rows);
        };
        // A rewrite the editor or an earlier command did not finish is put back first.
        ShortcutModel recovered;
        ShortcutStore store(RegistryAccessors(), recovered);
        const std::wstring recovery = RecoveryMessage(RecoverUnfinishedRewrite(store, context.KeyPath));
        outcome = RunCommand(parsed.Request, context);
        if (!recovery.empty()) outcome.Err = recovery + L"\r\n" + outcome.Err;
    }
    if (outcome.ListChanged) {
        if (HWND editor = FindWindowW(desc::kMainWindowClass, nullptr))
            PostMessageW(editor, desc::kListChangedNotice, 0, 0);
    }

    // Started without a console and without redirected output (from a shortcut, say), the
    // program shows what it has to say in a box instead.
    tk::TStdStream out(tk::TStdStreamKind::Output), err(tk::TStdStreamKind::Error);
    std::wstring unsaid;
    if (!outcome.Out.empty() && !out.Write(outcome.Out)) {
        if (out.Available()) {
            outcome.Status = std::max(outcome.Status, kExitRefused);
            outcome.Err += L"The output could not be written.\r\n";
        } else {
            unsaid += outcome.Out;
        }
    }
    if (!outcome.Err.empty() && !err.Write(outcome.Err)) unsaid += outcome.Err;
    while (!unsaid.empty() && (unsaid.back() == L'\n' || unsaid.back() == L'\r')) unsaid.pop_back();
    if (!unsaid.empty())
        MessageBoxW(nullptr, unsaid.c_str(), kMessageCaption,
                    MB_OK | (outcome.Status == kExitOk ? MB_ICONINFORMATION : MB_ICONSTOP));
    return outcome.Status;
}

}  // namespace qd
