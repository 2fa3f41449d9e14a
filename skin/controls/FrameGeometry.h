// The skinned window's geometry as plain arithmetic: where the title bar's buttons, icon and caption
// go, which of them a point is on, the window's insets and non-client rectangle, the maximised
// bounds, the painted border bands and the outline of a window drawn from pictures. The frame and
// the title bar ask these functions; tests call them directly. The parameters that come from a
// skin (offsets, tops, outline rows) are held to +-16384 first, as the theme hands them out, so
// that no value a skin holds can make the arithmetic overflow.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "skin/controls/TitleBarTypes.h"

namespace skin {

struct Box {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const Box&) const = default;
};

// All four edges count as inside.
bool BoxContains(const Box& box, int x, int y);

// ---- Title buttons ----

// Number (1 to 18) of the first of a button kind's three pictures in the title button strip; 0 for a
// custom button (its pictures are its own). A maximise button of a maximised window shows the
// restore pictures.
int TitleButtonFirstPicture(TsuiTitleBarBtnType type, bool maximized);

struct TitleButtonInput {
    TsuiTitleBarBtnType Type = TsuiTitleBarBtnType::suiCustom;
    bool Visible = true;
    bool HasAllPictures = false;  // normal, mouse-on and mouse-down all present
    int Width = 0, Height = 0;    // of the normal picture
};

// A button index that names no button (no hot button, no press held, no control box).
inline constexpr int kNoTitleButton = -1;

struct TitleButtonLayout {
    // Per button: its rectangle in the bar, or nothing when it takes no room (hidden, pictures
    // missing, or the control box, which is placed with the icon).
    std::vector<std::optional<Box>> Rects;
    int ControlBox = kNoTitleButton;  // index of the first drawable control-box button
    int X = 0;            // left edge of the leftmost placed button (where the caption must end)
};

// Lays the buttons out from the right, in collection order: X starts at imageWidth − rightOffset + J;
// the close button moves left by its width, any other by its width + 1 + interval; a button that
// would reach past the image is pulled back to end one pixel before its right edge.
TitleButtonLayout LayoutTitleButtons(const std::vector<TitleButtonInput>& buttons, int imageWidth, int rightOffset,
                                     int inset, int buttonTop, int interval);

struct TitleIconLayout {
    int IconX = 0;                  // where the icon (or control-box picture) goes
    std::optional<Box> ControlBox;  // the control box's hit rectangle, when there is one
    int CaptionX = 0;               // where the caption starts
};

// The icon position LeftBtnXOffset − 4 − J (at least 0), then the caption start: 21 past the icon
// position with the application icon, the control-box width + 5 past it with the control-box
// picture, and 6 when it comes out at 0.
TitleIconLayout LayoutTitleIcon(int leftOffset, int inset, bool hasControlBox, bool drawAppIcon, int iconTop,
                                int controlBoxWidth, int controlBoxHeight);

// The index of the hot button: the placed button under the point, else the control box under it.
int TitleButtonAt(const TitleButtonLayout& layout, const std::optional<Box>& controlBox, int x, int y);

// The caption cut to the space: the text itself when it fits, else the longest leading part whose
// width with "..." appended fits, followed by "..." (possibly "..." alone).
std::wstring ShortenCaption(const std::wstring& text, int maxWidth,
                            const std::function<int(const std::wstring&)>& textWidth);

// Which items of the title bar's system menu are enabled: minimise, maximise/restore and close,
// each exactly when a visible button of that kind exists.
struct SystemMenuStates {
    bool Minimize = false, MaximizeRestore = false, Close = false;
    bool operator==(const SystemMenuStates&) const = default;
};
SystemMenuStates SystemMenuEnabled(const std::vector<TitleButtonInput>& buttons);

// Where the caption text starts: at the caption position, or, reading right to left on a
// Middle-East system, so that it ends 10 pixels before the leftmost button (buttonsLeft).
int CaptionTextX(bool rightToLeft, int captionX, int buttonsLeft, int textWidth);
// Horizontal position of a menu popped up from the title bar's left end: 176 further right when
// reading right to left on a Middle-East system.
int TitleMenuX(bool rightToLeft, int x);

// What a press at a point of the bar does.
enum class TitleBarPress { Button, Drag, Nothing };
TitleBarPress ClassifyTitleBarPress(int hotButton, bool maximized, bool designing);

// ---- Title sections ----

// Horizontal offset of the title image inside the window: the frame's inset (3 when it answers 0)
// on a frame, 0 elsewhere; the title image also reaches 3 rows above the bar on a frame.
int TitleImageOffset(bool onFrame, int frameInset);
// Width a caption section may give its text, and the section's width once the text is fitted.
int CaptionFitWidth(int barWidth, int leftOffset, int buttonsWidth, int nextWidth);
int CaptionSectionWidth(int fittedTextWidth, int leftOffset, int lastLeftWidth);
// The parent form's minimum width under a skin.
int SkinTitleMinWidth(bool fiveSections, int title1Width, int title3Width, int title5Width, int buttonStripWidth,
                      int buttonCount, int buttonPosX);

// ---- Frame ----

// Rows of the host's top non-client strip, which the title image covers above the bar on a frame.
inline constexpr int kTitleStripRows = 3;

// A measured system frame thickness outside 0..16 is taken as 4.
int SanitizeFrameThickness(int value);
// The title bar's horizontal inset inside the window (the answer to FrameInsetQuery).
int FrameInset(int leftBorderWidth, int hostBottomFrame);
// Height of the band the title takes at the window top (bar + the 3 non-client rows), 0 when hidden.
int TitleBandHeight(int titleBarHeight, bool titleBarVisible);

struct NcCalcInput {
    int X = 0, Y = 0, Cx = 0, Cy = 0;            // proposed window rectangle
    int HostLeftFrame = 0, HostBottomFrame = 0;  // measured system frame
    int LeftBorder = 0, RightBorder = 0, BottomBorder = 0;  // skin border pieces (0: built-in)
    int BorderWidth = 1;                         // built-in painted border
};
// The rectangle handed on to the system's own frame computation.
Box NcCalcRect(const NcCalcInput& in);

// Bounds of a maximised window: the work area grown by 2 left, top and right, 1 short at the bottom.
Box MaximizedBounds(const Box& workArea);

// The bands of the built-in painted border, in painting order.
enum class BandColor { Border, Client };
struct Band {
    Box Rect;
    BandColor Color;
};
std::vector<Band> BuiltInBorderBands(int width, int height, int borderWidth, int titleBand, int menuBarHeight,
                                     bool titleBarVisible);
// The rounded top corners are drawn as arcs only with a one-pixel border and a corner size of 11.
bool WantsCornerArcs(int borderWidth, int roundCorner, bool designing);

// A skin's outline minimum row that means "scan from the picture's first row".
inline constexpr int kRegionFromTop = -1;

// The rectangles of a window outline drawn from a picture: full rows above minY, runs of
// non-transparent pixels in the rows from minY to maxY (the whole picture when maxY is not above
// minY; minY kRegionFromTop means 0), full rows below, all shifted down by offsetY and as wide as windowWidth for
// the full rows. pixel(x, y) is read only in the scanned rows.
std::vector<Box> PictureRegionRows(int pictureWidth, int pictureHeight, int windowWidth, int offsetY, int minY,
                                   int maxY, std::uint32_t transparentColor,
                                   const std::function<std::uint32_t(int, int)>& pixel);

}  // namespace skin
