// The options dialog's description.
#pragma once

namespace qd::desc {

constexpr wchar_t kOptionsCaption[] = L"参数设置";
constexpr int kOptionsClientWidth = 340, kOptionsClientHeight = 155;

struct Box { int left, top, width, height; };

constexpr Box kGroupBox1{9, 6, 321, 95};
// Check box positions are relative to the group box.
constexpr Box kExploreFolderBox{16, 24, 291, 17};
constexpr Box kAskDeleteBox{16, 56, 225, 17};
constexpr Box kShowTipsBox{16, 88, 209, 17};
constexpr wchar_t kExploreFolderCaption[] = L"新打开文件夹时, 显示'文件夹'工具栏";
constexpr wchar_t kAskDeleteCaption[] = L"在列表中删除一项时要先询问";
constexpr wchar_t kShowTipsCaption[] = L"Always show tips at startup";

constexpr Box kOkButton{168, 117, 75, 25};
constexpr wchar_t kOkCaption[] = L"确定(&O)";
constexpr Box kCancelButton{254, 117, 75, 25};
constexpr wchar_t kCancelCaption[] = L"取消(&C)";

}  // namespace qd::desc
