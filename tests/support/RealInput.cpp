#include "tests/support/RealInput.h"

#include <algorithm>
#include <chrono>

#include <cstdlib>
#include <fstream>
#include <string>

#include "toolkit/BmpImage.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Scoped.h"

namespace realinput {

void Settle(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        tk::Application().ProcessMessages();
        Sleep(5);
    } while (std::chrono::steady_clock::now() < end);
    tk::Application().ProcessMessages();
}

namespace {

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

}  // namespace

void MouseMove(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    SendMouse(MOUSEEVENTF_MOVE);  // the move as the mouse reports it, at the new place
    Settle(40);
}

void MouseDown() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle(40);
}

void MouseUp() {
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle(40);
}

void Click(HWND window, int x, int y) {
    MouseMove(window, x, y);
    MouseDown();
    MouseUp();
}

void RightClick(HWND window, int x, int y) {
    MouseMove(window, x, y);
    // Both at once: a control may wait for the release in a loop of its own when the button goes
    // down (to tell a click from a drag).
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    Settle(60);
}

void DoubleClick(HWND window, int x, int y) {
    MouseMove(window, x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle(60);
}

void MouseAway() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    SendMouse(MOUSEEVENTF_MOVE);
    Settle(40);
}

void KeyDown(WORD vk) {
    SendKey(vk, false);
    Settle(30);
}

void KeyUp(WORD vk) {
    SendKey(vk, true);
    Settle(30);
}

void Key(WORD vk) {
    KeyDown(vk);
    KeyUp(vk);
}

void AltKey(WORD vk) {
    SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    SendKey(VK_MENU, true);
    Settle(60);
}

void KeyWith(WORD modifier, WORD vk) {
    KeyDown(modifier);
    Key(vk);
    KeyUp(modifier);
}

void SendKeyOnly(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}

void SendClickOnly(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    SendMouse(MOUSEEVENTF_MOVE);
    Sleep(60);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(30);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

COLORREF Pixel(HWND window, int x, int y) {
    UpdateWindow(window);
    const tk::ScopedGetDC dc(window);
    return GetPixel(dc, x, y);
}

COLORREF WindowPixel(HWND window, int x, int y) {
    const tk::ScopedWindowDC dc(window);
    return GetPixel(dc, x, y);
}

RECT FindColor(HWND window, const RECT& area, COLORREF color) {
    UpdateWindow(window);
    const tk::ScopedGetDC dc(window);
    RECT box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetPixel(dc, x, y) == color) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.left >= box.right) return RECT{0, 0, 0, 0};
    return box;
}

int CountColor(HWND window, const RECT& area, COLORREF color) {
    UpdateWindow(window);
    const tk::ScopedGetDC dc(window);
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += GetPixel(dc, x, y) == color;
    return n;
}

void SaveScreenArea(const RECT& r, const char* name) {
    const char* dir = std::getenv("QD_SCREENSHOT_DIR");
    if (!dir || !*dir || r.right <= r.left || r.bottom <= r.top) return;
    tk::TBitmap shot(r.right - r.left, r.bottom - r.top);
    {
        const tk::ScopedGetDC screen(nullptr);
        BitBlt(shot.Dc(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    const std::vector<std::uint8_t> bytes = tk::EncodeBmp24(shot.ToImage());
    std::ofstream(std::string(dir) + "/" + name + ".bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void SaveScreenshot(HWND window, const char* name) {
    const char* dir = std::getenv("QD_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle(100);
    RECT r;
    GetWindowRect(window, &r);
    SaveScreenArea(r, name);
}

TestForm::TestForm(int width, int height) : tk::TForm(nullptr) {
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetCaption(L"flat test");
    SetClientSize(width, height);
    SetBounds(600, 300, Width(), Height());
}

TestForm::~TestForm() { DestroyComponents(); }

void TestForm::ShowUp() {
    Show();
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Handle());
    SetActiveWindow(Handle());
    Settle(120);
}

}  // namespace realinput
