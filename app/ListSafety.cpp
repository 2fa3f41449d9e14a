// The main window's side of keeping the list safe: the automatic backup before a command, the
// list's writer (which keeps the crash record around long rewrites), the recovery at start, and
// restoring an earlier list.
#include <windows.h>

#include <filesystem>

#include "list/win/Backup.h"
#include "app/Global.h"
#include "list/win/ListWriter.h"
#include "app/ListSafety.h"
#include "app/Main.h"
#include "app/RestoreDialog.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"

namespace qd {

bool TfrmMain::BackupBeforeChange(const std::wstring& command, const std::wstring& source) {
    try {
        std::vector<std::wstring> keep;
        if (!source.empty()) keep.push_back(std::filesystem::path(source).filename().wstring());
        WriteAutomaticBackup(settings_.BackupFolder, model_.Rows(), keep);
        return true;
    } catch (...) {
        const std::wstring text =
            tk::FormatText(kBackupFailedQuestion, {tk::ExceptionMessage(std::current_exception()), command});
        return tk::Application().ShowMessageBox(text, kMessageCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
               IDYES;
    }
}

namespace {

// The list's writer on the window's key, with the window's backups folder.
WriterSettings WriterSettingsOf(const MainSettings& settings) {
    WriterSettings writer;
    writer.KeyPath = settings.KeyPath;
    writer.Accessors = settings.Accessors;
    writer.BackupFolder = settings.BackupFolder;
    writer.FallbackFolders = {TemporaryFolder()};
    return writer;
}

}  // namespace

ListWriter& TfrmMain::Writer() {
    if (!writer_) writer_ = std::make_unique<ListWriter>(WriterSettingsOf(settings_));
    return *writer_;
}

namespace {

// The recovery check of start-up: its outcome is said once the list shows.
RecoveryOutcome RecoverAtStart(ListWriter& writer) {
    RecoveryOutcome outcome;
    try {
        outcome = writer.Recover();
    } catch (const EListBusy&) {
        // Another program is writing the list: the writer's check runs again under the lock before
        // each change, and nothing was found that could be said.
    } catch (const tk::Exception& e) {
        outcome.What = RecoveryOutcome::Kind::Failed;
        outcome.Error = e.Message();
    }
    return outcome;
}

}  // namespace

void TfrmMain::StartReadingList() {
    // Reading 10,000 rows costs about what building and dressing the window costs, so the two run
    // side by side. The reading has a writer of its own and copies of what it needs; the window's
    // thread touches the registry only after it has the result (FormCreate), so a test's
    // accessors are never used by two threads at once.
    startupRead_ = std::async(std::launch::async, [settings = WriterSettingsOf(settings_),
                                                   windowsDirectory = settings_.WindowsDirectory] {
        ListWriter writer(settings);
        StartupRead read;
        read.Recovery = RecoverAtStart(writer);
        writer.Seed(windowsDirectory);
        read.List = writer.Read();
        read.ReadRecovery = writer.LastRecovery();
        return read;
    });
}

void TfrmMain::NoteRecoveryAtStart(const RecoveryOutcome& outcome) {
    recoveryNotice_ = RecoveryMessage(outcome);
    recoveryNoticeIcon_ = outcome.What == RecoveryOutcome::Kind::Restored ? MB_ICONINFORMATION : MB_ICONWARNING;
}

void TfrmMain::RestorePreviousList() {
    std::vector<AutoBackupInfo> backups = ListAutomaticBackups(settings_.BackupFolder);
    if (backups.empty()) {
        tk::Application().ShowMessageBox(tk::FormatText(kNoBackupsText, {settings_.BackupFolder}), kMessageCaption,
                                         MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::wstring chosen;
    {
        TfrmRestore dialog(this, std::move(backups));
        if (dialog.ShowModal() != tk::mrOk) return;
        chosen = dialog.Chosen().File;
    }
    RestoreFrom(chosen);
}

void TfrmMain::RestoreFrom(const std::wstring& backupFile) {
    // The backup is read whole first: one that is damaged changes nothing.
    std::vector<ShortcutRow> rows = ReadBackupRows(backupFile);
    // Restoring an old backup never prunes it: it stays to be restored again.
    if (!BackupBeforeChange(kRestoreCommandName, backupFile)) return;
    const auto step = RecordStep(kStepRestore);
    WriteThrough([&](const std::vector<ShortcutRow>&) { return rows; }, [&] { model_.ReplaceAll(rows); });
}

}  // namespace qd
