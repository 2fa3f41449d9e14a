#include "skin/controls/Form.h"

#include <algorithm>
#include <cstring>

#include "skin/theme/BuiltInBitmaps.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "skin/theme/StylePropagation.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Scoped.h"

namespace {

constexpr wchar_t kFrameProp[] = L"qd.SkinFrame";
constexpr UINT kFrameChangedFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
constexpr TsuiStyleItem kRoundCornerItem = 14, kFormColorItem = 15, kBorderColorItem = 16, kBorderWidthItem = 17;

void FillColor(tk::TCanvas& canvas, const tk::TRect& r, tk::TColor color) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    canvas.SetBrushColor(color);
    canvas.FillRect(r);
}

// A region from a list of rectangles (empty for none).
tk::ScopedRegion RegionOf(const std::vector<skin::Box>& boxes) {
    tk::ScopedRegion region(CreateRectRgn(0, 0, 0, 0));
    for (const skin::Box& b : boxes) {
        const tk::ScopedRegion part(CreateRectRgn(b.Left, b.Top, b.Right, b.Bottom));
        CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    return region;
}

void UniteRect(HRGN region, int l, int t, int r, int b) {
    const tk::ScopedRegion part(CreateRectRgn(l, t, r, b));
    CombineRgn(region, region, part.get(), RGN_OR);
}

}  // namespace

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
    menuBarHeightSetting_ = 22;

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
    SetPropW(h, kFrameProp, this);
    savedWindowProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TsuiForm::HookedWindowProc)));
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

void TsuiForm::Unhook() {
    if (!host_ || !host_->HandleAllocated() || !savedWindowProc_) return;
    HWND h = host_->Handle();
    SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_CAPTION);
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc_));
    RemovePropW(h, kFrameProp);
    savedWindowProc_ = nullptr;
    SetWindowRgn(h, nullptr, TRUE);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
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

// ---- Properties ----

void TsuiForm::SetTitleBarCustom(bool value) {
    if (titleBar_) titleBar_->SetCustom(value);
}

void TsuiForm::SetFileTheme(TsuiFileTheme* theme) {
    if (theme == fileTheme_) return;
    if (fileTheme_) RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    if (theme) FreeNotification(theme);
    SetUIStyle(uiStyle_);
}

void TsuiForm::SetBorderColor(tk::TColor color) {
    borderColor_ = color;
    PaintFrame();
}

void TsuiForm::SetBorderWidth(int width) {
    borderWidth_ = width;
    PaintFrame();
}

void TsuiForm::SetTitleBarVisible(bool visible) {
    if (!titleBar_ || visible == titleBar_->Visible()) return;
    if (!internalTitleChange_) titleBarWanted_ = visible;
    titleBar_->SetVisible(visible);
    titleBar_->SetBounds(0, 0, titleBar_->Width(), titleBar_->Height());
    PaintFrame();
}

void TsuiForm::SetCaption(const std::wstring& caption) {
    if (titleBar_) titleBar_->SetCaption(caption);
    if (host_) host_->SetCaption(caption);
}

void TsuiForm::SetFormPanel(tk::TCustomPanel* panel) {
    if (panel == this) {
        ShowSetupError(kFormPanelSelfMessage);
        return;
    }
    if (formPanel_ && formPanel_ != panel) RemoveFreeNotification(formPanel_);
    formPanel_ = panel;
    if (!panel) return;
    FreeNotification(panel);
    if (dynamic_cast<tk::TPanel*>(panel)) {
        panel->SetBevelOuter(tk::TPanelBevel::None);
        panel->SetBevelInner(tk::TPanelBevel::None);
        panel->SetBorderStyle(tk::TPanelBorder::None);
        panel->SetCaption(L"");
    }
    AlignChildren();
}

void TsuiForm::SetTitleBarButtons(const TsuiTitleBarButtons& buttons) {
    if (titleBar_) titleBar_->SetButtons(buttons);
}

void TsuiForm::SetTitleBarSections(const TsuiTitleBarSections& sections) {
    if (titleBar_) titleBar_->SetSections(sections);
}

