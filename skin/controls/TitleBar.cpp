#include "skin/controls/TitleBar.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "skin/theme/BuiltInBitmaps.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "skin/theme/StylePropagation.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/StdCtrls.h"

namespace {

constexpr TsuiStyleItem kLeftOffsetItem = 7, kRightOffsetItem = 8, kButtonTopItem = 9;
constexpr TsuiStyleItem kTitleLeftItem = 10, kTitleClientItem = 11, kTitleRightItem = 12;
constexpr TsuiStyleItem kMinWidthItem = 13, kRoundCornerItem = 14;

// The program's icon at 16 x 16, loaded once.
HICON SmallAppIcon() {
    static HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    return icon;
}

}  // namespace

TsuiTitleBar::TsuiTitleBar(tk::TComponent* owner)
    : tk::TCustomPanel(owner),
      sections_(std::make_unique<TsuiTitleBarSections>(this)),
      buttons_(std::make_unique<TsuiTitleBarButtons>(this)) {
    SetBevelOuter(tk::TPanelBevel::None);
    rawTitleImage_.SetPixelFormat(tk::TPixelFormat::pf24bit);
    composedTitleImage_.SetPixelFormat(tk::TPixelFormat::pf24bit);
    const TsuiTitleBarBtnType kinds[] = {TsuiTitleBarBtnType::suiControlBox, TsuiTitleBarBtnType::suiClose,
                                         TsuiTitleBarBtnType::suiMax, TsuiTitleBarBtnType::suiMin};
    for (TsuiTitleBarBtnType kind : kinds) buttons_->Add()->SetButtonType(kind);
    titleFont_.Name = L"Tahoma";
    titleFont_.Height = -11;
    titleFont_.Bold = true;
    titleFont_.Color = tk::clWhite;
    systemMenu_ = new TsuiTitleBarPopupMenu(this);
    SetUIStyle(FindFormUIStyle(owner));
}

TsuiTitleBar::~TsuiTitleBar() = default;

TsuiTitleBarFrameHost* TsuiTitleBar::FrameHost() const { return dynamic_cast<TsuiTitleBarFrameHost*>(Parent()); }

tk::TForm* TsuiTitleBar::ParentFormOf() const { return tk::ParentForm(const_cast<TsuiTitleBar*>(this)); }

bool TsuiTitleBar::RightToLeft() const {
    // The bar reads right to left when its form does and the system is a Middle-East one.
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated() || !GetSystemMetrics(SM_MIDEASTENABLED)) return false;
    return (GetWindowLongW(form->Handle(), GWL_EXSTYLE) & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) != 0;
}

bool TsuiTitleBar::ReadySkin() const {
    TsuiUIStyle resolved;
    return ResolveThemeSource(fileTheme_, uiStyle_, resolved);
}

int TsuiTitleBar::AskFrameInset() const {
    if (TsuiTitleBarFrameHost* frame = FrameHost()) return frame->TitleBarInset();
    // Off a frame, the window may still carry one elsewhere that answers.
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated()) return 0;
    return static_cast<int>(SendMessageW(form->Handle(), FrameInsetQuery, 0, 0));
}

tk::TBitmap* TsuiTitleBar::SectionPicture(int index) {
    if (sections_->Count() <= 2 || index < 0 || index >= sections_->Count()) return nullptr;
    return &sections_->Items(index)->Picture();
}

void TsuiTitleBar::RefreshMaximizePictures() {
    for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->RefreshMaximizePictures();
}

skin::SystemMenuStates TsuiTitleBar::SystemMenuEnabled() const {
    std::vector<skin::TitleButtonInput> inputs;
    for (int i = 0; i < buttons_->Count(); ++i)
        inputs.push_back({buttons_->Items(i)->ButtonType(), buttons_->Items(i)->Visible(), true, 0, 0});
    return skin::SystemMenuEnabled(inputs);
}

void TsuiTitleBar::SystemMinimize() {
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated()) return;
    if (form == tk::Application().MainForm()) {
        SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else {
        ShowWindow(form->Handle(), SW_MINIMIZE);
    }
}

void TsuiTitleBar::SystemMaximizeRestore() {
    for (int i = 0; i < buttons_->Count(); ++i) {
        TsuiTitleBarButton* b = buttons_->Items(i);
        if (b->ButtonType() == TsuiTitleBarBtnType::suiMax && b->Visible()) b->ClickButton();
    }
}

