#include "skin/theme/SkinDraw.h"

#include <algorithm>

#include "skin/theme/SkinMath.h"
#include "toolkit/win/Application.h"

void FillVerticalGradient(tk::TCanvas& canvas, const tk::TRect& r, tk::TColor start, tk::TColor end) {
    if (r.Bottom <= r.Top) return;
    const std::uint32_t s = tk::ColorToRGB(start), e = tk::ColorToRGB(end);
    const int span = r.Bottom - r.Top;
    auto line = [&](int y, std::uint32_t color) {
        canvas.SetPenColor(color);
        canvas.MoveTo(r.Left, y);
        canvas.LineTo(r.Right, y);
    };
    line(r.Top, s);
    for (int y = r.Top + 1; y <= r.Bottom - 2; ++y) line(y, skin::GradientColor(s, e, span, y - r.Top - 1));
    line(r.Bottom - 1, e);
}

void FillHorizontalGradient(tk::TCanvas& canvas, const tk::TRect& r, tk::TColor start, tk::TColor end) {
    if (r.Right <= r.Left) return;
    const std::uint32_t s = tk::ColorToRGB(start), e = tk::ColorToRGB(end);
    const int span = r.Right - r.Left;
    auto column = [&](int x, std::uint32_t color) {
        canvas.SetPenColor(color);
        canvas.MoveTo(x, r.Top);
        canvas.LineTo(x, r.Bottom);
    };
    column(r.Left, s);
    for (int x = r.Left + 1; x <= r.Right - 2; ++x) column(x, skin::GradientColor(s, e, span, x - r.Left));
    column(r.Right - 1, e);
}

namespace {

// Copies the source rectangle of a bitmap into the destination rectangle of a canvas, stretching
// when the sizes differ, leaving out the transparent colour when asked.
void DrawPart(tk::TCanvas& canvas, tk::TBitmap& bitmap, const tk::TRect& src, const tk::TRect& dst,
              bool transparent, tk::TColor transparentColor) {
    if (src.Width() <= 0 || src.Height() <= 0 || dst.Width() <= 0 || dst.Height() <= 0 || !canvas.Handle()) return;
    HDC from = bitmap.Dc();
    if (transparent) {
        TransparentBlt(canvas.Handle(), dst.Left, dst.Top, dst.Width(), dst.Height(), from, src.Left, src.Top,
                       src.Width(), src.Height(), tk::ColorToRGB(transparentColor));
        return;
    }
    const int oldMode = SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
    StretchBlt(canvas.Handle(), dst.Left, dst.Top, dst.Width(), dst.Height(), from, src.Left, src.Top, src.Width(),
               src.Height(), SRCCOPY);
    SetStretchBltMode(canvas.Handle(), oldMode);
}

}  // namespace

void DrawThreePartBitmap(tk::TBitmap& bitmap, tk::TCanvas& canvas, const tk::TRect& r, tk::TColor transparentColor,
                         bool transparent) {
    const int w = bitmap.Width() / 3, h = bitmap.Height();
    if (w <= 0 || h <= 0) return;
    if (r.Width() < w) {
        const int cut = std::max(r.Width(), 0);
        DrawPart(canvas, bitmap, {0, 0, cut, h}, {r.Left, r.Top, r.Left + cut, r.Top + h}, transparent,
                 transparentColor);
        return;
    }
    DrawPart(canvas, bitmap, {0, 0, w, h}, {r.Left, r.Top, r.Left + w, r.Top + h}, transparent, transparentColor);
    DrawPart(canvas, bitmap, {2 * w, 0, 3 * w, h}, {r.Right - w, r.Top, r.Right, r.Top + h}, transparent,
             transparentColor);
    DrawPart(canvas, bitmap, {w, 0, 2 * w, h}, {r.Left + w, r.Top, r.Right - w, r.Top + h}, transparent,
             transparentColor);
}

void PaintParentBackground(tk::TCanvas& canvas, tk::TControl& control) {
    tk::PaintParentImage(control, canvas.Handle());
}

bool PointInRect(POINT p, const tk::TRect& r) {
    return p.x >= r.Left && p.x <= r.Right && p.y >= r.Top && p.y <= r.Bottom;
}

tk::TRect GetWorkArea() {
    RECT work{};
    tk::TForm* main = tk::Application().MainForm();
    if (main && main->HandleAllocated()) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(MonitorFromWindow(main->Handle(), MONITOR_DEFAULTTONEAREST), &info))
            return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    }
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {work.left, work.top, work.right, work.bottom};
}

void SetControlBounds(tk::TControl& control, const tk::TRect& r) {
    control.SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void FitTextWithEllipsis(tk::TCanvas& canvas, const std::wstring& text, int maxWidth, std::wstring& output) {
    output = skin::FitTextWithEllipsis(text, maxWidth, [&](const std::wstring& t) { return canvas.TextWidth(t); });
}

namespace {

bool OwnActiveFlag(tk::TForm* form) {
    return form && form->HandleAllocated() && GetActiveWindow() == form->Handle();
}

HWND MdiClientOf(tk::TForm* form) {
    if (!form || !form->HandleAllocated()) return nullptr;
    return FindWindowExW(form->Handle(), nullptr, L"MDICLIENT", nullptr);
}

bool ApplicationActive() {
    DWORD process = 0;
    HWND foreground = GetForegroundWindow();
    if (!foreground) return false;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId();
}

}  // namespace

bool IsFormActive(tk::TForm* form) {
    tk::TForm* main = tk::Application().MainForm();
    if (!main) return OwnActiveFlag(form);
    HWND mdiClient = MdiClientOf(main);
    if (mdiClient && form == main) return true;
    if (!ApplicationActive()) return false;
    if (!form || form == main) return true;
    if (mdiClient) {
        HWND active = reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDIGETACTIVE, 0, 0));
        if (form->HandleAllocated() && active == form->Handle()) return true;
    }
    return OwnActiveFlag(form);
}
