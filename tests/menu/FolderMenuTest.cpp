// The folder menu program's parts on real windows under Wine, driven as a person would: the hot key
// and the keys through the input queue (SendInput), clicks with the real mouse. The program runs in
// the test process with its list in a private key, its options.ini in a private folder and its Run
// value under a private key; what a chosen row asks of the shell is recorded instead of opening
// Explorer windows. The notification icon is clicked with the real mouse where Wine shows it: with
// no desktop to host a notification area, Wine puts the icons into a small tray window of its own.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "list/win/RegistryAccessor.h"
#include "list/ShortcutStore.h"
#include "menu/FolderMenuApp.h"
#include "resources/forms/FolderMenuDesc.h"
#include "resources/forms/MainFormDesc.h"
#include "tests/menu/MenuInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/BmpImage.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Registry.h"

namespace {

using qd::menu::HotKey;
using qd::menu::TFolderMenuApp;
using menutest::ClickIcon;
using menutest::ClickScreen;
using menutest::Press;

// The centre of a menu item on the screen.
POINT ItemCentre(HWND menu, const tk::TRect& item) {
    POINT p{(item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2};
    ClientToScreen(menu, &p);
    return p;
}

constexpr wchar_t kListMenuClass[] = L"tsui.ListMenu";

// The text pixels of a greyed item.
constexpr COLORREF kGreyText = RGB(0x80, 0x80, 0x80);

int CountScreenColor(HWND window, const tk::TRect& r, COLORREF color) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const tk::ScopedGetDC screen(nullptr);
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += GetPixel(screen, origin.x + x, origin.y + y) == color;
    return n;
}

// When QD_SCREENSHOT_DIR is set, what the screen shows of the window, as <name>.bmp there. Safe on
// any thread: it only copies from the screen.
void SaveScreenshot(HWND window, const char* name) {
    const char* dir = std::getenv("QD_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    RECT r;
    GetWindowRect(window, &r);
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

// What the screen shows of a rectangle (a menu with its submenu beside it), as SaveScreenshot.
void SaveScreenRect(const RECT& r, const char* name) {
    const char* dir = std::getenv("QD_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
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

// A shortcut as the shell puts one into the user's Recent folder: to `target`, saved as `link`.
bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return false;
    IPersistFile* file = nullptr;
    const bool saved = SUCCEEDED(shellLink->SetPath(target.c_str())) &&
                       SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                       SUCCEEDED(file->Save(link.c_str(), TRUE));
    if (file) file->Release();
    shellLink->Release();
    return saved;
}

// A window of the editor's class that records the messages other programs post to it.
class FakeEditor {
public:
    FakeEditor() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = qd::desc::kMainWindowClass;
        RegisterClassExW(&wc);
        window_ = CreateWindowExW(0, qd::desc::kMainWindowClass, L"editor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        Received().clear();
    }
    ~FakeEditor() {
        DestroyWindow(window_);
        UnregisterClassW(qd::desc::kMainWindowClass, GetModuleHandleW(nullptr));
    }
    static std::vector<UINT>& Received() {
        static std::vector<UINT> received;
        return received;
    }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == qd::desc::kInstanceWakeup || msg == qd::desc::kListChangedNotice) Received().push_back(msg);
        return DefWindowProcW(w, msg, wp, lp);
    }
    HWND window_ = nullptr;
};

class FolderMenuTest : public testing::Test {
protected:
    void SetUp() override {
        settings.KeyPath = key.Path();
        settings.Accessors = qd::RegistryAccessors();
        settings.OptionsFile = (dir / "options.ini").wstring();
        settings.ExePath = (dir / "QuiverdirMenu.exe").wstring();
        settings.EditorPath = (dir / "Quiverdir.exe").wstring();
        settings.RunKeyPath = runKey.Path();
        settings.WindowClass = qdtest::UniqueName(L"FolderMenuTest");
        settings.TakeUserThere = [this](HWND front, const std::wstring& folder, bool explore) {
            taken.push_back(folder);
            takenFront = front;
            takenExplore = explore;
        };
        settings.FolderOfWindow = [this](HWND, std::wstring& folder) {
            folder = frontFolder;
            return !frontFolder.empty();
        };
        // The recent folders: the menu's record and the shell's Recent items in private places.
        settings.RecentFoldersFile = (dir / "RecentFolders.txt").wstring();
        settings.ShellRecentFolder = (dir / "Recent").wstring();
        std::filesystem::create_directories(dir / "Recent");
        std::filesystem::create_directories(dir / "real");
        existing = (dir / "real").wstring();
        missing = (dir / "gone").wstring();
    }
    void TearDown() override {
        // Nothing of a failed test may stay up for the next one.
        SetCursorPos(1270, 790);
    }
    // The list as the editor writes it: one value pair per row, through the store.
    void WriteRows(const std::vector<std::pair<std::wstring, std::wstring>>& rows, int first = 0) {
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(first + static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(first + static_cast<int>(i)), rows[i].second);
        }
    }
    std::unique_ptr<TFolderMenuApp> Start() {
        auto app = std::make_unique<TFolderMenuApp>(settings);
        app->FolderMenu->OnShown = [this](tk::TComponent*) { ++shown; };
        return app;
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    qdtest::PrivateKey runKey;
    qd::menu::MenuSettings settings;
    std::wstring existing, missing;
    std::vector<std::wstring> taken;
    HWND takenFront = nullptr;
    bool takenExplore = false;
    std::wstring frontFolder;
    // How often the menu came up; a script reads the rectangles the handler took once it grew.
    std::atomic<int> shown{0};
    // The menu window of the test's thread, once it is up and its handler has run.
    HWND WaitForMenu(DWORD ui, int before) {
        HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (menu && shown.load() <= before && std::chrono::steady_clock::now() < end) Sleep(10);
        return shown.load() > before ? menu : nullptr;
    }
};

TEST_F(FolderMenuTest, TheHotKeyOpensTheMenuAtTheMouseAndARowTheEditorAddedIsThereNextTime) {
    WriteRows({{L"alpha", existing}, {L"beta", existing}});
    auto app = Start();
    ASSERT_FALSE(app->HotKeyTaken()) << "Win+Alt+F is held by another program on this display";
    EXPECT_EQ(app->CurrentHotKey(), qd::menu::kDefaultHotKey);
    SetCursorPos(300, 200);

    RECT placed{};
    int rowsFirstTime = -1;
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
            if (!menu) return;
            GetWindowRect(menu, &placed);
            SaveScreenshot(menu, "folder-menu");
            Press({VK_ESCAPE});
            qdtest::WaitUntilGone(menu);
        });
        Press({VK_LWIN, VK_MENU, 'F'});
        EXPECT_TRUE(qdtest::PumpUntil([&] { return shown == 1 && !app->FolderMenu->IsOpen(); }, 10000))
            << "the hot key did not open the menu";
        rowsFirstTime = app->RowCount();
    }
    EXPECT_EQ(rowsFirstTime, 2);
    EXPECT_EQ(placed.left, 300);
    EXPECT_EQ(placed.top, 200);
    EXPECT_TRUE(taken.empty()) << "Escape chose a row";

    // The editor appends a row (its store writes N2, then P2).
    WriteRows({{L"gamma", existing + L"\\"}}, 2);
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
            if (!menu) return;
            Press({'G'});
            Press({VK_RETURN});
            qdtest::WaitUntilGone(menu);
        });
        Press({VK_LWIN, VK_MENU, 'F'});
        EXPECT_TRUE(qdtest::PumpUntil([&] { return shown == 2 && !app->FolderMenu->IsOpen(); }, 10000));
    }
    EXPECT_EQ(app->RowCount(), 3);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0], existing + L"\\");
    // The option the editor keeps decides the shell's verb: on when options.ini says nothing.
    EXPECT_TRUE(takenExplore);
}