void TsuiTitleBar::SystemClose() {
    if (tk::TForm* form = ParentFormOf()) form->Close();
}

void TsuiTitleBar::PopupControlBoxMenu(tk::TComponent* menu) {
    if (!menu || !HandleAllocated()) return;
    POINT p{skin::TitleMenuX(RightToLeft(), 0), Height()};
    ClientToScreen(Handle(), &p);
    p.x = std::max<LONG>(p.x, 0);
    if (auto* popup = dynamic_cast<tk::TPopupMenu*>(menu)) popup->Popup(p.x, p.y);
}

// ---- Properties ----

void TsuiTitleBar::SetFileTheme(TsuiFileTheme* theme) {
    if (fileTheme_ && fileTheme_ != theme) RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    if (theme) FreeNotification(theme);
    keepFontColor_ = true;
    SetUIStyle(uiStyle_);
    keepFontColor_ = false;
}

void TsuiTitleBar::SetButtonInterval(int value) {
    buttonInterval_ = value;
    Invalidate();
}

void TsuiTitleBar::SetTitleFont(const tk::TFont& font) {
    titleFont_ = font;
    Invalidate();
}

void TsuiTitleBar::SetFormActive(bool value) {
    formActive_ = value;
    Invalidate();
}

void TsuiTitleBar::SetLeftBtnXOffset(int value) {
    leftBtnXOffset_ = value;
    Invalidate();
}

void TsuiTitleBar::SetRightBtnXOffset(int value) {
    rightBtnXOffset_ = value;
    Invalidate();
}

void TsuiTitleBar::SetDrawAppIcon(bool value) {
    drawAppIcon_ = value;
    Invalidate();
}

void TsuiTitleBar::SetInactiveCaptionColor(tk::TColor color) {
    inactiveCaptionColor_ = color;
    Invalidate();
}

void TsuiTitleBar::CaptionChanged() {
    tk::TCustomPanel::CaptionChanged();
    Invalidate();
}

void TsuiTitleBar::SetAutoSize(bool value) {
    autoSize_ = value;
    if (sections_->Count() > 0) {
        SetHeight(sections_->Items(0)->Picture().Height() - (OnFrame() ? 3 : 0));
    } else {
        autoSize_ = false;
    }
}

