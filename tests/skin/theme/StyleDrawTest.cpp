// The built-in pictures as resources of the program, and the shared drawing and geometry helpers,
// checked by the pixels they leave in memory bitmaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/theme/BuiltInBitmaps.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/SkinMath.h"
#include "skin/theme/StylePropagation.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/BitmapResource.h"

namespace {

using S = TsuiUIStyle;

std::wstring Wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

// ---- Resources ----------------------------------------------------------------------------------

TEST(BuiltInBitmaps, EveryNamedResourceLoadsWithItsSize) {
    for (std::string_view name : BuiltInResourceNames()) {
        tk::TBitmap bitmap;
        ASSERT_NO_THROW(tk::LoadBitmapResource(bitmap, Wide(name))) << name;
        EXPECT_FALSE(bitmap.Empty()) << name;
    }
    for (const BuiltInResourceSize& size : BuiltInResourceSizes()) {
        tk::TBitmap bitmap;
        tk::LoadBitmapResource(bitmap, Wide(size.name));
        EXPECT_EQ(bitmap.Width(), size.width) << size.name;
        EXPECT_EQ(bitmap.Height(), size.height) << size.name;
    }
}

TEST(BuiltInBitmaps, TitleButtonStripsHold18SquarePictures) {
    for (S style : {S::MacOS, S::WinXP, S::DeepBlue, S::Protein, S::BlueGlass}) {
        tk::TBitmap strip, close;
        LoadBuiltInBitmap(style, 5, &strip);
        LoadBuiltInBitmap(style, 5, &close, 18, 18);
        EXPECT_EQ(strip.Width(), 18 * strip.Height());
        EXPECT_EQ(close.Width(), strip.Height());
        EXPECT_EQ(close.Height(), strip.Height());
        EXPECT_EQ(close.GetPixel(3, 5), strip.GetPixel(strip.Width() - close.Width() + 3, 5));
        // All 18 pictures differ: six buttons, each normal, mouse-over and pressed.
        std::vector<std::vector<std::uint32_t>> pictures;
        for (int k = 1; k <= 18; ++k) {
            tk::TBitmap p;
            LoadBuiltInBitmap(style, 5, &p, k, 18);
            pictures.push_back(p.ToImage().pixels);
        }
        for (std::size_t a = 0; a < pictures.size(); ++a)
            for (std::size_t b = a + 1; b < pictures.size(); ++b) EXPECT_NE(pictures[a], pictures[b]) << a << " " << b;
        // Transparent buttons have the key colour in their bottom-left corner.
        if (GetBuiltInBool(style, 6)) {
            EXPECT_EQ(close.TransparentColor(), 0xFF00FFu);
        }
    }
}

TEST(BuiltInBitmaps, OnlyBitmapItemsOfBuiltInStylesTouchTheDestination) {
    tk::TBitmap keep(3, 2);
    keep.SetPixel(1, 1, 0x123456);
    LoadBuiltInBitmap(S::WinXP, 15, &keep);          // a colour item
    LoadBuiltInBitmap(S::FromThemeFile, 5, &keep);   // not a built-in style
    LoadBuiltInBitmap(static_cast<S>(9), 5, &keep);
    EXPECT_EQ(keep.Width(), 3);
    EXPECT_EQ(keep.GetPixel(1, 1), 0x123456u);
    EXPECT_NO_THROW(LoadBuiltInBitmap(S::WinXP, 5, nullptr));
    // Items without a resource name, and names the program lacks, are resources not found.
    EXPECT_THROW(LoadBuiltInBitmap(S::WinXP, 43, &keep), tk::EResNotFound);
    EXPECT_THROW(tk::LoadBitmapResource(keep, L"NO_SUCH_PICTURE"), tk::EResNotFound);
    EXPECT_THROW(tk::LoadBitmapResource(keep, L""), tk::EResNotFound);
    EXPECT_EQ(keep.GetPixel(1, 1), 0x123456u);
}

TEST(BuiltInBitmaps, ExtractSubImageSkipsRemainderColumnsBeforeTheLastPart) {
    tk::TBitmap strip(100, 2);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 2; ++y) strip.SetPixel(x, y, static_cast<std::uint32_t>(x + 1));
    const int firsts[3] = {0, 33, 67};
    for (int part = 1; part <= 3; ++part) {
        tk::TBitmap p;
        ExtractSubImage(strip, p, 3, part);
        ASSERT_EQ(p.Width(), 33);
        ASSERT_EQ(p.Height(), 2);
        EXPECT_EQ(p.GetPixel(0, 1), static_cast<std::uint32_t>(firsts[part - 1] + 1));
        EXPECT_EQ(p.GetPixel(32, 0), static_cast<std::uint32_t>(firsts[part - 1] + 33));
    }
    tk::TBitmap p(5, 5);
    ExtractSubImage(strip, p, 3, 4);
    EXPECT_TRUE(p.Empty());
    tk::TBitmap q(5, 5);
    ExtractSubImage(strip, q, 3, 0);
    EXPECT_TRUE(q.Empty());
}

