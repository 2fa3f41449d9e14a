#include "toolkit/win/TrayIcon.h"

#include <shellapi.h>

#include <iterator>

namespace tk {

TTrayIcon::TTrayIcon(HWND window, UINT id, UINT callbackMessage, HICON icon, std::wstring tip)
    : window_(window), id_(id), callbackMessage_(callbackMessage), icon_(icon), tip_(std::move(tip)) {}

TTrayIcon::~TTrayIcon() { Remove(); }

NOTIFYICONDATAW TTrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = id_;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_;
    // The tip field holds 127 characters and the terminating zero.
    lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(std::size(data.szTip)));
    return data;
}

bool TTrayIcon::Add() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    // After Explorer restarted the icon may still be known to a shell that did not forget it.
    shown_ = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
    return shown_;
}

void TTrayIcon::SetTip(std::wstring tip) {
    tip_ = std::move(tip);
    NOTIFYICONDATAW data = Data(NIF_TIP);
    if (shown_) shown_ = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TTrayIcon::Remove() {
    if (!shown_) return;
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
}

UINT TTrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace tk