void TsuiTitleBar::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    if (custom_) return;
    sections_->Clear();
    TsuiUIStyle e = TsuiUIStyle::DeepBlue;
    tk::TForm* form = ParentFormOf();
    const int frameShift = OnFrame() ? 3 : 0;
    if (ResolveThemeSource(fileTheme_, style, e)) {
        TsuiFileTheme* t = fileTheme_;
        fiveSections_ = t->GetThemeBool(SKIN2_TITLEFIVESECT);
        titleTransparentColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_TRANSCOLOR));
        auto addSection = [&](TsuiThemeBitmap item) {
            TsuiTitleBarSection* s = sections_->Add();
            tk::TBitmap picture;
            t->CopyThemeBitmap(item, &picture);
            s->SetPicture(picture);
            return s;
        };
        addSection(SKIN2_TITLEBAR1)->SetAutoSize(true);
        TsuiTitleBarSection* second = addSection(SKIN2_TITLEBAR2);
        if (fiveSections_) {
            second->SetCapSec(true);
        } else {
            second->SetAlign(TsuiTitleBarAlign::suiClient);
        }
        TsuiTitleBarSection* third = addSection(SKIN2_TITLEBAR3);
        third->SetAutoSize(true);
        if (!fiveSections_) third->SetAlign(TsuiTitleBarAlign::suiRight);
        if (fiveSections_) {
            addSection(SKIN2_TITLEBAR4)->SetAlign(TsuiTitleBarAlign::suiClient);
            TsuiTitleBarSection* fifth = addSection(SKIN2_TITLEBAR5);
            fifth->SetAutoSize(true);
            fifth->SetAlign(TsuiTitleBarAlign::suiRight);
        }
        leftBtnXOffset_ = t->GetThemeInt(SKIN2_TITLEBARICONPOSX);
        rightBtnXOffset_ = t->GetThemeInt(SKIN2_TITLEBARBUTTONPOSX);
        tk::TBitmap* strip = t->GetThemeBitmap(SKIN2_TITLEBUTTONS);
        if (strip) strip->SetPixelFormat(tk::TPixelFormat::pf24bit);
        buttonTop_ = t->GetThemeInt(SKIN2_TITLEBARBUTTONPOSY) - frameShift;
        iconTop_ = t->GetThemeInt(SKIN2_TITLEBARICONPOSY) - frameShift;
        captionTop_ = t->GetThemeInt(SKIN2_TITLEBARCAPTIONTOP);
        formColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_FORMCOLOR));
        if (form) {
            auto width = [&](TsuiThemeBitmap item) {
                tk::TBitmap* b = t->GetThemeBitmap(item);
                return b ? b->Width() : 0;
            };
            form->SetMinSize(skin::SkinTitleMinWidth(fiveSections_, width(SKIN2_TITLEBAR1), width(SKIN2_TITLEBAR3),
                                                     width(SKIN2_TITLEBAR5), width(SKIN2_TITLEBUTTONS),
                                                     buttons_->Count(), rightBtnXOffset_),
                             form->MinHeight());
        }
    } else {
        auto addSection = [&](TsuiStyleItem item) {
            TsuiTitleBarSection* s = sections_->Add();
            tk::TBitmap picture;
            LoadBuiltInBitmap(e, item, &picture);
            s->SetPicture(picture);
            return s;
        };
        addSection(kTitleLeftItem)->SetAutoSize(true);
        TsuiTitleBarSection* right = addSection(kTitleRightItem);
        right->SetAutoSize(true);
        right->SetAlign(TsuiTitleBarAlign::suiRight);
        addSection(kTitleClientItem)->SetAlign(TsuiTitleBarAlign::suiClient);
        leftBtnXOffset_ = GetBuiltInInt(e, kLeftOffsetItem);
        rightBtnXOffset_ = GetBuiltInInt(e, kRightOffsetItem);
        buttonTop_ = GetBuiltInInt(e, kButtonTopItem) - frameShift;
        iconTop_ = buttonTop_;
        if (form) form->SetMinSize(GetBuiltInInt(e, kMinWidthItem), 50);
        roundCorner_ = GetBuiltInInt(e, kRoundCornerItem);
        roundCornerBottom_ = 0;
    }
    for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->SetUIStyle(e);
    if (systemMenu_) {
        systemMenu_->SetUIStyle(e);
        systemMenu_->SetFileTheme(fileTheme_);
    }
    if (!keepFontColor_) {
        if (style == TsuiUIStyle::MacOS) {
            titleFont_.Color = tk::clBlack;
        } else if (ReadySkin()) {
            titleFont_.Color = static_cast<tk::TColor>(fileTheme_->GetThemeColor(SKIN2_TITLEFONTCOLOR));
        } else {
            titleFont_.Color = tk::clWhite;
        }
    }
    SetAutoSize(true);
    Invalidate();
}

// ---- Published properties and notifications ----

bool TsuiTitleBar::PublishesProperty(std::string_view name) const {
    return name == "FileTheme" || name == "UIStyle" || tk::TCustomPanel::PublishesProperty(name);
}

std::optional<tk::PropertyValue> TsuiTitleBar::GetPublishedProperty(std::string_view name) const {
    if (name == "FileTheme") return tk::PropertyValue(static_cast<tk::TComponent*>(fileTheme_));
    if (name == "UIStyle") return tk::PropertyValue(static_cast<int>(uiStyle_));
    return tk::TCustomPanel::GetPublishedProperty(name);
}

bool TsuiTitleBar::SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) {
    if (const auto taken = SetThemeOrStyleProperty(*this, name, value)) return *taken;
    return tk::TCustomPanel::SetPublishedProperty(name, value);
}

void TsuiTitleBar::Notification(tk::TComponent* component, tk::Operation operation) {
    tk::TCustomPanel::Notification(component, operation);
    if (operation != tk::Operation::Remove || !component) return;
    for (int i = 0; i < buttons_->Count(); ++i)
        if (buttons_->Items(i)->ControlBoxMenu() == component) buttons_->Items(i)->SetControlBoxMenu(nullptr);
    if (component == systemMenu_) systemMenu_ = nullptr;
    if (component == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(TsuiUIStyle::DeepBlue);
    }
}

// ---- Painting ----

