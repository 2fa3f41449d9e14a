// The skinned list menu: a popup menu for lists of any length, its items drawn exactly as the
// skinned popup menu draws its own (side bar, selection, separators and texts in the colours of a
// built-in style or a loaded skin). Unlike the platform's menus it measures its items in one pass
// and paints only those on the screen, so a list of ten thousand opens as fast as a short one;
// a list taller than the work area scrolls (arrows at the top and bottom, the mouse wheel, the
// keys); a typed letter moves to the next item that begins with it, or, with a filter set, typing
// filters the items; an item can be greyed while the menu is open. An item can open a submenu
// (another list menu) beside it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/controls/ListMenuLayout.h"
#include "skin/controls/MenuLook.h"
#include "toolkit/win/Control.h"
#include "toolkit/win/Scoped.h"

class TsuiListMenu;

struct TsuiListMenuItem {
    // "-" is a separator. "&" underlines the next character; "&&" shows an ampersand.
    std::wstring Caption;
    bool Enabled = true;
    // Opens this menu beside the item (the mouse resting on it, Right, Enter or a click) instead of
    // being chosen; choosing one of its items chooses this item (see ChosenSubitem).
    TsuiListMenu* Submenu = nullptr;
};

class TsuiListMenu : public tk::TWinControl {
public:
    explicit TsuiListMenu(tk::TComponent* owner);
    ~TsuiListMenu() override;
    std::string_view ClassName() const override { return "TsuiListMenu"; }

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* theme);
    TsuiUIStyle UIStyle() const { return look_.UIStyle; }
    void SetUIStyle(TsuiUIStyle style);
    const TsuiMenuLook& Look() const { return look_; }

    // Replaces the items; not while the menu is open.
    void SetItems(std::vector<TsuiListMenuItem> items);
    int Count() const { return static_cast<int>(items_.size()); }
    const TsuiListMenuItem& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    // Greys an item (or makes it choosable again); an open menu repaints it at once.
    void SetItemEnabled(int index, bool enabled);

    // Opens with its top-left corner at the screen point (kept inside the work area of the monitor
    // that holds the point, see listmenu::PlaceAtPoint), takes the keyboard and the mouse, and
    // returns when an item is chosen (its index) or the menu is dismissed (-1): Escape, a click
    // outside it, another window taking the front, or Close().
    int Popup(int x, int y);
    bool IsOpen() const { return open_; }
    // Dismisses the open menu (Popup returns -1).
    void Close();

    // The highlighted item (-1: none) and the first item row the list is scrolled to.
    int Selected() const { return selected_; }
    int ScrollOffset() const { return viewport_.Offset; }
    bool Scrolls() const { return scrolls_; }
    // Where an item is drawn, in the window's client coordinates; empty when it is scrolled out of
    // sight or the menu is closed.
    tk::TRect ItemRect(int index) const;
    // The bands of the scroll arrows (empty when the list does not scroll).
    tk::TRect UpArrowRect() const;
    tk::TRect DownArrowRect() const;

    // Runs once the open menu is on the screen and painted.
    tk::TNotifyEvent OnShown;
    // Runs on a submenu just before its parent shows it: the time to give it its items.
    tk::TNotifyEvent OnOpening;
    // The submenu item chosen when Popup returned an item that opens a submenu (-1: none).
    int ChosenSubitem() const { return chosenSub_; }
    // The submenu open beside the menu (nullptr: none).
    TsuiListMenu* OpenSubmenu() const { return child_; }

    // Filtering as you type. When set, the characters typed into the open menu make a text, shown
    // in a line at its top after FilterPrompt, and the menu shows only the items the function
    // returns for that text, in the order it returns them (every item while the text is empty);
    // the first choosable one shown is highlighted, so Enter takes it. Backspace takes the last
    // character back; Escape clears the text, and with no text closes the menu. Without it, a
    // typed letter moves to the next item that begins with it.
    std::function<std::vector<int>(std::wstring_view text)> OnFilter;
    std::wstring FilterPrompt;
    const std::wstring& FilterText() const { return filter_; }
    // The items shown, top to bottom.
    const std::vector<int>& ShownItems() const { return shown_; }
    // The line with the typed text (empty while there is none, or the menu is closed).
    tk::TRect FilterLineRect() const;

    void WndProc(tk::TMessage& message) override;
    void Notification(tk::TComponent* component, tk::Operation operation) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void Measure();
    listmenu::Rect ItemsArea() const;  // the client rows items are drawn in
    int FilterLineHeight() const;
    // The shown items again after the text changed, and the menu's size for them.
    void ApplyFilter();
    void SetFilterText(std::wstring text);
    void Place(int left, int top, int width, int contentHeight);
    int RowOf(int index) const;  // where an item is shown, -1: hidden
    bool Choosable(int index) const;
    void Select(int index, bool scrollToIt);
    void ScrollTo(int offset);
    void ScrollBy(int pixels);
    void Choose(int index);
    void Dismiss();
    int ItemAtClient(int x, int y) const;
    void Paint();
    void PaintFilterLine(tk::TCanvas& canvas);
    void PaintArrow(tk::TCanvas& canvas, const tk::TRect& band, bool up, bool active);
    void KeyDown(WPARAM key);
    void MouseMoved(int x, int y);
    void InvalidateItem(int index);
    // The submenu (ListMenuSubmenu.cpp): shown beside an item, driven by the parent's loop, mouse
    // and keys.
    void ShowSubmenu(int index, bool withKeys);
    void HideSubmenu();
    void ShowBeside(const RECT& item, const RECT& parent);
    bool InSubmenu(int x, int y, POINT& inChild);
    bool SubmenuMouseMoved(int x, int y);
    bool SubmenuClicked(int x, int y);
    bool SubmenuKey(WPARAM key);
    void PaintSubmenuArrow(tk::TCanvas& canvas, const tk::TRect& r, bool selected);

    TsuiMenuLook look_;
    TsuiFileTheme* fileTheme_ = nullptr;
    std::vector<TsuiListMenuItem> items_;
    std::vector<int> widths_;  // measured caption widths
    std::vector<int> heights_;  // measured item heights
    int itemHeight_ = 0;
    // The typed text, the items shown (rows top to bottom) and each item's row (-1: hidden).
    std::wstring filter_;
    std::vector<int> shown_;
    std::vector<int> rowOf_;
    listmenu::Rect workArea_;
    listmenu::ItemColumn column_;  // the shown items' rows
    listmenu::Viewport viewport_;
    int contentWidth_ = 0;
    bool scrolls_ = false;
    int scrollDirection_ = 0;  // the arrow the mouse rests on: -1 up, +1 down, 0 none
    int selected_ = -1;
    int chosen_ = -1;
    bool open_ = false;
    tk::MouseCapture capture_;
    TsuiListMenu* child_ = nullptr;  // the submenu shown beside childItem_
    int childItem_ = -1;
    bool childKeys_ = false;  // the keys move in the submenu
    int chosenSub_ = -1;
    DWORD openedAt_ = 0;  // GetTickCount when it opened
};
