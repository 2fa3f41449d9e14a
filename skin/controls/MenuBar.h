// The menu bar of a form frame: a tool bar with one flat, caption-only button per top-level item
// of the frame's main menu. Pressing a button (or typing its accelerator with Alt) drops down the
// item's submenu below it; Left and Right in a dropped-down submenu move to the neighbouring one.
// The frame paints the background and the buttons through the two draw events.
#pragma once

#include <functional>
#include <string>

#include "toolkit/win/Menus.h"
#include "toolkit/win/ToolBar.h"

// A bar button bound to a top-level menu item (heard of when the item goes).
class TsuiMenuBarButton : public tk::TToolButton {
public:
    using tk::TToolButton::TToolButton;
    ~TsuiMenuBarButton() override;
    std::string_view ClassName() const override { return "TsuiMenuBarButton"; }
    tk::TMenuItem* MenuItem() const { return menuItem_; }
    // Takes the item's caption and enabled state.
    void SetMenuItem(tk::TMenuItem* item);
    void Notification(tk::TComponent* component, tk::Operation operation) override;

private:
    tk::TMenuItem* menuItem_ = nullptr;
};

// The button's rectangle in bar coordinates, its draw state and the canvas to paint with.
using TsuiMenuBarButtonDrawEvent =
    std::function<void(tk::TCanvas& canvas, TsuiMenuBarButton* button, const tk::TRect& rect, bool hot, bool selected)>;
using TsuiMenuBarDrawEvent = std::function<void(tk::TCanvas& canvas, const tk::TRect& rect)>;

// A button's Tag while it is drawn hot or selected.
inline constexpr int kMenuBarHotTag = 888;

class TsuiMenuBar : public tk::TToolBar {
public:
    explicit TsuiMenuBar(tk::TComponent* owner);
    ~TsuiMenuBar() override;
    std::string_view ClassName() const override { return "TsuiMenuBar"; }

    TsuiMenuBarDrawEvent OnCustomDraw;            // after the plain background
    TsuiMenuBarButtonDrawEvent OnCustomDrawButton;  // instead of the tool bar's own drawing

    // Menu bar buttons in bar order.
    std::vector<TsuiMenuBarButton*> MenuButtons() const;
    // Drops down the button's submenu below it and waits until it closes; a chosen item runs.
    // Dropped from the keyboard (an accelerator, or Left and Right from the submenu beside it), the
    // submenu comes with its first enabled item highlighted, as the system's menu bars do, so that
    // Enter chooses it; dropped by the mouse, nothing is highlighted until the mouse moves there.
    void DropDown(TsuiMenuBarButton* button, bool fromKeyboard);
    // A character typed while the bar's window has focus, or Alt with a character anywhere in the
    // host: opens the button whose accelerator matches. Without Alt only while a button is drawn
    // hot. True when a button was opened.
    bool DialogChar(wchar_t ch, bool altDown);
    // The rectangle of a button in bar coordinates (empty when it is not shown).
    tk::TRect ButtonRect(const TsuiMenuBarButton* button);
    // The button dropped down at the moment, or nullptr.
    TsuiMenuBarButton* DroppedButton() const { return dropped_; }

    void WndProc(tk::TMessage& message) override;

protected:
    void CreateWnd() override;
    LRESULT CustomDraw(NMTBCUSTOMDRAW& draw) override;

private:
    static LRESULT CALLBACK MenuFilter(int code, WPARAM wParam, LPARAM lParam);
    TsuiMenuBarButton* Neighbour(TsuiMenuBarButton* from, int step) const;

    TsuiMenuBarButton* dropped_ = nullptr;
    int pendingStep_ = 0;  // -1 or +1: the neighbour to open once the current submenu closed
};

// The accelerator character of a caption (the letter after a single '&', upper-cased), or 0.
wchar_t MenuAccelerator(const std::wstring& caption);
