#include "toolkit/win/ListView.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "toolkit/win/FileDrop.h"

namespace tk {

namespace {

constexpr int kMarkSize = 12;
constexpr COLORREF kMarkBackground = RGB(255, 0, 255);  // the see-through colour of the mark images

// The mark images, kMarkSize square, in the order of TItemMark: none (nothing to see), a red
// cross, a white question mark on an amber disc.
ScopedImageList MakeMarkImages() {
    ScopedImageList list(ImageList_Create(kMarkSize, kMarkSize, ILC_COLOR24 | ILC_MASK, 3, 0));
    if (!list) return list;
    ScopedGetDC screen(nullptr);
    ScopedMemDC dc(screen);
    ScopedBitmap strip(CreateCompatibleBitmap(screen, kMarkSize * 3, kMarkSize));
    if (!dc.get() || !strip) return list;
    {
        ScopedSelectObject bitmap(dc, strip.get());
        const ScopedBrush background(CreateSolidBrush(kMarkBackground));
        const RECT all{0, 0, kMarkSize * 3, kMarkSize};
        FillRect(dc, &all, background.get());

        const ScopedPen red(CreatePen(PS_SOLID, 2, RGB(0xD0, 0x20, 0x20)));
        ScopedSelectObject pen(dc, red.get());
        const int x = kMarkSize;
        MoveToEx(dc, x + 3, 3, nullptr);
        LineTo(dc, x + kMarkSize - 3, kMarkSize - 3);
        MoveToEx(dc, x + kMarkSize - 4, 3, nullptr);
        LineTo(dc, x + 2, kMarkSize - 3);

        const ScopedBrush amber(CreateSolidBrush(RGB(0xE0, 0x90, 0x10)));
        const ScopedPen amberEdge(CreatePen(PS_SOLID, 1, RGB(0xB0, 0x70, 0x00)));
        pen.Select(dc, amberEdge.get());
        ScopedSelectObject brush(dc, amber.get());
        Ellipse(dc, 2 * kMarkSize, 0, 3 * kMarkSize, kMarkSize);
        ScopedSelectObject font(dc, AcquireFont({L"Tahoma", -10, RGB(255, 255, 255), true}));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT question{2 * kMarkSize, 0, 3 * kMarkSize, kMarkSize};
        DrawTextW(dc, L"?", 1, &question, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ImageList_AddMasked(list.get(), strip.get(), kMarkBackground);
    return list;
}

}  // namespace

TListView::TListView(TComponent* owner) : TWinControl(owner) {}

TListView::~TListView() {
    // The drop target goes before the window it is registered for, and the window before the
    // mark images it shows.
    dropTarget_.reset();
    DestroyWindowHandle();
}

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = WC_LISTVIEWW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
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
    ApplyMarkImages();
}

void TListView::SetShowMarks(bool show) {
    showMarks_ = show;
    if (HandleAllocated()) ApplyMarkImages();
}

void TListView::ApplyMarkImages() {
    if (showMarks_ && !markImages_) markImages_ = MakeMarkImages();
    ListView_SetImageList(Handle(), showMarks_ ? markImages_.get() : nullptr, LVSIL_SMALL);
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

void TListView::SetOnDropFiles(std::function<void(const std::vector<std::wstring>& names)> handler) {
    onDropFiles_ = std::move(handler);
    if (!onDropFiles_) {
        dropTarget_.reset();
    } else if (!dropTarget_) {
        dropTarget_ = std::make_unique<FileDropTarget>(Handle(), [this](const std::vector<std::wstring>& names) {
            if (onDropFiles_) onDropFiles_(names);
        });
    }
}

void TListView::BeginItemDrag(int item) {
    dragFrom_ = dragTo_ = item;
    dragCapture_.Take(Handle());
    if (OnBeginMoveItem) OnBeginMoveItem(item);
}

void TListView::CancelItemDrag() { EndItemDrag(false); }

int TListView::DropRowAt(int x, int y) {
    RECT client;
    GetClientRect(Handle(), &client);
    const int count = Count();
    if (count == 0 || x < client.left || x >= client.right || y < client.top || y >= client.bottom) return -1;
    const int top = ListView_GetTopIndex(Handle());
    RECT row{LVIR_BOUNDS};
    if (!ListView_GetItemRect(Handle(), top, &row, LVIR_BOUNDS) || row.bottom <= row.top) return -1;
    // Below the last row is the last row; above the top row (over the header) the row above it.
    const int offset = static_cast<int>(std::floor(static_cast<double>(y - row.top) / (row.bottom - row.top)));
    return std::clamp(top + offset, 0, count - 1);
}

RECT TListView::DropBarRect() {
    RECT bar{};
    if (dragFrom_ < 0 || dragTo_ < 0 || dragTo_ == dragFrom_) return bar;
    RECT row{LVIR_BOUNDS}, topRow{LVIR_BOUNDS}, client;
    if (!ListView_GetItemRect(Handle(), dragTo_, &row, LVIR_BOUNDS) ||
        !ListView_GetItemRect(Handle(), ListView_GetTopIndex(Handle()), &topRow, LVIR_BOUNDS))
        return bar;
    GetClientRect(Handle(), &client);
    // The landing row's lower edge when the row goes down, its upper edge when it goes up: the
    // dragged row ends up on that side of the row's present texts.
    const int y = dragTo_ > dragFrom_ ? row.bottom : row.top;
    if (y < topRow.top || y > client.bottom) return bar;
    return {client.left, y - 1, client.right, y + 1};
}

void TListView::InvalidateDropBar() {
    RECT bar = DropBarRect();
    if (IsRectEmpty(&bar)) return;
    InflateRect(&bar, 0, 1);
    InvalidateRect(Handle(), &bar, TRUE);
}

void TListView::TrackItemDrag(int x, int y) {
    // Held above or below the rows, the list scrolls a row per mouse move.
    RECT client, topRow{LVIR_BOUNDS};
    GetClientRect(Handle(), &client);
    if (ListView_GetItemRect(Handle(), ListView_GetTopIndex(Handle()), &topRow, LVIR_BOUNDS)) {
        const int height = topRow.bottom - topRow.top;
        if (y < topRow.top && ListView_GetTopIndex(Handle()) > 0) {
            InvalidateDropBar();
            ListView_Scroll(Handle(), 0, -height);
        } else if (y >= client.bottom) {
            InvalidateDropBar();
            ListView_Scroll(Handle(), 0, height);
        }
    }
    const int to = DropRowAt(x, y);
    if (to == dragTo_) return;
    InvalidateDropBar();
    dragTo_ = to;
    InvalidateDropBar();
}

void TListView::EndItemDrag(bool move) {
    const int from = dragFrom_, to = dragTo_;
    if (from < 0) return;
    InvalidateDropBar();
    dragFrom_ = dragTo_ = -1;
    dragCapture_.Release();
    if (move && to >= 0 && to != from && OnMoveItem) OnMoveItem(from, to);
}

void TListView::WndProc(TMessage& m) {
    if (dragFrom_ >= 0) {
        switch (m.Msg) {
        case WM_MOUSEMOVE:
            // The drag has the mouse: the control does not track it meanwhile.
            TrackItemDrag(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            m.Result = 0;
            return;
        case WM_LBUTTONUP:
            TrackItemDrag(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            EndItemDrag(true);
            break;  // the control ends its own record of the press too
        case WM_GETDLGCODE:
            // Escape comes to the list, which ends the drag, rather than to the form's dialog keys.
            TWinControl::WndProc(m);
            m.Result |= DLGC_WANTALLKEYS;
            return;
        case WM_KEYDOWN:
            if (m.WParam == VK_ESCAPE) {
                EndItemDrag(false);
                m.Result = 0;
                return;
            }
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(m.LParam) != Handle()) EndItemDrag(false);
            break;
        case WM_PAINT: {
            TWinControl::WndProc(m);
            RECT bar = DropBarRect();
            if (!IsRectEmpty(&bar)) {
                const ScopedGetDC dc(Handle());
                FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
            }
            return;
        }
        case WM_DESTROY:
            EndItemDrag(false);
            break;
        }
    }
    if (m.Msg == WM_DESTROY) dropTarget_.reset();  // destroyed with its parent window
    switch (m.Msg) {
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
            if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
                const TListItemLook look = OnGetItemLook ? OnGetItemLook(item.iItem) : TListItemLook{};
                item.iImage = static_cast<int>(look.Mark);
            }
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
        } else if (hdr->code == static_cast<UINT>(NM_CUSTOMDRAW) && OnGetItemLook) {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(m.LParam);
            m.Result = CDRF_DODEFAULT;
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
                m.Result = CDRF_NOTIFYITEMDRAW;
            } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                const TListItemLook look = OnGetItemLook(static_cast<int>(draw->nmcd.dwItemSpec));
                if (look.TextColor != CLR_DEFAULT) {
                    draw->clrText = look.TextColor;
                    m.Result = CDRF_NEWFONT;
                }
            }
            return;
        } else if (hdr->code == NM_DBLCLK) {
            if (OnDblClick) OnDblClick(this);
        } else if (hdr->code == LVN_BEGINDRAG) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
            if (OnMoveItem && nm->iItem >= 0 && dragFrom_ < 0) BeginItemDrag(nm->iItem);
        }
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace tk
