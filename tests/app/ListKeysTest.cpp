// The main window's keys and the list's context menu as a person uses them, with the real mouse and
// keys: every key does what its button does, on the same row and with the same writes to the key;
// Enter and the menu open a favourite's folder and never anything else; Ctrl+C copies the chosen
// path as Unicode text; the menu enables its items by the buttons' rules, opens where it was asked
// for and closes on Escape without doing anything. Saves a look at the open menu (see
// realinput::SaveScreenArea).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Global.h"
#include "app/ListKeys.h"
#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/ShortcutStore.h"
#include "tests/support/RealInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Clipboard.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/Scoped.h"

namespace {

using Row = std::pair<std::wstring, std::wstring>;
using Rows = std::vector<Row>;
using Values = std::map<std::wstring, std::wstring>;
using qd::desc::MainCommand;

constexpr wchar_t kPropertyCaption[] = L"增加快捷目录";
constexpr wchar_t kExe[] = L"C:\\Tools\\Quiverdir.exe";
const std::vector<std::wstring> kMenuCaptions = {L"打开文件夹", L"复制路径", L"编辑", L"删除",     L"上移", L"下移",
                                                L"-",         L"检查路径", L"删除不存在的路径", L"-",  L"撤销", L"重做", L"恢复以前的列表"};

constexpr tk::TShortCut Ctrl(unsigned vk) { return static_cast<tk::TShortCut>(tk::scCtrl | vk); }

Rows NumberedRows(int n) {
    Rows rows;
    for (int i = 0; i < n; ++i) rows.emplace_back(L"alias" + std::to_wstring(i), L"C:\\dir" + std::to_wstring(i));
    return rows;
}

struct ShellCall {
    std::wstring Verb, Folder;
    bool operator==(const ShellCall&) const = default;
};

void PrintTo(const ShellCall& c, std::ostream* os) { *os << tk::ToUtf8(c.Verb + L" " + c.Folder); }

// The list's menu while it is open, as another thread sees it.
struct MenuItemSeen {
    std::wstring Caption;
    bool Enabled = false;
    RECT Rect{};
};

// Watches on a thread of its own for the popup menu of the user-interface thread: once it shows,
// records where it is and its items, then runs act (which clicks an item or presses Escape, as a
// person would) and waits until the menu has gone.
class MenuWatch {
public:
    using Act = std::function<void(HWND popup, const std::vector<MenuItemSeen>& items)>;
    // Gives up when no menu has shown within waitMs.
    explicit MenuWatch(Act act, int waitMs = 5000)
        : thread_([this, act = std::move(act), waitMs] { Watch(act, waitMs); }) {}
    ~MenuWatch() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    bool Seen() const { return seen_; }
    bool Closed() const { return closed_; }
    RECT Where() const { return where_; }
    const std::vector<MenuItemSeen>& Items() const { return items_; }

private:
    void Watch(const Act& act, int waitMs) {
        HWND popup = nullptr;
        for (int i = 0; i < waitMs / 20 && !popup; ++i) {
            Sleep(20);
            popup = FindWindowW(L"#32768", nullptr);
            if (popup && !IsWindowVisible(popup)) popup = nullptr;
        }
        if (!popup) return;
        Sleep(150);  // drawn
        GetWindowRect(popup, &where_);
        auto* menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            MENUITEMINFOW info{sizeof(info)};
            info.fMask = MIIM_STATE | MIIM_DATA;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            MenuItemSeen item;
            // The items are the menu's own: their data is the item they draw.
            if (auto* owner = reinterpret_cast<tk::TMenuItem*>(info.dwItemData); tk::TMenuItem::IsLive(owner))
                item.Caption = owner->Caption();
            item.Enabled = !(info.fState & MFS_DISABLED);
            GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item.Rect);
            items_.push_back(item);
        }
        seen_ = true;
        act(popup, items_);
        for (int i = 0; i < 150 && !closed_; ++i, Sleep(20)) closed_ = !IsWindowVisible(popup);
        // Still open: the menu did not get the input. Closed from here, so that the test fails
        // instead of waiting for ever.
        for (int i = 0; i < 10 && IsWindowVisible(popup); ++i, Sleep(100)) PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    }

    std::atomic<bool> seen_{false}, closed_{false};
    RECT where_{};
    std::vector<MenuItemSeen> items_;
    std::thread thread_;
};

MenuWatch::Act PressEscape() {
    return [](HWND, const std::vector<MenuItemSeen>&) { realinput::SendKeyOnly(VK_ESCAPE); };
}