void TsuiForm::SetTitleBarDrawAppIcon(bool value) {
    if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

void TsuiForm::SetTitleFont(const tk::TFont& font) {
    if (titleBar_) titleBar_->SetTitleFont(font);
}

void TsuiForm::SetRoundCorner(int value) {
    if (titleBar_) titleBar_->SetRoundCorner(value);
    ApplyWindowRegion();
}

void TsuiForm::SetRoundCornerBottom(int value) {
    if (titleBar_) titleBar_->SetRoundCornerBottom(value);
    ApplyWindowRegion();
}

void TsuiForm::SetInactiveCaptionColor(tk::TColor color) {
    if (titleBar_) titleBar_->SetInactiveCaptionColor(color);
}

void TsuiForm::SetOnTitleBarCustomBtnsClick(TsuiTitleBarButtonClickEvent handler) {
    if (titleBar_) titleBar_->OnCustomBtnsClick = std::move(handler);
}

void TsuiForm::SetOnTitleBarHelpBtnClick(TsuiTitleBarButtonClickEvent handler) {
    if (titleBar_) titleBar_->OnHelpBtnClick = std::move(handler);
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
        transparentColor_ = 0xFF00FF;
        titleNeedsRegion_ = bottomNeedsRegion_ = false;
        titleBar_->SetRoundCornerBottom(0);
        SetBorderColor(GetBuiltInColor(e, kBorderColorItem));
        SetBorderWidth(GetBuiltInInt(e, kBorderWidthItem));
        SetColor(GetBuiltInColor(e, kFormColorItem));
        menuBarColor_ = menuBarToColor_ = Color();
        SetRoundCorner(GetBuiltInInt(e, kRoundCornerItem));
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
    if (host_) host_->SetMinSize(host_->MinWidth(), GetMenuBarHeight() + titleBar_->Height() + bottomBorderHeight_ + 3);
}

// ---- Published properties and notifications ----

bool TsuiForm::PublishesProperty(std::string_view name) const {
    return name == "FormPanel" || name == "FileTheme" || name == "UIStyle" ||
           tk::TCustomPanel::PublishesProperty(name);
}

std::optional<tk::PropertyValue> TsuiForm::GetPublishedProperty(std::string_view name) const {
    if (name == "FormPanel") return tk::PropertyValue(static_cast<tk::TComponent*>(formPanel_));
    if (name == "FileTheme") return tk::PropertyValue(static_cast<tk::TComponent*>(fileTheme_));
    if (name == "UIStyle") return tk::PropertyValue(static_cast<int>(uiStyle_));
    return tk::TCustomPanel::GetPublishedProperty(name);
}

bool TsuiForm::SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) {
    if (name == "FormPanel" && std::holds_alternative<tk::TComponent*>(value)) {
        tk::TComponent* c = std::get<tk::TComponent*>(value);
        auto* panel = dynamic_cast<tk::TCustomPanel*>(c);
        if (c && !panel) return false;
        SetFormPanel(panel);
        return true;
    }
    if (const auto taken = SetThemeOrStyleProperty(*this, name, value)) return *taken;
    return tk::TCustomPanel::SetPublishedProperty(name, value);
}

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

// ---- The host's messages ----

LRESULT CALLBACK TsuiForm::HookedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* frame = static_cast<TsuiForm*>(GetPropW(hwnd, kFrameProp));
    if (!frame) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return tk::Application().HandleWindowMessage(hwnd, msg, wParam, lParam,
                                                 [&] { return frame->HostMessage(hwnd, msg, wParam, lParam); });
}