TEST_F(FolderMenuTest, RowsWhoseFolderIsMissingAreGreyedAndCannotBeChosen) {
    WriteRows({{L"here", existing}, {L"gone", missing}, {L"also here", existing}});
    auto app = Start();
    HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    tk::TRect goneRow, hereRow;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        ++shown;
        goneRow = app->FolderMenu->ItemRect(1);
        hereRow = app->FolderMenu->ItemRect(0);
    };
    std::atomic<int> greyInGone{-1}, greyInHere{-1};
    std::atomic<bool> stillOpenAfterClick{false}, closedByClickOutside{false};
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, 0);
            if (!menu) return;
            // The checks run off the menu's thread: the row greys once its answer is in.
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (CountScreenColor(menu, goneRow, kGreyText) == 0 && std::chrono::steady_clock::now() < end) Sleep(20);
            greyInGone = CountScreenColor(menu, goneRow, kGreyText);
            greyInHere = CountScreenColor(menu, hereRow, kGreyText);
            SaveScreenshot(menu, "folder-menu-missing");
            // A click on the greyed row leaves the menu open; a click outside it closes it.
            const POINT p = ItemCentre(menu, goneRow);
            ClickScreen(p.x, p.y);
            Sleep(200);
            stillOpenAfterClick = IsWindowVisible(menu) != FALSE;
            ClickScreen(1000, 700);
            closedByClickOutside = qdtest::WaitUntilGone(menu, 3000);
        });
        app->OpenFolderMenuAt(front, POINT{200, 150});
    }
    EXPECT_GT(greyInGone.load(), 0) << "the missing folder's row is not grey";
    EXPECT_EQ(greyInHere.load(), 0) << "an existing folder's row is grey";
    EXPECT_FALSE(app->FolderMenu->Item(1).Enabled);
    EXPECT_TRUE(app->FolderMenu->Item(0).Enabled);
    EXPECT_TRUE(stillOpenAfterClick.load()) << "a click on the greyed row closed the menu";
    EXPECT_TRUE(taken.empty()) << "the greyed row was chosen";
    EXPECT_TRUE(closedByClickOutside.load()) << "a click outside the menu left it open";

    // The next opening knows it at once, before any check has answered.
    bool greyAtOnce = true;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        greyAtOnce = !app->FolderMenu->Item(1).Enabled;
        app->FolderMenu->Close();
    };
    app->OpenFolderMenuAt(front, POINT{200, 150});
    EXPECT_TRUE(greyAtOnce);
    DestroyWindow(front);
}

