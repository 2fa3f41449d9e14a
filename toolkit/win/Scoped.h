// Owners of Win32 resources that give them back when the scope ends, however it ends: device
// contexts (painting, window, client and memory contexts), objects selected into a context, saved
// context states, GDI objects, icons, hooks, menus, image lists, registry keys, kernel handles and
// the mouse capture. The rest of the program acquires these resources only through an owner here,
// so that an exception thrown while one is held leaves nothing behind. None can be copied; the
// object owners can be moved and can hand their object over to a new owner (release()).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace tk {

// An owned handle with its release function; the base of the simple owners below.
template <typename H, typename Free>
class ScopedHandleOf {
public:
    ScopedHandleOf() = default;
    explicit ScopedHandleOf(H handle) : handle_(handle) {}
    ~ScopedHandleOf() { reset(); }
    ScopedHandleOf(ScopedHandleOf&& other) noexcept : handle_(other.release()) {}
    ScopedHandleOf& operator=(ScopedHandleOf&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ScopedHandleOf(const ScopedHandleOf&) = delete;
    ScopedHandleOf& operator=(const ScopedHandleOf&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Frees the owned handle (if any) and owns the given one.
    void reset(H handle = nullptr) {
        if (handle_ && handle_ != handle) Free{}(handle_);
        handle_ = handle;
    }
    // Gives the handle up without freeing it: the caller (or the system) owns it from here.
    H release() { return std::exchange(handle_, nullptr); }

private:
    H handle_ = nullptr;
};

struct FreeGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct FreeIcon {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct FreeMenu {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct FreeHook {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
struct FreeImageList {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct FreeRegKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct FreeKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct FreeMemDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct FreeWinEventHook {
    void operator()(HWINEVENTHOOK hook) const { UnhookWinEvent(hook); }
};
struct FreeWait {
    // Waits for a callback that is running to finish, so nothing it uses goes before it ends.
    void operator()(HANDLE wait) const { UnregisterWaitEx(wait, INVALID_HANDLE_VALUE); }
};

// A pen, brush, font, bitmap or region, deleted at the end of the scope.
template <typename T = HGDIOBJ>
using ScopedGdiObj = ScopedHandleOf<T, FreeGdiObject>;
using ScopedPen = ScopedGdiObj<HPEN>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedBitmap = ScopedGdiObj<HBITMAP>;
using ScopedRegion = ScopedGdiObj<HRGN>;

using ScopedIcon = ScopedHandleOf<HICON, FreeIcon>;
// A menu made with CreateMenu or CreatePopupMenu (its submenus go with it).
using ScopedMenu = ScopedHandleOf<HMENU, FreeMenu>;
using ScopedImageList = ScopedHandleOf<HIMAGELIST, FreeImageList>;
using ScopedRegKey = ScopedHandleOf<HKEY, FreeRegKey>;
// A kernel object handle (process, thread, event, mutex, file mapping).
using ScopedKernelHandle = ScopedHandleOf<HANDLE, FreeKernelHandle>;
// A file opened with CreateFile, whose "no handle" is INVALID_HANDLE_VALUE rather than nullptr.
class ScopedFile {
public:
    explicit ScopedFile(HANDLE handle) : handle_(handle) {}
    ~ScopedFile() {
        if (Valid()) CloseHandle(handle_);
    }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};
// An event hook (SetWinEventHook).
using ScopedWinEventHook = ScopedHandleOf<HWINEVENTHOOK, FreeWinEventHook>;
// A wait registered with RegisterWaitForSingleObject.
using ScopedWait = ScopedHandleOf<HANDLE, FreeWait>;

// A global hot key of a window (RegisterHotKey), given up at the end of the scope.
class ScopedHotKey {
public:
    ScopedHotKey() = default;
    ~ScopedHotKey() { Unregister(); }
    ScopedHotKey(const ScopedHotKey&) = delete;
    ScopedHotKey& operator=(const ScopedHotKey&) = delete;

    // Gives up the one held, then takes the new one; false (the error in GetLastError) when the
    // system refuses it, for instance because another program holds the combination.
    bool Register(HWND window, int id, UINT modifiers, UINT key) {
        Unregister();
        if (!RegisterHotKey(window, id, modifiers, key)) return false;
        window_ = window;
        id_ = id;
        held_ = true;
        return true;
    }
    void Unregister() {
        if (held_) UnregisterHotKey(window_, id_);
        held_ = false;
    }
    bool Held() const { return held_; }

private:
    HWND window_ = nullptr;
    int id_ = 0;
    bool held_ = false;
};

// A memory device context of its own (CreateCompatibleDC).
using ScopedMemDCHandle = ScopedHandleOf<HDC, FreeMemDC>;

// A memory device context compatible with the given one (nullptr: the screen).
class ScopedMemDC : public ScopedMemDCHandle {
public:
    explicit ScopedMemDC(HDC compatibleWith = nullptr) : ScopedMemDCHandle(CreateCompatibleDC(compatibleWith)) {}
    ScopedMemDC(ScopedMemDC&&) noexcept = default;
    ScopedMemDC& operator=(ScopedMemDC&&) noexcept = default;
    operator HDC() const { return get(); }
};

// The client area context of a window (nullptr: the screen), from GetDC.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The whole-window context (frame included) of a window (nullptr: the screen), from GetWindowDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Painting of a window's update region: BeginPaint now, EndPaint at the end of the scope (which
// also validates the region, so that a paint that fails is not asked for again at once).
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~ScopedPaint() { EndPaint(window_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }
    const RECT& UpdateRect() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a context, the previous one selected back at the end of the scope.
// Select may be called again with other objects of the same kind: the one in place before the
// first selection is what comes back. A null object selects nothing.
class ScopedSelectObject {
public:
    ScopedSelectObject() = default;
    ScopedSelectObject(HDC dc, HGDIOBJ object) { Select(dc, object); }
    ~ScopedSelectObject() { Restore(); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

    void Select(HDC dc, HGDIOBJ object) {
        if (!dc || !object) return;
        if (dc != dc_) Restore();
        HGDIOBJ previous = SelectObject(dc, object);
        if (!dc_ && previous && previous != HGDI_ERROR) {
            dc_ = dc;
            previous_ = previous;
        }
    }
    // Selects the object that was there first back in now.
    void Restore() {
        if (dc_) SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }
    bool Active() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The whole state of a context (objects, origin, clipping, modes), saved now and restored at the
// end of the scope.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
    ~ScopedSaveDC() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A hook of this thread, removed at the end of the scope.
class ScopedHook : public ScopedHandleOf<HHOOK, FreeHook> {
public:
    ScopedHook() = default;
    ScopedHook(int kind, HOOKPROC proc)
        : ScopedHandleOf<HHOOK, FreeHook>(SetWindowsHookExW(kind, proc, nullptr, GetCurrentThreadId())) {}
};

// The mouse capture of a window from Take until Release or the end of the owner. Releasing gives
// the capture back only while the window still has it: a capture that something else took away in
// the meantime (a message box, say) stays where it went.
class MouseCapture {
public:
    MouseCapture() = default;
    ~MouseCapture() { Release(); }
    MouseCapture(const MouseCapture&) = delete;
    MouseCapture& operator=(const MouseCapture&) = delete;

    void Take(HWND window) {
        if (!window) return;
        SetCapture(window);
        window_ = window;
    }
    void Release() {
        HWND window = std::exchange(window_, nullptr);
        if (window && GetCapture() == window) ReleaseCapture();
    }
    bool Held() const { return window_ && GetCapture() == window_; }

private:
    HWND window_ = nullptr;
};

// Runs an action when the scope ends, however it ends: for state that goes with a resource (the
// object a hook reports to, say). The action must not throw.
template <typename Fn>
class OnScopeExit {
public:
    explicit OnScopeExit(Fn action) : action_(std::move(action)) {}
    ~OnScopeExit() { action_(); }
    OnScopeExit(const OnScopeExit&) = delete;
    OnScopeExit& operator=(const OnScopeExit&) = delete;

private:
    Fn action_;
};

}  // namespace tk
