// The frame itself: construction on its host, style application, notifications, the layout of
// its children and the glue to the border painters and the window outline.
#include "skin/controls/Form.h"

#include <cstring>

#include "skin/controls/FramePainter.h"
#include "skin/controls/FrameRegion.h"
#include "skin/theme/StyleItems.h"
#include "skin/theme/StylePropagation.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Scoped.h"

TsuiForm::TsuiForm(tk::TComponent* owner) : tk::TCustomPanel(owner) {
    auto* host = dynamic_cast<tk::TForm*>(owner);
    if (!host) return;
    // One frame per host: a second one stays an ordinary, unconfigured panel.
    for (tk::TControl* c : host->Controls())
        if (c->ClassName() == "TsuiForm") return;
    host_ = host;
    HWND h = host_->Handle();

    RECT window, client;
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    POINT topLeft{client.left, client.top}, bottomRight{client.right, client.bottom};
    ClientToScreen(h, &topLeft);
    ClientToScreen(h, &bottomRight);
    hostBottomFrame_ = skin::SanitizeFrameThickness(window.bottom - bottomRight.y);
    hostLeftFrame_ = skin::SanitizeFrameThickness(topLeft.x - window.left);

    bottomBorderImage_.SetPixelFormat(tk::TPixelFormat::pf24bit);
    creationBounds_ = window;
    startMaximized_ = IsZoomed(h) != FALSE;

    SetParent(host_);
    SetBounds(0, 0, client.right, client.bottom);
    titleBar_ = new TsuiTitleBar(this);
    titleBar_->SetParent(this);
    menuBarColor_ = Color();
    menuBarToColor_ = Color();
    menuBarHeightSetting_ = kDefaultMenuBarHeight;

    SetUIStyle(TsuiUIStyle::DeepBlue);
    autoUpdateSub_ = false;
    SetBevelOuter(tk::TPanelBevel::None);
    SetBevelInner(tk::TPanelBevel::None);
    SetBorderStyle(tk::TPanelBorder::None);

    titleBar_->SetCaption(host_->Caption());
    titleBar_->SetVisible(true);
    titleBarWanted_ = true;
    internalTitleChange_ = false;
    tk::TCustomPanel::SetCaption(L" ");

    // The caption goes; the thin frame stays (a dialog frame at least).
    SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) & ~WS_CAPTION);
    Hook();
    appHook_ = tk::Application().AddMessageHook([this](MSG& msg) { return AppMessage(msg); });
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
    AlignChildren();
}

TsuiForm::~TsuiForm() {
    destroying_ = true;
    if (appHook_) tk::Application().RemoveMessageHook(appHook_);
    DetachMenu();
    delete menuBar_;
    menuBar_ = nullptr;
    Unhook();
}

int TsuiForm::TitleBandHeight() const {
    return titleBar_ ? skin::TitleBandHeight(titleBar_->Height(), titleBar_->Visible()) : 0;
}

int TsuiForm::TitleBarInset() const {
    return destroying_ ? 0 : skin::FrameInset(leftBorderWidth_, hostBottomFrame_);
}

bool TsuiForm::ReadySkin() const {
    TsuiUIStyle e;
    return ResolveThemeSource(fileTheme_, uiStyle_, e);
}

int TsuiForm::MinHostHeight() const {
    return GetMenuBarHeight() + (titleBar_ ? titleBar_->Height() : 0) + bottomBorderHeight_ + skin::kTitleStripRows;
}

// ---- Style application ----

