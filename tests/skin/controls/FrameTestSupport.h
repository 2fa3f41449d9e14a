// Framed test windows and the mouse as a person moves it: a host form, pixels read back from the
// window, and pointer moves, presses and releases sent as input.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/controls/Form.h"
#include "toolkit/win/Form.h"

namespace frametest {

// A dialog-framed form of the given client size that records the system commands it receives.
class HostForm : public tk::TForm {
public:
    explicit HostForm(tk::TComponent* owner = nullptr, int clientWidth = 400, int clientHeight = 260);
    std::wstring WindowClassName() const override { return L"qd.FrameTestHost"; }
    void WndProc(tk::TMessage& message) override;
    std::vector<WPARAM> SystemCommands;
};

// The Windows path of the Silver skin of the source tree.
std::wstring SilverSkinPath();

// A pixel of the window in window coordinates (RGB, red in the low byte).
COLORREF WindowPixel(HWND window, int x, int y);
// A pixel of a window's client area (client coordinates).
COLORREF ClientPixel(HWND window, int x, int y);

// The pointer as a person's mouse moves it (screen coordinates).
void MoveMouse(int x, int y);
void PressLeft();
void ReleaseLeft();
// Moves to a point of the window (client coordinates), presses and releases, pumping in between.
void ClickClient(HWND window, int x, int y);
void DoubleClickClient(HWND window, int x, int y);
// Moves the pointer somewhere no test window is.
void ParkMouse();

// Handles the waiting messages for a while (the system's own loops get their input this way).
void PumpFor(int milliseconds);

RECT WindowBounds(HWND window);

}  // namespace frametest

namespace frametest {
// Presses the left button at a screen point and, from another thread (the system's move loop
// holds this one), moves the pointer by (dx, dy) in steps and releases it; pumps until done.
void DragFrom(int x, int y, int dx, int dy);
}  // namespace frametest

#include <atomic>
#include <thread>

namespace frametest {
// Watches, from a thread of its own, for a popup menu window to appear while this thread is in the
// menu's loop; records where it appeared and then presses the given keys in it (VK_ESCAPE closes
// it, VK_DOWN / VK_UP / VK_RETURN choose).
class MenuWatcher {
public:
    explicit MenuWatcher(std::vector<WPARAM> keys);
    ~MenuWatcher();
    // Waits for the watcher to finish; true when a menu appeared.
    bool Join();
    RECT Where() const { return where_; }

private:
    std::vector<WPARAM> keys_;
    std::atomic<bool> seen_{false};
    RECT where_{};
    std::thread thread_;
};
}  // namespace frametest
