// Rewrites of many value pairs that never leave the key without one whole list. A command that
// rewrites more than one pair (sort, a delete or move far up a long list, import, restore, and
// the undoing of these) first saves the list as it is into a recovery backup, flushed to the
// disk, then writes a record under the key naming that file; then it writes, and then it clears
// the record. If the program is killed or the machine loses power in between, the next start
// finds the record and puts the key back to the list of the recovery backup.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "list/ShortcutModel.h"
#include "list/ShortcutStore.h"

namespace qd {

// The record's value under the key: the full name of the recovery backup. No reader of the list
// takes it for a shortcut (those are N<i> and P<i> only).
constexpr wchar_t kRewriteRecordValue[] = L"RewriteRecord";

struct RewritePlace {
    ShortcutStore& Store;
    std::wstring KeyPath;
    // Where the recovery backup may go, tried in order (the backups folder, then the temporary
    // folder); empty entries are skipped.
    std::vector<std::wstring> Folders;
};

// Runs write, which rewrites pairs of the key, under the record: the list before (as the key
// holds it now) goes to a recovery backup and the record names it, then write runs, then the
// record is cleared and the recovery backup removed. When no recovery backup can be written,
// write does not run and tk::Exception says why. When write fails, the key is put back to the
// list before and the error goes on; if even that fails, the record stays for the next start and
// the error says so.
void RunBulkRewrite(const RewritePlace& place, const std::vector<ShortcutRow>& before,
                     const std::function<void()>& write);

// What the start found of an unfinished rewrite.
struct RecoveryOutcome {
    enum class Kind {
        None,      // no record: the last rewrite finished
        Restored,  // the key holds the list of the recovery backup again
        Unusable,  // the recovery backup is missing or damaged: the key was left as it was
        Failed,    // the list could not be written back: the record stays for the next start
    };
    Kind What = Kind::None;
    std::wstring File;   // the recovery backup the record named
    int Rows = 0;        // Restored: how many rows the list has
    std::wstring Error;  // Unusable, Failed: why
};

// At start, before the list is read: finishes a rewrite that the record says was cut off by
// putting the key back to the recovery backup's list (every pair written, the pairs past its end
// deleted), then clears the record. A record whose file is missing or damaged never changes the
// list; that record is cleared too, so the message comes once.
RecoveryOutcome RecoverUnfinishedRewrite(ShortcutStore& store, const std::wstring& keyPath);

// The message a person is shown for the outcome; "" for None.
std::wstring RecoveryMessage(const RecoveryOutcome& outcome);

// Texts of the messages.
// The number of rows.
constexpr wchar_t kRecoveredText[] = L"上次对列表的修改没有完成（程序被中止或电脑断电），列表已恢复为修改之前的样子（%s 项）。";
// The file the record named, then why it cannot be used.
constexpr wchar_t kRecoveryUnusableText[] =
    L"上次对列表的修改没有完成，但保存修改前列表的文件无法使用，列表保持现状，请检查。\r\n%s\r\n%s";
// Why the list could not be written back.
constexpr wchar_t kRecoveryFailedText[] = L"上次对列表的修改没有完成，列表未能恢复（%s），下次启动时将再试。";
// The error of a rewrite, then why the list could not be put back at once.
constexpr wchar_t kRewriteLeftForNextStart[] = L"%s\r\n列表未能恢复原样（%s），下次启动时将恢复。";
// The error of clearing the record after a rewrite that was written whole.
constexpr wchar_t kRecordNotCleared[] =
    L"修改已保存，但其记录未能清除（%s）：下次启动时列表将回到这次修改之前的样子。";

}  // namespace qd
