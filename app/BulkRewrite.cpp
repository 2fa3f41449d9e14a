#include "app/BulkRewrite.h"

#include <windows.h>

#include <filesystem>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"

namespace qd {

namespace {

// Writes the recovery backup into the first folder that takes it; returns its full name. The
// name is the process's own, so two programs changing the list never share one.
std::wstring WriteRecoveryBackup(const std::vector<std::wstring>& folders, const std::vector<ShortcutRow>& rows) {
    // A row the format cannot hold stops the command before anything is written.
    const std::wstring text = BackupText(rows);
    wchar_t name[64];
    std::swprintf(name, 64, L"recovery-%lu-%lu.pwb", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetTickCount()));
    std::wstring errors;
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        const std::wstring file = (std::filesystem::path(folder) / name).wstring();
        try {
            if (!MakeFolders(folder)) throw tk::Exception(L"Unable to make the folder " + folder);
            tk::WriteUnicodeFile(file, text, true);
            return file;
        } catch (const tk::Exception& e) {
            errors += L"\r\n" + e.Message();
        }
    }
    throw tk::Exception(L"The list was not changed: no copy of it could be saved before the change." + errors);
}

// Waits until the key's changes are on the disk, so that they come before what follows. A flush
// the system refuses weakens only that order, not what the key holds: the rewrite goes on.
void FlushQuietly(ShortcutStore& store, const std::wstring& keyPath) {
    try {
        store.Flush(keyPath);
    } catch (...) {
    }
}

}  // namespace

void RunBulkRewrite(const RewritePlace& place, const std::vector<ShortcutRow>& before,
                    const std::function<void()>& write) {
    // The recovery backup is whole and on the disk before the record names it.
    const std::wstring file = WriteRecoveryBackup(place.Folders, before);
    try {
        place.Store.WriteRegString(place.KeyPath, kRewriteRecordValue, file);
    } catch (...) {
        DeleteFileW(file.c_str());
        throw;
    }
    try {
        write();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        try {
            RowsOf rows(before);
            place.Store.WriteList(place.KeyPath, rows);
            place.Store.DeleteValue(place.KeyPath, kRewriteRecordValue);
        } catch (...) {
            // The record and its file stay: the next start puts the list back.
            throw tk::Exception(tk::FormatText(
                kRewriteLeftForNextStart, {tk::ExceptionMessage(error), tk::ExceptionMessage(std::current_exception())}));
        }
        DeleteFileW(file.c_str());
        std::rethrow_exception(error);
    }
    // Everything written is on the disk before the record goes, so a loss of power can never
    // keep a cleared record with half a list.
    FlushQuietly(place.Store, place.KeyPath);
    try {
        place.Store.DeleteValue(place.KeyPath, kRewriteRecordValue);
    } catch (...) {
        throw tk::Exception(tk::FormatText(kRecordNotCleared, {tk::ExceptionMessage(std::current_exception())}));
    }
    DeleteFileW(file.c_str());
}

RecoveryOutcome RecoverUnfinishedRewrite(ShortcutStore& store, const std::wstring& keyPath) {
    RecoveryOutcome outcome;
    try {
        outcome.File = store.ReadValue(keyPath, kRewriteRecordValue);
    } catch (...) {
        // A record of another type was not written by this program: it names no file.
        outcome.File = L"?";
        outcome.Error = tk::ExceptionMessage(std::current_exception());
    }
    if (outcome.File.empty()) return outcome;

    std::vector<ShortcutRow> rows;
    if (outcome.Error.empty()) {
        try {
            rows = ReadBackupRows(outcome.File);
        } catch (...) {
            outcome.Error = tk::ExceptionMessage(std::current_exception());
        }
    }
    if (!outcome.Error.empty()) {
        // The key keeps what it holds; only the record goes, so the message comes once (a record
        // that cannot be cleared brings it again at the next start).
        outcome.What = RecoveryOutcome::Kind::Unusable;
        try {
            store.DeleteValue(keyPath, kRewriteRecordValue);
        } catch (...) {
        }
        return outcome;
    }

    try {
        RowsOf list(rows);
        store.WriteList(keyPath, list);
        FlushQuietly(store, keyPath);
        store.DeleteValue(keyPath, kRewriteRecordValue);
    } catch (...) {
        outcome.What = RecoveryOutcome::Kind::Failed;
        outcome.Error = tk::ExceptionMessage(std::current_exception());
        return outcome;
    }
    DeleteFileW(outcome.File.c_str());
    outcome.What = RecoveryOutcome::Kind::Restored;
    outcome.Rows = static_cast<int>(rows.size());
    return outcome;
}

std::wstring RecoveryMessage(const RecoveryOutcome& outcome) {
    switch (outcome.What) {
    case RecoveryOutcome::Kind::None: return {};
    case RecoveryOutcome::Kind::Restored: return tk::FormatText(kRecoveredText, {tk::IntToText(outcome.Rows)});
    case RecoveryOutcome::Kind::Unusable: return tk::FormatText(kRecoveryUnusableText, {outcome.File, outcome.Error});
    case RecoveryOutcome::Kind::Failed: return tk::FormatText(kRecoveryFailedText, {outcome.Error});
    }
    return {};
}

}  // namespace qd