MenuWatch::Act ClickItem(const std::wstring& caption) {
    return [caption](HWND, const std::vector<MenuItemSeen>& items) {
        for (const MenuItemSeen& item : items)
            if (item.Caption == caption) {
                realinput::SendClickOnly((item.Rect.left + item.Rect.right) / 2, (item.Rect.top + item.Rect.bottom) / 2);
                return;
            }
        realinput::SendKeyOnly(VK_ESCAPE);
    };
}

// Visible windows other than popup menus.
BOOL CALLBACK CollectShown(HWND w, LPARAM p) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (IsWindowVisible(w) && std::wstring(cls) != L"#32768") reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

// The clipboard's Unicode text, or "<none>".
std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) return L"<busy>";
    const tk::OnScopeExit close([] { CloseClipboard(); });
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text) return L"<none>";
    const std::wstring copy(text);
    GlobalUnlock(data);
    return copy;
}

class ListKeysTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
        realinput::MouseAway();
    }
    void TearDown() override {
        realinput::MouseAway();
        Stop();
        tk::Application().SetExceptionHandler(nullptr);
        EXPECT_TRUE(errors.empty()) << tk::ToUtf8(errors.front());
    }
    void Stop() {
        tk::Application().SetMainForm(nullptr);
        form.reset();
    }
    void Start(const Rows& rows, bool askDelete = true, bool explore = false) {
        Stop();
        tk::TRegistry().DeleteKey(key.Path());
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
        key.WriteString(L"Setting", kExe);
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=" << askDelete << "\nExploreFolder=" << explore
                                           << "\n";
        qd::MainSettings settings{key.Path(), kExe, (dir / "options.ini").wstring(), L"C:\\windows", L""};
        settings.FolderRunner = [this](HWND, const wchar_t* verb, const std::wstring& folder) {
            shell.push_back({verb, folder});
            return true;
        };
        form = std::make_unique<qd::TfrmMain>(nullptr, settings);
        tk::Application().SetMainForm(form.get());
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(form->Handle());
        realinput::Settle(150);
    }
    HWND List() { return form->lvMain->Handle(); }
    RECT RowRect(int row) {
        RECT r{LVIR_BOUNDS};
        SendMessageW(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void ClickRow(int row) {
        const RECT r = RowRect(row);
        realinput::Click(List(), r.left + 30, (r.top + r.bottom) / 2);
        realinput::Settle(100);
    }
    // Gives the list the focus without choosing a row.
    void ClickBelowTheRows() {
        realinput::Click(List(), 40, form->lvMain->ClientHeight() - 5);
        realinput::Settle(100);
    }
    void PressButton(const wchar_t* name) {
        auto* button = static_cast<tk::TToolButton*>(form->FindComponent(name));
        const auto& all = form->suiToolBar1->Buttons();
        const auto index = std::find(all.begin(), all.end(), button) - all.begin();
        RECT r{};
        SendMessageW(form->suiToolBar1->Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        realinput::Click(form->suiToolBar1->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        realinput::MouseAway();
        realinput::Settle(100);
    }
    bool ButtonEnabled(const wchar_t* name) {
        auto* b = static_cast<tk::TToolButton*>(form->FindComponent(name));
        return SendMessageW(form->suiToolBar1->Handle(), TB_ISBUTTONENABLED, b->CommandId(), 0) != 0;
    }
    void PressKey(tk::TShortCut shortCut) {
        const WORD vk = shortCut & 0xFF;
        if (shortCut & tk::scCtrl) {
            realinput::KeyWith(VK_CONTROL, vk);
        } else if (shortCut & tk::scShift) {
            realinput::KeyWith(VK_SHIFT, vk);
        } else {
            realinput::Key(vk);
        }
        realinput::Settle(100);
    }
    // Opens the list's menu the way given, while watch looks at it.
    void OpenMenu(const std::function<void()>& open, MenuWatch& watch) {
        open();
        watch.Join();
        realinput::Settle(100);
    }
    void RightClickRow(int row) {
        const RECT r = RowRect(row);
        realinput::RightClick(List(), r.left + 30, (r.top + r.bottom) / 2);
    }
    POINT ScreenPoint(int x, int y) {
        POINT p{x, y};
        ClientToScreen(List(), &p);
        return p;
    }

    Rows ListRows() {
        Rows rows;
        for (int i = 0; i < form->lvMain->Count(); ++i)
            rows.emplace_back(form->lvMain->ItemCaption(i), form->lvMain->ItemSubItem(i));
        return rows;
    }
    Values StoreValues() {
        Values values;
        for (const std::wstring& name : key.ValueNames())
            if (name != L"Setting" && name != qd::kChangeCountValue) values[name] = key.Read(name);
        return values;
    }
    // Runs a step while watching that no window other than the main one (and a popup menu) comes up.
    bool AWindowAppears(const std::function<void()>& step) {
        std::atomic<bool> appeared{false}, done{false};
        HWND main = form->Handle();
        {
            qdtest::UiScript watch(main, [&](DWORD ui) {
                while (!done) {
                    std::vector<HWND> shown;
                    EnumThreadWindows(ui, &CollectShown, reinterpret_cast<LPARAM>(&shown));
                    std::erase(shown, main);
                    if (!shown.empty()) appeared = true;
                    Sleep(5);
                }
            });
            step();
            done = true;
        }
        return appeared;
    }
    std::wstring Folder(const wchar_t* name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }
    std::wstring File(const char* name, const char* content) {
        std::ofstream(dir / name) << content;
        return (dir / name).wstring();
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::vector<std::wstring> errors;
    std::vector<ShellCall> shell;
    std::unique_ptr<qd::TfrmMain> form;
};

// What a command left: the list, the key, the chosen row and what its dialog or box showed.
struct Outcome {
    Rows List;
    Values Store;
    int Chosen = 0;
    std::vector<std::wstring> Shown;
};

TEST_F(ListKeysTest, EveryKeyAndMenuItemDoesWhatItsButtonDoesOnTheSameRowWithTheSameWrites) {
    const std::wstring folder = Folder(L"typed");
    struct Case {
        const char* name;
        tk::TShortCut key;
        const wchar_t* button;
        const wchar_t* menuItem;  // nullptr: the menu has no such item
        int chosen;
    };
    const Case cases[] = {
        {"add", VK_INSERT, L"tbAdd", nullptr, 1},
        {"edit", VK_F2, L"ToolButton2", L"编辑", 1},
        {"delete", VK_DELETE, L"ToolButton3", L"删除", 1},
        {"up", Ctrl(VK_UP), L"ToolButton5", L"上移", 2},
        {"down", Ctrl(VK_DOWN), L"ToolButton6", L"下移", 0},
        {"refresh", VK_F5, L"tbRefresh", nullptr, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Runs the command one way on a fresh window: the row is chosen, another program changes
        // the key behind the window's back (which only refresh shows), the dialog or question
        // the command opens is answered.
        auto run = [&](const char* way, const std::function<void()>& command) {
            SCOPED_TRACE(way);
            Start(NumberedRows(3));
            ClickRow(c.chosen);
            key.WriteString(L"N0", L"外面");
            Outcome out;
            {
                qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
                    if (c.button == std::wstring(L"tbAdd") || c.button == std::wstring(L"ToolButton2")) {
                        HWND d = qdtest::WaitForTopWindow(ui, kPropertyCaption);
                        HWND name = d ? qdtest::FindDescendant(d, L"Edit", 0) : nullptr;
                        HWND path = d ? qdtest::FindDescendant(d, L"Edit", 1) : nullptr;
                        HWND ok = d ? qdtest::FindDescendantByText(d, L"确定(&O)") : nullptr;
                        if (!name || !path || !ok) return;
                        out.Shown = {qdtest::WindowText(name), qdtest::WindowText(path)};
                        qdtest::SetWindowTextFromOutside(name, L"键入");
                        qdtest::SetWindowTextFromOutside(path, folder);
                        qdtest::PressButton(ok);
                        qdtest::WaitUntilGone(d);
                    } else if (c.button == std::wstring(L"ToolButton3")) {
                        HWND box = qdtest::WaitForSystemDialog(ui);
                        if (!box) return;
                        out.Shown = {qdtest::DialogText(box)};
                        qdtest::PressDialogButton(box, IDYES);
                        qdtest::WaitUntilGone(box);
                    }
                });
                command();
            }
            out.List = ListRows();
            out.Store = StoreValues();
            out.Chosen = form->SelIndex();
            return out;
        };
        const Outcome byButton = run("button", [&] { PressButton(c.button); });
        // The command acted (a window that ignored the button would agree with a key that does
        // nothing too).
        ASSERT_NE(byButton.List, NumberedRows(3)) << "the button did nothing";
        std::vector<std::pair<const char*, std::function<void()>>> ways = {
            {"key", [&] { PressKey(c.key); }}};
        if (c.menuItem)
            ways.emplace_back("menu item", [&] {
                MenuWatch watch(ClickItem(c.menuItem));
                OpenMenu([&] { RightClickRow(c.chosen); }, watch);
                EXPECT_TRUE(watch.Seen());
            });
        for (const auto& [way, command] : ways) {
            const Outcome other = run(way, command);
            SCOPED_TRACE(way);
            EXPECT_EQ(other.List, byButton.List);
            EXPECT_EQ(other.Store, byButton.Store);
            EXPECT_EQ(other.Chosen, byButton.Chosen);
            EXPECT_EQ(other.Shown, byButton.Shown);
        }
    }
}

TEST_F(ListKeysTest, KeysThatNeedAChosenRowDoNothingWithoutOneAndTypingStillFindsARow) {
    const Rows rows{{L"Cat", L"C:\\cat"}, {L"Gamma", L"C:\\g"}, {L"alpha", L"C:\\a"}};
    Start(rows);
    ClickBelowTheRows();
    ASSERT_EQ(GetFocus(), List());
    ASSERT_EQ(form->SelIndex(), qd::kNoRowChosen);
    const Values stored = StoreValues();
    ASSERT_TRUE(tk::SetClipboardText(nullptr, L"before"));
    const tk::TShortCut keys[] = {VK_F2, VK_DELETE, Ctrl(VK_UP), Ctrl(VK_DOWN), VK_RETURN, Ctrl('C')};
    for (const tk::TShortCut k : keys) {
        SCOPED_TRACE(tk::ToUtf8(tk::ShortCutToText(k)));
        EXPECT_FALSE(AWindowAppears([&] { PressKey(k); }));
    }
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(StoreValues(), stored);
    EXPECT_TRUE(shell.empty());
    EXPECT_EQ(ClipboardText(), L"before");
    EXPECT_EQ(form->SelIndex(), qd::kNoRowChosen);

    // The first row goes no higher, the last no lower.
    ClickRow(0);
    PressKey(Ctrl(VK_UP));
    ClickRow(2);
    PressKey(Ctrl(VK_DOWN));
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(StoreValues(), stored);

    // Ctrl+C is no typed C (which would choose "Cat"), and typing still finds a row.
    PressKey(Ctrl('C'));
    EXPECT_EQ(form->SelIndex(), 2);
    EXPECT_EQ(ClipboardText(), L"C:\\a");
    realinput::Settle(1100);  // a pause ends a typed word
    PressKey('G');
    EXPECT_EQ(form->SelIndex(), 1);

    // The chosen row is gone once another program has removed it and the list was reloaded: no row
    // is chosen, and Enter and Ctrl+C do nothing.
    ASSERT_TRUE(tk::SetClipboardText(nullptr, L"before"));
    ClickRow(2);
    {
        tk::TRegistry reg;
        reg.OpenKey(key.Path(), false);
        reg.DeleteValue(L"N2");
        reg.DeleteValue(L"P2");
    }
    PressKey(VK_F5);
    ASSERT_EQ(form->lvMain->Count(), 2);
    ASSERT_EQ(form->SelIndex(), qd::kNoRowChosen);
    for (const tk::TShortCut k : {tk::TShortCut{VK_RETURN}, Ctrl('C')}) EXPECT_FALSE(AWindowAppears([&] { PressKey(k); }));
    EXPECT_TRUE(shell.empty());
    EXPECT_EQ(ClipboardText(), L"before");
}

TEST_F(ListKeysTest, EnterAndTheMenuOpenAFolderWithTheOptionsVerbAndNothingThatIsNoFolder) {
    const std::wstring folder = Folder(L"收藏 folder");
    const Rows rows{
        {L"folder", folder},
        {L"gone", (dir / "gone").wstring()},
        {L"document", File("notes.txt", "text")},
        {L"program", File("tool.exe", "MZ")},
        {L"script", File("run-me.bat", "@echo ran> \"%~dp0ran.txt\"\r\n")},
        {L"web", L"https://example.com/"},
    };
    Start(rows, true, false);
    const Values stored = StoreValues();
    // The option as the file has it, then as the options dialog leaves it.
    ClickRow(0);
    PressKey(VK_RETURN);
    EXPECT_EQ(shell, (std::vector<ShellCall>{{L"open", folder}}));
    qd::AppOptions.ExploreFolder = true;
    PressKey(VK_RETURN);
    {
        MenuWatch watch(ClickItem(L"打开文件夹"));
        OpenMenu([&] { RightClickRow(0); }, watch);
        EXPECT_TRUE(watch.Seen());
    }
    EXPECT_EQ(shell, (std::vector<ShellCall>{{L"open", folder}, {L"explore", folder}, {L"explore", folder}}));

    shell.clear();
    for (int row = 1; row < static_cast<int>(rows.size()); ++row) {
        SCOPED_TRACE(tk::ToUtf8(rows[static_cast<size_t>(row)].second));
        // A web address is not even a full path.
        const std::wstring& path = rows[static_cast<size_t>(row)].second;
        const std::wstring message =
            path + L"\r\n" + (path.starts_with(L"https:") ? qd::kRelativePathNotOpened : qd::kNotAnExistingFolder);
        ClickRow(row);
        {
            qdtest::MessageBoxAnswerer box(IDOK);
            PressKey(VK_RETURN);
            EXPECT_TRUE(qdtest::PumpUntil([&] { return box.Answered(); }));
            EXPECT_EQ(box.Text(), message);
        }
        if (row == 3 || row == 4) {  // the program and the script, through the menu too
            qdtest::MessageBoxAnswerer box(IDOK);
            MenuWatch watch(ClickItem(L"打开文件夹"));
            OpenMenu([&] { RightClickRow(row); }, watch);
            EXPECT_TRUE(qdtest::PumpUntil([&] { return box.Answered(); }));
            EXPECT_EQ(box.Text(), message);
        }
    }
    EXPECT_TRUE(shell.empty());
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(StoreValues(), stored);
}

TEST_F(ListKeysTest, CtrlCAndTheMenuPutTheChosenPathOnTheClipboardAsUnicodeText) {
    // Hangul and ğ are not in the Chinese code page: only Unicode text carries them.
    const Rows rows{{L"照片", L"D:\\资料\\照片 2024"}, {L"Cat", L"E:\\서울 ğ"}};
    Start(rows);
    ClickRow(0);
    PressKey(Ctrl('C'));
    EXPECT_EQ(ClipboardText(), rows[0].second);
    EXPECT_EQ(form->SelIndex(), 0);
    {
        MenuWatch watch(ClickItem(L"复制路径"));
        OpenMenu([&] { RightClickRow(1); }, watch);
        EXPECT_TRUE(watch.Seen());
    }
    EXPECT_EQ(ClipboardText(), rows[1].second);

    // Another program holds the clipboard open: the copy says so, naming the path.
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        held = OpenClipboard(nullptr) != FALSE;
        while (!release) Sleep(10);
        if (held) CloseClipboard();
    });
    ASSERT_TRUE(qdtest::PumpUntil([&] { return held.load(); }));
    {
        qdtest::MessageBoxAnswerer box(IDOK, [&] { release = true; });
        PressKey(Ctrl('C'));
        EXPECT_TRUE(qdtest::PumpUntil([&] { return box.Answered(); }));
        EXPECT_EQ(box.Text(), rows[1].second + L"\r\n" + qd::kPathNotCopied);
    }
    release = true;
    holder.join();
}

TEST_F(ListKeysTest, TheMenuEnablesItsItemsByTheButtonsRulesOpensWhereAskedAndEscapeDoesNothing) {
    enum class Open { RightClickRow, RightClickBelow, ShiftF10, MenuKey };
    struct Case {
        const char* name;
        int rows, clicked;  // the row clicked first; -1: none, the list has the keyboard all the same
        Open open;
        int chosen;  // the row chosen when the menu opens (a right click on a row chooses it)
        std::vector<bool> enabled;  // open, copy, edit, delete, up, down
    };
    const Case cases[] = {
        {"nothing chosen, menu key", 3, -1, Open::MenuKey, -1, {false, false, false, false, false, false}},
        {"nothing chosen, right click below the rows", 3, -1, Open::RightClickBelow, -1,
         {false, false, false, false, false, false}},
        {"first row, right click", 3, 0, Open::RightClickRow, 0, {true, true, true, true, false, true}},
        {"last row, Shift+F10", 3, 2, Open::ShiftF10, 2, {true, true, true, true, true, false}},
        {"single row, menu key", 1, 0, Open::MenuKey, 0, {true, true, true, true, false, false}},
        {"a right click on the last row chooses it", 3, 0, Open::RightClickRow, 2, {true, true, true, true, true, false}},
        {"middle row, right click", 3, 1, Open::RightClickRow, 1, {true, true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(NumberedRows(c.rows));
        if (c.clicked >= 0) {
            ClickRow(c.clicked);
        } else {
            ClickBelowTheRows();
        }
        const Values stored = StoreValues();
        // Where the menu must open: at the mouse, or for the keyboard under the chosen row (the
        // top of the list when there is none).
        POINT expected{};
        std::function<void()> open;
        const RECT row = RowRect(std::max(c.chosen, 0));
        switch (c.open) {
        case Open::RightClickRow:
            expected = ScreenPoint(row.left + 30, (row.top + row.bottom) / 2);
            open = [&] { RightClickRow(c.chosen); };
            break;
        case Open::RightClickBelow: {
            // Just below the last row, so that the whole menu fits under the mouse.
            const int y = RowRect(c.rows - 1).bottom + 10;
            expected = ScreenPoint(40, y);
            open = [&, y] { realinput::RightClick(List(), 40, y); };
            break;
        }
        case Open::ShiftF10:
        case Open::MenuKey:
            expected = c.chosen >= 0 ? ScreenPoint(std::max<LONG>(row.left, 0), row.bottom) : ScreenPoint(0, 0);
            open = [&] { c.open == Open::ShiftF10 ? realinput::KeyWith(VK_SHIFT, VK_F10) : realinput::Key(VK_APPS); };
            break;
        }
        const bool lookAtIt = c.open == Open::RightClickRow && c.clicked == 0 && c.chosen == 0;
        MenuWatch watch([&](HWND popup, const std::vector<MenuItemSeen>& items) {
            if (lookAtIt) {
                RECT window, menu, both;
                GetWindowRect(form->Handle(), &window);
                GetWindowRect(popup, &menu);
                UnionRect(&both, &window, &menu);
                realinput::SaveScreenArea(both, "main-list-menu");
            }
            PressEscape()(popup, items);
        });
        bool appeared = AWindowAppears([&] { OpenMenu(open, watch); });
        ASSERT_TRUE(watch.Seen()) << "no menu opened";
        EXPECT_TRUE(watch.Closed());
        EXPECT_EQ(watch.Where().left, expected.x);
        EXPECT_EQ(watch.Where().top, expected.y);
        std::vector<std::wstring> captions;
        std::vector<bool> enabled;
        for (const MenuItemSeen& item : watch.Items()) {
            captions.push_back(item.Caption);
            enabled.push_back(item.Enabled);
        }
        EXPECT_EQ(captions, kMenuCaptions);
        // Below the row commands: checking and deleting missing rows (there are rows), then undo
        // and redo, with nothing done yet to take back.
        std::vector<bool> expectedEnabled = c.enabled;
        expectedEnabled.insert(expectedEnabled.end(), {true, true, true, true, false, false, true});
        EXPECT_EQ(enabled, expectedEnabled);
        // The tool bar shows the same rules.
        EXPECT_EQ(ButtonEnabled(L"ToolButton2"), c.enabled[2]);
        EXPECT_EQ(ButtonEnabled(L"ToolButton3"), c.enabled[3]);
        EXPECT_EQ(ButtonEnabled(L"ToolButton5"), c.enabled[4]);
        EXPECT_EQ(ButtonEnabled(L"ToolButton6"), c.enabled[5]);
        // Escape closed it and nothing ran.
        EXPECT_FALSE(appeared);
        EXPECT_EQ(ListRows(), NumberedRows(c.rows));
        EXPECT_EQ(StoreValues(), stored);
        EXPECT_TRUE(shell.empty());
        EXPECT_EQ(form->SelIndex(), c.chosen >= 0 ? c.chosen : qd::kNoRowChosen);
    }

    // The columns' header is no row: a right click there opens nothing.
    MenuWatch watch(PressEscape(), 1000);
    OpenMenu([&] { realinput::RightClick(List(), 60, RowRect(0).top / 2); }, watch);
    EXPECT_FALSE(watch.Seen());
}

TEST_F(ListKeysTest, TheListHasTheKeysFromTheStartAndBackAfterEveryBox) {
    Start(NumberedRows(4));
    EXPECT_EQ(GetFocus(), List());
    // Delete asks each time; once the answer is given, the next Delete deletes the row chosen then.
    PressKey(VK_DOWN);
    for (int i = 0; i < 2; ++i) {
        qdtest::MessageBoxAnswerer box(IDYES);
        PressKey(VK_DELETE);
        EXPECT_TRUE(qdtest::PumpUntil([&] { return box.Answered(); }, 3000)) << "Delete number " << i + 1;
        realinput::Settle(100);
    }
    EXPECT_EQ(form->lvMain->Count(), 2);
}

}  // namespace
