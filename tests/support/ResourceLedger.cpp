#include "tests/support/ResourceLedger.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace qdtest {

namespace {

// What kind of release a handle waits for: handles of different kinds may share a value.
enum class Group { WindowDC, GdiObject, Icon, Hook };

struct Key {
    Group group;
    std::uintptr_t handle;
    bool operator<(const Key& other) const {
        return group != other.group ? group < other.group : handle < other.handle;
    }
};

struct Entry {
    std::uint64_t serial;
    const wchar_t* how;
};

struct Book {
    std::mutex mutex;
    std::map<Key, std::vector<Entry>> live;
    std::uint64_t nextSerial = 1;
};

Book& TheBook() {
    static Book book;
    return book;
}

template <typename H>
void Acquired(Group group, H handle, const wchar_t* how) {
    if (!handle) return;
    Book& book = TheBook();
    std::lock_guard<std::mutex> lock(book.mutex);
    book.live[{group, reinterpret_cast<std::uintptr_t>(handle)}].push_back({book.nextSerial++, how});
}

template <typename H>
void Released(Group group, H handle) {
    if (!handle) return;
    Book& book = TheBook();
    std::lock_guard<std::mutex> lock(book.mutex);
    auto it = book.live.find({group, reinterpret_cast<std::uintptr_t>(handle)});
    if (it == book.live.end()) return;
    it->second.pop_back();
    if (it->second.empty()) book.live.erase(it);
}

// The real functions, called by the recorders.
#define QD_REAL(name) decltype(&::name) real_##name = nullptr

QD_REAL(GetDC);
QD_REAL(GetDCEx);
QD_REAL(GetWindowDC);
QD_REAL(ReleaseDC);
QD_REAL(BeginPaint);
QD_REAL(EndPaint);
QD_REAL(CreateCompatibleDC);
QD_REAL(DeleteDC);
QD_REAL(CreatePen);
QD_REAL(CreateSolidBrush);
QD_REAL(CreatePatternBrush);
QD_REAL(CreateFontIndirectW);
QD_REAL(CreateBitmap);
QD_REAL(CreateCompatibleBitmap);
QD_REAL(CreateDIBSection);
QD_REAL(CreateRectRgn);
QD_REAL(CreateRoundRectRgn);
QD_REAL(CopyImage);
QD_REAL(LoadImageW);
QD_REAL(SetWindowRgn);
QD_REAL(DeleteObject);
QD_REAL(ImageList_GetIcon);
QD_REAL(DestroyIcon);
QD_REAL(SetWindowsHookExW);
QD_REAL(UnhookWindowsHookEx);

HDC WINAPI RecGetDC(HWND w) {
    HDC dc = real_GetDC(w);
    Acquired(Group::WindowDC, dc, L"GetDC");
    return dc;
}
HDC WINAPI RecGetDCEx(HWND w, HRGN clip, DWORD flags) {
    HDC dc = real_GetDCEx(w, clip, flags);
    Acquired(Group::WindowDC, dc, L"GetDCEx");
    return dc;
}
HDC WINAPI RecGetWindowDC(HWND w) {
    HDC dc = real_GetWindowDC(w);
    Acquired(Group::WindowDC, dc, L"GetWindowDC");
    return dc;
}
int WINAPI RecReleaseDC(HWND w, HDC dc) {
    Released(Group::WindowDC, dc);
    return real_ReleaseDC(w, dc);
}
HDC WINAPI RecBeginPaint(HWND w, LPPAINTSTRUCT ps) {
    HDC dc = real_BeginPaint(w, ps);
    Acquired(Group::WindowDC, dc, L"BeginPaint");
    return dc;
}
BOOL WINAPI RecEndPaint(HWND w, const PAINTSTRUCT* ps) {
    if (ps) Released(Group::WindowDC, ps->hdc);
    return real_EndPaint(w, ps);
}
HDC WINAPI RecCreateCompatibleDC(HDC dc) {
    HDC made = real_CreateCompatibleDC(dc);
    Acquired(Group::GdiObject, made, L"CreateCompatibleDC");
    return made;
}
BOOL WINAPI RecDeleteDC(HDC dc) {
    Released(Group::GdiObject, dc);
    return real_DeleteDC(dc);
}
HPEN WINAPI RecCreatePen(int style, int width, COLORREF color) {
    HPEN pen = real_CreatePen(style, width, color);
    Acquired(Group::GdiObject, pen, L"CreatePen");
    return pen;
}
HBRUSH WINAPI RecCreateSolidBrush(COLORREF color) {
    HBRUSH brush = real_CreateSolidBrush(color);
    Acquired(Group::GdiObject, brush, L"CreateSolidBrush");
    return brush;
}
HBRUSH WINAPI RecCreatePatternBrush(HBITMAP bitmap) {
    HBRUSH brush = real_CreatePatternBrush(bitmap);
    Acquired(Group::GdiObject, brush, L"CreatePatternBrush");
    return brush;
}
HFONT WINAPI RecCreateFontIndirectW(const LOGFONTW* lf) {
    HFONT font = real_CreateFontIndirectW(lf);
    Acquired(Group::GdiObject, font, L"CreateFontIndirectW");
    return font;
}
HBITMAP WINAPI RecCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data) {
    HBITMAP bitmap = real_CreateBitmap(w, h, planes, bits, data);
    Acquired(Group::GdiObject, bitmap, L"CreateBitmap");
    return bitmap;
}
HBITMAP WINAPI RecCreateCompatibleBitmap(HDC dc, int w, int h) {
    HBITMAP bitmap = real_CreateCompatibleBitmap(dc, w, h);
    Acquired(Group::GdiObject, bitmap, L"CreateCompatibleBitmap");
    return bitmap;
}
HBITMAP WINAPI RecCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                   DWORD offset) {
    HBITMAP bitmap = real_CreateDIBSection(dc, info, usage, bits, section, offset);
    Acquired(Group::GdiObject, bitmap, L"CreateDIBSection");
    return bitmap;
}
HRGN WINAPI RecCreateRectRgn(int l, int t, int r, int b) {
    HRGN region = real_CreateRectRgn(l, t, r, b);
    Acquired(Group::GdiObject, region, L"CreateRectRgn");
    return region;
}
HRGN WINAPI RecCreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    HRGN region = real_CreateRoundRectRgn(l, t, r, b, w, h);
    Acquired(Group::GdiObject, region, L"CreateRoundRectRgn");
    return region;
}
HANDLE WINAPI RecCopyImage(HANDLE image, UINT type, int w, int h, UINT flags) {
    HANDLE copy = real_CopyImage(image, type, w, h, flags);
    if (type == IMAGE_BITMAP) Acquired(Group::GdiObject, copy, L"CopyImage");
    return copy;
}
HANDLE WINAPI RecLoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int w, int h, UINT flags) {
    HANDLE image = real_LoadImageW(module, name, type, w, h, flags);
    if (type == IMAGE_BITMAP && !(flags & LR_SHARED)) Acquired(Group::GdiObject, image, L"LoadImageW");
    return image;
}
int WINAPI RecSetWindowRgn(HWND w, HRGN region, BOOL redraw) {
    const int done = real_SetWindowRgn(w, region, redraw);
    if (done) Released(Group::GdiObject, region);  // the window owns it now
    return done;
}
BOOL WINAPI RecDeleteObject(HGDIOBJ object) {
    Released(Group::GdiObject, object);
    return real_DeleteObject(object);
}
HICON WINAPI RecImageList_GetIcon(HIMAGELIST list, int index, UINT flags) {
    HICON icon = real_ImageList_GetIcon(list, index, flags);
    Acquired(Group::Icon, icon, L"ImageList_GetIcon");
    return icon;
}
BOOL WINAPI RecDestroyIcon(HICON icon) {
    Released(Group::Icon, icon);
    return real_DestroyIcon(icon);
}
HHOOK WINAPI RecSetWindowsHookExW(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread) {
    HHOOK hook = real_SetWindowsHookExW(kind, proc, module, thread);
    Acquired(Group::Hook, hook, L"SetWindowsHookExW");
    return hook;
}
BOOL WINAPI RecUnhookWindowsHookEx(HHOOK hook) {
    Released(Group::Hook, hook);
    return real_UnhookWindowsHookEx(hook);
}