LRESULT TsuiForm::CallSaved(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return savedWindowProc_ ? CallWindowProcW(savedWindowProc_, hwnd, msg, wParam, lParam)
                            : DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TsuiForm::NcCalcSize(WPARAM wParam, LPARAM lParam) {
    RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    skin::NcCalcInput in;
    in.X = r->left;
    in.Y = r->top;
    in.Cx = r->right - r->left;
    in.Cy = r->bottom - r->top;
    in.HostLeftFrame = hostLeftFrame_;
    in.HostBottomFrame = hostBottomFrame_;
    in.LeftBorder = leftBorderWidth_;
    in.RightBorder = rightBorderWidth_;
    in.BottomBorder = bottomBorderHeight_;
    in.BorderWidth = borderWidth_;
    const skin::Box b = skin::NcCalcRect(in);
    *r = {b.Left, b.Top, b.Right, b.Bottom};
    if (wParam) reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[1] = *r;
}

LRESULT TsuiForm::HostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (destroying_) return 0;
    if (msg == WM_NCCALCSIZE) NcCalcSize(wParam, lParam);
    if (msg == FrameInsetQuery) return TitleBarInset();
    LRESULT result = 0;
    if (msg != WM_NCPAINT && msg != WM_NCACTIVATE) result = CallSaved(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_SHOWWINDOW:
        ::SetMenu(hwnd, nullptr);
        break;
    case WM_KEYDOWN:
        if (MenuShortCutCheck(wParam)) return 1;
        break;
    case WM_ACTIVATE:
        if (titleBar_) titleBar_->SetFormActive(LOWORD(wParam) != WA_INACTIVE);
        PaintFrame();
        break;
    case WM_NCACTIVATE:
        if (IsIconic(hwnd)) return CallSaved(hwnd, msg, wParam, lParam);
        if (titleBar_) titleBar_->Invalidate();
        PaintFrame();
        return 1;
    case WM_NCPAINT:
        if (IsIconic(hwnd)) return CallSaved(hwnd, msg, wParam, lParam);
        if (titleBar_) titleBar_->Invalidate();
        PaintFrame();
        return 0;
    case WM_SIZE:
        HostSized();
        break;
    default:
        break;
    }
    return result;
}

