// The description of the dialog that lists the automatic backups and restores one.
#pragma once

#include "resources/forms/OptionsFormDesc.h"  // Box, the OK and Cancel captions

namespace qd::desc {

constexpr wchar_t kRestoreCaption[] = L"恢复以前的列表";
constexpr int kRestoreClientWidth = 360, kRestoreClientHeight = 262;

constexpr Box kRestoreLabel{9, 9, 342, 15};
constexpr wchar_t kRestoreLabelCaption[] = L"选择一个自动备份，用它替换现在的列表：";
constexpr Box kRestoreList{9, 28, 342, 190};
constexpr wchar_t kRestoreDateColumn[] = L"日期";
constexpr wchar_t kRestoreTimeColumn[] = L"时间";
constexpr wchar_t kRestoreRowsColumn[] = L"项数";
constexpr int kRestoreDateWidth = 110, kRestoreTimeWidth = 90, kRestoreRowsWidth = 80;

constexpr Box kRestoreButton{186, 228, 75, 25};
constexpr wchar_t kRestoreButtonCaption[] = L"恢复(&R)";
constexpr Box kRestoreCancelButton{276, 228, 75, 25};

}  // namespace qd::desc