void TsuiTitleBar::Paint(tk::TCanvas& canvas) {
    RECT r;
    GetClientRect(Handle(), &r);
    const int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0) return;
    tk::TBitmap image(w, h);
    DrawSections(image);
    DrawButtonsAndCaption(image);
    if (canvas.Handle()) BitBlt(canvas.Handle(), 0, 0, w, h, image.Dc(), 0, 0, SRCCOPY);
}

void TsuiTitleBar::DrawSections(tk::TBitmap& image) {
    if (!ParentFormOf()) return;
    const int w = image.Width(), h = image.Height();
    const bool onFrame = OnFrame();
    const int dx = -skin::TitleImageOffset(onFrame, onFrame ? AskFrameInset() : 0);
    const int dy = onFrame ? -3 : 0;
    int buttonsWidth = 0;
    for (int i = 0; i < buttons_->Count(); ++i) buttonsWidth += buttons_->Items(i)->PicNormal().Width() + buttonInterval_;

    rawTitleImage_.SetSize(w - 2 * dx, h - dy);
    composedTitleImage_.SetSize(w - 2 * dx, h - dy);
    tk::TCanvas p(image.Dc()), raw(rawTitleImage_.Dc()), composed(composedTitleImage_.Dc());
    p.SetFont(titleFont_);
    composed.SetBrushColor(formColor_);
    composed.FillRect({0, 0, composedTitleImage_.Width(), composedTitleImage_.Height()});

    int left = dx, right = w - dx, lastLeftWidth = 0;
    TsuiTitleBarSection* client = nullptr;
    bool captionSectionUsed = false;
    for (int i = 0; i < sections_->Count(); ++i) {
        TsuiTitleBarSection* s = sections_->Items(i);
        tk::TBitmap& pic = s->Picture();
        const int pw = pic.Width(), ph = pic.Height();
        if (s->CapSec()) {
            const int nextWidth = i + 1 < sections_->Count() ? sections_->Items(i + 1)->Width() : 0;
            FitTextWithEllipsis(p, Caption(), skin::CaptionFitWidth(w, leftBtnXOffset_, buttonsWidth, nextWidth),
                                fittedCaption_);
            const int capWidth = skin::CaptionSectionWidth(p.TextWidth(fittedCaption_), leftBtnXOffset_, lastLeftWidth);
            p.StretchDraw({left, dy, left + capWidth, dy + ph}, pic);
            raw.StretchDraw({left - dx, 0, left + capWidth - dx, ph}, pic);
            left += capWidth;
            captionSectionUsed = true;
            continue;
        }
        switch (s->Align()) {
        case TsuiTitleBarAlign::suiLeft:
            p.Draw(left, dy, pic);
            raw.Draw(left - dx, 0, pic);
            left += pw;
            lastLeftWidth = pw;
            break;
        case TsuiTitleBarAlign::suiRight: {
            tk::TBitmap& over = rightScratch_;
            over.SetSize(pw, ph);
            {
                tk::TCanvas c(over.Dc());
                c.SetBrushColor(formColor_);
                c.FillRect({0, 0, pw, ph});
                const bool wasTransparent = pic.Transparent();
                pic.SetTransparent(true);
                pic.SetTransparentColor(titleTransparentColor_);
                c.Draw(0, 0, pic);
                pic.SetTransparent(wasTransparent);
            }
            p.Draw(right - pw, dy, over);
            raw.Draw(right - dx - pw, 0, pic);
            right -= pw;
            break;
        }
        case TsuiTitleBarAlign::suiClient:
            client = s;
            break;
        }
    }
    if (client) {
        tk::TBitmap& pic = client->Picture();
        p.StretchDraw({left, dy, right, dy + pic.Height()}, pic);
        raw.StretchDraw({left - dx, 0, right - dx, pic.Height()}, pic);
    }
    composed.Draw(0, 0, rawTitleImage_);
    if (!captionSectionUsed) fittedCaption_.clear();
    if (captionSectionUsed && onFrame) FrameHost()->PaintFrame();
}

