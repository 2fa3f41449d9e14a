#include "tests/skin/controls/FrameTestSupport.h"

#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

namespace frametest {

HostForm::HostForm(tk::TComponent* owner, int clientWidth, int clientHeight) : tk::TForm(owner) {
    SetCaption(L"Frame test");
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetClientSize(clientWidth, clientHeight);
    SetBounds(100, 80, Width(), Height());
}

void HostForm::WndProc(tk::TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND) SystemCommands.push_back(m.WParam & 0xFFF0);
    tk::TForm::WndProc(m);
}

std::wstring SilverSkinPath() { return qdtest::WindowsPath(QD_SILVER_SKIN); }

COLORREF WindowPixel(HWND window, int x, int y) {
    const tk::ScopedWindowDC dc(window);
    return GetPixel(dc, x, y);
}

COLORREF ClientPixel(HWND window, int x, int y) {
    const tk::ScopedGetDC dc(window);
    return GetPixel(dc, x, y);
}

namespace {

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

}  // namespace

void PumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    qdtest::PumpUntil([end] { return static_cast<int>(end - GetTickCount()) <= 0; }, milliseconds + 1000);
}

void MoveMouse(int x, int y) {
    SetCursorPos(x, y);
    PumpFor(60);
}

void PressLeft() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    PumpFor(60);
}

void ReleaseLeft() {
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpFor(60);
}

void ClickClient(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    MoveMouse(p.x, p.y);
    PressLeft();
    ReleaseLeft();
}

void DoubleClickClient(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    MoveMouse(p.x, p.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpFor(200);
}

void ParkMouse() { MoveMouse(1270, 790); }

RECT WindowBounds(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

}  // namespace frametest

#include <atomic>
#include <thread>

namespace frametest {

namespace {

void SendAbsoluteMove(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
}

}  // namespace

void DragFrom(int x, int y, int dx, int dy) {
    MoveMouse(x, y);
    std::atomic<bool> done{false};
    std::thread mover([&] {
        Sleep(150);
        for (int i = 1; i <= 5; ++i) {
            SendAbsoluteMove(x + dx * i / 5, y + dy * i / 5);
            Sleep(40);
        }
        Sleep(100);
        INPUT up{};
        up.type = INPUT_MOUSE;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &up, sizeof(up));
        Sleep(100);
        done = true;
    });
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &down, sizeof(down));
    qdtest::PumpUntil([&] { return done.load(); }, 5000);
    mover.join();
    PumpFor(100);
}

}  // namespace frametest

namespace frametest {

MenuWatcher::MenuWatcher(std::vector<WPARAM> keys) : keys_(std::move(keys)) {
    thread_ = std::thread([this] {
        HWND popup = nullptr;
        for (int i = 0; i < 250 && !popup; ++i) {
            Sleep(20);
            popup = FindWindowW(L"#32768", nullptr);
            if (popup && !IsWindowVisible(popup)) popup = nullptr;
        }
        if (!popup) return;
        GetWindowRect(popup, &where_);
        seen_ = true;
        Sleep(150);
        for (WPARAM key : keys_) {
            PostMessageW(popup, WM_KEYDOWN, key, 0);
            Sleep(120);
        }
    });
}

MenuWatcher::~MenuWatcher() { Join(); }

bool MenuWatcher::Join() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

}  // namespace frametest
