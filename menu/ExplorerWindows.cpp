#include "menu/ExplorerWindows.h"

#include <commctrl.h>
#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "app/Global.h"
#include "menu/NavigationRules.h"
#include "menu/OtherProcess.h"
#include "toolkit/win/BoundedCall.h"
#include "toolkit/win/ComPtr.h"
#include "toolkit/win/FolderProbe.h"

namespace qd::menu {

namespace {

// No more shell windows are looked at than this; the largest item id list read from another
// program, in bytes.
constexpr long kMaxShellWindows = 256;
constexpr std::size_t kMaxItemIdList = 65536;
constexpr std::size_t kMaxPathChars = 32768;

// A VARIANT cleared at the end of the scope (a safe array in it is destroyed with it).
struct OwnedVariant {
    VARIANT value;
    OwnedVariant() { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// The browser of the shell's window whose top-level window is `window`; empty when the shell does
// not list its windows (Wine's list finds windows by folder but does not hand them out) or not this
// one.
tk::ComPtr<IWebBrowser2> ShellBrowserOf(HWND window) {
    tk::ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, windows.put_void())) ||
        !windows)
        return {};
    long count = 0;
    if (FAILED(windows->get_Count(&count))) return {};
    for (long i = 0; i < count && i < kMaxShellWindows; ++i) {
        OwnedVariant index;
        index.value.vt = VT_I4;
        index.value.lVal = i;
        tk::ComPtr<IDispatch> item;
        if (windows->Item(index.value, item.put()) != S_OK || !item) continue;
        auto browser = item.As<IWebBrowser2>(IID_IWebBrowser2);
        SHANDLE_PTR handle = 0;
        if (browser && SUCCEEDED(browser->get_HWND(&handle)) && reinterpret_cast<HWND>(handle) == window)
            return browser;
    }
    return {};
}

bool PathOfItemIdList(PCIDLIST_ABSOLUTE list, std::wstring& path) {
    std::vector<wchar_t> buffer(kMaxPathChars, L'\0');
    if (!list || !SHGetPathFromIDListEx(list, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT))
        return false;
    buffer.back() = L'\0';
    path = buffer.data();
    return !path.empty();
}

// The folder of the browser's active view: its folder object's item id list, as a path.
bool FolderOfBrowser(const tk::ComPtr<IWebBrowser2>& browser, std::wstring& folder) {
    const auto services = browser.As<IServiceProvider>(IID_IServiceProvider);
    tk::ComPtr<IShellBrowser> shell;
    if (!services ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, shell.put_void())) || !shell)
        return false;
    tk::ComPtr<IShellView> view;
    if (FAILED(shell->QueryActiveShellView(view.put())) || !view) return false;
    const auto folderView = view.As<IFolderView>(IID_IFolderView);
    tk::ComPtr<IPersistFolder2> persist;
    if (!folderView || FAILED(folderView->GetFolder(IID_IPersistFolder2, persist.put_void())) || !persist)
        return false;
    tk::CoTaskMem<ITEMIDLIST> list;
    return SUCCEEDED(persist->GetCurFolder(list.put())) && PathOfItemIdList(list.get(), folder);
}

// Wine's Explorer shows its folder in a box with the item id list of each folder as the item's
// data; the item in the box's edit field is the folder shown.
bool FolderOfAddressBox(HWND window, std::wstring& folder) {
    HWND rebar = FindWindowExW(window, nullptr, REBARCLASSNAMEW, nullptr);
    HWND box = rebar ? FindWindowExW(rebar, nullptr, WC_COMBOBOXEXW, nullptr) : nullptr;
    if (!box) return false;
    const RemoteProcess process(box);
    // The item structure the box writes holds pointers: laid out alike only with the same size.
    if (!process.Valid() || !process.SamePointerSize()) return false;
    RemoteBuffer request(process, sizeof(COMBOBOXEXITEMW));
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = -1;
    LRESULT found = 0;
    if (!request.Write(0, &item, sizeof item) || !request.Send(box, CBEM_GETITEMW, 0, found) ||
        !found || !request.Read(0, &item, sizeof item) || !item.lParam)
        return false;
    const auto address = static_cast<std::uintptr_t>(item.lParam);
    const std::size_t size = ItemIdListSize(
        [&](std::size_t offset, void* out, std::size_t count) { return process.Read(address + offset, out, count); },
        kMaxItemIdList);
    std::vector<std::uint8_t> list(size);
    if (size == 0 || !process.Read(address, list.data(), size)) return false;
    // The list is checked again as copied: the other program may have changed it in between.
    const std::size_t copied = ItemIdListSize(
        [&](std::size_t offset, void* out, std::size_t count) {
            if (offset > list.size() || count > list.size() - offset) return false;
            std::memcpy(out, list.data() + offset, count);
            return true;
        },
        list.size());
    return copied == size && PathOfItemIdList(reinterpret_cast<PCIDLIST_ABSOLUTE>(list.data()), folder);
}

}  // namespace

bool FolderOfExplorerWindow(HWND window, std::wstring& folder) {
    // The shell's window list and browser live in Explorer's process: asked on a thread of their
    // own with a time limit, so that an Explorer that does not answer holds the menu up no longer.
    struct Asked {
        bool listed = false;  // the shell handed the window's browser out
        bool read = false;
        std::wstring path;
    };
    const auto asked = tk::CallWithin<Asked>(kAnswerTimeoutMs, [window] {
        const tk::ScopedComInit com;
        Asked a;
        const auto browser = ShellBrowserOf(window);
        a.listed = static_cast<bool>(browser);
        if (browser) a.read = FolderOfBrowser(browser, a.path);
        return a;
    });
    if (!asked) return false;
    std::wstring path = asked->path;
    // The address box is read here: its messages have time limits of their own, and a late
    // answer's memory is freed from this thread's messages.
    const bool read = asked->listed ? asked->read : FolderOfAddressBox(window, path);
    if (!read || tk::TestFolderWithin(path, kAnswerTimeoutMs) == tk::TFolderState::Missing) return false;
    folder = std::move(path);
    return true;
}

bool NavigateExplorerWindow(HWND window, const std::wstring& folder) {
    // Shared with the call's thread, which may outlive the wait: set once the browser has been
    // asked to go there.
    auto asked = std::make_shared<std::atomic<bool>>(false);
    const auto taken = tk::CallWithin<bool>(kAnswerTimeoutMs, [window, folder, asked] {
        const tk::ScopedComInit com;
        const auto browser = ShellBrowserOf(window);
        if (!browser) return false;
        // The folder as an item id list in a byte array: a path given as text would be taken for
        // an address of the web by a browser that reads '#' or '%' in it.
        const tk::CoTaskMem<ITEMIDLIST> list(ILCreateFromPathW(folder.c_str()));
        if (!list) return false;
        const UINT size = ILGetSize(list.get());
        OwnedVariant target;
        SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, size);
        if (!bytes) return false;
        target.value.vt = VT_ARRAY | VT_UI1;
        target.value.parray = bytes;
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(bytes, &data))) return false;
        std::memcpy(data, list.get(), size);
        SafeArrayUnaccessData(bytes);
        OwnedVariant empty;
        *asked = true;
        return SUCCEEDED(browser->Navigate2(&target.value, &empty.value, &empty.value, &empty.value, &empty.value));
    });
    if (taken) return *taken;
    // No answer in time. A window asked to go there may still go once Explorer catches up: a new
    // window as well would show the folder twice. One never asked leaves it to a new window.
    return asked->load();
}

}  // namespace qd::menu