void TsuiTitleBar::DrawButtonsAndCaption(tk::TBitmap& image) {
    if (!ParentFormOf()) return;
    const int w = image.Width();
    const int j = AskFrameInset() - 1;
    tk::TCanvas p(image.Dc());
    p.SetBrushStyle(tk::TBrushStyle::Clear);
    tk::TFont font = titleFont_;
    if (!formActive_) font.Color = inactiveCaptionColor_;
    p.SetFont(font);

    POINT cursor{-100000, -100000};
    if (HandleAllocated() && GetCursorPos(&cursor)) ScreenToClient(Handle(), &cursor);

    std::vector<skin::TitleButtonInput> inputs;
    for (int i = 0; i < buttons_->Count(); ++i) {
        const TsuiTitleBarButton* b = buttons_->Items(i);
        inputs.push_back({b->ButtonType(), b->Visible(), b->HasAllPictures(), b->PicNormal().Width(),
                          b->PicNormal().Height()});
    }
    lastLayout_ = skin::LayoutTitleButtons(inputs, w, rightBtnXOffset_, j, buttonTop_, buttonInterval_);
    const TsuiTitleBarButton* box = lastLayout_.ControlBox >= 0 ? buttons_->Items(lastLayout_.ControlBox) : nullptr;
    lastIcon_ = skin::LayoutTitleIcon(leftBtnXOffset_, j, box != nullptr, drawAppIcon_, iconTop_,
                                      box ? box->PicNormal().Width() : 0, box ? box->PicNormal().Height() : 0);
    hotButton_ = ButtonAt(cursor.x, cursor.y);

    auto drawButton = [&](TsuiTitleBarButton* b, int index, int x, int y) {
        tk::TBitmap* source = &b->PicNormal();
        // While the mouse is held down, only the button the press started on shows, and only as
        // pressed (with the pointer on it, where a release would click it).
        if (hotButton_ == index && !mouseIsDown_) source = &b->PicMouseOn();
        if (hotButton_ == index && mouseIsDown_ && pressedButton_ == index) source = &b->PicMouseDown();
        // Drawn straight from the button's picture (no copy on every mouse move): its
        // transparency is the button's, its colour fixed under a skin.
        source->SetTransparent(b->Transparent());
        if (uiStyle_ == TsuiUIStyle::FromThemeFile) source->SetTransparentColor(titleTransparentColor_);
        p.Draw(x, y, *source);
    };
    for (int i = 0; i < buttons_->Count(); ++i)
        if (const auto& rect = lastLayout_.Rects[static_cast<std::size_t>(i)])
            drawButton(buttons_->Items(i), i, rect->Left, rect->Top);

    if (box) {
        if (drawAppIcon_) {
            if (HICON icon = SmallAppIcon())
                DrawIconEx(image.Dc(), lastIcon_.IconX + 3, iconTop_, icon, 16, 16, 0, nullptr, DI_NORMAL);
        } else {
            drawButton(buttons_->Items(lastLayout_.ControlBox), lastLayout_.ControlBox, lastIcon_.IconX, iconTop_ - 1);
        }
    }

    const int captionX = lastIcon_.CaptionX;
    std::wstring text = fittedCaption_;
    if (text.empty())
        text = skin::ShortenCaption(Caption(), lastLayout_.X - captionX,
                                    [&p](const std::wstring& s) { return p.TextWidth(s); });
    int y = 0;
    TsuiUIStyle e;
    if (ResolveThemeSource(fileTheme_, uiStyle_, e)) {
        y = captionTop_ - 3;
    } else {
        y = buttonTop_ + (e == TsuiUIStyle::Protein ? 3 : 0);
    }
    lastCaptionText_ = text;
    lastCaptionY_ = y;
    p.TextOut(skin::CaptionTextX(RightToLeft(), captionX, lastLayout_.X, p.TextWidth(text)), y, text);
}

// ---- Mouse ----

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
        pressedButton_ = -1;
        mouseIsDown_ = false;
        POINT cursor;
        GetCursorPos(&cursor);
        // The system moves the window from here until the button is released.
        SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
    }
}

void TsuiTitleBar::CancelPress() {
    if (pressedButton_ < 0 && !mouseIsDown_) return;
    pressedButton_ = -1;
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

void TsuiTitleBar::PopupSystemMenu() {
    if (!HandleAllocated()) return;
    POINT p{0, Height()};
    ClientToScreen(Handle(), &p);
    PopupSystemMenuAt(p.x, p.y);
}

bool TsuiTitleBar::PopupSystemMenuAt(int x, int y) {
    if (!systemMenu_) return false;
    systemMenu_->Popup(x, y);
    return true;
}

void TsuiTitleBar::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        MouseDown(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
        m.Result = 0;
        return;
    case WM_LBUTTONUP: {
        // The press is taken before the capture goes, whose loss would cancel it.
        const int pressed = std::exchange(pressedButton_, -1);
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
