#include "toolkit/win/ToolBar.h"

#include <algorithm>

namespace tk {

TToolButton::TToolButton(TComponent* owner) : TComponent(owner) {}

TToolButton::~TToolButton() {
    if (action_) action_->UnregisterClient(this);
    if (toolBar_) toolBar_->RemoveButton(this);
}

void TToolButton::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (toolBar_) toolBar_->ButtonChanged(this);
}

void TToolButton::SetImageIndex(int index) {
    imageIndex_ = index;
    if (toolBar_) toolBar_->ButtonChanged(this);
}

std::wstring TToolButton::Caption() const {
    return caption_.empty() && action_ ? action_->Caption() : caption_;
}

std::wstring TToolButton::Hint() const { return hint_.empty() && action_ ? action_->Hint() : hint_; }

int TToolButton::ImageIndex() const { return imageIndex_ < 0 && action_ ? action_->ImageIndex() : imageIndex_; }

bool TToolButton::Down() const {
    if (toolBar_ && toolBar_->HandleAllocated() && style_ == TToolButtonStyle::Check)
        return SendMessageW(toolBar_->Handle(), TB_ISBUTTONCHECKED, commandId_, 0) != 0;
    return down_;
}

void TToolButton::SetDown(bool down) {
    down_ = down;
    if (toolBar_ && toolBar_->HandleAllocated() && style_ == TToolButtonStyle::Check)
        SendMessageW(toolBar_->Handle(), TB_CHECKBUTTON, commandId_, MAKELONG(down ? TRUE : FALSE, 0));
}

bool TToolButton::Enabled() const { return action_ ? action_->Enabled() : enabled_; }

void TToolButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (toolBar_) toolBar_->ButtonChanged(this);
}

void TToolButton::SetWidth(int width) {
    width_ = width;
    if (toolBar_) toolBar_->ButtonChanged(this);
}

void TToolButton::SetAction(TAction* action) {
    if (action_) {
        action_->UnregisterClient(this);
        RemoveFreeNotification(action_);
    }
    action_ = action;
    if (action_) {
        action_->RegisterClient(this);
        FreeNotification(action_);
    }
    if (toolBar_) toolBar_->ButtonChanged(this);
}

void TToolButton::Click() {
    if (action_) {
        action_->Execute();
    } else if (OnClick) {
        OnClick(this);
    }
}

void TToolButton::ActionChanged(TAction*) {
    if (toolBar_) toolBar_->ButtonChanged(this);
}

void TToolButton::Notification(TComponent* component, Operation operation) {
    TComponent::Notification(component, operation);
    if (operation == Operation::Remove && component == action_) {
        action_ = nullptr;
        if (toolBar_) toolBar_->ButtonChanged(this);
    }
}

TToolBar::~TToolBar() {
    DropTipRoute();  // the base class destroys the window without calling back into this one
    for (TToolButton* b : buttons_) b->toolBar_ = nullptr;
}

void TToolBar::SetImages(TImageList* images) {
    if (images_ && images_ != hotImages_) RemoveFreeNotification(images_);
    images_ = images;
    if (images_) FreeNotification(images_);
    if (HandleAllocated())
        SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TToolBar::SetHotImages(TImageList* images) {
    if (hotImages_ && hotImages_ != images_) RemoveFreeNotification(hotImages_);
    hotImages_ = images;
    if (hotImages_) FreeNotification(hotImages_);
    if (HandleAllocated())
        SendMessageW(Handle(), TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages_ ? hotImages_->Handle() : nullptr));
}

void TToolBar::Notification(TComponent* component, Operation operation) {
    TWinControl::Notification(component, operation);
    if (operation != Operation::Remove) return;
    // The native control must not draw from an image list that is going away.
    if (component == images_) {
        images_ = nullptr;
        if (HandleAllocated()) SendMessageW(Handle(), TB_SETIMAGELIST, 0, 0);
    }
    if (component == hotImages_) {
        hotImages_ = nullptr;
        if (HandleAllocated()) SendMessageW(Handle(), TB_SETHOTIMAGELIST, 0, 0);
    }
}

void TToolBar::SetShowCaptions(bool show) {
    if (showCaptions_ == show) return;
    showCaptions_ = show;
    for (TToolButton* b : buttons_) ButtonChanged(b);
    if (HandleAllocated()) SendMessageW(Handle(), TB_AUTOSIZE, 0, 0);
}

void TToolBar::SetList(bool list) {
    list_ = list;
    ApplyStyleBits();
}

void TToolBar::SetFlat(bool flat) {
    flat_ = flat;
    ApplyStyleBits();
}

void TToolBar::SetColor(TColor color) {
    color_ = color;
    Invalidate();
}

void TToolBar::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TToolBar::ApplyStyleBits() {
    if (!HandleAllocated()) return;
    DWORD style = static_cast<DWORD>(SendMessageW(Handle(), TB_GETSTYLE, 0, 0));
    style = flat_ ? (style | TBSTYLE_FLAT) : (style & ~DWORD{TBSTYLE_FLAT});
    style = list_ ? (style | TBSTYLE_LIST) : (style & ~DWORD{TBSTYLE_LIST});
    SendMessageW(Handle(), TB_SETSTYLE, 0, style);
    SendMessageW(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
    Invalidate();
}

TToolButton* TToolBar::ButtonByCommand(int commandId) const {
    for (TToolButton* b : buttons_)
        if (b->commandId_ == commandId) return b;
    return nullptr;
}

void TToolBar::DestroyWindowHandle() {
    DropTipRoute();
    TWinControl::DestroyWindowHandle();
}

void TToolBar::DropTipRoute() {
    // The route is this bar's; it goes with the bar even if the tool tip outlives it.
    if (tipWindow_ && IsWindow(tipWindow_)) SetNotifyTarget(tipWindow_, nullptr);
    tipWindow_ = nullptr;
}

void TToolBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = TOOLBARCLASSNAMEW;
    params.SystemClass = true;
    params.Style |= TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_TOP;
    if (flat_) params.Style |= TBSTYLE_FLAT;
    if (list_) params.Style |= TBSTYLE_LIST;
}

