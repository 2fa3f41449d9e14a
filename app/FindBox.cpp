#include "app/FindBox.h"

#include "list/FindText.h"
#include "toolkit/win/Form.h"

namespace qd {

namespace {

constexpr int kBoxInset = 2;  // from the list's top edge and from its scroll bar

}  // namespace

TFindBox::TFindBox(tk::TComponent* owner, tk::TListView& list, const ShortcutModel& rows)
    : TFlatEdit(owner), list_(list), rows_(rows) {
    SetName(L"feFind");
    InitVisible(false);
    SetTabStop(false);
    OnChange = [this](tk::TComponent*) { TextChanged(); };
}

bool TFindBox::IsOpen() { return Visible() && HandleAllocated() && IsWindowVisible(Handle()); }

void TFindBox::Open() {
    if (!Visible()) {
        if (Parent() != list_.Parent()) SetParent(list_.Parent());
        const int right = list_.Left() + list_.Width() - GetSystemMetrics(SM_CXVSCROLL) - kBoxInset - 2;
        SetBounds(right - kBoxWidth, list_.Top() + kBoxInset, kBoxWidth, Height());
        SetVisible(true);
    }
    // Over the list, which would otherwise paint over it.
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetFocus();
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TFindBox::Close() {
    if (!Visible()) return;
    const bool hadFocus = GetFocus() == Handle();
    SetVisible(false);
    if (hadFocus) list_.SetFocus();
}

void TFindBox::TextChanged() {
    const std::wstring text = Text();
    if (text.empty()) {
        found_ = true;
        SetColorFocused(tk::clWhite);
        return;
    }
    ShowFound(FindRow(rows_.Rows(), text, 0, FindDirection::Forward));
}

void TFindBox::FindNext() { Step(list_.ItemIndex(), 1); }

void TFindBox::FindPrevious() { Step(list_.ItemIndex(), -1); }

void TFindBox::Step(int from, int delta) {
    const std::wstring text = Text();
    if (text.empty()) {
        Open();
        return;
    }
    // From no chosen row, the first step forward is the top row and the first step back the last.
    const int start = from < 0 ? (delta > 0 ? 0 : -1) : from + delta;
    ShowFound(FindRow(rows_.Rows(), text, start, delta > 0 ? FindDirection::Forward : FindDirection::Backward));
}

void TFindBox::ShowFound(int row) {
    found_ = row >= 0;
    SetColorFocused(found_ ? tk::clWhite : kNotFoundColor);
    if (found_ && row != list_.ItemIndex()) list_.SetItemIndex(row);
}

}  // namespace qd