TEST_F(FolderMenuTest, TypingFiltersTheMenuBackspaceAndEscapeTakeItBackAndEnterTakesTheFirstRowShown) {
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"}) std::filesystem::create_directories(dir / L"real" / name);
    // Folders that exist: none is greyed while the letters are typed.
    WriteRows({{L"我的北京", existing + L"\\a"}, {L"Beta", existing + L"\\b"}, {L"北京", existing + L"\\c"},
               {L"工作文件", existing + L"\\d"}});
    auto app = Start();
    // What the menu asked its filter, and what came back, seen from the test's thread.
    std::mutex asked;
    std::vector<std::pair<std::wstring, std::vector<int>>> filtered;
    const auto filter = app->FolderMenu->OnFilter;
    app->FolderMenu->OnFilter = [&](std::wstring_view text) {
        std::vector<int> rows = filter(text);
        const std::lock_guard lock(asked);
        filtered.emplace_back(std::wstring(text), rows);
        return rows;
    };
    const auto waitForText = [&](const std::wstring& text) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            {
                const std::lock_guard lock(asked);
                if (!filtered.empty() && filtered.back().first == text) return true;
            }
            if (std::chrono::steady_clock::now() > end) return false;
            Sleep(10);
        }
    };
    const auto heightOf = [](HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return static_cast<int>(r.bottom - r.top);
    };
    // The window's height once it is no longer `from` (the menu fits the rows shown).
    const auto heightChangedFrom = [&](HWND w, int from) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (heightOf(w) == from && std::chrono::steady_clock::now() < end) Sleep(10);
        return heightOf(w);
    };
    std::atomic<int> fullHeight{0}, bjHeight{0}, clearedHeight{0};
    std::atomic<bool> typedB{false}, typedBj{false}, backToB{false}, openAfterOneEscape{false}, closedByTwo{false};
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
            if (!menu) return;
            fullHeight = heightOf(menu);
            Press({'B'});
            typedB = waitForText(L"b");
            Press({'J'});
            typedBj = waitForText(L"bj");
            bjHeight = heightChangedFrom(menu, fullHeight);
            SaveScreenshot(menu, "folder-menu-filtered");
            Press({VK_BACK});
            backToB = waitForText(L"b");
            const int bHeight = heightChangedFrom(menu, bjHeight);  // more rows than for "bj"
            Press({VK_ESCAPE});  // clears the text: every row again
            clearedHeight = heightChangedFrom(menu, bHeight);
            openAfterOneEscape = IsWindowVisible(menu) != FALSE;
            Press({VK_ESCAPE});  // closes the menu
            closedByTwo = qdtest::WaitUntilGone(menu);
        });
        app->OpenFolderMenuAt(nullptr, POINT{200, 150});
    }
    ASSERT_TRUE(typedB.load() && typedBj.load()) << "the typed letters did not reach the filter";
    {
        const std::lock_guard lock(asked);
        ASSERT_GE(filtered.size(), 3u);
        // "bj": 北京 starts with its initials, 我的北京 holds them further on; nothing else.
        EXPECT_EQ(filtered[1].second, (std::vector<int>{2, 0}));
        // "b" again after Backspace: the aliases starting with it first.
        ASSERT_GE(filtered[2].second.size(), 2u);
        EXPECT_EQ(filtered[2].second[0], 1);
        EXPECT_EQ(filtered[2].second[1], 2);
    }
    EXPECT_TRUE(backToB.load()) << "Backspace did not take the last letter back";
    EXPECT_LT(bjHeight.load(), fullHeight.load()) << "the menu did not shrink to the rows shown";
    EXPECT_EQ(clearedHeight.load(), fullHeight.load()) << "Escape did not bring every row back";
    EXPECT_TRUE(openAfterOneEscape.load()) << "the first Escape closed the menu";
    EXPECT_TRUE(closedByTwo.load()) << "the second Escape left the menu open";
    EXPECT_TRUE(app->FolderMenu->FilterText().empty());
    EXPECT_TRUE(taken.empty()) << "Escape chose a row";

    // The pinyin initials of 工作文件, then Enter: the first (only) row shown is taken.
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
            if (!menu) return;
            for (WORD letter : {'G', 'Z', 'W', 'J'}) Press({letter});
            waitForText(L"gzwj");
            Press({VK_RETURN});
            qdtest::WaitUntilGone(menu);
        });
        app->OpenFolderMenuAt(nullptr, POINT{200, 150});
    }
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0], existing + L"\\d");
}