void TToolBar::CreateWnd() {
    HWND h = Handle();
    SendMessageW(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(h, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    if (hotImages_) SendMessageW(h, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages_->Handle()));
    if (images_) SendMessageW(h, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
    tipWindow_ = reinterpret_cast<HWND>(SendMessageW(h, TB_GETTOOLTIPS, 0, 0));
    SetNotifyTarget(tipWindow_, this);
    for (size_t i = 0; i < buttons_.size(); ++i) InsertNative(static_cast<int>(i));
    SendMessageW(h, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
    SendMessageW(h, TB_SETBUTTONWIDTH, 0, MAKELPARAM(buttonWidth_, buttonWidth_));
}

void TToolBar::InsertNative(int index) {
    TToolButton* b = buttons_[static_cast<size_t>(index)];
    TBBUTTON tb{};
    tb.idCommand = b->commandId_;
    if (b->Style() == TToolButtonStyle::Separator) {
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = b->SeparatorWidth();
    } else {
        tb.fsStyle = b->Style() == TToolButtonStyle::Check      ? BTNS_CHECK
                     : b->Style() == TToolButtonStyle::DropDown ? BTNS_DROPDOWN
                                                                : BTNS_BUTTON;
        if (b->Grouped()) tb.fsStyle |= BTNS_GROUP;
        tb.iBitmap = b->ImageIndex() >= 0 ? b->ImageIndex() : I_IMAGENONE;
        tb.fsState = b->Enabled() ? TBSTATE_ENABLED : 0;
        if (b->Style() == TToolButtonStyle::Check && b->down_) tb.fsState |= TBSTATE_CHECKED;
        b->shownCaption_ = showCaptions_ ? b->Caption() : std::wstring();
        tb.iString = reinterpret_cast<INT_PTR>(b->shownCaption_.c_str());
        SendMessageW(Handle(), TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(&tb));
        if (b->Width() > 0) ButtonChanged(b);
        return;
    }
    SendMessageW(Handle(), TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(&tb));
}

void TToolBar::AddButton(TToolButton* button) {
    if (button->toolBar_) button->toolBar_->RemoveButton(button);
    button->toolBar_ = this;
    button->commandId_ = nextCommandId_++;
    buttons_.push_back(button);
    if (HandleAllocated()) InsertNative(static_cast<int>(buttons_.size() - 1));
}

void TToolBar::RemoveButton(TToolButton* button) {
    auto it = std::find(buttons_.begin(), buttons_.end(), button);
    if (it == buttons_.end()) return;
    buttons_.erase(it);
    button->toolBar_ = nullptr;
    if (HandleAllocated()) {
        const LRESULT index = SendMessageW(Handle(), TB_COMMANDTOINDEX, button->commandId_, 0);
        if (index >= 0) SendMessageW(Handle(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    }
    button->commandId_ = 0;
}

void TToolBar::ButtonChanged(TToolButton* button) {
    if (!HandleAllocated()) return;
    if (button->toolBar_ != this || button->Style() == TToolButtonStyle::Separator) return;
    const int id = button->commandId_;
    button->shownCaption_ = showCaptions_ ? button->Caption() : std::wstring();
    TBBUTTONINFOW info{sizeof(info)};
    info.dwMask = TBIF_IMAGE | TBIF_STATE | TBIF_TEXT;
    if (button->Width() > 0) {
        info.dwMask |= TBIF_SIZE;
        info.cx = static_cast<WORD>(button->Width());
    }
    info.iImage = button->ImageIndex() >= 0 ? button->ImageIndex() : I_IMAGENONE;
    // Keep what the control holds besides enabled (checked, pressed).
    const LRESULT state = SendMessageW(Handle(), TB_GETSTATE, id, 0);
    info.fsState = static_cast<BYTE>(state == -1 ? 0 : state & ~TBSTATE_ENABLED);
    if (button->Enabled()) info.fsState |= TBSTATE_ENABLED;
    info.pszText = button->shownCaption_.data();
    SendMessageW(Handle(), TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
}

void TToolBar::WndProc(TMessage& m) {
    if (m.Msg == WM_DESTROY) DropTipRoute();  // destroyed with its parent window
    if (m.Msg == WM_ERASEBKGND) {
        // The background is the bar's colour, or the parent's picture for a transparent bar.
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (transparent_) {
            PaintParentImage(*this, dc);
        } else {
            TCanvas canvas(dc);
            canvas.SetBrushColor(color_);
            canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
        }
        m.Result = 1;
        return;
    }
    if (m.Msg == CN_COMMAND) {
        if (TToolButton* b = ButtonByCommand(LOWORD(m.WParam))) b->Click();
        m.Result = 0;
        return;
    }
    if (m.Msg == CN_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        if (hdr->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(m.LParam);
            const TToolButton* b = ButtonByCommand(static_cast<int>(hdr->idFrom));
            tipText_ = b ? b->Hint() : std::wstring();
            info->lpszText = tipText_.data();
            info->hinst = nullptr;
            m.Result = 0;
            return;
        }
        if (hdr->code == NM_CUSTOMDRAW) {
            m.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam));
            return;
        }
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace tk
