// The list menu's submenu: another list menu shown beside one of its items. The parent's loop runs
// both: the parent keeps the mouse (captured) and the keyboard and hands the submenu the moves,
// clicks and keys that are its, so the submenu never takes the front and never runs a loop.
#include <algorithm>

#include "skin/controls/ListMenu.h"

namespace {

constexpr int kBorder = 2;

}  // namespace

void TsuiListMenu::ShowSubmenu(int index, bool withKeys) {
    if (index < 0 || index >= Count()) return;
    TsuiListMenu* sub = items_[static_cast<size_t>(index)].Submenu;
    if (!sub || sub == this) return;
    if (child_ != sub || childItem_ != index) {
        HideSubmenu();
        if (sub->OnOpening) sub->OnOpening(sub);
        if (sub->items_.empty()) return;
        RECT item{}, parent{};
        const tk::TRect r = ItemRect(index);
        item = {r.Left, r.Top, r.Right, r.Bottom};
        MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&item), 2);
        GetWindowRect(Handle(), &parent);
        sub->ShowBeside(item, parent);
        child_ = sub;
        childItem_ = index;
        Select(index, false);
    }
    childKeys_ = withKeys;
    if (withKeys && child_->selected_ < 0)
        child_->Select(listmenu::NextChoosable(child_->Count(), -1, 1, [this](int i) { return child_->Choosable(i); }),
                       true);
}

void TsuiListMenu::HideSubmenu() {
    if (!child_) return;
    TsuiListMenu* sub = child_;
    child_ = nullptr;
    childItem_ = -1;
    childKeys_ = false;
    sub->open_ = false;
    sub->selected_ = -1;
    if (sub->HandleAllocated()) {
        KillTimer(sub->Handle(), 1);
        ShowWindow(sub->Handle(), SW_HIDE);
    }
}

void TsuiListMenu::ShowBeside(const RECT& item, const RECT& parent) {
    Measure();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&item, MONITOR_DEFAULTTONEAREST), &monitor);
    const listmenu::Rect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
    const listmenu::Size content{contentWidth_ + 2 * kBorder, column_.Total() + 2 * kBorder};
    const listmenu::Size size = listmenu::FitToWorkArea(content, work);
    scrolls_ = size.Height < content.Height;
    // To the right of the parent, its first item level with the parent's item; to the left when
    // the right has no room.
    int x = parent.right - kBorder;
    if (x + size.Width > work.Right) x = std::max<int>(work.Left, parent.left - size.Width + kBorder);
    const listmenu::Point at = listmenu::PlaceAtPoint({x, item.top - kBorder}, size, work);
    SetBounds(at.X, at.Y, size.Width, size.Height);
    viewport_ = {0, ItemsArea().Height()};
    selected_ = -1;
    chosen_ = -1;
    scrollDirection_ = 0;
    open_ = true;
    SetWindowPos(Handle(), HWND_TOPMOST, at.X, at.Y, size.Width, size.Height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow(Handle());
    if (OnShown) OnShown(this);
}

bool TsuiListMenu::InSubmenu(int x, int y, POINT& inChild) {
    if (!child_ || !child_->open_ || !child_->HandleAllocated()) return false;
    inChild = {x, y};
    MapWindowPoints(Handle(), child_->Handle(), &inChild, 1);
    return inChild.x >= 0 && inChild.y >= 0 && inChild.x < child_->Width() && inChild.y < child_->Height();
}

bool TsuiListMenu::SubmenuMouseMoved(int x, int y) {
    POINT p{};
    if (!InSubmenu(x, y, p)) return false;
    child_->MouseMoved(p.x, p.y);
    childKeys_ = true;
    if (selected_ != childItem_) Select(childItem_, false);
    return true;
}

bool TsuiListMenu::SubmenuClicked(int x, int y) {
    POINT p{};
    if (!InSubmenu(x, y, p)) return false;
    const int item = child_->ItemAtClient(p.x, p.y);
    if (child_->Choosable(item)) {
        chosenSub_ = item;
        chosen_ = childItem_;
        Dismiss();
    }
    return true;
}

bool TsuiListMenu::SubmenuKey(WPARAM key) {
    if (!child_ || !childKeys_) {
        // Right opens the selected item's submenu; Enter does it through Choose.
        if (key == VK_RIGHT && selected_ >= 0 && Choosable(selected_) && items_[static_cast<size_t>(selected_)].Submenu) {
            ShowSubmenu(selected_, true);
            return true;
        }
        return false;
    }
    switch (key) {
    case VK_LEFT:
    case VK_ESCAPE:
        // Back to the parent, its item still selected.
        HideSubmenu();
        return true;
    case VK_RETURN:
        if (child_->Choosable(child_->selected_)) {
            chosenSub_ = child_->selected_;
            chosen_ = childItem_;
            Dismiss();
        }
        return true;
    case VK_MENU:
    case VK_F10:
        return false;
    default:
        child_->KeyDown(key);
        return true;
    }
}

void TsuiListMenu::PaintSubmenuArrow(tk::TCanvas& canvas, const tk::TRect& r, bool selected) {
    // A small triangle pointing right, in the item's text colour.
    canvas.SetPenColor(selected ? look_.SelectedFontColor : look_.FontColor);
    const int cx = r.Right - 10, cy = (r.Top + r.Bottom) / 2;
    for (int col = 0; col < 4; ++col) {
        canvas.MoveTo(cx + col, cy - 3 + col);
        canvas.LineTo(cx + col, cy + 4 - col);
    }
}
