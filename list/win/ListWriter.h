// The list's one writer. Every change of the key's pairs N<i>/P<i>, by the editor, the command line
// and the folder menu, is made here, under a lock shared by every process of the user's session,
// so the changes of two programs never interleave and nobody reads half of another's write.
//
// What the key holds besides the pairs:
//   ChangeCount    decimal text, raised by one by every write: under a crash record after the
//                  pairs and before the record is cleared; a write of one pair (no record) raises
//                  it first (absent, empty or not a number: 0)
//   RewriteRecord  the crash record of a write of more than one pair, present only while it runs:
//                  "2|<ChangeCount it started from>|<pid>|<process start time>|<recovery file>"
// The recovery file is a backup file (Backup.h) of the list before the write, written whole and
// flushed before the record names it, in the backups folder (or a fallback folder), named
// "recovery-<pid>-<counter>-<tick>.pwb". Recovery replays or deletes only files of that naming in
// those folders.
//
// Recovery runs only under the lock, so never over a running write:
//   no record                          nothing
//   ChangeCount != the start count     the write finished (or later ones followed): only the record
//                                      (and its file) goes, the list is never put back over them
//   count equal, file reads whole      the write was cut off: the list of the file is put back
//   count equal, file cannot be read   the record stays, nothing changes; tried again later
//   now (locked, a share not reached)
//   count equal, file missing/damaged  the list stays as it is; the record goes, said once
//   a record naming any other file     the list stays as it is, the file is left alone; the record
//                                      goes, said once
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list/ShortcutModel.h"
#include "list/ShortcutStore.h"
#include "toolkit/Exception.h"

namespace qd {

constexpr wchar_t kChangeCountValue[] = L"ChangeCount";
// The crash record's value. No reader of the list takes it for a shortcut (those are N<i>, P<i>).
constexpr wchar_t kRewriteRecordValue[] = L"RewriteRecord";

// Texts for the user.
// The lock could not be had in time.
constexpr wchar_t kListBusyText[] = L"另一个程序正在修改快捷目录列表，请稍后再试。";
// The number of rows.
constexpr wchar_t kRecoveredText[] = L"上次对列表的修改没有完成（程序被中止或电脑断电），列表已恢复为修改之前的样子（%s 项）。";
// The file the record named, then why it cannot be used.
constexpr wchar_t kRecoveryUnusableText[] =
    L"上次对列表的修改没有完成，但保存修改前列表的文件无法使用，列表保持现状，请检查。\r\n%s\r\n%s";
// Why the list could not be written back.
constexpr wchar_t kRecoveryFailedText[] = L"上次对列表的修改没有完成，列表未能恢复（%s），下次启动时将再试。";
// The file the record named, then why it cannot be read at this moment.
constexpr wchar_t kRecoveryNotReadableNowText[] =
    L"上次对列表的修改没有完成，保存修改前列表的文件现在无法读取，列表暂不恢复，也暂不能修改；文件保留，下次启动时将再试。\r\n%s\r\n%s";
// The record's text.
constexpr wchar_t kRecoveryForeignText[] =
    L"发现一条不是本程序写下的未完成修改记录，列表保持现状，记录已清除，它所指的文件未作改动：\r\n%s";
// The error of a write, then why the list could not be put back at once.
constexpr wchar_t kRewriteLeftForNextStart[] = L"%s\r\n列表未能恢复原样（%s），下次启动时将恢复。";
// The error of clearing the record after a write that was written whole.
constexpr wchar_t kRecordNotCleared[] = L"修改已保存，但其记录未能清除（%s）：下次修改时将清除它。";

// Raised when the lock could not be had within the time limit; its message is kListBusyText.
class EListBusy : public tk::Exception {
public:
    EListBusy() : tk::Exception(kListBusyText) {}
};

struct StoredList {
    std::vector<ShortcutRow> Rows;
    std::uint64_t Version = 0;  // ChangeCount when the rows were read
    std::wstring Error;         // a value of another type ended the reading early (rows before it kept)
};

// A command's change as a function of the list as the key holds it at the moment of writing:
// returns the list after the change, or throws tk::Exception with a message for the user when the
// change cannot be made to this list (e.g. the row it names is gone).
using ListChange = std::function<std::vector<ShortcutRow>(const std::vector<ShortcutRow>& current)>;

struct WriteOutcome {
    std::vector<ShortcutRow> Before;  // the list the change was applied to
    std::vector<ShortcutRow> After;   // the list the key holds now
    std::uint64_t Version = 0;        // ChangeCount after the write
    bool Stale = false;               // the key had changed since the caller's basis: the change was
                                      // applied to the fresh list read under the lock
    bool Written = false;             // false when the change left the list as it was
    std::wstring Warning;             // the list is written whole, but something after it was not
                                      // (the crash record could not be cleared): for the user
};

struct WriterSettings {
    std::wstring KeyPath = kStoreKeyPath;
    AccessorFactory Accessors;                  // the registry when empty
    std::wstring BackupFolder;                  // where recovery files go (made if missing)
    std::vector<std::wstring> FallbackFolders;  // tried when BackupFolder cannot be written (temp)
    unsigned LockTimeoutMs = 30000;
    // The program's own: its key, the registry, the backups folder and the temporary folder.
    static WriterSettings ForThisProgram();
};

// What the recovery check found.
struct RecoveryOutcome {
    enum class Kind {
        None,            // no record, or only that of a write that finished (cleared quietly)
        Restored,        // the key holds the list of the recovery file again
        Unusable,        // the recovery file is missing or damaged: the key was left as it was
        NotReadableNow,  // the recovery file cannot be read at the moment: record and key left as they are
        Foreign,         // the record names a file that is not the writer's: the key was left as it was
        Failed,          // the list could not be written back: the record stays for the next try
    };
    Kind What = Kind::None;
    std::wstring File;   // the recovery file the record named (Foreign: the record's text)
    int Rows = 0;        // Restored: how many rows the list has
    std::wstring Error;  // Unusable, NotReadableNow, Failed: why
};

// The message a person is shown for the outcome; "" for None.
std::wstring RecoveryMessage(const RecoveryOutcome& outcome);

// The crash record, as written and as read back. Platform-free.
struct CrashRecord {
    std::uint64_t StartCount = 0;
    std::uint32_t Pid = 0;
    std::uint64_t ProcessStart = 0;  // the owner's start time (FILETIME as a number)
    std::wstring File;
    bool Legacy = false;  // an older program's record: the bare file name, no count
};
std::wstring CrashRecordText(const CrashRecord& record);
// nullopt for an empty value; a value without the "2|" prefix is a Legacy record naming itself.
std::optional<CrashRecord> ParseCrashRecord(const std::wstring& text);
// "recovery-<pid>-<counter>-<tick>.pwb" (the extension in any letter case), digits only.
bool IsRecoveryFileName(std::wstring_view name);
// ChangeCount's text as a number: absent, empty or not a decimal number (or too large) is 0.
std::uint64_t ParseChangeCount(std::wstring_view text);

class ListWriter {
public:
    explicit ListWriter(WriterSettings settings);
    ~ListWriter();
    ListWriter(const ListWriter&) = delete;
    ListWriter& operator=(const ListWriter&) = delete;

