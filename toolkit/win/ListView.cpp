#include "toolkit/win/ListView.h"

#include <commctrl.h>

#include <windowsx.h>

#include <algorithm>

namespace tk {

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = WC_LISTVIEWW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    if (ownerData_) params.Style |= LVS_OWNERDATA;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd() {
    HWND h = Handle();
    ListView_SetExtendedListViewStyle(h, LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    ListView_SetBkColor(h, RGB(255, 255, 255));
    ListView_SetTextBkColor(h, RGB(255, 255, 255));
    ListView_SetTextColor(h, Font().Color);
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<wchar_t*>(columns_[i].Caption.c_str());
        col.cx = columns_[i].Width;
        col.iSubItem = static_cast<int>(i);
        SendMessageW(h, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
}

void TListView::AddColumn(const std::wstring& caption, int width) {
    columns_.push_back({caption, width});
    if (HandleAllocated()) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<wchar_t*>(caption.c_str());
        col.cx = width;
        col.iSubItem = static_cast<int>(columns_.size() - 1);
        SendMessageW(Handle(), LVM_INSERTCOLUMNW, columns_.size() - 1, reinterpret_cast<LPARAM>(&col));
    }
}

void TListView::SetItemCount(int count, bool keepView) {
    SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                 keepView ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : 0);
}

void TListView::RedrawItems(int first, int last) {
    // Only the rows on screen: the control invalidates row by row, and an owner-data list fetches
    // the other rows' texts anew when they scroll into view.
    const int top = ListView_GetTopIndex(Handle());
    first = std::max(first, top);
    last = std::min(last, top + ListView_GetCountPerPage(Handle()));
    if (last < first) return;
    SendMessageW(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

int TListView::Count() { return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

int TListView::AddItem(const std::wstring& caption, const std::wstring& subItem) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    const int index = static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index >= 0) SetItemSubItem(index, subItem);
    return index;
}

void TListView::DeleteItem(int index) { SendMessageW(Handle(), LVM_DELETEITEM, index, 0); }

void TListView::Clear() { SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0); }

std::wstring TListView::ItemSubItem(int index, int subIndex) {
    // Ask with a growing buffer: the control copies at most the buffer's size.
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = subIndex + 1;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        if (subIndex < 0) item.iSubItem = 0;
        const int n = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
        if (n < static_cast<int>(text.size()) - 1) {
            text.resize(static_cast<size_t>(n));
            return text;
        }
        text.assign(text.size() * 2, L'\0');
    }
}

std::wstring TListView::ItemCaption(int index) { return ItemSubItem(index, -1); }

void TListView::SetItemSubItem(int index, const std::wstring& text, int subIndex) {
    LVITEMW item{};
    item.iSubItem = subIndex < 0 ? 0 : subIndex + 1;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(Handle(), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

void TListView::SetItemCaption(int index, const std::wstring& text) { SetItemSubItem(index, text, -1); }

void TListView::BeginUpdate() {
    if (updating_++ == 0) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
    if (updating_ == 0 || --updating_ > 0) return;
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    Invalidate();
}

int TListView::ItemIndex() {
    // With one row selectable, the selection mark is the selected row when any is: asking it
    // first spares a search through every row above it.
    const int mark = ListView_GetSelectionMark(Handle());
    if (mark >= 0 && mark < Count() && (ListView_GetItemState(Handle(), mark, LVIS_SELECTED) & LVIS_SELECTED))
        return mark;
    return static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetItemIndex(int index) {
    if (index < 0) {
        ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED);
        return;
    }
    // The row that has the highlight gives it up first: left to the control, taking it away while
    // selecting another row costs time in proportion to the row count of an owner-data list.
    const int current = ItemIndex();
    if (current >= 0 && current != index) ListView_SetItemState(Handle(), current, 0, LVIS_SELECTED);
    ListView_SetSelectionMark(Handle(), index);
    ListView_SetItemState(Handle(), index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(Handle(), index, FALSE);
}

POINT TListView::ItemMenuPoint(int index) {
    HWND h = Handle();
    POINT p{0, 0};
    RECT row{}, client{}, header{};
    GetClientRect(h, &client);
    if (HWND head = ListView_GetHeader(h); head && IsWindowVisible(head)) GetWindowRect(head, &header);
    const int top = header.bottom - header.top;
    if (index >= 0 && index < Count() && ListView_GetItemRect(h, index, &row, LVIR_BOUNDS) && row.bottom > top &&
        row.top < client.bottom)
        p = {std::max<LONG>(row.left, 0), std::min(row.bottom, client.bottom)};
    ClientToScreen(h, &p);
    return p;
}

void TListView::ContextPopup(POINT screen, bool byKeyboard) {
    if (byKeyboard) {
        screen = {0, 0};
        ClientToScreen(Handle(), &screen);
    }
    OnContextPopup(this, screen, byKeyboard);
}

void TListView::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        DefaultHandler(m);
        if (auto* msg = reinterpret_cast<MSG*>(m.LParam);
            OnKeyDown && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            m.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKeyDown && OnKeyDown(this, ShortCutOfKey(static_cast<unsigned>(m.WParam)))) {
            m.Result = 0;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        // The list's own request, not its header's.
        if (OnContextPopup && reinterpret_cast<HWND>(m.WParam) == Handle()) {
            // The keyboard's request comes without a point.
            ContextPopup({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}, m.LParam == -1);
            m.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    if (m.Msg == CN_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        if (hdr->code == LVN_ITEMCHANGED) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
            if ((nm->uChanged & LVIF_STATE) && ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED) && OnSelectItem)
                OnSelectItem(this, nm->iItem, (nm->uNewState & LVIS_SELECTED) != 0);
        } else if (hdr->code == LVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
            LVITEMW& item = info->item;
            if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
                // The control owns the buffer: copy as much as fits, always terminated.
                const std::wstring text = OnGetItemText ? OnGetItemText(item.iItem, item.iSubItem) : std::wstring();
                const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
                std::copy_n(text.data(), n, item.pszText);
                item.pszText[n] = L'\0';
            }
        } else if (hdr->code == LVN_ODFINDITEMW) {
            auto* find = reinterpret_cast<NMLVFINDITEMW*>(m.LParam);
            int found = -1;
            // Typing asks for the first row whose caption begins with the letters typed.
            if ((find->lvfi.flags & LVFI_PARTIAL) && find->lvfi.psz && OnFindItem)
                found = OnFindItem(find->lvfi.psz, find->iStart, (find->lvfi.flags & LVFI_WRAP) != 0);
            m.Result = found;
            return;
        } else if (hdr->code == NM_DBLCLK) {
            if (OnDblClick) OnDblClick(this);
        }
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace tk
