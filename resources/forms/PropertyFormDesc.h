// The property dialog's description: one dialog for adding and for editing a shortcut.
#pragma once

#include "resources/forms/OptionsFormDesc.h"  // Box

namespace qd::desc {

constexpr wchar_t kPropertyCaption[] = L"增加快捷目录";
constexpr int kPropertyClientWidth = 305, kPropertyClientHeight = 153;

constexpr Box kPropertyOkButton{153, 120, 65, 25};
constexpr Box kPropertyCancelButton{233, 120, 65, 25};
constexpr Box kPropertyGroupBox{8, 8, 291, 100};
// Positions inside the group box.
constexpr Box kAliasLabel{12, 21, 30, 13};
constexpr Box kPathLabel{12, 64, 30, 13};
constexpr Box kAliasEdit{46, 19, 203, 19};
constexpr Box kPathEdit{46, 62, 203, 19};
constexpr Box kBrowseButton{257, 61, 22, 22};

constexpr wchar_t kAliasLabelCaption[] = L"别名";
constexpr wchar_t kPathLabelCaption[] = L"路径";
constexpr wchar_t kBrowseCaption[] = L"...";
constexpr int kBrowseFontHeight = -20;

}  // namespace qd::desc