void TsuiForm::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    if (!titleBar_) return;
    TsuiUIStyle e = TsuiUIStyle::DeepBlue;
    if (ResolveThemeSource(fileTheme_, style, e)) {
        TsuiFileTheme* t = fileTheme_;
        SetColor(static_cast<tk::TColor>(t->GetThemeColor(SKIN2_FORMCOLOR)));
        menuBarColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_MENUBARSTARTCOLOR));
        menuBarToColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_MENUBARENDCOLOR));
        auto width = [t](TsuiThemeBitmap item) {
            tk::TBitmap* b = t->GetThemeBitmap(item);
            return b ? b->Width() : 0;
        };
        leftBorderWidth_ = width(SKIN2_FORMLEFTBORDER);
        rightBorderWidth_ = width(SKIN2_FORMRIGHTBORDER);
        tk::TBitmap* bottom = t->GetThemeBitmap(SKIN2_FORMBOTTOMBORDER1);
        bottomBorderHeight_ = bottom ? bottom->Height() : 0;
        transparentColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_TRANSCOLOR));
        titleNeedsRegion_ = t->GetThemeBool(SKIN2_TITLEBARNEEDREGION);
        bottomNeedsRegion_ = t->GetThemeBool(SKIN2_BOTTOMBORDERNEEDREGION);
        titleRegionMinY_ = t->GetThemeInt(SKIN2_TITLEBARREGIONMINY);
        titleRegionMaxY_ = t->GetThemeInt(SKIN2_TITLEBARREGIONMAXY);
        bottomRegionMinY_ = t->GetThemeInt(SKIN2_BOTTOMREGIONMINY);
        bottomRegionMaxY_ = t->GetThemeInt(SKIN2_BOTTOMREGIONMAXY);
    } else {
        bottomBorderHeight_ = leftBorderWidth_ = rightBorderWidth_ = 0;
        transparentColor_ = kNoSkinTransparentColor;
        titleNeedsRegion_ = bottomNeedsRegion_ = false;
        titleBar_->SetRoundCornerBottom(0);
        SetBorderColor(GetBuiltInColor(e, style_item::kBorderColor));
        SetBorderWidth(GetBuiltInInt(e, style_item::kBorderWidth));
        SetColor(GetBuiltInColor(e, style_item::kFaceColor));
        menuBarColor_ = menuBarToColor_ = Color();
        SetRoundCorner(GetBuiltInInt(e, style_item::kRoundCorner));
    }
    titleBar_->SetFileTheme(fileTheme_);
    titleBar_->SetUIStyle(style);
    if (skinMenu_) skinMenu_->ApplyFrameStyle(style, fileTheme_);
    if (menuBar_) {
        menuBar_->SetColor(menuBarColor_);
        RebuildMenuBar();
    }
    // The title images are marked for the outline only once the bar has drawn them.
    if (ReadySkin()) {
        titleBar_->Render();
        titleBar_->RawTitleImage().SetTransparent(titleNeedsRegion_);
        titleBar_->RawTitleImage().SetTransparentColor(transparentColor_);
        bottomBorderImage_.SetTransparent(bottomNeedsRegion_);
        bottomBorderImage_.SetTransparentColor(transparentColor_);
    }
    if (autoUpdateSub_) ApplyStyleToChildren(*this, style, fileTheme_);
    if (host_ && host_->HandleAllocated()) SetWindowPos(host_->Handle(), nullptr, 0, 0, 0, 0, kFrameChangedFlags);
    AlignChildren();
    Invalidate();
    PaintFrame();
    ApplyWindowRegion();
    if (host_) host_->SetMinSize(host_->MinWidth(), MinHostHeight());
}

// ---- Notifications ----

void TsuiForm::Notification(tk::TComponent* component, tk::Operation operation) {
    tk::TCustomPanel::Notification(component, operation);
    if (operation != tk::Operation::Remove || !component) return;
    if (component == formPanel_) formPanel_ = nullptr;
    if (component == titleBar_) titleBar_ = nullptr;
    if (component == menuBar_) menuBar_ = nullptr;
    if (component == menu_) {
        menu_ = nullptr;
        skinMenu_ = nullptr;
        if (!destroying_) RemoveMenuBar();
    }
    if (component == fileTheme_ && !destroying_) {
        fileTheme_ = nullptr;
        ApplyStyleToChildren(*this, TsuiUIStyle::DeepBlue, nullptr);
        SetUIStyle(TsuiUIStyle::DeepBlue);
    }
}

// ---- Layout ----

void TsuiForm::AlignChildren() {
    if (!titleBar_) return;
    const int w = HandleAllocated() ? ClientWidth() : Width();
    const int h = HandleAllocated() ? ClientHeight() : Height();
    titleBar_->SetBounds(0, 0, w, titleBar_->Height());
    PlaceMenuBar();
    if (formPanel_) formPanel_->SetBounds(0, 0, w, h);
}