TEST_F(FolderMenuTest, AListLongerThanTheScreenScrollsToItsLastRow) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (int i = 0; i < 300; ++i) {
        std::filesystem::create_directories(dir / L"real" / std::to_wstring(i));
        rows.emplace_back(L"row " + std::to_wstring(i), existing + L"\\" + std::to_wstring(i));
    }
    WriteRows(rows);
    auto app = Start();
    std::atomic<bool> scrolls{false};
    std::atomic<int> offsetAfterWheel{-1};
    app->FolderMenu->OnShown = [&](tk::TComponent*) { scrolls = app->FolderMenu->Scrolls(); };
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
            if (!menu) return;
            RECT r;
            GetWindowRect(menu, &r);
            EXPECT_LE(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
            // Two notches of the wheel down scroll the list by six rows.
            SetCursorPos(r.left + 40, r.top + 100);
            for (int notch = 0; notch < 2; ++notch) {
                INPUT in{};
                in.type = INPUT_MOUSE;
                in.mi.dwFlags = MOUSEEVENTF_WHEEL;
                in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
                SendInput(1, &in, sizeof(in));
            }
            Sleep(200);
            offsetAfterWheel = app->FolderMenu->ScrollOffset();
            Press({VK_END});       // "编辑收藏夹…", the last item
            Press({VK_UP});        // "添加当前文件夹"
            Press({VK_UP});        // over the separator to "最近使用的文件夹"
            Press({VK_UP});        // over the separator to the last row
            Sleep(100);
            SaveScreenshot(menu, "folder-menu-scrolled");
            Press({VK_RETURN});
            qdtest::WaitUntilGone(menu);
        });
        app->OpenFolderMenuAt(nullptr, POINT{200, 150});
    }
    EXPECT_TRUE(scrolls.load());
    EXPECT_EQ(offsetAfterWheel.load(), 6 * app->FolderMenu->Look().MenuItemHeight);
    EXPECT_GT(app->FolderMenu->ScrollOffset(), 0);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0], existing + L"\\299");
}

TEST_F(FolderMenuTest, EditListWakesTheRunningEditor) {
    WriteRows({{L"alpha", existing}});
    FakeEditor editor;
    auto app = Start();
    tk::TRect editItem;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        editItem = app->FolderMenu->ItemRect(app->EditListItem());
        ++shown;
    };
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, 0);
            if (!menu) return;
            const POINT p = ItemCentre(menu, editItem);
            ClickScreen(p.x, p.y);
            qdtest::WaitUntilGone(menu);
        });
        app->OpenFolderMenuAt(nullptr, POINT{200, 150});
    }
    EXPECT_TRUE(qdtest::PumpUntil([] { return !FakeEditor::Received().empty(); }, 3000));
    EXPECT_EQ(FakeEditor::Received(), (std::vector<UINT>{qd::desc::kInstanceWakeup}));
}

TEST_F(FolderMenuTest, EditListWithoutTheEditorBesideItSaysWhichFileIsMissing) {
    auto app = Start();
    qdtest::MessageBoxAnswerer answer(IDOK);
    app->EditList();
    EXPECT_TRUE(answer.Answered());
    EXPECT_NE(answer.Text().find(settings.EditorPath), std::wstring::npos);
}

TEST_F(FolderMenuTest, AddCurrentFolderAddsTheFrontWindowsFolderOnceAndTellsTheEditor) {
    WriteRows({{L"alpha", existing}});
    std::filesystem::create_directories(dir / L"新的文件夹");
    frontFolder = (dir / L"新的文件夹").wstring();
    FakeEditor editor;
    auto app = Start();
    HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", kListMenuClass);
            if (!menu) return;
            Press({VK_END});
            Press({VK_UP});  // "添加当前文件夹"
            Press({VK_RETURN});
            qdtest::WaitUntilGone(menu);
        });
        app->OpenFolderMenuAt(front, POINT{200, 150});
    }
    EXPECT_EQ(key.Read(L"N1"), L"新的文件夹");
    EXPECT_EQ(key.Read(L"P1"), frontFolder);
    EXPECT_TRUE(qdtest::PumpUntil([] { return !FakeEditor::Received().empty(); }, 3000));
    EXPECT_EQ(FakeEditor::Received(), (std::vector<UINT>{qd::desc::kListChangedNotice}));

    // Again, with the folder in another letter case and a trailing backslash: it is there already.
    frontFolder = tk::AsciiUpper((dir / L"新的文件夹").wstring()) + L"\\";
    qdtest::MessageBoxAnswerer answer(IDOK);
    app->AddCurrentFolder(front);
    EXPECT_TRUE(answer.Answered());
    EXPECT_NE(answer.Text().find(L"新的文件夹"), std::wstring::npos);
    EXPECT_FALSE(key.Has(L"N2"));
    EXPECT_EQ(app->List().Rows().size(), 2u);
    DestroyWindow(front);
}

TEST_F(FolderMenuTest, AddCurrentFolderWithoutAFolderInFrontSaysSo) {
    auto app = Start();
    HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    qdtest::MessageBoxAnswerer answer(IDOK);
    app->AddCurrentFolder(front);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), qd::desc::kNoFolderInFront);
    EXPECT_TRUE(key.ValueNames().empty());
    DestroyWindow(front);
}