void TsuiForm::HostSized() {
    if (sizing_ || !host_) return;
    sizing_ = true;
    HWND h = host_->Handle();
    if (startMaximized_ && !IsZoomed(h)) {
        startMaximized_ = false;
        const RECT& c = creationBounds_;
        SetWindowPos(h, nullptr, c.left, c.top, c.right - c.left, c.bottom - c.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (IsZoomed(h)) {
        const tk::TRect work = GetWorkArea();
        const skin::Box b = skin::MaximizedBounds({work.Left, work.Top, work.Right, work.Bottom});
        SetWindowPos(h, nullptr, b.Left, b.Top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client;
    GetClientRect(h, &client);
    SetBounds(0, 0, client.right, client.bottom);
    AlignChildren();
    if (titleBar_) {
        titleBar_->RefreshMaximizePictures();
        titleBar_->Invalidate();
    }
    PaintFrame();
    ApplyWindowRegion();
    sizing_ = false;
}

bool TsuiForm::AppMessage(MSG& msg) {
    if (destroying_ || !titleBar_ || !host_ || !host_->HandleAllocated()) return false;
    if (msg.message == WM_SYSCHAR && LOWORD(msg.wParam) == VK_SPACE &&
        (msg.hwnd == host_->Handle() || IsChild(host_->Handle(), msg.hwnd))) {
        RECT r;
        GetWindowRect(host_->Handle(), &r);
        return titleBar_->PopupSystemMenuAt(r.left, r.top + titleBar_->Height());
    }
    const bool inHost = msg.hwnd == host_->Handle() || IsChild(host_->Handle(), msg.hwnd);
    if (!inHost) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) return MenuShortCutCheck(msg.wParam) != 0;
    // Alt with a letter opens the menu bar item whose accelerator it is.
    if (msg.message == WM_SYSCHAR && menuBar_ && IsFormActive(host_))
        return menuBar_->DialogChar(static_cast<wchar_t>(msg.wParam), true);
    // A plain letter that the window it is typed into does not take may open a hot button's item.
    if (msg.message == WM_CHAR && menuBar_ && IsFormActive(host_) &&
        !(SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTCHARS))
        return menuBar_->DialogChar(static_cast<wchar_t>(msg.wParam), false);
    return false;
}

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
        PaintSkinFrame(canvas, w, hh);
    } else {
        PaintBuiltInFrame(canvas, w, hh);
    }
}

void TsuiForm::ComposeBottomBorderImage(int width) {
    TsuiFileTheme* t = fileTheme_;
    tk::TBitmap* b1 = t->GetThemeBitmap(SKIN2_FORMBOTTOMBORDER1);
    if (!b1 || width <= 0) {
        bottomBorderImage_.SetSize(0, 0);
        return;
    }
    bottomBorderImage_.SetSize(width, b1->Height());
    tk::TCanvas c(bottomBorderImage_.Dc());
    if (t->GetThemeBool(SKIN2_BOTTOMBORDERTHREESECT)) {
        tk::TBitmap* b2 = t->GetThemeBitmap(SKIN2_FORMBOTTOMBORDER2);
        tk::TBitmap* b3 = t->GetThemeBitmap(SKIN2_FORMBOTTOMBORDER3);
        const int b3w = b3 ? b3->Width() : 0;
        c.Draw(0, 0, *b1);
        if (b3) c.Draw(width - b3w, 0, *b3);
        if (b2) c.StretchDraw({b1->Width(), 0, width - b3w, b1->Height()}, *b2);
    } else {
        DrawThreePartBitmap(*b1, c, {0, 0, width, b1->Height()}, 0, false);
    }
}

void TsuiForm::PaintSkinFrame(tk::TCanvas& canvas, int w, int h) {
    TsuiFileTheme* t = fileTheme_;
    const int tl = leftBorderWidth_, tr = rightBorderWidth_, tb = bottomBorderHeight_;
    const tk::TColor formColor = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_FORMCOLOR));
    const int sections = titleBar_->Sections().Count();
    if (titleBar_->Visible() && (sections == 3 || sections == 5)) {
        tk::TBitmap& ci = titleBar_->ComposedTitleImage();
        tk::TCanvas source(ci.Dc());
        const int iw = ci.Width(), ih = ci.Height();
        const int left = std::max(tl, 4), right = std::max(4, tr);
        canvas.CopyRect({0, 0, left, ih}, source, {0, 0, left, ih});
        canvas.CopyRect({0, 0, iw, 3}, source, {0, 0, iw, 3});
        canvas.CopyRect({w - right, 0, w, ih}, source, {iw - right, 0, iw, ih});
    }
    const int top = TitleBandHeight();
    if (tk::TBitmap* lb = t->GetThemeBitmap(SKIN2_FORMLEFTBORDER)) {
        canvas.StretchDraw({0, top, lb->Width(), h - tb}, *lb);
        if (lb->Width() < 4) FillColor(canvas, {lb->Width(), top, 4, h - tb}, formColor);
    }
    if (tk::TBitmap* rb = t->GetThemeBitmap(SKIN2_FORMRIGHTBORDER)) {
        const int r = rb->Width();
        canvas.StretchDraw({w - r, top, w, h - tb}, *rb);
        if (r < 4) FillColor(canvas, {w - 4, top, w - r, h - tb}, formColor);
    }
    ComposeBottomBorderImage(w);
    if (!bottomBorderImage_.Empty()) {
        tk::TBitmap& image = bottomBorderImage_;
        const bool wasTransparent = image.Transparent();
        if (bottomNeedsRegion_) {
            // Composed over the form colour first, then copied in one operation.
            tk::TBitmap shown(image.Width(), image.Height());
            tk::TCanvas c(shown.Dc());
            FillColor(c, {0, 0, shown.Width(), shown.Height()}, formColor);
            image.SetTransparent(true);
            image.SetTransparentColor(transparentColor_);
            c.Draw(0, 0, image);
            canvas.Draw(0, h - tb, shown);
        } else {
            image.SetTransparent(false);
            canvas.Draw(0, h - tb, image);
        }
        image.SetTransparent(wasTransparent);
    }
    if (tb < 4) FillColor(canvas, {tl, h - 4, w - tr, h - tb}, formColor);
}