void TsuiForm::Resized() { AlignChildren(); }

// ---- Painting ----

void TsuiForm::PaintBackground(tk::TCanvas& canvas, const tk::TRect& rect) {
    const char* background = uiStyle_ == TsuiUIStyle::MacOS    ? "MACOS_FORM_BACKGROUND"
                             : uiStyle_ == TsuiUIStyle::Protein ? "PROTEIN_FORM_BACKGROUND"
                                                                : nullptr;
    tk::TBitmap pattern;
    if (background) {
        try {
            tk::LoadBitmapResource(pattern, std::wstring(background, background + std::strlen(background)));
        } catch (...) {
            pattern.Clear();
        }
    }
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    if (!pattern.Empty()) {
        canvas.SetBrushBitmap(&pattern);
    } else {
        canvas.SetBrushColor(Color());
    }
    canvas.FillRect(rect);
    canvas.SetBrushBitmap(nullptr);
}

void TsuiForm::Paint(tk::TCanvas& canvas) {
    if (destroying_) return;
    RECT r;
    GetClientRect(Handle(), &r);
    if (r.right > 0 && r.bottom > 0) {
        // Composed off-screen and copied in one operation.
        tk::TBitmap image(r.right, r.bottom);
        {
            tk::TCanvas c(image.Dc());
            PaintBackground(c, {0, 0, r.right, r.bottom});
        }
        BitBlt(canvas.Handle(), 0, 0, r.right, r.bottom, image.Dc(), 0, 0, SRCCOPY);
    }
    PaintFrame();
}

void TsuiForm::PaintFrame() {
    if (destroying_ || !host_ || !host_->HandleAllocated() || !titleBar_) return;
    HWND h = host_->Handle();
    if (IsIconic(h)) return;
    RECT wr;
    GetWindowRect(h, &wr);
    const int w = wr.right - wr.left, hh = wr.bottom - wr.top;
    tk::ScopedWindowDC dc(h);
    if (!dc.get()) return;
    tk::TCanvas canvas(dc);
    if (ReadySkin()) {
        skin::SkinFrameLook look;
        look.Theme = fileTheme_;
        look.LeftBorder = leftBorderWidth_;
        look.RightBorder = rightBorderWidth_;
        look.BottomBorder = bottomBorderHeight_;
        look.TitleBand = TitleBandHeight();
        look.BottomNeedsRegion = bottomNeedsRegion_;
        look.TransparentColor = transparentColor_;
        skin::PaintSkinFrame(canvas, w, hh, *titleBar_, look, bottomBorderImage_);
    } else {
        skin::PaintBuiltInFrame(canvas, w, hh, *titleBar_,
                                {borderWidth_, borderColor_, Color(), TitleBandHeight(), GetMenuBarHeight()});
    }
}

void TsuiForm::ApplyWindowRegion() {
    if (!host_ || !host_->HandleAllocated() || !titleBar_ || destroying_) return;
    HWND h = host_->Handle();
    RECT wr;
    GetWindowRect(h, &wr);
    const int w = wr.right - wr.left, hh = wr.bottom - wr.top;
    tk::ScopedRegion region;
    if (!ReadySkin()) {
        region = skin::RoundedOutlineRegion(w, hh, RoundCorner(), RoundCornerBottom());
    } else if (!titleNeedsRegion_ && !bottomNeedsRegion_) {
        region.reset(CreateRectRgn(0, 0, w, hh));
    } else {
        titleBar_->Render();
        skin::ComposeBottomBorder(*fileTheme_, bottomBorderImage_, w);
        const skin::PictureOutline outline{titleNeedsRegion_, bottomNeedsRegion_, titleRegionMinY_, titleRegionMaxY_,
                                           bottomRegionMinY_, bottomRegionMaxY_, transparentColor_};
        region = skin::PictureOutlineRegion(w, hh, titleBar_->RawTitleImage(), bottomBorderImage_, outline);
    }
    // The window owns the region from here on.
    if (SetWindowRgn(h, region.get(), TRUE)) region.release();
}