TEST_F(FolderMenuTest, TheIconsMenuWritesAndRemovesTheRunValueAndALeftClickOpensTheFolderMenu) {
    const std::vector<HWND> iconsBefore = menutest::TrayIcons();
    WriteRows({{L"alpha", existing}});
    auto app = Start();
    ASSERT_TRUE(app->Icon()->Shown()) << "the shell took no icon";
    HWND icon = menutest::NewTrayIcon(iconsBefore);
    ASSERT_TRUE(icon) << "the icon is not in Wine's notification area";
    const auto runValue = [&] { return runKey.Read(qd::desc::kRunValueName); };
    // A right click on the icon, then the fourth item with the keys.
    const auto chooseStartWithWindows = [&] {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", L"#32768");
            if (!menu) return;
            SaveScreenshot(menu, "tray-menu");
            Press({VK_DOWN});
            Press({VK_DOWN});
            Press({VK_DOWN});
            Press({VK_DOWN});
            Press({VK_RETURN});
            qdtest::WaitUntilGone(menu);
        });
        ClickIcon(icon, true);
        script.Join();  // handles the messages meanwhile: the icon's report, then the menu's loop
    };
    EXPECT_FALSE(app->StartsWithWindows());
    chooseStartWithWindows();
    EXPECT_EQ(runValue(), L"\"" + settings.ExePath + L"\"");
    EXPECT_TRUE(app->StartsWithWindows());
    chooseStartWithWindows();
    EXPECT_TRUE(app->miStartWithWindows->Checked()) << "the item was not shown checked";
    EXPECT_EQ(runValue(), L"<absent>");
    EXPECT_FALSE(app->StartsWithWindows());

    // A value naming another copy of the program leaves the item unchecked; choosing it makes the
    // value name this one.
    runKey.WriteString(qd::desc::kRunValueName, L"\"D:\\other\\QuiverdirMenu.exe\"");
    EXPECT_FALSE(app->StartsWithWindows());
    app->ToggleStartWithWindows();
    EXPECT_EQ(runValue(), L"\"" + settings.ExePath + L"\"");
    // A left click opens the folder menu.
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, 0);
            if (!menu) return;
            Press({VK_ESCAPE});
            qdtest::WaitUntilGone(menu);
        });
        ClickIcon(icon, false);
        script.Join();
    }
    EXPECT_EQ(shown.load(), 1) << "a left click on the icon did not open the folder menu";
}

TEST_F(FolderMenuTest, AHotKeyAnotherProgramHoldsIsReportedByTheTipAndTheDialog) {
    // Another window holds Win+Alt+F.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_WIN | MOD_ALT, 'F'));
    auto app = Start();
    EXPECT_TRUE(app->HotKeyTaken());
    EXPECT_EQ(app->TipText(), L"Quorvane快捷目录软件\n热键 Win+Alt+F 已被其他程序占用");
    if (app->Icon()->Shown()) {
        EXPECT_EQ(app->Icon()->Tip(), app->TipText());
    }

    std::wstring statusAtOpen, statusAfterTakenKey, fieldText;
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, qd::desc::kHotKeyDialogCaption);
            if (!dialog) return;
            HWND status = qdtest::FindDescendant(dialog, L"Static", 1);
            HWND field = qdtest::FindDescendant(dialog, L"Edit");
            Sleep(200);
            statusAtOpen = qdtest::WindowText(status);
            SaveScreenshot(dialog, "hot-key-dialog");
            // A key that another program takes between the pressing and OK: refused, the dialog
            // stays. (A key held already never reaches the field: the system gives it to its holder.)
            Press({VK_CONTROL, VK_SHIFT, 'J'});
            RegisterHotKey(nullptr, 9, MOD_CONTROL | MOD_SHIFT, 'J');
            Press({VK_RETURN});
            Sleep(200);
            statusAfterTakenKey = qdtest::WindowText(status);
            UnregisterHotKey(nullptr, 9);
            Press({VK_CONTROL, VK_SHIFT, 'K'});
            Sleep(100);
            fieldText = qdtest::WindowText(field);
            Press({VK_RETURN});
            qdtest::WaitUntilGone(dialog);
        });
        app->ChangeHotKey();
    }
    EXPECT_EQ(statusAtOpen, L"热键 Win+Alt+F 已被其他程序占用");
    EXPECT_EQ(statusAfterTakenKey, L"Ctrl+Shift+J 已被其他程序占用, 请换一个.");
    EXPECT_EQ(fieldText, L"Ctrl+Shift+K");
    EXPECT_EQ(app->CurrentHotKey(), (HotKey{HotKey::kCtrl | HotKey::kShift, 'K'}));
    EXPECT_FALSE(app->HotKeyTaken());
    EXPECT_EQ(app->TipText(), L"Quorvane快捷目录软件");
    EXPECT_EQ(tk::TIniFile(settings.OptionsFile).ReadString(L"FolderMenu", L"HotKey", L""), L"Ctrl+Shift+K");

    // The new key works.
    WriteRows({{L"alpha", existing}});
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        ++shown;
        app->FolderMenu->Close();
    };
    Press({VK_CONTROL, VK_SHIFT, 'K'});
    EXPECT_TRUE(qdtest::PumpUntil([&] { return shown == 1; }, 5000)) << "Ctrl+Shift+K did not open the menu";
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
}

