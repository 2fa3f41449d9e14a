#include "skin/controls/ListMenu.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/theme/MenuDraw.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Bitmap.h"

namespace {

constexpr wchar_t kWindowClass[] = L"tsui.ListMenu";
// An outer line and a ring in the item colour around the items.
constexpr int kBorder = 2;
// The bands of the scroll arrows, and how fast the list scrolls while the mouse rests on one.
constexpr int kArrowHeight = 16;
constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollMilliseconds = 40;
// Rows of items one notch of the mouse wheel scrolls.
constexpr int kWheelItems = 3;
// The filter line's background when the typed text is in no item: the find box's colour for it.
constexpr tk::TColor kNothingFoundColor = RGB(0xFF, 0xD8, 0xD8);

bool IsLine(const TsuiListMenuItem& item) { return item.Caption == L"-"; }

listmenu::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

TsuiListMenu::TsuiListMenu(tk::TComponent* owner) : tk::TWinControl(owner) {
    InitVisible(false);
    SetUIStyle(TsuiUIStyle::DeepBlue);
}

TsuiListMenu::~TsuiListMenu() {
    if (fileTheme_) RemoveFreeNotification(fileTheme_);
}

void TsuiListMenu::CreateParams(TCreateParams& params) {
    tk::TWinControl::CreateParams(params);
    params.WinClassName = kWindowClass;
    params.Style = WS_POPUP | WS_CLIPSIBLINGS;
    // No task bar button, above every other window, like the platform's menus.
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.ClassStyle = CS_SAVEBITS;
    params.Background = nullptr;
}

void TsuiListMenu::SetFileTheme(TsuiFileTheme* theme) {
    if (fileTheme_ && fileTheme_ != theme) RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    if (fileTheme_) FreeNotification(fileTheme_);
    SetUIStyle(look_.UIStyle);
}

void TsuiListMenu::SetUIStyle(TsuiUIStyle style) { ApplyMenuStyle(look_, style, fileTheme_); }

void TsuiListMenu::Notification(tk::TComponent* component, tk::Operation operation) {
    tk::TWinControl::Notification(component, operation);
    if (operation == tk::Operation::Remove && component) {
        // A submenu that goes leaves its item as a plain one.
        for (TsuiListMenuItem& item : items_)
            if (item.Submenu == component) item.Submenu = nullptr;
        if (child_ == component) child_ = nullptr;
    }
    // A theme that goes leaves the built-in DeepBlue style, as on the other skinned menus.
    if (operation == tk::Operation::Remove && component && component == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(TsuiUIStyle::DeepBlue);
    }
}

void TsuiListMenu::SetItems(std::vector<TsuiListMenuItem> items) {
    if (open_) return;
    items_ = std::move(items);
    widths_.clear();
    heights_.clear();
    shown_.clear();
    rowOf_.clear();
    column_ = listmenu::ItemColumn();
}

void TsuiListMenu::SetItemEnabled(int index, bool enabled) {
    if (index < 0 || index >= Count() || items_[static_cast<size_t>(index)].Enabled == enabled) return;
    items_[static_cast<size_t>(index)].Enabled = enabled;
    InvalidateItem(index);
}

void TsuiListMenu::Measure() {
    // One font for every item (the skinned menus draw all items in the menu font, none bold), so
    // one selection and one text extent per caption measure the whole list.
    const tk::ScopedGetDC screen(nullptr);
    tk::TCanvas canvas(screen);
    SelectMenuItemFont(look_, canvas, false);
    canvas.Realize();
    SIZE sample{};
    GetTextExtentPoint32W(canvas.Handle(), L"Ag", 2, &sample);
    const int itemHeight = std::max<int>(sample.cy, look_.MenuItemHeight);
    itemHeight_ = itemHeight;

    heights_.clear();
    heights_.reserve(items_.size());
    widths_.assign(items_.size(), 0);
    int widest = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        const std::wstring& caption = items_[i].Caption;
        if (IsLine(items_[i])) {
            heights_.push_back(look_.SeparatorHeight);
            continue;
        }
        heights_.push_back(itemHeight);
        SIZE extent{};
        GetTextExtentPoint32W(canvas.Handle(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        widths_[i] = extent.cx;
        widest = std::max<int>(widest, extent.cx);
    }
    listmenu::ShownItems shown = listmenu::ShowItems(Count(), nullptr);
    shown_ = std::move(shown.Items);
    rowOf_ = std::move(shown.RowOf);
    column_ = listmenu::ItemColumn(heights_);
    // The width the skinned popup menu gives an item: caption, side bar and 40 pixels.
    contentWidth_ = widest + look_.BarWidth + 40;
}

int TsuiListMenu::FilterLineHeight() const { return filter_.empty() ? 0 : itemHeight_ + 1; }

listmenu::Rect TsuiListMenu::ItemsArea() const {
    const int arrow = scrolls_ ? kArrowHeight : 0;
    return {kBorder, kBorder + FilterLineHeight() + arrow, Width() - kBorder, Height() - kBorder - arrow};
}

tk::TRect TsuiListMenu::FilterLineRect() const {
    if (!open_ || filter_.empty()) return {};
    return {kBorder, kBorder, Width() - kBorder, kBorder + FilterLineHeight()};
}

int TsuiListMenu::RowOf(int index) const {
    return index >= 0 && index < static_cast<int>(rowOf_.size()) ? rowOf_[static_cast<size_t>(index)] : -1;
}

bool TsuiListMenu::Choosable(int index) const {
    return index >= 0 && index < Count() && RowOf(index) >= 0 && !IsLine(items_[static_cast<size_t>(index)]) &&
           items_[static_cast<size_t>(index)].Enabled;
}

tk::TRect TsuiListMenu::ItemRect(int index) const {
    const int row = RowOf(index);
    if (!open_ || row < 0 || row >= column_.Count()) return {};
    const listmenu::Rect area = ItemsArea();
    const int top = area.Top + column_.Top(row) - viewport_.Offset;
    const int bottom = area.Top + column_.Bottom(row) - viewport_.Offset;
    if (bottom <= area.Top || top >= area.Bottom) return {};
    return {area.Left, top, area.Right, bottom};
}

tk::TRect TsuiListMenu::UpArrowRect() const {
    if (!open_ || !scrolls_) return {};
    const int top = kBorder + FilterLineHeight();
    return {kBorder, top, Width() - kBorder, top + kArrowHeight};
}

tk::TRect TsuiListMenu::DownArrowRect() const {
    if (!open_ || !scrolls_) return {};
    return {kBorder, Height() - kBorder - kArrowHeight, Width() - kBorder, Height() - kBorder};
}

int TsuiListMenu::Popup(int x, int y) {
    if (open_ || items_.empty()) return -1;
    filter_.clear();
    Measure();

    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), &monitor);
    const listmenu::Rect work = ToRect(monitor.rcWork);
    workArea_ = work;
    const listmenu::Size content{contentWidth_ + 2 * kBorder, column_.Total() + 2 * kBorder};
    const listmenu::Size size = listmenu::FitToWorkArea(content, work);
    scrolls_ = size.Height < content.Height;
    const listmenu::Point at = listmenu::PlaceAtPoint({x, y}, size, work);
    SetBounds(at.X, at.Y, size.Width, size.Height);
    viewport_ = {0, ItemsArea().Height()};