void TsuiForm::PaintBuiltInFrame(tk::TCanvas& canvas, int w, int h) {
    const int bw = borderWidth_;
    const int sections = titleBar_->Sections().Count();
    if (titleBar_->Visible() && (sections == 3 || sections == 5)) {
        tk::TBitmap& s0 = titleBar_->Sections().Items(0)->Picture();
        tk::TBitmap& s1 = titleBar_->Sections().Items(1)->Picture();
        tk::TBitmap& s2 = titleBar_->Sections().Items(2)->Picture();
        const int r1 = s1.Width();
        if (3 - bw > 0 && s0.Height() > 0) {
            tk::TBitmap temp(3 - bw, s0.Height());
            {
                tk::TCanvas c(temp.Dc());
                c.Draw(0, 0, s0);
            }
            canvas.Draw(bw, 0, temp);
            {
                tk::TCanvas c(temp.Dc());
                if (r1 < 3) {
                    c.StretchDraw({0, 0, temp.Width(), temp.Height()}, s1);
                } else {
                    c.Draw(2 - r1, 0, s1);
                }
            }
            canvas.Draw(w - 3, 0, temp);
        }
        if (w - 5 > 0) {
            tk::TBitmap band(w - 5, 3);
            {
                tk::TCanvas c(band.Dc());
                c.Draw(-2, 0, s0);
                c.Draw((w - 5) - r1 + 3, 0, s1);
                c.StretchDraw({s0.Width() - 2, 0, (w - 5) - r1 + 3, s2.Height()}, s2);
            }
            canvas.Draw(2, 0, band);
        }
        if (skin::WantsCornerArcs(bw, titleBar_->RoundCorner(), titleBar_->Designing())) {
            const int rc = 11;
            canvas.SetPenColor(borderColor_);
            canvas.SetBrushStyle(tk::TBrushStyle::Clear);
            SetArcDirection(canvas.Handle(), AD_COUNTERCLOCKWISE);
            canvas.Arc(w - 2 * rc + 1, -1, w + 1, 2 * rc - 1, w + 1, rc - 1, w - rc + 1, -1);
            canvas.Arc(-1, -1, 2 * rc - 1, 2 * rc - 1, rc - 1, -1, -1, rc - 1);
        }
    }
    for (const skin::Band& band : skin::BuiltInBorderBands(w, h, bw, TitleBandHeight(), GetMenuBarHeight(),
                                                           titleBar_->Visible()))
        FillColor(canvas, tk::ToTRect(band.Rect), band.Color == skin::BandColor::Border ? borderColor_ : Color());
}

// ---- The window outline ----

void TsuiForm::ApplyWindowRegion() {
    if (!host_ || !host_->HandleAllocated() || !titleBar_ || destroying_) return;
    HWND h = host_->Handle();
    RECT wr;
    GetWindowRect(h, &wr);
    const int w = wr.right - wr.left, hh = wr.bottom - wr.top;
    tk::ScopedRegion region;
    if (ReadySkin()) {
        if (!titleNeedsRegion_ && !bottomNeedsRegion_) {
            region.reset(CreateRectRgn(0, 0, w, hh));
        } else {
            titleBar_->Render();
            ComposeBottomBorderImage(w);
            std::vector<skin::Box> boxes;
            tk::TBitmap& ti = titleBar_->RawTitleImage();
            const int th = titleNeedsRegion_ ? ti.Height() : 0;
            const int bh = bottomNeedsRegion_ ? bottomBorderImage_.Height() : 0;
            if (titleNeedsRegion_)
                boxes = skin::PictureRegionRows(ti.Width(), ti.Height(), w, 0, titleRegionMinY_, titleRegionMaxY_,
                                                transparentColor_, [&ti](int x, int y) { return ti.GetPixel(x, y); });
            boxes.push_back({0, th, w, hh - bh});
            if (bottomNeedsRegion_) {
                tk::TBitmap& bi = bottomBorderImage_;
                auto rows = skin::PictureRegionRows(bi.Width(), bi.Height(), w, hh - bh, bottomRegionMinY_,
                                                    bottomRegionMaxY_, transparentColor_,
                                                    [&bi](int x, int y) { return bi.GetPixel(x, y); });
                boxes.insert(boxes.end(), rows.begin(), rows.end());
            }
            region = RegionOf(boxes);
        }
    } else {
        const int a = hh / 2;
        const int rc = RoundCorner();
        const int rb = std::max(0, RoundCornerBottom());
        region.reset(CreateRoundRectRgn(0, 0, w + 1, a + 1, rc, rc));
        UniteRect(region.get(), 0, a - 2 * rc, 2 * rc, a);
        UniteRect(region.get(), w - 2 * rc, a - 2 * rc, w, a);
        const tk::ScopedRegion lower(CreateRoundRectRgn(0, a, w + 1, hh + 1, rb, rb));
        UniteRect(lower.get(), 0, a, 2 * rb, a + 2 * rb);
        UniteRect(lower.get(), w - 2 * rb, a, w, a + 2 * rb);
        CombineRgn(region.get(), region.get(), lower.get(), RGN_OR);
    }
    // The window owns the region from here on.
    if (SetWindowRgn(h, region.get(), TRUE)) region.release();
}