    // The list as the key holds it now, read under the lock (so never half a write), after the
    // recovery check. A key that does not exist reads as no rows, version 0.
    StoredList Read();
    // Applies change under the lock. basis: the rows the caller shows and the Version they were read
    // at; when the key's ChangeCount still equals basisVersion the caller's rows are taken as the
    // current list (no re-reading of thousands of values), else the key is read afresh and the
    // change is applied to that (Stale). Pairs are written from the first differing pair to the last,
    // a growing list from its end backwards, then the pairs past the new end deleted, also leftover
    // pairs beyond a gap. More than one pair written or deleted: under the crash record. On a failed
    // write the key is put back to the list before (under the record) and the error goes on; if even
    // that fails the record stays for the next recovery and the error says so. Raises EListBusy when
    // the lock could not be had in time, and tk::Exception (kRecoveryNotReadableNowText) while a
    // cut-off write's recovery file cannot be read: a write then would lose the way back.
    WriteOutcome Apply(const std::vector<ShortcutRow>& basisRows, std::uint64_t basisVersion, const ListChange& change);
    // The same, for callers without a basis (command line, menu): always reads the key under the lock.
    WriteOutcome Apply(const ListChange& change);
    // Seeds the two first-run rows when the key does not exist (under the lock). True when it wrote.
    bool Seed(const std::wstring& windowsDirectory);
    // The recovery check under the lock, as Read/Apply/Seed run it before anything else; at start,
    // to get the message. Raises EListBusy when the lock could not be had in time.
    RecoveryOutcome Recover();
    // What the recovery check of the last Read/Apply/Seed/Recover found (None when nothing).
    const RecoveryOutcome& LastRecovery() const { return lastRecovery_; }

    const WriterSettings& Settings() const { return settings_; }
    // The lock's name for this key (for tests that hold it from outside).
    static std::wstring LockName(const std::wstring& keyPath);

private:
    class Lock;
    struct KeyState;
    KeyState ReadState(bool wantRows);
    static int KnownValues(KeyValueAccessor& key);
    RecoveryOutcome RecoverLocked();
    void RequireNoPendingRecovery();
    WriteOutcome ApplyLocked(const std::vector<ShortcutRow>* basisRows, std::uint64_t basisVersion,
                             const ListChange& change);
    std::unique_ptr<KeyValueAccessor> Accessor();
    bool IsOurRecoveryFile(const std::wstring& file) const;
    std::wstring WriteRecoveryFile(const std::vector<ShortcutRow>& rows);
    void WriteWholeList(const std::vector<ShortcutRow>& rows, std::uint64_t count);
    void FlushQuietly();

    WriterSettings settings_;
    RecoveryOutcome lastRecovery_;
};

}  // namespace qd
