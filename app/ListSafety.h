// Texts of the commands that keep the list safe: the automatic backup before a command, the
// restore of an earlier list.
#pragma once

namespace qd {

// The names the backup question gives the commands (as the tool bar and the menu name them).
constexpr wchar_t kSortCommandName[] = L"排序";
constexpr wchar_t kImportCommandName[] = L"导入";
constexpr wchar_t kRestoreCommandName[] = L"恢复以前的列表";
constexpr wchar_t kDeleteMissingCommandName[] = L"删除不存在的路径";

// Why no backup could be written, then the command's name.
constexpr wchar_t kBackupFailedQuestion[] = L"无法保存自动备份：\r\n%s\r\n\r\n不保存备份，仍然%s吗？";
// The backups folder.
constexpr wchar_t kNoBackupsText[] = L"还没有自动备份（%s）。排序、导入、删除不存在的路径和恢复之前，列表会自动备份到这里。";

}  // namespace qd