// ---- Gradients ----------------------------------------------------------------------------------

constexpr std::uint32_t kBack = 0x00FF00;

struct Surface {
    tk::TBitmap bitmap;
    tk::TCanvas canvas;
    Surface(int w, int h) : bitmap(w, h), canvas(bitmap.Dc()) {
        canvas.SetBrushColor(kBack);
        canvas.FillRect({0, 0, w, h});
    }
    std::uint32_t At(int x, int y) {
        GdiFlush();
        return bitmap.GetPixel(x, y);
    }
};

TEST(Gradients, VerticalPutsStartOnTheFirstAndEndOnTheLastLine) {
    {
        Surface s(6, 3);
        FillVerticalGradient(s.canvas, {1, 1, 5, 2}, 0x0000FF, 0xFF0000);  // one line: the end colour only
        EXPECT_EQ(s.At(1, 1), 0xFF0000u);
        EXPECT_EQ(s.At(4, 1), 0xFF0000u);
        EXPECT_EQ(s.At(5, 1), kBack);  // the right edge is exclusive
        EXPECT_EQ(s.At(0, 1), kBack);
        EXPECT_EQ(s.At(1, 0), kBack);
        EXPECT_EQ(s.At(1, 2), kBack);
    }
    {
        Surface s(4, 4);
        FillVerticalGradient(s.canvas, {0, 1, 4, 3}, 0x0000FF, 0xFF0000);  // two lines: start, end
        EXPECT_EQ(s.At(2, 1), 0x0000FFu);
        EXPECT_EQ(s.At(2, 2), 0xFF0000u);
        EXPECT_EQ(s.At(2, 3), kBack);
    }
    {
        Surface s(3, 12);
        FillVerticalGradient(s.canvas, {0, 1, 3, 11}, 0x000000, 0x0000FF);  // ten lines
        EXPECT_EQ(s.At(0, 1), 0x000000u);
        EXPECT_EQ(s.At(0, 2), 0x000000u);  // factor y - top - 1 = 0
        EXPECT_EQ(s.At(0, 5), 0x00004Cu);  // 255 / 10 * 3 = 76.5 -> 76
        EXPECT_EQ(s.At(2, 9), 0x0000B2u);  // 255 / 10 * 7 = 178.5 -> 178
        EXPECT_EQ(s.At(1, 10), 0x0000FFu);
        EXPECT_EQ(s.At(1, 11), kBack);
    }
    {
        Surface s(3, 3);
        FillVerticalGradient(s.canvas, {0, 2, 3, 2}, 0x0000FF, 0xFF0000);  // empty
        for (int y = 0; y < 3; ++y) EXPECT_EQ(s.At(1, y), kBack);
    }
}

TEST(Gradients, HorizontalStepsByColumnFromTheLeftEdge) {
    Surface s(12, 3);
    FillHorizontalGradient(s.canvas, {1, 0, 11, 2}, 0x000000, 0x0000FF);
    EXPECT_EQ(s.At(1, 0), 0x000000u);
    EXPECT_EQ(s.At(2, 1), 0x000019u);   // factor x - left = 1: 25.5 -> 25
    EXPECT_EQ(s.At(5, 0), 0x000066u);   // 255 / 10 * 4 = 102
    EXPECT_EQ(s.At(10, 1), 0x0000FFu);
    EXPECT_EQ(s.At(10, 2), kBack);      // the bottom edge is exclusive
    EXPECT_EQ(s.At(0, 0), kBack);
    Surface one(3, 3);
    FillHorizontalGradient(one.canvas, {1, 0, 2, 3}, 0x0000FF, 0xFF0000);
    EXPECT_EQ(one.At(1, 1), 0xFF0000u);
}

