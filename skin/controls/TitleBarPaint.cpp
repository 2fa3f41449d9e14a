// The title bar's image: the sections laid out into the bar and into the two title images the
// frame paints its border from, then the buttons, the icon or control box and the caption.
#include <windows.h>

#include "skin/controls/TitleBar.h"
#include "skin/theme/SkinDraw.h"

namespace {

// The program's icon at 16 x 16, loaded once.
HICON SmallAppIcon() {
    static HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    return icon;
}

// Where the cursor is taken to be when it cannot be read: off every button.
constexpr POINT kNoCursor{-100000, -100000};

}  // namespace

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
    const int dy = onFrame ? -skin::kTitleStripRows : 0;
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

    POINT cursor = kNoCursor;
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
