#include "skin/controls/ToolBar.h"

#include "skin/controls/ToolButtonFace.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "skin/theme/StylePropagation.h"

namespace {

// Built-in style items the bar reads.
using namespace style_item;

}  // namespace

bool IsSkinFormFrame(const tk::TControl* control) { return HasPublishedProperty(control, "FormPanel"); }

TsuiToolBar::TsuiToolBar(tk::TComponent* owner) : tk::TToolBar(owner) {
    SetFlat(true);
    SetTransparent(false);
    SetUIStyle(FindFormUIStyle(owner));
}

TsuiToolBar::~TsuiToolBar() = default;

void TsuiToolBar::SetFileTheme(TsuiFileTheme* theme) {
    if (fileTheme_ && fileTheme_ != theme) RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    // Heard of whoever owns it, so the bar never draws from a theme that is gone.
    if (fileTheme_) FreeNotification(fileTheme_);
    SetUIStyle(uiStyle_);
}

void TsuiToolBar::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    TsuiUIStyle builtIn = style;
    if (ResolveThemeSource(fileTheme_, style, builtIn)) {
        buttonBorderColor_ = static_cast<tk::TColor>(fileTheme_->GetThemeColor(TsuiThemeColor::SKIN2_TOOLBARBORDERCOLOR));
        buttonColor_ = static_cast<tk::TColor>(fileTheme_->GetThemeColor(TsuiThemeColor::SKIN2_TOOLBARSTARTCOLOR));
        buttonDownColor_ = static_cast<tk::TColor>(fileTheme_->GetThemeColor(TsuiThemeColor::SKIN2_TOOLBARDOWNCOLOR));
        barStartColor_ = static_cast<tk::TColor>(fileTheme_->GetThemeColor(TsuiThemeColor::SKIN2_TOOLBARSTARTCOLOR));
        barEndColor_ = static_cast<tk::TColor>(fileTheme_->GetThemeColor(TsuiThemeColor::SKIN2_TOOLBARENDCOLOR));
        SetColor(barStartColor_);
    } else {
        buttonBorderColor_ = GetBuiltInColor(builtIn, kToolButtonBorderColor);
        buttonColor_ = GetBuiltInColor(builtIn, kToolButtonColor);
        buttonDownColor_ = GetBuiltInColor(builtIn, kToolButtonDownColor);
        SetColor(GetBuiltInColor(builtIn, kFaceColor));
        barStartColor_ = barEndColor_ = Color();
    }
    // The bar shows the frame's background only for the styles whose frames have a picture.
    SetTransparent((style == TsuiUIStyle::MacOS || style == TsuiUIStyle::Protein) && IsSkinFormFrame(Parent()));
    Invalidate();
}

void TsuiToolBar::SetButtonColor(tk::TColor color) {
    buttonColor_ = color;
    Invalidate();
}

void TsuiToolBar::SetButtonBorderColor(tk::TColor color) {
    buttonBorderColor_ = color;
    Invalidate();
}

void TsuiToolBar::SetButtonDownColor(tk::TColor color) {
    buttonDownColor_ = color;
    Invalidate();
}

bool TsuiToolBar::PublishesProperty(std::string_view name) const {
    return name == "FileTheme" || name == "UIStyle" || tk::TToolBar::PublishesProperty(name);
}

std::optional<tk::PropertyValue> TsuiToolBar::GetPublishedProperty(std::string_view name) const {
    if (name == "FileTheme") return tk::PropertyValue{static_cast<tk::TComponent*>(fileTheme_)};
    if (name == "UIStyle") return tk::PropertyValue{static_cast<int>(uiStyle_)};
    return tk::TToolBar::GetPublishedProperty(name);
}

bool TsuiToolBar::SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) {
    if (const auto taken = SetThemeOrStyleProperty(*this, name, value)) return *taken;
    return tk::TToolBar::SetPublishedProperty(name, value);
}

void TsuiToolBar::Notification(tk::TComponent* component, tk::Operation operation) {
    tk::TToolBar::Notification(component, operation);
    if (operation == tk::Operation::Remove && component && component == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(TsuiUIStyle::DeepBlue);
    }
}