TEST(Gradients, SystemColoursAreResolvedFirst) {
    Surface s(2, 3);
    FillVerticalGradient(s.canvas, {0, 0, 2, 3}, tk::clBtnFace, tk::clWindow);
    EXPECT_EQ(s.At(0, 0), static_cast<std::uint32_t>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(s.At(0, 2), static_cast<std::uint32_t>(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(s.At(0, 1), skin::GradientColor(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW), 3, 0));
}

// ---- Three-part pictures ------------------------------------------------------------------------

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kKey = 0xFF00FF;

tk::TBitmap ThreeParts() {
    tk::TBitmap b(31, 3);  // parts of 10; the last column is left over
    for (int x = 0; x < 31; ++x)
        for (int y = 0; y < 3; ++y) b.SetPixel(x, y, x < 10 ? kRed : x < 20 ? kGreen : x < 30 ? kBlue : 0xFFFFFF);
    b.SetPixel(2, 1, kKey);
    return b;
}

TEST(ThreePartBitmap, EndsStayWholeAndTheMiddleStretches) {
    tk::TBitmap pic = ThreeParts();
    Surface s(60, 6);
    s.canvas.SetBrushColor(0x808080);
    s.canvas.FillRect({0, 0, 60, 6});
    DrawThreePartBitmap(pic, s.canvas, {2, 1, 52, 6}, kKey, false);
    EXPECT_EQ(s.At(2, 1), kRed);
    EXPECT_EQ(s.At(11, 3), kRed);
    EXPECT_EQ(s.At(12, 1), kGreen);
    EXPECT_EQ(s.At(41, 3), kGreen);
    EXPECT_EQ(s.At(42, 1), kBlue);
    EXPECT_EQ(s.At(51, 3), kBlue);
    EXPECT_EQ(s.At(52, 1), 0x808080u);
    EXPECT_EQ(s.At(4, 2), kKey);          // opaque: the key colour is drawn
    EXPECT_EQ(s.At(20, 4), 0x808080u);    // only the picture's height is drawn
    EXPECT_EQ(s.At(1, 1), 0x808080u);
}

TEST(ThreePartBitmap, ANarrowRectangleShowsTheLeftPartCut) {
    tk::TBitmap pic = ThreeParts();
    Surface s(20, 4);
    s.canvas.SetBrushColor(0x808080);
    s.canvas.FillRect({0, 0, 20, 4});
    DrawThreePartBitmap(pic, s.canvas, {1, 0, 7, 3}, kKey, true);
    EXPECT_EQ(s.At(1, 0), kRed);
    EXPECT_EQ(s.At(6, 2), kRed);
    EXPECT_EQ(s.At(7, 0), 0x808080u);
    EXPECT_EQ(s.At(3, 1), 0x808080u);  // transparent: the key pixel leaves the background
}

// ---- Geometry and text --------------------------------------------------------------------------

TEST(Geometry, PointInRectCountsAllEdgesAsInside) {
    const tk::TRect r{10, 20, 30, 40};
    EXPECT_TRUE(PointInRect({10, 20}, r));
    EXPECT_TRUE(PointInRect({30, 40}, r));
    EXPECT_TRUE(PointInRect({30, 25}, r));
    EXPECT_TRUE(PointInRect({15, 40}, r));
    EXPECT_FALSE(PointInRect({31, 25}, r));
    EXPECT_FALSE(PointInRect({15, 41}, r));
    EXPECT_FALSE(PointInRect({9, 25}, r));
    EXPECT_FALSE(PointInRect({15, 19}, r));
}

TEST(Geometry, SetControlBoundsAndWorkArea) {
    tk::TForm form(nullptr);
    SetControlBounds(form, {12, 34, 312, 234});
    EXPECT_EQ(form.Left(), 12);
    EXPECT_EQ(form.Top(), 34);
    EXPECT_EQ(form.Width(), 300);
    EXPECT_EQ(form.Height(), 200);

    RECT primary{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0);
    ASSERT_EQ(tk::Application().MainForm(), nullptr);
    const tk::TRect area = GetWorkArea();
    EXPECT_EQ(area.Left, primary.left);
    EXPECT_EQ(area.Bottom, primary.bottom);
    // With a main form: the work area of its monitor.
    form.HandleNeeded();
    tk::Application().SetMainForm(&form);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTONEAREST), &info);
    const tk::TRect monitor = GetWorkArea();
    tk::Application().SetMainForm(nullptr);
    EXPECT_EQ(monitor.Right, info.rcWork.right);
    EXPECT_EQ(monitor.Top, info.rcWork.top);
}