// Points every import table slot of this program that holds real at recorder instead.
void Redirect(void* real, void* recorder) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); slot->u1.Function; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != real) continue;
            DWORD old = 0;
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &old);
            slot->u1.Function = reinterpret_cast<decltype(slot->u1.Function)>(recorder);
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), old, &old);
        }
    }
}

template <typename F>
void Watch(F& real, const wchar_t* dll, const char* name, F recorder) {
    real = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(dll), name)));
    if (real) Redirect(reinterpret_cast<void*>(real), reinterpret_cast<void*>(recorder));
}

void WatchOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        Watch(real_GetDC, L"user32.dll", "GetDC", &RecGetDC);
        Watch(real_GetDCEx, L"user32.dll", "GetDCEx", &RecGetDCEx);
        Watch(real_GetWindowDC, L"user32.dll", "GetWindowDC", &RecGetWindowDC);
        Watch(real_ReleaseDC, L"user32.dll", "ReleaseDC", &RecReleaseDC);
        Watch(real_BeginPaint, L"user32.dll", "BeginPaint", &RecBeginPaint);
        Watch(real_EndPaint, L"user32.dll", "EndPaint", &RecEndPaint);
        Watch(real_CopyImage, L"user32.dll", "CopyImage", &RecCopyImage);
        Watch(real_LoadImageW, L"user32.dll", "LoadImageW", &RecLoadImageW);
        Watch(real_SetWindowRgn, L"user32.dll", "SetWindowRgn", &RecSetWindowRgn);
        Watch(real_DestroyIcon, L"user32.dll", "DestroyIcon", &RecDestroyIcon);
        Watch(real_SetWindowsHookExW, L"user32.dll", "SetWindowsHookExW", &RecSetWindowsHookExW);
        Watch(real_UnhookWindowsHookEx, L"user32.dll", "UnhookWindowsHookEx", &RecUnhookWindowsHookEx);
        Watch(real_CreateCompatibleDC, L"gdi32.dll", "CreateCompatibleDC", &RecCreateCompatibleDC);
        Watch(real_DeleteDC, L"gdi32.dll", "DeleteDC", &RecDeleteDC);
        Watch(real_CreatePen, L"gdi32.dll", "CreatePen", &RecCreatePen);
        Watch(real_CreateSolidBrush, L"gdi32.dll", "CreateSolidBrush", &RecCreateSolidBrush);
        Watch(real_CreatePatternBrush, L"gdi32.dll", "CreatePatternBrush", &RecCreatePatternBrush);
        Watch(real_CreateFontIndirectW, L"gdi32.dll", "CreateFontIndirectW", &RecCreateFontIndirectW);
        Watch(real_CreateBitmap, L"gdi32.dll", "CreateBitmap", &RecCreateBitmap);
        Watch(real_CreateCompatibleBitmap, L"gdi32.dll", "CreateCompatibleBitmap", &RecCreateCompatibleBitmap);
        Watch(real_CreateDIBSection, L"gdi32.dll", "CreateDIBSection", &RecCreateDIBSection);
        Watch(real_CreateRectRgn, L"gdi32.dll", "CreateRectRgn", &RecCreateRectRgn);
        Watch(real_CreateRoundRectRgn, L"gdi32.dll", "CreateRoundRectRgn", &RecCreateRoundRectRgn);
        Watch(real_DeleteObject, L"gdi32.dll", "DeleteObject", &RecDeleteObject);
        Watch(real_ImageList_GetIcon, L"comctl32.dll", "ImageList_GetIcon", &RecImageList_GetIcon);
    });
}

}  // namespace

ResourceLedger::ResourceLedger() {
    WatchOnce();
    Book& book = TheBook();
    std::lock_guard<std::mutex> lock(book.mutex);
    start_ = book.nextSerial;
}

int ResourceLedger::Held() const {
    Book& book = TheBook();
    std::lock_guard<std::mutex> lock(book.mutex);
    int held = 0;
    for (const auto& [key, entries] : book.live)
        for (const Entry& e : entries)
            if (e.serial >= start_) ++held;
    return held;
}

std::wstring ResourceLedger::HeldText() const {
    Book& book = TheBook();
    std::lock_guard<std::mutex> lock(book.mutex);
    std::wstring text;
    for (const auto& [key, entries] : book.live)
        for (const Entry& e : entries)
            if (e.serial >= start_) {
                wchar_t line[64];
                std::swprintf(line, 64, L"%ls 0x%llx\n", e.how, static_cast<unsigned long long>(key.handle));
                text += line;
            }
    return text;
}

}  // namespace qdtest