TEST_F(FolderMenuTest, TheHotKeySettingKeepsTheEditorsOptionsAndABadOneIsReported) {
    {
        std::ofstream ini(dir / "options.ini");
        ini << "[Options]\r\nExploreFolder=0\r\nAskDelete=0\r\nShowTips=1\r\n[FolderMenu]\r\nHotKey=Ctrl+Banana\r\n";
    }
    auto app = Start();
    EXPECT_EQ(app->CurrentHotKey(), qd::menu::kDefaultHotKey);
    EXPECT_EQ(app->TipText(),
              L"Quorvane快捷目录软件\noptions.ini 中的热键 \"Ctrl+Banana\" 无效, 改用 Win+Alt+F");
    EXPECT_EQ(app->TryHotKey(HotKey{HotKey::kCtrl | HotKey::kAlt, 'Q'}), L"");
    const tk::TIniFile ini(settings.OptionsFile);
    EXPECT_EQ(ini.ReadString(L"FolderMenu", L"HotKey", L""), L"Ctrl+Alt+Q");
    EXPECT_EQ(ini.ReadString(L"Options", L"ExploreFolder", L""), L"0");
    EXPECT_EQ(ini.ReadString(L"Options", L"AskDelete", L""), L"0");
    EXPECT_EQ(ini.ReadString(L"Options", L"ShowTips", L""), L"1");
    // No hot key at all.
    EXPECT_EQ(app->TryHotKey(HotKey{}), L"");
    EXPECT_EQ(ini.ReadString(L"FolderMenu", L"HotKey", L""), L"None");
    EXPECT_TRUE(app->CurrentHotKey().Empty());
    auto again = std::make_unique<TFolderMenuApp>(settings);
    EXPECT_TRUE(again->CurrentHotKey().Empty());
}

TEST_F(FolderMenuTest, TheHotKeyInForceCanBePressedIntoTheDialogAndIsHeldAgainAfterIt) {
    auto app = Start();
    ASSERT_FALSE(app->HotKeyTaken());
    std::wstring fieldText;
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, qd::desc::kHotKeyDialogCaption);
            if (!dialog) return;
            HWND field = qdtest::FindDescendant(dialog, L"Edit");
            Sleep(200);
            Press({VK_CONTROL, VK_SHIFT, 'K'});
            Press({VK_LWIN, VK_MENU, 'F'});  // the key in force: the field takes it
            Sleep(100);
            fieldText = qdtest::WindowText(field);
            Press({VK_ESCAPE});
            qdtest::WaitUntilGone(dialog);
        });
        app->ChangeHotKey();
    }
    EXPECT_EQ(fieldText, L"Win+Alt+F");
    EXPECT_EQ(shown.load(), 0) << "the menu opened over the dialog";
    EXPECT_EQ(app->CurrentHotKey(), qd::menu::kDefaultHotKey);
    // Held again: another window cannot take it.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(RegisterHotKey(other, 7, MOD_WIN | MOD_ALT, 'F')) << "the key was not taken back";
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
}

TEST_F(FolderMenuTest, AKeyThatCannotBeTakenOrSavedLeavesTheOldOneInForce) {
    auto app = Start();
    const HotKey old{HotKey::kCtrl | HotKey::kAlt, 'Q'};
    ASSERT_EQ(app->TryHotKey(old), L"");
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    // Whether the program holds a key: another window cannot take it then.
    const auto held = [&](UINT vk, UINT modifiers = MOD_CONTROL | MOD_ALT) {
        if (!RegisterHotKey(other, 8, modifiers, vk)) return true;
        UnregisterHotKey(other, 8);
        return false;
    };
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_CONTROL | MOD_ALT, 'W'));
    EXPECT_EQ(app->TryHotKey(HotKey{HotKey::kCtrl | HotKey::kAlt, 'W'}), L"Ctrl+Alt+W 已被其他程序占用, 请换一个.");
    EXPECT_EQ(app->CurrentHotKey(), old);
    EXPECT_TRUE(held('Q')) << "the old key was given up";
    UnregisterHotKey(other, 7);

    // options.ini cannot be written (a folder of that name is in the way): the error goes on to
    // the error box, the new key is not held and the old one is.
    settings.OptionsFile = (dir / "blocked" / "options.ini").wstring();
    std::filesystem::create_directories(dir / "blocked" / "options.ini");
    auto blocked = std::make_unique<TFolderMenuApp>(settings);
    app.reset();
    ASSERT_EQ(blocked->CurrentHotKey(), qd::menu::kDefaultHotKey);
    EXPECT_THROW(blocked->TryHotKey(HotKey{HotKey::kCtrl | HotKey::kAlt, 'W'}), tk::EIniFileException);
    EXPECT_EQ(blocked->CurrentHotKey(), qd::menu::kDefaultHotKey);
    EXPECT_FALSE(held('W')) << "a key that was not saved is held";
    EXPECT_TRUE(held('F', MOD_WIN | MOD_ALT)) << "the key in force was given up";
    DestroyWindow(other);
}

TEST_F(FolderMenuTest, TheIconComesBackWhenTheTaskBarIsCreatedAnew) {
    auto app = Start();
    if (!app->Icon()->Shown()) GTEST_SKIP() << "no notification area on this display";
    // Explorer ended and forgot the icon; the new Explorer announces itself.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = app->Window();
    data.uID = qd::desc::kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    data.uFlags = NIF_TIP;
    lstrcpyW(data.szTip, L"probe");
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "the icon was not gone";
    SendMessageW(app->Window(), tk::TTrayIcon::TaskbarCreatedMessage(), 0, 0);
    lstrcpyW(data.szTip, L"Quorvane快捷目录软件");
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "the icon was not added again";
}

}  // namespace