TEST(Text, FitTextWithEllipsisMeasuresOnTheCanvas) {
    Surface s(10, 10);
    tk::TFont font;
    font.Name = L"Tahoma";
    font.Height = -13;
    font.Bold = true;
    s.canvas.SetFont(font);
    const std::wstring text = L"Quiverdir shortcuts";
    std::wstring out;
    FitTextWithEllipsis(s.canvas, text, s.canvas.TextWidth(text), out);
    EXPECT_EQ(out, text);
    // A maximum below the width of the first character with "...": that prefix.
    FitTextWithEllipsis(s.canvas, text, s.canvas.TextWidth(L"Q...") - 1, out);
    EXPECT_EQ(out, L"Q...");
    // The shortest prefix whose width with "..." reaches the maximum.
    FitTextWithEllipsis(s.canvas, text, s.canvas.TextWidth(L"Quiv..."), out);
    EXPECT_EQ(out, L"Quiv...");
    FitTextWithEllipsis(s.canvas, L"W", 1, out);
    EXPECT_EQ(out, L"W");
}

// ---- Parent background --------------------------------------------------------------------------

// A form whose background is red left of x = split and blue from there, with a white dot painted
// at (split + 2, 12) when it paints into a given context.
class TPatternForm : public tk::TForm {
public:
    using tk::TForm::TForm;
    void WndProc(tk::TMessage& m) override {
        if (m.Msg == WM_ERASEBKGND) {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            tk::TCanvas c(dc);
            c.SetBrushColor(kRed);
            c.FillRect({0, 0, split, 1000});
            c.SetBrushColor(kBlue);
            c.FillRect({split, 0, 2000, 1000});
            m.Result = 1;
            return;
        }
        if (m.Msg == WM_PAINT && m.WParam) {
            SetPixelV(reinterpret_cast<HDC>(m.WParam), split + 2, 12, RGB(255, 255, 255));
            ++paints;
            m.Result = 0;
            return;
        }
        tk::TForm::WndProc(m);
    }
    int paints = 0;
    int split = 50;
};

TEST(ParentBackground, ThePartUnderTheControlIsPaintedIntoItsCanvas) {
    TPatternForm form(nullptr);
    form.SetClientSize(60, 60);
    RECT client{};
    GetClientRect(form.Handle(), &client);
    // The control reaches 10 pixels past the parent's client area; the colours change 10 pixels
    // into it.
    form.split = client.right - 10;
    tk::TControl control(&form);
    control.SetParent(&form);
    control.SetBounds(client.right - 20, 10, 30, 20);
    Surface s(30, 20);
    PaintParentBackground(s.canvas, control);
    EXPECT_EQ(form.paints, 1);
    EXPECT_EQ(s.At(0, 0), kRed);
    EXPECT_EQ(s.At(9, 19), kRed);
    EXPECT_EQ(s.At(10, 0), kBlue);
    EXPECT_EQ(s.At(19, 5), kBlue);
    EXPECT_EQ(s.At(12, 2), 0xFFFFFFu);  // the parent's (split + 2, 12)
    EXPECT_EQ(s.At(20, 5), kBack);      // outside the parent's client area
    // The context is restored: its origin and clipping are as before.
    s.canvas.SetBrushColor(0x111111);
    s.canvas.FillRect({25, 0, 30, 20});
    EXPECT_EQ(s.At(29, 19), 0x111111u);

    tk::TControl orphan(nullptr);
    Surface t(4, 4);
    PaintParentBackground(t.canvas, orphan);
    EXPECT_EQ(t.At(1, 1), kBack);
}

// ---- Style propagation --------------------------------------------------------------------------

