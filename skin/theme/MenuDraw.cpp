#include "skin/theme/MenuDraw.h"

#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Scoped.h"

void SetMenuDrawHandlers(tk::TMenuItem* item, const tk::TMenuMeasureItemEvent& measure,
                         const tk::TMenuDrawItemEvent& draw) {
    if (!item) return;
    item->OnMeasureItem = measure;
    item->OnDrawItem = draw;
    for (int i = 0; i < item->Count(); ++i) SetMenuDrawHandlers(item->Items(i), measure, draw);
}

void FrameRectColor(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor color) {
    canvas.SetBrushColor(color);
    canvas.FrameRect(rect);
}

void FillRectColor(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor color) {
    canvas.SetBrushColor(color);
    canvas.FillRect(rect);
}

void DrawMenuSeparator(tk::TCanvas& canvas, const tk::TRect& r, tk::TColor color, bool barOnLeft, int barWidth) {
    canvas.SetPenColor(color);
    const int y = r.Top + 2;
    if (barOnLeft) {
        canvas.MoveTo(r.Left + barWidth + 4, y);
        canvas.LineTo(r.Right - 2, y);
    } else {
        canvas.MoveTo(r.Left + 2, y);
        canvas.LineTo(r.Right - barWidth - 4, y);
    }
}

namespace {

void DrawMacMenuPiece(tk::TCanvas& canvas, const tk::TRect& rect, const wchar_t* resource, int rows) {
    tk::TBitmap piece;
    tk::LoadBitmapResource(piece, resource);
    piece.SetSize(piece.Width(), rows);
    canvas.StretchDraw(rect, piece);
}

}  // namespace

void DrawMacMenuBar12(tk::TCanvas& canvas, const tk::TRect& rect) { DrawMacMenuPiece(canvas, rect, L"MACOS_MENU_BAR", 12); }
void DrawMacMenuBar20(tk::TCanvas& canvas, const tk::TRect& rect) { DrawMacMenuPiece(canvas, rect, L"MACOS_MENU_BAR", 20); }
void DrawMacMenuSelect(tk::TCanvas& canvas, const tk::TRect& rect) {
    DrawMacMenuPiece(canvas, rect, L"MACOS_MENU_SELECT", 20);
}

void DrawPopupWindowFrame(HWND window, tk::TColor outer, tk::TColor edge) {
    RECT w{};
    if (!GetWindowRect(window, &w)) return;
    tk::ScopedWindowDC screen(nullptr);
    if (!screen.get()) return;
    tk::TCanvas canvas(screen);
    const int L = w.left, T = w.top, R = w.right, B = w.bottom;
    FrameRectColor(canvas, {L, T + 1, R - 1, B - 1}, outer);
    FrameRectColor(canvas, {L + 1, T + 2, R - 2, B - 2}, tk::clWhite);
    canvas.SetPenColor(edge);
    canvas.MoveTo(L, B - 1);
    canvas.LineTo(R - 1, B - 1);
    canvas.LineTo(R - 1, T);
    canvas.LineTo(R, T);
    canvas.LineTo(L, T);
}

void AssignMenuFont(tk::TFont& font) {
    // The structure as the oldest systems know it (340 bytes, without the padded border width),
    // which every system answers.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0)) return;
    const LOGFONTA& a = metrics.lfMenuFont;
    LOGFONTW lf{};
    lf.lfHeight = a.lfHeight;
    lf.lfWeight = a.lfWeight;
    lf.lfItalic = a.lfItalic;
    lf.lfUnderline = a.lfUnderline;
    lf.lfStrikeOut = a.lfStrikeOut;
    lf.lfCharSet = a.lfCharSet;
    MultiByteToWideChar(CP_ACP, 0, a.lfFaceName, -1, lf.lfFaceName, LF_FACESIZE);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    font = tk::TFont::FromLogFont(lf, tk::clMenuText);
}
