#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/AddItem.h"
#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "app/Global.h"
#include "list/win/RegistryAccessor.h"
#include "list/PathRules.h"
#include "list/ShortcutModel.h"
#include "list/win/ListWriter.h"
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

// True when the process runs on the desktop a person sees: its window station is "WinSta0" and
// visible (a scheduled task or a service gets another, where a box would wait for ever).
bool OnInteractiveDesktop() {
    HWINSTA station = GetProcessWindowStation();  // the process's own: not to be closed
    if (!station) return false;
    wchar_t name[64] = {};
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    return GetUserObjectInformationW(station, UOI_NAME, name, sizeof(name), &needed) &&
           lstrcmpiW(name, L"WinSta0") == 0 &&
           GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
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
        // Read against this command's current folder, a relative path would name another folder
        // in the folder menu (started from the Run key) and in the window.
        if (!IsFullPath(request.Path)) return Refused(PathNotFullText(request.Path));
        const bool exists = context.FolderExists ? context.FolderExists(request.Path) : DirectoryExists(request.Path);
        if (!exists) return Refused(PathNotFoundText(request.Path));
    }
    if (request.Action == CommandAction::Import && !FileExists(request.File))
        return Refused(L"No such file: " + request.File);

    WriterSettings settings;
    settings.KeyPath = context.KeyPath;
    settings.Accessors = context.Accessors;
    settings.LockTimeoutMs = context.LockTimeoutMs;
    if (!context.RecoveryFolders.empty()) {
        settings.BackupFolder = context.RecoveryFolders.front();
        settings.FallbackFolders.assign(context.RecoveryFolders.begin() + 1, context.RecoveryFolders.end());
    } else {
        settings.BackupFolder = TemporaryFolder();
    }
    ListWriter writer(settings);
    // What the writer's recovery checks found, said before the command's own words.
    RecoveryOutcome found;
    const auto note = [&] {
        if (writer.LastRecovery().What != RecoveryOutcome::Kind::None) found = writer.LastRecovery();
    };
    const auto withRecovery = [&](CommandOutcome o) {
        note();
        const std::wstring recovery = RecoveryMessage(found);
        if (!recovery.empty()) o.Err = recovery + L"\r\n" + o.Err;
        return o;
    };
    try {
        switch (request.Action) {
        case CommandAction::List: {
            const StoredList list = writer.Read();
            if (!list.Error.empty()) throw tk::ERegistryException(list.Error);
            for (const ShortcutRow& row : list.Rows) outcome.Out += RowLine(row.Alias, row.Path);
            return withRecovery(outcome);
        }
        case CommandAction::Export: {
            const StoredList list = writer.Read();
            if (!list.Error.empty()) throw tk::ERegistryException(list.Error);
            const std::wstring name = BackupFileName(request.File);
            RowsOf rows(list.Rows);
            ExportBackup(tk::TIniFile(name), rows);
            outcome.Out = tk::FormatText(L"Exported %s rows to %s\r\n", {tk::IntToText(rows.RowCount()), name});
            return withRecovery(outcome);
        }
        default:
            break;
        }

        // A first change on a machine without the key starts from the list the editor would show.
        // The seed is a write of its own: a row added to it is not undone by a failed seed.
        if (writer.Seed(context.WindowsDirectory)) outcome.ListChanged = true;
        note();

        ListChange change;
        std::vector<ShortcutRow> entries;  // the import file's, read before the lock is taken
        int added = 0;
        switch (request.Action) {
        case CommandAction::Add:
            change = [&](const std::vector<ShortcutRow>& current) {
                std::vector<ShortcutRow> next = current;
                next.push_back({request.Alias, request.Path});
                return next;
            };
            outcome.Out = L"Added: " + RowLine(request.Alias, request.Path);
            break;
        case CommandAction::Delete:
            change = [&](const std::vector<ShortcutRow>& current) {
                const auto row = std::find_if(current.begin(), current.end(),
                                              [&](const ShortcutRow& r) { return r.Alias == request.Alias; });
                if (row == current.end()) throw tk::Exception(L"No row has the alias " + request.Alias);
                outcome.Out = L"Deleted: " + RowLine(row->Alias, row->Path);
                std::vector<ShortcutRow> next = current;
                next.erase(next.begin() + (row - current.begin()));
                return next;
            };
            break;
        case CommandAction::Import: {
            const tk::TUnicodeIniCopy backup(request.File);
            std::vector<ShortcutRow> none;
            RowsOf empty(none);
            ImportBackup(backup.File(), empty, [&entries](const std::wstring& alias, const std::wstring& path) {
                entries.push_back({alias, path});
            });
            change = [&](const std::vector<ShortcutRow>& current) {
                // The single place where the list is saved before an import changes it: the list
                // the import is applied to.
                if (context.BackupBeforeImport) {
                    RowsOf before(current);
                    context.BackupBeforeImport(before);
                }
                ShortcutIndex present;
                for (const ShortcutRow& row : current) present.Add(row.Alias, row.Path);
                std::vector<ShortcutRow> next = current;
                added = 0;
                for (const ShortcutRow& entry : entries) {
                    if (present.Contains(entry.Alias, entry.Path)) continue;
                    next.push_back(entry);
                    present.Add(entry.Alias, entry.Path);
                    ++added;
                }
                return next;
            };
            break;
        }
        default:
            return outcome;
        }
        WriteOutcome written;
        bool decided = false;  // the change was made to the list: writing may have begun
        try {
            written = writer.Apply([&](const std::vector<ShortcutRow>& current) {
                std::vector<ShortcutRow> next = change(current);
                decided = true;
                return next;
            });
        } catch (...) {
            // Told even when the write fails part-way: the key may hold some of it.
            outcome.ListChanged = outcome.ListChanged || decided;
            throw;
        }
        if (request.Action == CommandAction::Import)
            outcome.Out = tk::FormatText(L"Imported %s rows from %s\r\n", {tk::IntToText(added), request.File});
        outcome.ListChanged = outcome.ListChanged || written.Written;
        if (!written.Warning.empty()) outcome.Err += written.Warning + L"\r\n";
        outcome = withRecovery(outcome);
    } catch (...) {
        const bool changed = outcome.ListChanged;
        outcome = withRecovery({});
        outcome.Status = kExitRefused;
        outcome.ListChanged = changed;
        outcome.Err += tk::ExceptionMessage(std::current_exception()) + L"\r\n";
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
        // An import of one of the automatic backups never prunes the file it imports.
        const std::wstring imported = std::filesystem::path(parsed.Request.File).filename().wstring();
        context.BackupBeforeImport = [imported](ShortcutRows& list) {
            std::vector<ShortcutRow> rows;
            for (int i = 0; i < list.RowCount(); ++i) rows.push_back({list.Alias(i), list.Path(i)});
            WriteAutomaticBackup(BackupFolderPath(), rows, {imported});
        };
        // The writer's recovery check runs under its lock within the command, never over another
        // program's running write; --help touches no key.
        outcome = RunCommand(parsed.Request, context);
    }
    if (outcome.ListChanged) {
        if (HWND editor = FindWindowW(desc::kMainWindowClass, nullptr))
            PostMessageW(editor, desc::kListChangedNotice, 0, 0);
    }

    // Where each text goes: see RouteOutput. A command whose output is its result (the rows of
    // --list, the usage) and reaches no one has failed; the confirmation of a change that was
    // made is only lost, and the status stays the change's.
    tk::TStdStream out(tk::TStdStreamKind::Output), err(tk::TStdStreamKind::Error);
    const OutputRoutes routes = RouteOutput(
        {out.Handed(), err.Handed(), out.ThroughConsole() || err.ThroughConsole(), OnInteractiveDesktop()});
    const CommandAction action = parsed.Request.Action;
    const bool outputIsResult = parsed.Error.empty() && (action == CommandAction::List ||
                                                         action == CommandAction::Help || action == CommandAction::None);
    std::wstring boxText;
    const auto say = [&](tk::TStdStream& stream, OutputRoute route, const std::wstring& text) {
        if (text.empty()) return true;
        switch (route) {
        case OutputRoute::Handle:
        case OutputRoute::Console:
            return stream.Write(text);
        case OutputRoute::Box:
            boxText += text;
            return true;
        case OutputRoute::Nothing:
            break;
        }
        return false;
    };
    if (!say(out, routes.Out, outcome.Out) && outputIsResult) {
        outcome.Status = std::max(outcome.Status, kExitRefused);
        outcome.Err += L"The output could not be written.\r\n";
    }
    say(err, routes.Err, outcome.Err);
    while (!boxText.empty() && (boxText.back() == L'\n' || boxText.back() == L'\r')) boxText.pop_back();
    if (!boxText.empty())
        MessageBoxW(nullptr, boxText.c_str(), kMessageCaption,
                    MB_OK | (outcome.Status == kExitOk ? MB_ICONINFORMATION : MB_ICONSTOP));
    return outcome.Status;
}

}  // namespace qd