// A skinned control that publishes FileTheme and UIStyle and records the order of assignments.
class TStyledControl : public tk::TControl {
public:
    TStyledControl(tk::TComponent* owner, std::string_view className, bool publishesTheme)
        : tk::TControl(owner), className_(className), publishesTheme_(publishesTheme) {}
    std::string_view ClassName() const override { return className_; }
    bool PublishesProperty(std::string_view name) const override {
        return name == "UIStyle" || (publishesTheme_ && name == "FileTheme");
    }
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override {
        if (name == "UIStyle") return static_cast<int>(style);
        if (name == "FileTheme" && publishesTheme_) return theme;
        return std::nullopt;
    }
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) override {
        if (!PublishesProperty(name)) return false;
        log.push_back(std::string(name));
        if (name == "UIStyle") style = static_cast<S>(std::get<int>(value));
        else theme = std::get<tk::TComponent*>(value);
        return true;
    }
    S style = S::MacOS;
    tk::TComponent* theme = nullptr;
    std::vector<std::string> log;

private:
    std::string className_;
    bool publishesTheme_;
};

TEST(StylePropagation, FindFormUIStyleTakesTheFirstFormFrame) {
    tk::TForm form(nullptr);
    EXPECT_EQ(FindFormUIStyle(&form), S::DeepBlue);  // no frame
    EXPECT_EQ(FindFormUIStyle(nullptr), S::DeepBlue);
    tk::TComponent notAForm(nullptr);
    EXPECT_EQ(FindFormUIStyle(&notAForm), S::DeepBlue);

    TStyledControl other(&form, "TsuiTitleBar", true);
    other.SetParent(&form);
    other.style = S::Protein;
    EXPECT_EQ(FindFormUIStyle(&form), S::DeepBlue);  // not a frame
    TStyledControl frame(&form, "TsuiForm", true);
    frame.SetParent(&form);
    frame.style = S::WinXP;
    TStyledControl second(&form, "TsuiForm", true);
    second.SetParent(&form);
    second.style = S::BlueGlass;
    EXPECT_EQ(FindFormUIStyle(&form), S::WinXP);
    // A frame owned by the form but not placed on it does not count.
    TStyledControl loose(&form, "TsuiForm", true);
    frame.SetParent(nullptr);
    EXPECT_EQ(FindFormUIStyle(&form), S::BlueGlass);
}

TEST(StylePropagation, ApplyStyleToChildrenSetsThemeThenStyleOnDirectChildren) {
    tk::TForm form(nullptr);
    TsuiFileTheme theme(&form);
    TStyledControl both(&form, "TsuiToolBar", true);
    both.SetParent(&form);
    TStyledControl styleOnly(&form, "TsuiLabel", false);
    styleOnly.SetParent(&form);
    ApplyStyleToChildren(form, S::Protein, &theme);
    EXPECT_EQ(both.log, (std::vector<std::string>{"FileTheme", "UIStyle"}));
    EXPECT_EQ(both.style, S::Protein);
    EXPECT_EQ(both.theme, &theme);
    EXPECT_TRUE(styleOnly.log.empty());
    EXPECT_EQ(styleOnly.style, S::MacOS);
    ApplyStyleToChildren(form, S::DeepBlue, nullptr);
    EXPECT_EQ(both.theme, nullptr);
    EXPECT_EQ(both.style, S::DeepBlue);

    EXPECT_TRUE(HasPublishedProperty(&both, "FileTheme"));
    EXPECT_FALSE(HasPublishedProperty(&styleOnly, "FileTheme"));
    EXPECT_FALSE(HasPublishedProperty(&form, "UIStyle"));
    EXPECT_FALSE(HasPublishedProperty(nullptr, "UIStyle"));
}

TEST(ActiveForm, WithoutAMainFormAFormIsActiveWhenItIsTheActiveWindow) {
    ASSERT_EQ(tk::Application().MainForm(), nullptr);
    EXPECT_FALSE(IsFormActive(nullptr));
    tk::TForm form(nullptr);
    EXPECT_FALSE(IsFormActive(&form));  // no window yet
    form.SetClientSize(100, 60);
    form.Show();
    SetActiveWindow(form.Handle());
    qdtest::PumpIdle();
    EXPECT_EQ(IsFormActive(&form), GetActiveWindow() == form.Handle());
    EXPECT_TRUE(IsFormActive(&form));
    form.Hide();
    qdtest::PumpIdle();
    EXPECT_FALSE(IsFormActive(&form));
}

}  // namespace