LRESULT TsuiToolBar::CustomDraw(NMTBCUSTOMDRAW& draw) {
    NMCUSTOMDRAW& cd = draw.nmcd;
    tk::TCanvas canvas(cd.hdc);
    canvas.SetFont(tk::TFont::FromSpec(Font()));
    const tk::TRect rect{cd.rc.left, cd.rc.top, cd.rc.right, cd.rc.bottom};
    if (cd.dwDrawStage == CDDS_PREPAINT) {
        // The whole bar: the gradient runs from its top line to its bottom line whatever part of
        // it is being painted.
        BarPrePaint(canvas, {0, 0, ClientWidth(), ClientHeight()});
        return CDRF_NOTIFYITEMDRAW;
    }
    if (cd.dwDrawStage == CDDS_ITEMPREPAINT) {
        tk::TToolButton* button = ButtonByCommand(static_cast<int>(cd.dwItemSpec));
        if (button && ButtonPrePaint(canvas, *button, rect, EffectiveState(cd.uItemState, cd.rc))) return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

UINT TsuiToolBar::EffectiveState(UINT state, const RECT& rect) {
    // Some common controls drop the hot state while the mouse holds a button down; a pressed
    // button under the held mouse is still the one under the mouse.
    if ((state & CDIS_SELECTED) && !(state & CDIS_HOT) && mouseHeld_ && PtInRect(&rect, mousePoint_)) state |= CDIS_HOT;
    return state;
}

void TsuiToolBar::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseHeld_ = true;
        [[fallthrough]];
    case WM_MOUSEMOVE:
        mousePoint_ = {static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        break;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        mouseHeld_ = false;
        break;
    default:
        break;
    }
    tk::TToolBar::WndProc(m);
}

void TsuiToolBar::BarPrePaint(tk::TCanvas& canvas, const tk::TRect& rect) {
    if (Transparent()) {
        PaintParentBackground(canvas, *this);
    } else if (barStartColor_ != barEndColor_) {
        FillVerticalGradient(canvas, rect, barStartColor_, barEndColor_);
    }
}

bool TsuiToolBar::ButtonPrePaint(tk::TCanvas& canvas, tk::TToolButton& button, const tk::TRect& rect, UINT state) {
    // Separators and disabled buttons are the control's.
    if (button.Style() == tk::TToolButtonStyle::Separator || (state & CDIS_DISABLED)) return false;
    const bool dropDown = button.Style() == tk::TToolButtonStyle::DropDown;
    if (state & CDIS_HOT) {
        const bool pressed = (state & CDIS_SELECTED) != 0;
        DrawFace(canvas, button, rect, pressed ? buttonDownColor_ : buttonColor_, pressed);
        if (dropDown) DrawDropDownMark(canvas, rect);
        return true;
    }
    if (state & (CDIS_SELECTED | CDIS_CHECKED)) {
        DrawFace(canvas, button, rect, buttonColor_, false);
        return true;
    }
    return false;
}

void TsuiToolBar::DrawFace(tk::TCanvas& canvas, tk::TToolButton& button, const tk::TRect& r, tk::TColor fill,
                           bool pressed) {
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    canvas.SetBrushColor(fill);
    canvas.SetPenColor(buttonBorderColor_);
    canvas.Realize();
    Rectangle(canvas.Handle(), r.Left, r.Top, r.Right, r.Bottom);

    tk::TImageList* images = FaceImages();
    const std::wstring caption = button.Caption();
    skin::ToolFaceInput in;
    in.bounds = r;
    in.dropDown = button.Style() == tk::TToolButtonStyle::DropDown;
    in.list = List();
    in.showCaptions = ShowCaptions();
    in.hasImages = images != nullptr;
    in.imageWidth = images ? images->Width() : 0;
    in.imageHeight = images ? images->Height() : 0;
    in.captionWidth = canvas.TextWidth(skin::StripAmpersands(caption));
    in.pressed = pressed;
    const skin::ToolFaceLayout layout = skin::LayoutToolFace(in);
    if (layout.drawImage) images->Draw(canvas.Handle(), layout.image.x, layout.image.y, button.ImageIndex(), true);
    if (layout.drawCaption) {
        tk::TRect textRect = layout.caption;
        canvas.SetBrushStyle(tk::TBrushStyle::Clear);
        canvas.DrawText(caption, textRect, 0);
    }
}

void TsuiToolBar::DrawDropDownMark(tk::TCanvas& canvas, const tk::TRect& r) {
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    canvas.SetBrushColor(tk::clBlack);
    canvas.SetPenColor(tk::clBlack);
    canvas.Realize();
    const int y = r.Top + (r.Bottom - r.Top) / 2;
    const POINT big[] = {{r.Right - 9, y}, {r.Right - 5, y}, {r.Right - 7, y + 2}};
    const POINT small[] = {{r.Right - 8, y}, {r.Right - 6, y}, {r.Right - 7, y + 1}};
    Polygon(canvas.Handle(), big, 3);
    Polygon(canvas.Handle(), small, 3);
    canvas.MoveTo(r.Right - skin::kDropDownStripWidth, r.Top);
    canvas.LineTo(r.Right - skin::kDropDownStripWidth, r.Bottom);
}
