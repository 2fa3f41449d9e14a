// A program that drags as Explorer does, for the drop tests: it shows a small window and, when
// the left button is pressed on it, starts an OLE drag of a data object (a file list, or a text
// with "text" as the first argument) offering copy, move and link. Its exit code is the effect
// the drop took (0 none, 1 copy, 2 move, 4 link), 100 for a cancelled drag, 101 when the drag
// could not start, 102 when nobody pressed the button within 30 seconds. Once the drag has
// returned it sets the event named "QdDragSourceDropped", when there is one.
//   qd_drag_source.exe files PATH...   |   qd_drag_source.exe text TEXT
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "tests/support/FileDataObject.h"

namespace {

constexpr wchar_t kClass[] = L"QdDragSource";

class DropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the stack for the whole drag
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

IDataObject* g_data = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN) {
        DropSource source;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT hr =
            DoDragDrop(g_data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
        if (HANDLE dropped = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QdDragSourceDropped")) {
            SetEvent(dropped);
            CloseHandle(dropped);
        }
        PostQuitMessage(hr == DRAGDROP_S_DROP ? static_cast<int>(effect) : hr == DRAGDROP_S_CANCEL ? 100 : 101);
        return 0;
    }
    if (msg == WM_TIMER) {
        PostQuitMessage(102);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 103;
    if (FAILED(OleInitialize(nullptr))) return 104;
    if (std::wstring(argv[1]) == L"text") {
        g_data = qdtest::NewTextDataObject(argv[2]);
    } else {
        g_data = qdtest::NewFileDataObject(std::vector<std::wstring>(argv + 2, argv + argc));
    }
    LocalFree(argv);

    WNDCLASSW wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kClass, L"Drag source", WS_POPUP | WS_VISIBLE, 1080, 60, 160, 120,
                                  nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 30000, nullptr);
    MSG msg;
    int code = 101;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (msg.message == WM_QUIT) code = static_cast<int>(msg.wParam);
    DestroyWindow(window);
    g_data->Release();
    OleUninitialize();
    return code;
}