namespace {

// The recent folders' test: a visit through the menu, the shell's Recent items, the submenu, the
// icon menu's switch.
TEST_F(FolderMenuTest, AFolderVisitedThroughTheMenuAndTheShellsRecentFilesFoldersAreInTheSubmenuUntilSwitchedOff) {
    const std::vector<HWND> iconsBefore = menutest::TrayIcons();
    // The shell's Recent items: a file's shortcut gives its folder; a damaged shortcut is skipped.
    std::filesystem::create_directories(dir / "docs");
    std::ofstream(dir / "docs" / "report.txt") << "x";
    const std::wstring docs = (dir / "docs").wstring();
    ASSERT_TRUE(MakeShortcut((dir / "Recent" / "report.txt.lnk").wstring(), (dir / "docs" / "report.txt").wstring()));
    std::ofstream(dir / "Recent" / "damaged.lnk", std::ios::binary) << "not a shortcut";
    // Older ones: to a folder (the folder itself), and to a file in a folder gone by now, which the
    // probe finds missing.
    std::filesystem::create_directories(dir / "project");
    const std::wstring project = (dir / "project").wstring();
    const auto projectLink = dir / "Recent" / "project.lnk";
    ASSERT_TRUE(MakeShortcut(projectLink.wstring(), project));
    std::filesystem::last_write_time(projectLink, std::filesystem::last_write_time(projectLink) - std::chrono::hours(1));
    std::filesystem::create_directories(dir / "gone");
    std::ofstream(dir / "gone" / "old.txt") << "x";
    const std::wstring gone = (dir / "gone").wstring();
    const auto goneLink = dir / "Recent" / "old.txt.lnk";
    ASSERT_TRUE(MakeShortcut(goneLink.wstring(), (dir / "gone" / "old.txt").wstring()));
    std::filesystem::last_write_time(goneLink, std::filesystem::last_write_time(goneLink) - std::chrono::hours(2));
    std::filesystem::remove_all(dir / "gone");
    WriteRows({{L"alpha", existing}});
    auto app = Start();
    HWND icon = menutest::NewTrayIcon(iconsBefore);
    ASSERT_TRUE(icon) << "the icon is not in Wine's notification area";
    SetCursorPos(200, 150);

    // Opens the menu with the hot key and clicks the item at `row` with the real mouse.
    tk::TRect row;
    const auto chooseRow = [&](int menusBefore) {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, menusBefore);
            if (!menu) return;
            const POINT p = ItemCentre(menu, row);
            ClickScreen(p.x, p.y);
            qdtest::WaitUntilGone(menu);
        });
        Press({VK_LWIN, VK_MENU, 'F'});
        script.Join();
    };

    // Goes to the row's folder through the menu.
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        ++shown;
        row = app->FolderMenu->ItemRect(0);
    };
    chooseRow(0);
    ASSERT_EQ(taken, std::vector<std::wstring>{existing});

    // Opened again: the submenu below the rows holds the visit, newest first, then the shell's.
    tk::TRect recentItem;
    std::vector<std::wstring> captions;
    std::vector<tk::TRect> subRects;
    HWND submenu = nullptr;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        ++shown;
        recentItem = app->FolderMenu->ItemRect(app->RecentFoldersItem());
    };
    app->RecentMenu->OnShown = [&](tk::TComponent*) {
        captions.clear();
        subRects.clear();
        for (int i = 0; i < app->RecentMenu->Count(); ++i) {
            captions.push_back(app->RecentMenu->Item(i).Caption);
            subRects.push_back(app->RecentMenu->ItemRect(i));
        }
        submenu = app->RecentMenu->Handle();
    };
    std::atomic<bool> submenuShown{false};
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, 1);
            if (!menu) return;
            // The mouse resting on the item opens the submenu beside it.
            const POINT p = ItemCentre(menu, recentItem);
            SetCursorPos(p.x - 10, p.y);
            SetCursorPos(p.x, p.y);
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!(submenu && IsWindowVisible(submenu)) && std::chrono::steady_clock::now() < end) Sleep(20);
            submenuShown = submenu && IsWindowVisible(submenu);
            if (!submenuShown || subRects.size() < 2) return;
            // The picture once the screen shows both: the item selected, the submenu painted.
            const COLORREF item = tk::ColorToRGB(app->RecentMenu->Look().Color),
                           selected = tk::ColorToRGB(app->FolderMenu->Look().SelectedColor);
            while ((CountScreenColor(submenu, subRects[0], item) == 0 ||
                    CountScreenColor(menu, recentItem, selected) == 0) &&
                   std::chrono::steady_clock::now() < end)
                Sleep(20);
            // The missing folder is left out, or greyed once its answer comes in while it shows.
            for (size_t i = 0; i < captions.size(); ++i)
                if (captions[i] == gone)
                    while (CountScreenColor(submenu, subRects[i], kGreyText) == 0 && std::chrono::steady_clock::now() < end)
                        Sleep(20);
            RECT a, b, both;
            GetWindowRect(menu, &a);
            GetWindowRect(submenu, &b);
            UnionRect(&both, &a, &b);
            SaveScreenRect(both, "folder-menu-recent");
            // Across to the submenu, then a click on the shell's folder.
            const POINT q = ItemCentre(submenu, subRects[1]);
            SetCursorPos(q.x, p.y);
            SetCursorPos(q.x, q.y);
            ClickScreen(q.x, q.y);
            qdtest::WaitUntilGone(menu);
        });
        Press({VK_LWIN, VK_MENU, 'F'});
        script.Join();
    }
    ASSERT_TRUE(submenuShown.load()) << "the mouse on the item opened no submenu";
    if (captions.size() == 4) {
        EXPECT_EQ(captions.back(), gone) << "grey while its answer came in";
        captions.pop_back();
    }
    EXPECT_EQ(captions, (std::vector<std::wstring>{existing, docs, project}));
    EXPECT_EQ(taken, (std::vector<std::wstring>{existing, docs})) << "the submenu's folder was not taken";

    // The icon menu's fifth item turns it off, in options.ini: no submenu, nothing recorded.
    const auto chooseSwitch = [&] {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = qdtest::WaitForTopWindow(ui, L"", L"#32768");
            if (!menu) return;
            for (int i = 0; i < 5; ++i) Press({VK_DOWN});
            Press({VK_RETURN});
            qdtest::WaitUntilGone(menu);
        });
        ClickIcon(icon, true);
        script.Join();
        // Away from Wine's notification area, where the next menu opens.
        SetCursorPos(200, 150);
    };
    const auto switchValue = [&] {
        return tk::TIniFile(settings.OptionsFile).ReadString(L"FolderMenu", L"RecentFolders", L"<absent>");
    };
    EXPECT_EQ(switchValue(), L"<absent>");
    chooseSwitch();
    EXPECT_EQ(switchValue(), L"0");
    EXPECT_TRUE(app->miRecentFolders->Checked()) << "the item was not shown checked while on";
    // Read and closed at once: a reader holding the file would make the record's replacing fail.
    const auto readRecord = [&] {
        std::ifstream in(dir / "RecentFolders.txt", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string before = readRecord();
    int recentItemWhenOff = 0;
    app->FolderMenu->OnShown = [&](tk::TComponent*) {
        ++shown;
        recentItemWhenOff = app->RecentFoldersItem();
        row = app->FolderMenu->ItemRect(0);
    };
    chooseRow(2);
    EXPECT_EQ(recentItemWhenOff, -1) << "the submenu is there while switched off";
    EXPECT_EQ(taken.size(), 3u);
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(readRecord(), before) << "a visit was recorded while switched off";
    chooseSwitch();
    EXPECT_EQ(switchValue(), L"1");
    EXPECT_FALSE(app->miRecentFolders->Checked()) << "the item was shown checked while off";

    // On again: the submenu, the folder found missing left out from the start.
    captions.clear();
    app->FolderMenu->OnShown = [&](tk::TComponent*) { ++shown; };
    {
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, 3);
            if (!menu) return;
            for (const WORD pressed : {VK_END, VK_UP, VK_UP, VK_RIGHT, VK_ESCAPE, VK_ESCAPE}) Press({pressed});
            qdtest::WaitUntilGone(menu);
        });
        Press({VK_LWIN, VK_MENU, 'F'});
        script.Join();
    }
    EXPECT_EQ(captions, (std::vector<std::wstring>{docs, existing, project})) << "the last choice first";
}

}  // namespace