    selected_ = -1;
    chosen_ = -1;
    chosenSub_ = -1;
    scrollDirection_ = 0;
    openedAt_ = GetTickCount();
    open_ = true;
    HWND window = Handle();
    const tk::OnScopeExit closeDown([this, window] {
        HideSubmenu();
        open_ = false;
        capture_.Release();
        KillTimer(window, kScrollTimer);
        SetVisible(false);
    });
    SetWindowPos(window, HWND_TOPMOST, at.X, at.Y, size.Width, size.Height, SWP_SHOWWINDOW);
    SetVisible(true);
    // The menu takes the keyboard (typed letters, the arrow keys) and every click, also those
    // outside it, which dismiss it.
    SetForegroundWindow(window);
    ::SetFocus(window);
    capture_.Take(window);
    UpdateWindow(window);
    if (OnShown) OnShown(this);

    while (open_ && HandleAllocated()) {
        if (!tk::Application().HandleMessage()) {
            // The program is ending: the quit message is for the loop that runs the program.
            PostQuitMessage(0);
            break;
        }
    }
    return chosen_;
}

void TsuiListMenu::Close() { Dismiss(); }

void TsuiListMenu::Dismiss() {
    if (!open_) return;
    open_ = false;
    // Wakes the menu's loop, which may be waiting for a message.
    if (HandleAllocated()) PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TsuiListMenu::Choose(int index) {
    if (!open_ || !Choosable(index)) return;
    if (items_[static_cast<size_t>(index)].Submenu) {
        ShowSubmenu(index, true);
        return;
    }
    chosen_ = index;
    Dismiss();
}

void TsuiListMenu::InvalidateItem(int index) {
    const tk::TRect r = ItemRect(index);
    if (r.Width() <= 0 || !HandleAllocated()) return;
    const RECT area{r.Left, r.Top, r.Right, r.Bottom};
    InvalidateRect(Handle(), &area, FALSE);
}

void TsuiListMenu::Select(int index, bool scrollToIt) {
    const int row = RowOf(index);
    if (index == selected_) {
        if (scrollToIt && row >= 0) ScrollTo(listmenu::OffsetShowing(column_, row, viewport_));
        return;
    }
    InvalidateItem(selected_);
    selected_ = row >= 0 ? index : -1;
    if (scrollToIt && row >= 0) ScrollTo(listmenu::OffsetShowing(column_, row, viewport_));
    InvalidateItem(selected_);
}

void TsuiListMenu::SetFilterText(std::wstring text) {
    if (text == filter_) return;
    filter_ = std::move(text);
    ApplyFilter();
}

void TsuiListMenu::ApplyFilter() {
    // A submenu belongs to an item that may be filtered away: it closes with every new text.
    HideSubmenu();
    std::vector<int> chosen;
    if (!filter_.empty() && OnFilter) chosen = OnFilter(filter_);
    listmenu::ShownItems shown = listmenu::ShowItems(Count(), filter_.empty() || !OnFilter ? nullptr : &chosen);
    shown_ = std::move(shown.Items);
    rowOf_ = std::move(shown.RowOf);
    std::vector<int> heights;
    heights.reserve(shown_.size());
    for (int item : shown_) heights.push_back(heights_[static_cast<size_t>(item)]);
    column_ = listmenu::ItemColumn(heights);
    // The menu keeps its corner and width and takes the height the shown items need.
    Place(Left(), Top(), Width(), column_.Total() + FilterLineHeight());
    // The first choosable row shown is highlighted while there is a text: Enter takes it.
    selected_ = -1;
    const int first = filter_.empty() ? -1
                                      : listmenu::NextChoosable(static_cast<int>(shown_.size()), -1, 1, [this](int row) {
                                            return Choosable(shown_[static_cast<size_t>(row)]);
                                        });
    if (first >= 0) Select(shown_[static_cast<size_t>(first)], true);
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TsuiListMenu::Place(int left, int top, int width, int contentHeight) {
    const listmenu::Rect below{workArea_.Left, top, workArea_.Right, workArea_.Bottom};
    const listmenu::Size content{width, contentHeight + 2 * kBorder};
    const listmenu::Size size = listmenu::FitToWorkArea(content, below);
    scrolls_ = size.Height < content.Height;
    SetBounds(left, top, size.Width, size.Height);
    if (HandleAllocated())
        SetWindowPos(Handle(), HWND_TOPMOST, left, top, size.Width, size.Height, SWP_NOACTIVATE);
    viewport_ = {0, ItemsArea().Height()};
}

void TsuiListMenu::ScrollTo(int offset) {
    offset = listmenu::ClampOffset(offset, column_.Total(), viewport_.View);
    if (offset == viewport_.Offset) return;
    viewport_.Offset = offset;
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TsuiListMenu::ScrollBy(int pixels) { ScrollTo(viewport_.Offset + pixels); }

int TsuiListMenu::ItemAtClient(int x, int y) const {
    const listmenu::Rect area = ItemsArea();
    if (x < area.Left || x >= area.Right || y < area.Top || y >= area.Bottom) return -1;
    const int row = column_.ItemAt(y - area.Top + viewport_.Offset);
    return row >= 0 && row < static_cast<int>(shown_.size()) ? shown_[static_cast<size_t>(row)] : -1;
}

void TsuiListMenu::KeyDown(WPARAM key) {
    // The keys move through the rows shown.
    const int rows = static_cast<int>(shown_.size());
    const auto choosable = [this](int row) { return Choosable(shown_[static_cast<size_t>(row)]); };
    const auto item = [this](int row) { return row >= 0 ? shown_[static_cast<size_t>(row)] : -1; };
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        Select(item(listmenu::NextChoosable(rows, RowOf(selected_), key == VK_DOWN ? 1 : -1, choosable)), true);
        break;
    case VK_HOME:
    case VK_END:
        Select(item(listmenu::NextChoosable(rows, -1, key == VK_HOME ? 1 : -1, choosable)), true);
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        // A page: the item a view's height away, or the nearest choosable one before it.
        const int direction = key == VK_NEXT ? 1 : -1;
        const int selectedRow = RowOf(selected_);
        const int from = selectedRow >= 0 ? column_.Top(selectedRow) : viewport_.Offset;
        const int y = std::clamp(from + direction * viewport_.View, 0, std::max(column_.Total() - 1, 0));
        int target = column_.ItemAt(y);
        while (target >= 0 && target < rows && !choosable(target)) target -= direction;
        if (target >= 0 && target < rows && item(target) != selected_) Select(item(target), true);
        break;
    }
    case VK_RETURN:
        Choose(selected_);
        break;
    case VK_BACK:
        if (OnFilter && !filter_.empty()) {
            std::wstring shorter = filter_;
            shorter.pop_back();
            // Not half of a character written as a surrogate pair.
            if (!shorter.empty() && IS_HIGH_SURROGATE(shorter.back())) shorter.pop_back();
            SetFilterText(std::move(shorter));
        }
        break;
    case VK_ESCAPE:
        if (OnFilter && !filter_.empty()) {
            SetFilterText(L"");
            break;
        }
        Dismiss();
        break;
    case VK_MENU:
    case VK_F10:
        Dismiss();
        break;
    default:
        break;
    }
}

void TsuiListMenu::MouseMoved(int x, int y) {
    int direction = 0;
    const tk::TRect up = UpArrowRect(), down = DownArrowRect();
    if (x >= up.Left && x < up.Right && y >= up.Top && y < up.Bottom) direction = -1;
    if (x >= down.Left && x < down.Right && y >= down.Top && y < down.Bottom) direction = 1;
    if (direction != scrollDirection_) {
        scrollDirection_ = direction;
        if (direction != 0) {
            SetTimer(Handle(), kScrollTimer, kScrollMilliseconds, nullptr);
        } else {
            KillTimer(Handle(), kScrollTimer);
        }
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    if (SubmenuMouseMoved(x, y)) return;
    const int item = ItemAtClient(x, y);
    if (item >= 0) Select(item, false);
    // Resting on an item with a submenu opens it; on another item closes an open one.
    if (item >= 0 && item != childItem_) HideSubmenu();
    if (item >= 0 && Choosable(item) && items_[static_cast<size_t>(item)].Submenu && !child_) ShowSubmenu(item, false);
}

void TsuiListMenu::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_PAINT:
        Paint();
        m.Result = 0;
        return;
    case WM_GETDLGCODE:
        // Every key is the menu's: the dialog manager must not take the arrows or Enter.
        m.Result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
        return;
    case WM_MOUSEACTIVATE:
        m.Result = MA_NOACTIVATE;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // A key pressed before the menu opened was meant for the window in front then (the hot
        // key's own Alt, queued behind the hot key when this program was in front): not a command.
        if (open_ && static_cast<LONG>(static_cast<DWORD>(GetMessageTime()) - openedAt_) >= 0 && !SubmenuKey(m.WParam)) KeyDown(m.WParam);
        m.Result = 0;
        return;
    case WM_CHAR:
        if (open_ && m.WParam >= 32 && m.WParam != 127 && OnFilter) {
            SetFilterText(filter_ + static_cast<wchar_t>(m.WParam));
        } else if (open_ && m.WParam >= 32) {
            std::vector<std::wstring_view> captions;
            captions.reserve(items_.size());
            for (const TsuiListMenuItem& item : items_) captions.emplace_back(item.Caption);
            const int next = listmenu::NextItemStartingWith(captions, static_cast<wchar_t>(m.WParam), selected_,
                                                            [this](int i) { return Choosable(i); });
            if (next >= 0) Select(next, true);
        }
        m.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (open_) MouseMoved(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = 0;
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        // The mouse is captured: a press outside the menu, anywhere on the screen, dismisses it.
        const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        POINT inChild{};
        if (open_ && (x < 0 || y < 0 || x >= Width() || y >= Height()) && !InSubmenu(x, y, inChild)) Dismiss();
        m.Result = 0;
        return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (open_ && !SubmenuClicked(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)))
            Choose(ItemAtClient(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        m.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        if (open_) {
            const int notches = GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA;
            ScrollBy(-notches * kWheelItems * look_.MenuItemHeight);
        }
        m.Result = 0;
        return;
    case WM_TIMER:
        if (m.WParam == kScrollTimer) {
            if (open_ && scrollDirection_ != 0) ScrollBy(scrollDirection_ * look_.MenuItemHeight);
            m.Result = 0;
            return;
        }
        break;
    case WM_ACTIVATE:
        // Another window took the front.
        if (LOWORD(m.WParam) == WA_INACTIVE) Dismiss();
        break;
    case WM_CANCELMODE:
        Dismiss();
        break;
    case WM_CLOSE:
        // Closing the menu dismisses it; the window stays for the next opening.
        Dismiss();
        m.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(m.LParam) != Handle()) Dismiss();
        break;
    default:
        break;
    }
    tk::TWinControl::WndProc(m);
}

void TsuiListMenu::PaintArrow(tk::TCanvas& canvas, const tk::TRect& band, bool up, bool active) {
    FillRectColor(canvas, band, look_.Color);
    // A small triangle in the text colour, grey at the end the list cannot scroll past.
    const bool atEnd = up ? viewport_.Offset == 0 : viewport_.Offset >= column_.Total() - viewport_.View;
    canvas.SetPenColor(atEnd ? 0x808080 : active ? look_.SelectedBorderColor : look_.FontColor);
    const int cx = (band.Left + band.Right) / 2, cy = (band.Top + band.Bottom) / 2;
    for (int row = 0; row < 4; ++row) {
        const int y = up ? cy - 2 + row : cy + 1 - row;
        canvas.MoveTo(cx - row, y);
        canvas.LineTo(cx + row + 1, y);
    }
}

void TsuiListMenu::PaintFilterLine(tk::TCanvas& canvas) {
    const tk::TRect line = FilterLineRect();
    // The text typed after the prompt, on the find box's pink when no item holds it; a line under it.
    FillRectColor(canvas, {line.Left, line.Top, line.Right, line.Bottom - 1},
                  shown_.empty() ? kNothingFoundColor : look_.Color);
    FillRectColor(canvas, {line.Left, line.Bottom - 1, line.Right, line.Bottom}, look_.SeparatorColor);
    SelectMenuItemFont(look_, canvas, false);
    canvas.SetFontColor(shown_.empty() ? tk::clBlack : look_.FontColor);
    canvas.SetBrushStyle(tk::TBrushStyle::Clear);
    tk::TRect text{line.Left + look_.BarWidth + 4, line.Top, line.Right - 4, line.Bottom - 1};  // where captions start
    canvas.DrawText(FilterPrompt + filter_, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TsuiListMenu::Paint() {
    const tk::ScopedPaint paint(Handle());
    const int width = Width(), height = Height();
    if (width <= 0 || height <= 0) return;
    // Drawn off the screen and copied in one piece: no flicker while scrolling.
    tk::TBitmap buffer(width, height);
    {
        tk::TCanvas canvas(buffer.Dc());
        FillRectColor(canvas, {0, 0, width, height}, look_.Color);
        FrameRectColor(canvas, {0, 0, width, height},
                       look_.UIStyle == TsuiUIStyle::MacOS ? tk::clBlack : look_.SeparatorColor);
        const listmenu::Rect area = ItemsArea();
        if (!filter_.empty()) PaintFilterLine(canvas);
        {
            const tk::ScopedSaveDC saved(buffer.Dc());
            IntersectClipRect(buffer.Dc(), area.Left, area.Top, area.Right, area.Bottom);
            const listmenu::ItemRange range = listmenu::VisibleItems(column_, viewport_);
            for (int row = range.First; row <= range.Last; ++row) {
                const int i = shown_[static_cast<size_t>(row)];
                const TsuiListMenuItem& item = items_[static_cast<size_t>(i)];
                const int top = area.Top + column_.Top(row) - viewport_.Offset;
                const tk::TRect r{area.Left, top, area.Right, area.Top + column_.Bottom(row) - viewport_.Offset};
                const TsuiMenuItemView view{item.Caption, L"", IsLine(item), item.Enabled, false, false, -1};
                DrawMenuItem(look_, canvas, r, i == selected_, view, TsuiMenuImages{}, true, fileTheme_);
                if (item.Submenu) PaintSubmenuArrow(canvas, r, i == selected_);
            }
        }
        if (scrolls_) {
            PaintArrow(canvas, UpArrowRect(), true, scrollDirection_ < 0);
            PaintArrow(canvas, DownArrowRect(), false, scrollDirection_ > 0);
        }
    }
    BitBlt(paint, 0, 0, width, height, buffer.Dc(), 0, 0, SRCCOPY);
}
