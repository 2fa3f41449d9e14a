// The title bar under the mouse: a press on a button and its release on the same button click it,
// a press elsewhere drags the window, a double click maximises or restores, and the non-client
// mouse messages go on to the form.
#include <windows.h>

#include <utility>

#include "skin/controls/TitleBar.h"

int TsuiTitleBar::ButtonAt(int x, int y) const {
    const bool hasBox = lastLayout_.ControlBox >= 0 && lastIcon_.ControlBox;
    int at = skin::TitleButtonAt(lastLayout_, hasBox && drawAppIcon_ ? lastIcon_.ControlBox : std::nullopt, x, y);
    // The control-box picture is hot over its own rectangle, drawn one row higher.
    if (hasBox && !drawAppIcon_ && skin::BoxContains(*lastIcon_.ControlBox, x, y)) at = lastLayout_.ControlBox;
    return at;
}

void TsuiTitleBar::MouseDown(int x, int y) {
    capture_.Take(Handle());
    mouseIsDown_ = true;
    pressedButton_ = ButtonAt(x, y);
    Repaint();
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated()) return;
    if (skin::ClassifyTitleBarPress(hotButton_, IsZoomed(form->Handle()) != FALSE, Designing()) ==
        skin::TitleBarPress::Drag) {
        capture_.Release();
        pressedButton_ = skin::kNoTitleButton;
        mouseIsDown_ = false;
        POINT cursor;
        GetCursorPos(&cursor);
        // The system moves the window from here until the button is released.
        SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
    }
}

void TsuiTitleBar::CancelPress() {
    if (pressedButton_ < 0 && !mouseIsDown_) return;
    pressedButton_ = skin::kNoTitleButton;
    mouseIsDown_ = false;
    Repaint();
}

void TsuiTitleBar::MouseUp(int pressed, int x, int y) {
    // Only a button that was pressed and is released under the pointer acts; a release elsewhere
    // (slid off it, onto another button, or with no press on the bar) does nothing.
    if (pressed >= 0 && pressed < buttons_->Count() && ButtonAt(x, y) == pressed) {
        TsuiTitleBarButton* b = buttons_->Items(pressed);
        const int index = pressed;
        if (b->ButtonType() == TsuiTitleBarBtnType::suiControlBox && !b->ControlBoxMenu()) {
            PopupSystemMenu();
        } else {
            b->ClickButton();
            if (b->ButtonType() == TsuiTitleBarBtnType::suiCustom && OnCustomBtnsClick) {
                OnCustomBtnsClick(this, index);
            } else if (b->ButtonType() == TsuiTitleBarBtnType::suiHelp && OnHelpBtnClick) {
                OnHelpBtnClick(this, index);
            }
        }
    }
    mouseIsDown_ = false;
    Repaint();
}

void TsuiTitleBar::DoubleClick() {
    if (Designing()) return;
    if (hotButton_ < 0) {
        for (int i = 0; i < buttons_->Count(); ++i) {
            TsuiTitleBarButton* b = buttons_->Items(i);
            if (b->ButtonType() == TsuiTitleBarBtnType::suiMax && b->Visible()) {
                b->ClickButton();
                return;
            }
        }
    } else if (hotButton_ < buttons_->Count() &&
               buttons_->Items(hotButton_)->ButtonType() == TsuiTitleBarBtnType::suiControlBox) {
        if (tk::TForm* form = ParentFormOf()) form->Close();
    }
}

void TsuiTitleBar::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        MouseDown(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
        m.Result = 0;
        return;
    case WM_LBUTTONUP: {
        // The press is taken before the capture goes, whose loss would cancel it.
        const int pressed = std::exchange(pressedButton_, skin::kNoTitleButton);
        capture_.Release();
        MouseUp(pressed, static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
        m.Result = 0;
        return;
    }
    case WM_LBUTTONDBLCLK: {
        // The second press of a double click on a window button is a press like the first.
        const int x = static_cast<short>(LOWORD(m.LParam)), y = static_cast<short>(HIWORD(m.LParam));
        const int at = ButtonAt(x, y);
        const bool onButton = at >= 0 && at < buttons_->Count() &&
                              buttons_->Items(at)->ButtonType() != TsuiTitleBarBtnType::suiControlBox;
        DoubleClick();
        if (onButton && HandleAllocated() && IsWindowVisible(Handle())) MouseDown(x, y);
        m.Result = 0;
        return;
    }
    case WM_CAPTURECHANGED:
        // Capture taken away in the middle of a press (a message box, a menu): the press ends.
        if (reinterpret_cast<HWND>(m.LParam) != Handle()) CancelPress();
        break;
    case WM_MOUSEMOVE:
        if (!trackingLeave_) {
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, Handle(), 0};
            trackingLeave_ = TrackMouseEvent(&t) != FALSE;
        }
        Repaint();
        m.Result = 0;
        return;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        Repaint();
        m.Result = 0;
        return;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
        if (tk::TForm* form = ParentFormOf(); form && form->HandleAllocated()) {
            m.Result = SendMessageW(form->Handle(), m.Msg, m.WParam, m.LParam);
            return;
        }
        break;
    default:
        break;
    }
    tk::TCustomPanel::WndProc(m);
}
