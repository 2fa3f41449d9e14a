// Real input for tests of painted controls: the mouse and keys go through the window system's input
// queue as a person's would (cursor position, capture, focus and the dialog manager all apply),
// and colours are read back from the windows' pixels.
#pragma once

#include <windows.h>

#include "toolkit/win/Form.h"

namespace realinput {

// Handles messages through the application (dialog manager included) for about ms milliseconds.
void Settle(int ms = 80);

void MouseMove(HWND window, int x, int y);  // client coordinates of the window
void MouseDown();
void MouseUp();
void Click(HWND window, int x, int y);
void RightClick(HWND window, int x, int y);
void DoubleClick(HWND window, int x, int y);
// Parks the cursor on the desktop's far corner, away from every test window.
void MouseAway();

void KeyDown(WORD vk);
void KeyUp(WORD vk);
void Key(WORD vk);
void AltKey(WORD vk);
// A key pressed while the modifier (VK_CONTROL, VK_SHIFT) is held.
void KeyWith(WORD modifier, WORD vk);

// For a script on another thread while the user-interface thread waits in a modal loop (an open
// menu, a dialog): the input alone, without handling this thread's messages.
void SendKeyOnly(WORD vk);
void SendClickOnly(int screenX, int screenY);
// When QD_SCREENSHOT_DIR is set, saves what the screen shows in the rectangle as <name>.bmp there;
// handles no messages, so a menu that is open stays as it is.
void SaveScreenArea(const RECT& area, const char* name);

// A client pixel / a pixel of the whole window (frame included), as a toolkit colour.
COLORREF Pixel(HWND window, int x, int y);
COLORREF WindowPixel(HWND window, int x, int y);
// The bounding box of the client pixels of the given colour inside the rectangle; empty when none.
RECT FindColor(HWND window, const RECT& area, COLORREF color);
int CountColor(HWND window, const RECT& area, COLORREF color);

// When QD_SCREENSHOT_DIR is set, saves what the screen shows of the window (frame included) as
// <name>.bmp there, for a person to look at.
void SaveScreenshot(HWND window, const char* name);

// A dialog-style form at a fixed place on the screen, above everything else, that frees its
// controls before its window goes.
class TestForm : public tk::TForm {
public:
    TestForm(int width = 320, int height = 200);
    ~TestForm() override;
    // Shows it, brings it to the front and lets it paint.
    void ShowUp();
};

}  // namespace realinput
