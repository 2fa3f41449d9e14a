// An icon in the notification area of the task bar, for a window: added, given a tip, removed
// when the owner goes. The icon reports the mouse to the window with the callback message, the
// mouse message (WM_LBUTTONUP, WM_RBUTTONUP, ...) in its second parameter. When Explorer starts
// anew it forgets every icon and sends the message TaskbarCreatedMessage() to all top-level
// windows: the owner then calls Add again.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace tk {

class TTrayIcon {
public:
    TTrayIcon(HWND window, UINT id, UINT callbackMessage, HICON icon, std::wstring tip);
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // Puts the icon into the notification area (again); false when the shell refuses it (there is
    // no notification area yet).
    bool Add();
    // Whether the shell holds the icon: the last Add or SetTip succeeded.
    bool Shown() const { return shown_; }
    // The tip shown when the mouse rests on the icon (up to 127 characters).
    void SetTip(std::wstring tip);
    const std::wstring& Tip() const { return tip_; }
    UINT Id() const { return id_; }

    // The shell's "task bar created" message, registered on first use.
    static UINT TaskbarCreatedMessage();

private:
    NOTIFYICONDATAW Data(UINT flags) const;
    void Remove();

    HWND window_;
    UINT id_;
    UINT callbackMessage_;
    HICON icon_;
    std::wstring tip_;
    bool shown_ = false;
};

}  // namespace tk
