#include "tests/menu/MenuInput.h"

#include <algorithm>
#include <iterator>

namespace menutest {

namespace {

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void ClickAt(int x, int y, bool right) {
    SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_MOVE);
    Sleep(60);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Sleep(30);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    Sleep(60);
}

}  // namespace

void Press(std::initializer_list<WORD> keys) {
    for (WORD k : keys) SendKey(k, false);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) SendKey(*it, true);
    Sleep(60);
}

void ClickScreen(int x, int y) { ClickAt(x, y, false); }

std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    for (HWND child = tray ? GetWindow(tray, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpW(name, L"__winex11_tray_icon") == 0 && IsWindowVisible(child)) icons.push_back(child);
    }
    return icons;
}

HWND NewTrayIcon(const std::vector<HWND>& before) {
    for (HWND icon : TrayIcons())
        if (std::find(before.begin(), before.end(), icon) == before.end()) return icon;
    return nullptr;
}

void ClickIcon(HWND icon, bool right) {
    RECT r;
    GetWindowRect(icon, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, right);
}

}  // namespace menutest