namespace {

TEST_F(FolderMenuTest, ARecordThatCannotBeWrittenIsSaidInTheSubmenu) {
    // The record's folder cannot be made: a file holds its name.
    std::ofstream(dir / "blocker") << "x";
    settings.RecentFoldersFile = (dir / "blocker" / "RecentFolders.txt").wstring();
    WriteRows({{L"alpha", existing}});
    auto app = Start();
    const auto open = [&](std::initializer_list<std::vector<WORD>> keys) {
        const int before = shown.load();
        qdtest::UiScript script(nullptr, [&](DWORD ui) {
            HWND menu = WaitForMenu(ui, before);
            if (!menu) return;
            for (const std::vector<WORD>& pressed : keys) Press({pressed[0]});
            qdtest::WaitUntilGone(menu);
        });
        app->OpenFolderMenuAt(nullptr, POINT{200, 150});
    };
    open({{VK_DOWN}, {VK_RETURN}});
    ASSERT_EQ(taken, std::vector<std::wstring>{existing});
    std::vector<TsuiListMenuItem> items;
    app->RecentMenu->OnShown = [&](tk::TComponent*) {
        for (int i = 0; i < app->RecentMenu->Count(); ++i) items.push_back(app->RecentMenu->Item(i));
    };
    // To the recent folders' item from the end: 编辑收藏夹…, 添加当前文件夹, then it; Right opens it.
    open({{VK_END}, {VK_UP}, {VK_UP}, {VK_RIGHT}, {VK_ESCAPE}, {VK_ESCAPE}});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Caption, qd::desc::kNoRecentFolders);
    EXPECT_EQ(items[1].Caption.rfind(qd::desc::kRecentFoldersNotSaved, 0), 0u) << tk::ToUtf8(items[1].Caption);
    EXPECT_FALSE(items[1].Enabled);
    EXPECT_FALSE(std::filesystem::exists(dir / "blocker" / "RecentFolders.txt"));
}

}  // namespace
