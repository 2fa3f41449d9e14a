// The list commands through the real main window: a tool bar button is pressed, the property
// dialog or the question box is answered from another thread as a person would answer it, and
// then the list view and the private registry key are compared with what the command must leave.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "list/win/AutoBackup.h"
#include "app/Global.h"
#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/win/RegistryAccessor.h"
#include "list/ShortcutStore.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Registry.h"

namespace {

using Row = std::pair<std::wstring, std::wstring>;
using Rows = std::vector<Row>;

constexpr wchar_t kDialogCaption[] = L"增加快捷目录";

Rows NumberedRows(int n) {
    Rows rows;
    for (int i = 0; i < n; ++i) rows.emplace_back(L"alias" + std::to_wstring(i), L"C:\\dir" + std::to_wstring(i));
    return rows;
}

// The property dialog's windows, found by their class and captions.
struct PropertyWindows {
    HWND window = nullptr, name = nullptr, path = nullptr, ok = nullptr, cancel = nullptr;
};

PropertyWindows WaitForPropertyDialog(DWORD ui) {
    PropertyWindows d;
    d.window = qdtest::WaitForTopWindow(ui, kDialogCaption);
    if (!d.window) return d;
    d.name = qdtest::FindDescendant(d.window, L"Edit", 0);
    d.path = qdtest::FindDescendant(d.window, L"Edit", 1);
    d.ok = qdtest::FindDescendantByText(d.window, L"确定(&O)");
    d.cancel = qdtest::FindDescendantByText(d.window, L"取消(&C)");
    return d;
}

struct AnsweredBox {
    bool shown = false;
    std::wstring text;
};

AnsweredBox AnswerBox(DWORD ui, int button) {
    AnsweredBox result;
    HWND box = qdtest::WaitForSystemDialog(ui);
    if (!box) return result;
    result.shown = true;
    result.text = qdtest::DialogText(box);
    qdtest::PressDialogButton(box, button);
    qdtest::WaitUntilGone(box);
    return result;
}

BOOL CALLBACK CollectShown(HWND w, LPARAM p) {
    if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

// Watches, until the command has returned, whether a window other than the main one comes up. A
// command that opens a modal window does not return before the window is gone, so the watch sees it.
bool AnotherWindowAppears(DWORD ui, HWND main, const std::atomic<bool>& commandDone) {
    while (!commandDone) {
        std::vector<HWND> shown;
        EnumThreadWindows(ui, &CollectShown, reinterpret_cast<LPARAM>(&shown));
        std::erase(shown, main);
        if (!shown.empty()) return true;
        Sleep(5);
    }
    return false;
}

void RunAndWait(std::wstring commandLine) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &si, &pi));
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u) << tk::ToUtf8(commandLine);
}

// The registry accessor with a watcher: it is told of each opening of the key for writing, of
// each value read and of each value written, before they happen (and may refuse a write by
// throwing as the registry does).
class Watched : public qd::RegistryAccessor {
public:
    using Watcher = std::function<void(const std::wstring& event)>;
    explicit Watched(const Watcher& watcher) : watcher_(watcher) {}
    bool OpenKey(const std::wstring& path, bool create) override {
        watcher_(L"open for writing");
        return RegistryAccessor::OpenKey(path, create);
    }
    std::wstring ReadString(const std::wstring& name) override {
        watcher_(L"read " + name);
        return RegistryAccessor::ReadString(name);
    }
    void WriteString(const std::wstring& name, const std::wstring& text) override {
        watcher_(L"write " + name);
        RegistryAccessor::WriteString(name, text);
    }

private:
    const Watcher& watcher_;
};

class ListCommandsTest : public testing::Test {
protected:
    void SetUp() override { tk::Application().Initialize(); }
    void TearDown() override {
        tk::Application().SetMainForm(nullptr);
        form.reset();
    }

    void WriteRows(const Rows& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
    }
    void Start(const Rows& rows, bool askDelete = true) {
        WriteRows(rows);
        key.WriteString(L"Setting", kExe);
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=" << (askDelete ? 1 : 0) << "\n";
        qd::MainSettings settings{key.Path(), kExe, (dir / "options.ini").wstring(), L"C:\\windows", helpFile};
        settings.Accessors = [this] { return std::make_unique<Watched>(watcher); };
        settings.BackupFolder = (dir / "backups").wstring();
        settings.FolderRunner = runner;
        form = std::make_unique<qd::TfrmMain>(nullptr, settings);
        tk::Application().SetMainForm(form.get());
        qdtest::PumpIdle();
    }
    HWND Main() { return form->Handle(); }

    Rows ListRows() {
        Rows rows;
        for (int i = 0; i < form->lvMain->Count(); ++i)
            rows.emplace_back(form->lvMain->ItemCaption(i), form->lvMain->ItemSubItem(i));
        return rows;
    }
    // Every value of the key but the program's path and the count of changes, by name.
    std::map<std::wstring, std::wstring> StoreValues() {
        std::map<std::wstring, std::wstring> values;
        for (const std::wstring& name : key.ValueNames())
            if (name != L"Setting" && name != qd::kChangeCountValue) values[name] = key.Read(name);
        return values;
    }
    std::map<std::wstring, std::wstring> ValuesOf(const Rows& rows) {
        std::map<std::wstring, std::wstring> values;
        for (size_t i = 0; i < rows.size(); ++i) {
            values[qd::AliasValueName(static_cast<int>(i))] = rows[i].first;
            values[qd::PathValueName(static_cast<int>(i))] = rows[i].second;
        }
        return values;
    }

    int ButtonIndex(const wchar_t* name) {
        auto* b = static_cast<tk::TToolButton*>(form->FindComponent(name));
        const auto& all = form->suiToolBar1->Buttons();
        return static_cast<int>(std::find(all.begin(), all.end(), b) - all.begin());
    }
    bool ButtonEnabled(const wchar_t* name) {
        HWND bar = form->suiToolBar1->Handle();
        TBBUTTON button{};
        SendMessageW(bar, TB_GETBUTTON, ButtonIndex(name), reinterpret_cast<LPARAM>(&button));
        return SendMessageW(bar, TB_ISBUTTONENABLED, button.idCommand, 0) != 0;
    }
    // A click on the tool bar button, as the mouse delivers it. Returns once the command is done.
    void Press(const wchar_t* name) {
        qdtest::PumpIdle();
        HWND bar = form->suiToolBar1->Handle();
        RECT r{};
        SendMessageW(bar, TB_GETITEMRECT, ButtonIndex(name), reinterpret_cast<LPARAM>(&r));
        qdtest::ClickAt(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        qdtest::PumpIdle();
    }
    // Presses the button while watching that no dialog or box comes up.
    void ExpectNoWindow(const std::function<void()>& command, const std::string& what) {
        std::atomic<bool> appeared{false}, done{false};
        {
            qdtest::UiScript watch(Main(), [&](DWORD ui) { appeared = AnotherWindowAppears(ui, Main(), done); });
            command();
            done = true;
        }
        EXPECT_FALSE(appeared) << what << " opened a window";
    }
    void PressExpectingNoWindow(const wchar_t* name) {
        ExpectNoWindow([&] { Press(name); }, tk::ToUtf8(name));
    }
    void ClickRow(int row) {
        RECT r{LVIR_BOUNDS};
        SendMessageW(form->lvMain->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        qdtest::ClickAt(form->lvMain->Handle(), r.left + 20, (r.top + r.bottom) / 2);
        qdtest::PumpIdle();
    }
    std::wstring Folder(const wchar_t* name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }

    static constexpr wchar_t kExe[] = L"C:\\Tools\\Quiverdir.exe";
    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::wstring helpFile;
    Watched::Watcher watcher = [](const std::wstring&) {};
    qd::ShellFolderRunner runner;  // the shell's stand-in, when a test sets one before Start
    std::unique_ptr<qd::TfrmMain> form;
};

TEST_F(ListCommandsTest, AddAppendsTheRowAndWritesItsPair) {
    Start(NumberedRows(2));
    const std::wstring folder = Folder(L"work");
    std::wstring shownAlias = L"?", shownPath = L"?";
    bool closed = false;
    qdtest::UiScript script(Main(), [&](DWORD ui) {
        PropertyWindows d = WaitForPropertyDialog(ui);
        if (!d.window || !d.name || !d.path || !d.ok) return;
        shownAlias = qdtest::WindowText(d.name);
        shownPath = qdtest::WindowText(d.path);
        qdtest::SetWindowTextFromOutside(d.name, L"工作 Work");
        qdtest::SetWindowTextFromOutside(d.path, folder);
        qdtest::PressButton(d.ok);
        closed = qdtest::WaitUntilGone(d.window);
    });
    Press(L"tbAdd");
    script.Join();
    EXPECT_TRUE(closed);
    EXPECT_EQ(shownAlias, L"");
    EXPECT_EQ(shownPath, L"");
    Rows expected = NumberedRows(2);
    expected.emplace_back(L"工作 Work", folder);
    EXPECT_EQ(ListRows(), expected);
    EXPECT_EQ(StoreValues(), ValuesOf(expected));
    EXPECT_EQ(form->SelIndex(), qd::kNoRowChosen);  // the new row is not chosen
    EXPECT_EQ(form->lvMain->ItemIndex(), -1);
}

TEST_F(ListCommandsTest, EditShowsTheChosenRowAndRewritesOnlyItsPair) {
    Start(NumberedRows(3));
    ClickRow(1);
    // Another accessor changes row 2 behind the program's back: edit must not write it.
    key.WriteString(L"N2", L"outside");
    const std::wstring folder = Folder(L"edited");
    std::wstring shownAlias, shownPath;
    qdtest::UiScript script(Main(), [&](DWORD ui) {
        PropertyWindows d = WaitForPropertyDialog(ui);
        if (!d.window || !d.name || !d.path || !d.ok) return;
        shownAlias = qdtest::WindowText(d.name);
        shownPath = qdtest::WindowText(d.path);
        qdtest::SetWindowTextFromOutside(d.name, L" spaced alias ");
        qdtest::SetWindowTextFromOutside(d.path, folder);
        qdtest::PressButton(d.ok);
        qdtest::WaitUntilGone(d.window);
    });
    Press(L"ToolButton2");
    script.Join();
    EXPECT_EQ(shownAlias, L"alias1");
    EXPECT_EQ(shownPath, L"C:\\dir1");
    Rows expected = NumberedRows(3);
    expected[1] = {L" spaced alias ", folder};  // texts are kept exactly as typed
    EXPECT_EQ(ListRows(), expected);
    auto values = ValuesOf(expected);
    values[L"N2"] = L"outside";
    EXPECT_EQ(StoreValues(), values);
    EXPECT_EQ(form->SelIndex(), 1);
    // The row chosen is the row with its new texts: a reload finds it again.
    Press(L"tbRefresh");
    EXPECT_EQ(form->SelIndex(), 1);
    EXPECT_EQ(form->lvMain->ItemIndex(), 1);
}

TEST_F(ListCommandsTest, RefusedInputKeepsTheDialogOpenAndCancelChangesNothing) {
    Start(NumberedRows(2));
    const auto before = StoreValues();
    const std::wstring folder = Folder(L"real");
    const std::wstring file = (dir / "file.txt").wstring();
    std::ofstream(dir / "file.txt") << "not a folder";

    std::vector<std::wstring> texts;
    bool openAfterEach = true, focusOnPath = false;
    qdtest::FocusRecorder focus;
    qdtest::UiScript script(Main(), [&](DWORD ui) {
        PropertyWindows d = WaitForPropertyDialog(ui);
        if (!d.window || !d.name || !d.path || !d.ok || !d.cancel) return;
        auto tryOk = [&](const std::wstring& alias, const std::wstring& path) {
            qdtest::SetWindowTextFromOutside(d.name, alias);
            qdtest::SetWindowTextFromOutside(d.path, path);
            qdtest::SetWindowTextFromOutside(d.name, alias);
            qdtest::PressButton(d.ok);
            texts.push_back(AnswerBox(ui, IDOK).text);
            Sleep(50);
            openAfterEach = openAfterEach && IsWindowVisible(d.window);
        };
        tryOk(L"alias", L"");           // empty path
        tryOk(L"", folder);             // empty alias
        focus.Clear();
        tryOk(L"alias", file);          // a file, not a folder: the path edit gets the focus back
        for (int i = 0; i < 100 && !focusOnPath; ++i, Sleep(10)) focusOnPath = focus.Received(d.path);
        tryOk(L"alias", L" ");          // blanks are not empty, and no full path
        tryOk(L"alias", folder + L"\\missing");
        tryOk(L"alias", L".");          // a folder here, but relative: another one in the folder menu
        qdtest::PressButton(d.cancel);
        qdtest::WaitUntilGone(d.window);
    });
    Press(L"tbAdd");
    script.Join();
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"别名或路径框不能为空.", L"别名或路径框不能为空.",
                                                file + L",此路径不存在.", L" ," + std::wstring(qd::kPathNotFull),
                                                folder + L"\\missing,此路径不存在.",
                                                L".," + std::wstring(qd::kPathNotFull)}));
    EXPECT_TRUE(openAfterEach);
    EXPECT_TRUE(focusOnPath);
    EXPECT_EQ(ListRows(), NumberedRows(2));
    EXPECT_EQ(StoreValues(), before);
}

TEST_F(ListCommandsTest, ARowOfAnOlderListWithARelativePathShowsIsNotOpenedAndIsEditedToAFullPath) {
    std::vector<std::wstring> shellCalls;
    runner = [&](HWND, const wchar_t*, const std::wstring& folder) {
        shellCalls.push_back(folder);
        return true;
    };
    Start({{L"old", L"docs"}, {L"b", L"C:\\b"}});
    EXPECT_EQ(ListRows(), (Rows{{L"old", L"docs"}, {L"b", L"C:\\b"}}));
    ClickRow(0);
    std::wstring refusal;
    qdtest::UiScript opening(Main(), [&](DWORD ui) { refusal = AnswerBox(ui, IDOK).text; });
    form->RunCommand(qd::desc::MainCommand::OpenFolder);
    opening.Join();
    EXPECT_EQ(refusal, L"docs\r\n" + std::wstring(qd::kRelativePathNotOpened));
    EXPECT_TRUE(shellCalls.empty());

    // Its edit shows it as stored; OK keeps asking for a full path until it gets one.
    const std::wstring folder = Folder(L"docs");
    std::wstring shownPath, editRefusal;
    qdtest::UiScript script(Main(), [&](DWORD ui) {
        PropertyWindows d = WaitForPropertyDialog(ui);
        if (!d.window || !d.path || !d.ok) return;
        shownPath = qdtest::WindowText(d.path);
        qdtest::PressButton(d.ok);
        editRefusal = AnswerBox(ui, IDOK).text;
        qdtest::SetWindowTextFromOutside(d.path, folder);
        qdtest::PressButton(d.ok);
        qdtest::WaitUntilGone(d.window);
    });
    Press(L"ToolButton2");
    script.Join();
    EXPECT_EQ(shownPath, L"docs");
    EXPECT_EQ(editRefusal, L"docs," + std::wstring(qd::kPathNotFull));
    EXPECT_EQ(StoreValues(), ValuesOf({{L"old", folder}, {L"b", L"C:\\b"}}));
}

TEST_F(ListCommandsTest, CancelledOrClosedEditLeavesListAndStoreUntouched) {
    Start(NumberedRows(2));
    ClickRow(0);
    const auto before = StoreValues();
    const std::wstring folder = Folder(L"never");
    for (bool useCloseBox : {false, true}) {
        qdtest::UiScript script(Main(), [&](DWORD ui) {
            PropertyWindows d = WaitForPropertyDialog(ui);
            if (!d.window || !d.name || !d.path || !d.cancel) return;
            qdtest::SetWindowTextFromOutside(d.name, L"changed");
            qdtest::SetWindowTextFromOutside(d.path, folder);
            if (useCloseBox) {
                PostMessageW(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                qdtest::PressButton(d.cancel);
            }
            qdtest::WaitUntilGone(d.window);
        });
        Press(L"ToolButton2");
        script.Join();
        EXPECT_EQ(ListRows(), NumberedRows(2));
        EXPECT_EQ(StoreValues(), before);
    }
}

TEST_F(ListCommandsTest, DeleteAsksAndMovesTheSelectionByTheRules) {
    struct Case {
        int rows, chosen;
        Rows left;
        int selected;
    };
    const Rows five = NumberedRows(5);
    const Case cases[] = {
        {5, 4, {five[0], five[1], five[2], five[3]}, 0},  // the last row: the first row is chosen
        {5, 2, {five[0], five[1], five[3], five[4]}, 2},  // row 2: the new row 2 is chosen
        {2, 1, {five[0]}, 0},                             // the last row, one left
        {1, 0, {}, qd::kNoRowChosen},                     // the only row: nothing left to choose
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("rows " + std::to_string(c.rows) + ", deleting " + std::to_string(c.chosen));
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        Start(NumberedRows(c.rows));
        ClickRow(c.chosen);
        AnsweredBox box;
        qdtest::UiScript script(Main(), [&](DWORD ui) { box = AnswerBox(ui, IDYES); });
        Press(L"ToolButton3");
        script.Join();
        EXPECT_TRUE(box.shown);
        EXPECT_EQ(box.text, L"您确定要删除此项吗?");
        EXPECT_EQ(ListRows(), c.left);
        EXPECT_EQ(StoreValues(), ValuesOf(c.left));
        EXPECT_EQ(form->SelIndex(), c.selected);
        EXPECT_EQ(form->lvMain->ItemIndex(), c.left.empty() ? -1 : c.selected);
        EXPECT_EQ(ButtonEnabled(L"ToolButton3"), !c.left.empty());
    }
}

TEST_F(ListCommandsTest, DeleteAnsweredNoChangesNothingAndWithoutAskingActsAtOnce) {
    Start(NumberedRows(3));
    ClickRow(1);
    const auto before = StoreValues();
    AnsweredBox box;
    {
        qdtest::UiScript script(Main(), [&](DWORD ui) { box = AnswerBox(ui, IDNO); });
        Press(L"ToolButton3");
    }
    EXPECT_TRUE(box.shown);
    EXPECT_EQ(ListRows(), NumberedRows(3));
    EXPECT_EQ(StoreValues(), before);

    qd::AppOptions.AskDelete = false;
    PressExpectingNoWindow(L"ToolButton3");
    const Rows three = NumberedRows(3);
    const Rows left{three[0], three[2]};
    EXPECT_EQ(ListRows(), left);
    EXPECT_EQ(StoreValues(), ValuesOf(left));
    EXPECT_EQ(form->SelIndex(), 1);
}

TEST_F(ListCommandsTest, MovesRewriteExactlyTheTwoPairs) {
    Start(NumberedRows(4), false);
    ClickRow(1);
    // Values changed behind the program's back show which pairs a move writes.
    key.WriteString(L"N2", L"outside2");
    key.WriteString(L"P3", L"outside3");
    Press(L"ToolButton5");  // up
    const Rows r = NumberedRows(4);
    EXPECT_EQ(ListRows(), (Rows{r[1], r[0], r[2], r[3]}));
    auto values = ValuesOf({r[1], r[0], r[2], r[3]});
    values[L"N2"] = L"outside2";
    values[L"P3"] = L"outside3";
    EXPECT_EQ(StoreValues(), values);
    EXPECT_EQ(form->SelIndex(), 0);
    EXPECT_EQ(form->lvMain->ItemIndex(), 0);
    EXPECT_FALSE(ButtonEnabled(L"ToolButton5"));  // row 0 cannot move up

    key.WriteString(L"N0", L"outside0");
    Press(L"ToolButton6");  // down: back where it was
    Press(L"ToolButton6");  // and once more
    EXPECT_EQ(ListRows(), (Rows{r[0], r[2], r[1], r[3]}));
    values = ValuesOf({r[0], r[2], r[1], r[3]});
    values[L"P3"] = L"outside3";
    EXPECT_EQ(StoreValues(), values);
    EXPECT_EQ(form->SelIndex(), 2);

    // The last row has no row below it: down, run directly past its rule, changes nothing.
    ClickRow(3);
    const auto stored = StoreValues();
    form->aItemDownExecute(form->aItemDown);
    EXPECT_EQ(ListRows(), (Rows{r[0], r[2], r[1], r[3]}));
    EXPECT_EQ(StoreValues(), stored);
    EXPECT_EQ(form->SelIndex(), 3);
}

TEST_F(ListCommandsTest, SortAlternatesDirectionAndHint) {
    Start({{L"b", L"C:\\b"}, {L"A", L"C:\\A"}, {L"a", L"C:\\a"}}, false);
    ClickRow(2);
    auto* sortButton = static_cast<tk::TToolButton*>(form->FindComponent(L"ToolButton4"));
    Press(L"ToolButton4");
    const Rows ascending{{L"A", L"C:\\A"}, {L"a", L"C:\\a"}, {L"b", L"C:\\b"}};
    EXPECT_EQ(ListRows(), ascending);
    EXPECT_EQ(StoreValues(), ValuesOf(ascending));
    EXPECT_EQ(sortButton->Hint(), L"按别名降序排列");
    EXPECT_EQ(form->SelIndex(), 2);  // the selection stays where it was
    EXPECT_EQ(form->lvMain->ItemIndex(), 2);

    Press(L"ToolButton4");
    const Rows descending{{L"b", L"C:\\b"}, {L"a", L"C:\\a"}, {L"A", L"C:\\A"}};
    EXPECT_EQ(ListRows(), descending);
    EXPECT_EQ(StoreValues(), ValuesOf(descending));
    EXPECT_EQ(sortButton->Hint(), L"按别名升序排列");
}

TEST_F(ListCommandsTest, SortComparesTheAnsiBytes) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese code page";
    // In GBK 啊 (B0A1) < 阿 (B0A2) < 中 (D6D0); by code point 中 would come first. A prefix sorts
    // before the longer alias; letters compare without case.
    Start({{L"中", L"C:\\1"}, {L"阿", L"C:\\2"}, {L"abc", L"C:\\3"}, {L"啊", L"C:\\4"}, {L"AB", L"C:\\5"},
           {L"Zed", L"C:\\6"}},
          false);
    Press(L"ToolButton4");
    EXPECT_EQ(ListRows(), (Rows{{L"AB", L"C:\\5"}, {L"abc", L"C:\\3"}, {L"Zed", L"C:\\6"}, {L"啊", L"C:\\4"},
                                {L"阿", L"C:\\2"}, {L"中", L"C:\\1"}}));
}

TEST_F(ListCommandsTest, RefreshShowsWhatAnotherProcessWrote) {
    Start(NumberedRows(3));
    ClickRow(1);
    const std::wstring regKey = L"HKCU\\" + key.Path();
    RunAndWait(L"reg.exe add \"" + regKey + L"\" /v N0 /d 外面 /f");
    RunAndWait(L"reg.exe delete \"" + regKey + L"\" /v P2 /f");
    Press(L"tbRefresh");
    EXPECT_EQ(ListRows(), (Rows{{L"外面", L"C:\\dir0"}, {L"alias1", L"C:\\dir1"}}));
    // The chosen row is still there: it stays chosen and highlighted.
    EXPECT_EQ(form->SelIndex(), 1);
    EXPECT_EQ(form->lvMain->ItemIndex(), 1);
    EXPECT_EQ(key.Read(L"N2"), L"alias2");  // refresh writes nothing
}

TEST_F(ListCommandsTest, ALongListIsFilledWithoutRedrawingAndThenScrolls) {
    // While a list is filled (at start and on refresh) it does not redraw, so its scroll bar is
    // not recomputed for each row: seen in the middle of the fill, the range is still what it was
    // before. Afterwards the scroll bar covers every row.
    // The list of the program's window (the first fill runs while the window is being made).
    auto list = [] { return qdtest::FindDescendant(FindWindowW(L"Quiverdir Made by Tallowmere", nullptr), WC_LISTVIEWW); };
    auto range = [&] {
        SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE};
        if (!GetScrollInfo(list(), SB_VERT, &info)) return 0;
        return std::max(0, info.nMax - info.nMin + 1 - static_cast<int>(info.nPage));
    };
    int before = -1, during = -1;
    watcher = [&](const std::wstring& event) {
        if (event == L"read N50") during = list() ? range() : -2;
    };
    Start(NumberedRows(60));
    // The start reads the rows while the window is being made: its list may not exist yet (-2).
    EXPECT_TRUE(during == 0 || during == -2) << "the list redrew while it was filled: " << during;
    const int filled = range();
    EXPECT_GT(filled, 0);

    WriteRows(NumberedRows(120));
    before = filled;
    during = -1;
    Press(L"tbRefresh");
    EXPECT_EQ(during, before) << "the list redrew while it was refilled";
    EXPECT_GT(range(), filled);
    form->lvMain->SetItemIndex(119);  // scrolls the last row into view
    EXPECT_EQ(ListView_GetTopIndex(form->lvMain->Handle()) + ListView_GetCountPerPage(form->lvMain->Handle()), 120);
}

TEST_F(ListCommandsTest, AChangeMadeAfterTheStartReadTheListIsShownAtOnce) {
    // The start reads the rows before the window watches the key; another program's change that
    // falls in between is found by the key's count when the window shows, not left unseen.
    const DWORD windowThread = GetCurrentThreadId();
    bool changed = false;
    watcher = [&](const std::wstring& event) {
        if (changed || event != L"read Setting" || GetCurrentThreadId() != windowThread) return;
        changed = true;
        WriteRows(NumberedRows(8));
        key.WriteString(qd::kChangeCountValue, std::to_wstring(qd::ParseChangeCount(key.Read(qd::kChangeCountValue)) + 1));
    };
    Start(NumberedRows(6));
    ASSERT_TRUE(changed);
    EXPECT_EQ(ListRows(), NumberedRows(8));
}

// The list commands when the key refuses: errors are recorded instead of shown in a box.
class ListCommandsErrorTest : public ListCommandsTest {
protected:
    void SetUp() override {
        ListCommandsTest::SetUp();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
    }
    void TearDown() override {
        tk::Application().SetExceptionHandler(nullptr);
        ListCommandsTest::TearDown();
    }
    // The rows the key holds, as a fresh load reads them.
    Rows KeyRows() {
        Rows rows;
        for (int i = 0; key.Has(qd::AliasValueName(i)) && key.Has(qd::PathValueName(i)); ++i) {
            const std::wstring alias = key.Read(qd::AliasValueName(i)), path = key.Read(qd::PathValueName(i));
            if (alias.empty() || path.empty()) break;
            rows.emplace_back(alias, path);
        }
        return rows;
    }
    // Answers the property dialog with the given texts and OK.
    void AnswerPropertyDialog(const std::wstring& alias, const std::wstring& path, const wchar_t* button) {
        qdtest::UiScript script(Main(), [&](DWORD ui) {
            PropertyWindows d = WaitForPropertyDialog(ui);
            if (!d.window || !d.name || !d.path || !d.ok) return;
            qdtest::SetWindowTextFromOutside(d.name, alias);
            qdtest::SetWindowTextFromOutside(d.path, path);
            qdtest::PressButton(d.ok);
            qdtest::WaitUntilGone(d.window);
        });
        Press(button);
        script.Join();
    }
    std::wstring Refused() { return L"Failed to open key '" + key.Path() + L"' for writing"; }

    std::vector<std::wstring> errors;
};

TEST_F(ListCommandsErrorTest, AKeyThatCanBeReadButNotWrittenRefusesEachChangeAndTheListKeepsWhatTheKeyHolds) {
    const Rows rows{{L"c", L"C:\\c"}, {L"b", L"C:\\b"}, {L"a", L"C:\\a"}};
    const std::wstring folder = Folder(L"new");
    const std::filesystem::path backup = dir / "new.pwb";
    {
        tk::TIniFile ini(backup.wstring());
        ini.WriteString(L"PathWarden", L"Count", L"1");
        ini.WriteString(L"PathWarden", L"N0", L"imported");
        ini.WriteString(L"PathWarden", L"P0", L"C:\\imported");
    }
    // The window as it stood when the key was opened for a change.
    std::vector<Rows> shownAtOpen;
    watcher = [&](const std::wstring& event) {
        if (event == L"open for writing" && form) shownAtOpen.push_back(ListRows());
    };
    // Setting already names the program, so the start writes nothing: the first change is the
    // first write.
    Start(rows, false);
    qdtest::ReadOnlyKey readOnly(key.Path());
    ASSERT_TRUE(readOnly.Applied());
    const auto stored = StoreValues();
    ClickRow(1);

    struct Command {
        const char* name;
        std::function<void()> run;
        std::wstring error;
    };
    const std::vector<Command> commands = {
        {"add", [&] { AnswerPropertyDialog(L"added", folder, L"tbAdd"); }, Refused()},
        {"edit", [&] { AnswerPropertyDialog(L"edited", folder, L"ToolButton2"); }, Refused()},
        {"delete", [&] { Press(L"ToolButton3"); }, Refused()},
        {"up", [&] { Press(L"ToolButton5"); }, Refused()},
        {"down", [&] { Press(L"ToolButton6"); }, Refused()},
        {"sort", [&] { Press(L"ToolButton4"); }, Refused()},
        {"import",
         [&] {
             qdtest::FileDialogAnswerer open(backup.wstring());
             Press(L"bImport");
         },
         Refused() + L"\r\nEntries added before the import stopped: 0"},
    };
    for (const Command& c : commands) {
        SCOPED_TRACE(c.name);
        errors.clear();
        shownAtOpen.clear();
        c.run();
        EXPECT_EQ(errors, std::vector<std::wstring>{c.error});
        // The key was asked before the window changed, and the window shows what the key holds.
        EXPECT_EQ(shownAtOpen, std::vector<Rows>{rows});
        EXPECT_EQ(ListRows(), rows);
        EXPECT_EQ(StoreValues(), stored);
    }
    EXPECT_TRUE(form->SortAscending());  // the refused sort did not count
    EXPECT_EQ(static_cast<tk::TToolButton*>(form->FindComponent(L"ToolButton4"))->Hint(), L"Sort by Alias(Ascending)");

    // With the application's own error box, as a person sees it.
    tk::Application().SetExceptionHandler(nullptr);
    {
        qdtest::MessageBoxAnswerer box(IDOK);
        Press(L"ToolButton5");
        EXPECT_TRUE(box.Answered());
        EXPECT_EQ(box.Text(), Refused());
    }
    EXPECT_EQ(ListRows(), rows);
}

TEST_F(ListCommandsErrorTest, AChangeRefusedPartWayLosesNoRowAndTheListShowsWhatTheKeyHolds) {
    // A write refused part-way through a command (another program locks the key): a command that
    // rewrites more than one pair puts the whole list back at once; when even that is refused,
    // the next start does.
    const Rows rows{{L"c", L"C:\\c"}, {L"b", L"C:\\b"}, {L"a", L"C:\\a"}};
    std::wstring refused;  // the first write refused
    bool once = true, refusing = false;
    watcher = [&](const std::wstring& event) {
        if (event.rfind(L"write ", 0) != 0) return;
        if (!refused.empty() && event == L"write " + refused) refusing = true;
        if (!refusing) return;
        if (once) refused.clear(), refusing = false;
        throw tk::ERegistryException(L"Failed to set data for '" + event.substr(6) + L"'");
    };
    const std::filesystem::path backup = dir / "three.pwb";
    {
        tk::TIniFile ini(backup.wstring());
        ini.WriteString(L"PathWarden", L"Count", L"3");
        for (int i = 0; i < 3; ++i) {
            ini.WriteString(L"PathWarden", qd::AliasValueName(i), L"new" + std::to_wstring(i));
            ini.WriteString(L"PathWarden", qd::PathValueName(i), L"D:\\new" + std::to_wstring(i));
        }
    }
    Start(rows, false);
    const auto stored = StoreValues();

    // Refused once: the sort at its second row, the import at its second entry. The list is put
    // back whole, and the window shows it.
    struct Case {
        const char* name;
        std::wstring refuse;
        std::function<void()> run;
        std::wstring error;
    };
    const std::vector<Case> cases = {
        {"sort", L"N1", [&] { Press(L"ToolButton4"); }, L"Failed to set data for 'N1'"},
        {"import",
         L"N4",
         [&] {
             qdtest::FileDialogAnswerer open(backup.wstring());
             Press(L"bImport");
         },
         L"Failed to set data for 'N4'\r\nEntries added before the import stopped: 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errors.clear();
        refused = c.refuse;
        c.run();
        EXPECT_EQ(errors, std::vector<std::wstring>{c.error});
        EXPECT_EQ(StoreValues(), stored);
        EXPECT_EQ(ListRows(), rows);
        // The list before is no longer needed: only the automatic backups stay.
        for (const auto& entry : std::filesystem::directory_iterator(dir / "backups"))
            EXPECT_TRUE(qd::ParseAutoBackupName(entry.path().filename().wstring())) << entry.path().string();
    }
    EXPECT_TRUE(form->SortAscending());  // the refused sort did not count

    // Deleting row 0 moves two rows up; refused from the second on, and the putting back too. Row b
    // is then in the key twice and row c is gone from it, until the next start.
    errors.clear();
    once = false;
    refused = L"N1";
    ClickRow(0);
    Press(L"ToolButton3");
    EXPECT_EQ(errors, std::vector<std::wstring>{tk::FormatText(
                          qd::kRewriteLeftForNextStart, {L"Failed to set data for 'N1'", L"Failed to set data for 'N0'"})});
    EXPECT_EQ(KeyRows(), (Rows{rows[1], rows[1], rows[2]}));
    EXPECT_EQ(ListRows(), KeyRows());
    EXPECT_TRUE(key.Has(qd::kRewriteRecordValue));

    form.reset();
    refusing = false;
    refused.clear();
    {
        qdtest::MessageBoxCounter boxes(IDOK);
        Start({}, false);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{tk::FormatText(qd::kRecoveredText, {L"3"})});
    }
    EXPECT_EQ(KeyRows(), rows);
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(StoreValues(), stored);  // the record is gone
}

TEST_F(ListCommandsErrorTest, AMoveWhoseSecondPairIsRefusedLeavesKeyAndWindowAsTheyWere) {
    // A move writes two pairs; the second refused once, the first is put back: no row twice.
    const Rows rows = NumberedRows(4);
    struct Case {
        const char* name;
        const wchar_t* button;
        std::wstring secondPair;
    };
    for (const Case& c : {Case{"up", L"ToolButton5", L"N2"}, Case{"down", L"ToolButton6", L"N3"}}) {
        SCOPED_TRACE(c.name);
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        bool refused = false;
        watcher = [&](const std::wstring& event) {
            if (!refused && event == L"write " + c.secondPair) {
                refused = true;
                throw tk::ERegistryException(L"Failed to set data for '" + c.secondPair + L"'");
            }
        };
        Start(rows, false);
        ClickRow(2);
        errors.clear();
        Press(c.button);
        EXPECT_TRUE(refused);
        EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to set data for '" + c.secondPair + L"'"});
        EXPECT_EQ(KeyRows(), rows);
        EXPECT_EQ(ListRows(), rows);
        EXPECT_EQ(StoreValues(), ValuesOf(rows));  // no crash record left
        watcher = [](const std::wstring&) {};
    }
}

TEST_F(ListCommandsTest, AnotherProgramsChangeWithoutANoticeReachesTheWindowAndTheNextAddKeepsIt) {
    // A program that cannot post to the window (one started with other rights) appends a row and
    // raises the count of changes, in another process: the window sees it by watching the key.
    Start(NumberedRows(3));
    const std::wstring regKey = L"HKCU\\" + key.Path();
    const std::wstring count = std::to_wstring(qd::ParseChangeCount(key.Read(qd::kChangeCountValue)) + 1);
    RunAndWait(L"reg.exe add \"" + regKey + L"\" /v N3 /d 外面 /f");
    RunAndWait(L"reg.exe add \"" + regKey + L"\" /v P3 /d C:\\outside /f");
    RunAndWait(L"reg.exe add \"" + regKey + L"\" /v ChangeCount /d " + count + L" /f");
    Rows expected = NumberedRows(3);
    expected.emplace_back(L"外面", L"C:\\outside");
    EXPECT_TRUE(qdtest::PumpUntil([&] { return ListRows() == expected; }, 10000));
    const std::wstring folder = Folder(L"mine");
    form->AddShortcut(L"mine", folder);
    expected.emplace_back(L"mine", folder);
    EXPECT_EQ(ListRows(), expected);
    EXPECT_EQ(StoreValues(), ValuesOf(expected));
}

TEST_F(ListCommandsTest, DoubleClickOnEmptySpaceEditsTheRememberedRow) {
    Start(NumberedRows(3));
    HWND list = form->lvMain->Handle();
    const int emptyY = form->lvMain->ClientHeight() - 5;
    // Nothing chosen yet: nothing opens.
    ExpectNoWindow([&] { qdtest::DoubleClickAt(list, 40, emptyY); }, "double click");
    ClickRow(2);
    qdtest::ClickAt(list, 40, emptyY);
    qdtest::PumpIdle();
    ASSERT_EQ(form->lvMain->ItemIndex(), -1);
    std::wstring shownAlias;
    qdtest::UiScript script(Main(), [&](DWORD ui) {
        PropertyWindows d = WaitForPropertyDialog(ui);
        if (!d.window || !d.name || !d.cancel) return;
        shownAlias = qdtest::WindowText(d.name);
        qdtest::PressButton(d.cancel);
        qdtest::WaitUntilGone(d.window);
    });
    qdtest::DoubleClickAt(list, 40, emptyY);
    script.Join();
    EXPECT_EQ(shownAlias, L"alias2");
}

TEST_F(ListCommandsTest, AChosenRowThatIsGoneLeavesNoRowChosenAndTheRowCommandsDoNothing) {
    // The chosen row goes: by a refresh after another accessor removed rows (the chosen last row,
    // and the rows from 1 on), by another process's change and its notice, and by deleting the
    // only row.
    enum How { Refresh, Notice, Delete };
    struct Case {
        int rows, chosen, rowsLeft;
        How how;
    };
    for (const Case c : {Case{2, 1, 1, Refresh}, Case{4, 3, 1, Refresh}, Case{4, 1, 1, Notice}, Case{1, 0, 0, Delete}}) {
        SCOPED_TRACE("chosen " + std::to_string(c.chosen) + " of " + std::to_string(c.rows));
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        Start(NumberedRows(c.rows), true);
        ClickRow(c.chosen);
        if (c.how == Delete) {
            qdtest::UiScript script(Main(), [&](DWORD ui) { AnswerBox(ui, IDYES); });
            Press(L"ToolButton3");
        } else {
            for (int i = c.rowsLeft; i < c.rows; ++i) {
                tk::TRegistry reg;
                reg.OpenKey(key.Path(), false);
                reg.DeleteValue(qd::AliasValueName(i));
                reg.DeleteValue(qd::PathValueName(i));
            }
            // As every writer of the list does: the count raised after the pairs.
            key.WriteString(qd::kChangeCountValue,
                            std::to_wstring(qd::ParseChangeCount(key.Read(qd::kChangeCountValue)) + 1));
            if (c.how == Refresh) {
                Press(L"tbRefresh");
            } else {
                PostMessageW(Main(), qd::desc::kListChangedNotice, 0, 0);
                ASSERT_TRUE(qdtest::PumpUntil([&] { return form->lvMain->Count() == c.rowsLeft; }));
                qdtest::PumpIdle();  // the buttons follow when the queue goes idle
            }
        }
        const Rows rows = ListRows();
        const auto values = StoreValues();
        ASSERT_EQ(rows.size(), static_cast<size_t>(c.rowsLeft));
        EXPECT_EQ(form->SelIndex(), qd::kNoRowChosen);
        EXPECT_EQ(form->lvMain->ItemIndex(), -1);
        for (const wchar_t* button : {L"ToolButton2", L"ToolButton3", L"ToolButton5", L"ToolButton6"})
            EXPECT_FALSE(ButtonEnabled(button)) << tk::ToUtf8(button);

        PressExpectingNoWindow(L"ToolButton2");  // edit
        PressExpectingNoWindow(L"ToolButton3");  // delete, even with the question on
        form->aItemUpExecute(form->aItemUp);      // up and down, run directly past their rules
        form->aItemDownExecute(form->aItemDown);
        ExpectNoWindow([&] { qdtest::DoubleClickAt(form->lvMain->Handle(), 40, form->lvMain->ClientHeight() - 5); },
                       "double click");
        EXPECT_EQ(ListRows(), rows);
        EXPECT_EQ(StoreValues(), values);
        EXPECT_EQ(form->SelIndex(), qd::kNoRowChosen);
    }
}

TEST_F(ListCommandsTest, ARandomRunOfCommandsKeepsModelViewAndStoreEqual) {
    // Delete, move up and down, sort, refresh and import in a random order, each on a random row:
    // after every command the model's rows, what the list view answers for each row and the key
    // hold the same list, and the view knows no more and no fewer rows than the model.
    Start(NumberedRows(12), false);
    std::mt19937 random(77);
    int imported = 0;
    auto modelRows = [&] {
        Rows rows;
        for (const qd::ShortcutRow& r : form->Model().Rows()) rows.emplace_back(r.Alias, r.Path);
        return rows;
    };
    for (int step = 0; step < 80; ++step) {
        const int n = form->Model().Count();
        const int op = static_cast<int>(random() % 6);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        if (n > 0) form->lvMain->SetItemIndex(static_cast<int>(random() % static_cast<unsigned>(n)));
        if (op == 0 && n > 3) {
            form->aDeleteExecute(form->aDelete);
        } else if (op == 1) {
            form->aItemUpExecute(form->aItemUp);
        } else if (op == 2) {
            form->aItemDownExecute(form->aItemDown);
        } else if (op == 3) {
            form->aSortExecute(form->aSort);
        } else if (op == 4) {
            Press(L"tbRefresh");
        } else {
            // Two entries the list has (one in other letter case and with a trailing backslash),
            // two it lacks.
            const std::filesystem::path file = dir / "step.pwb";
            std::filesystem::remove(file);
            tk::TIniFile ini(file.wstring());
            const Rows now = modelRows();
            Rows entries = {now.front(), {now.back().first, now.back().second + L"\\"}};
            for (int k = 0; k < 2; ++k, ++imported)
                entries.emplace_back(L"imported" + std::to_wstring(imported), L"D:\\in" + std::to_wstring(imported));
            ini.WriteInteger(L"PathWarden", L"Count", static_cast<int>(entries.size()));
            for (size_t k = 0; k < entries.size(); ++k) {
                ini.WriteString(L"PathWarden", qd::AliasValueName(static_cast<int>(k)), entries[k].first);
                ini.WriteString(L"PathWarden", qd::PathValueName(static_cast<int>(k)), entries[k].second);
            }
            form->ImportFrom(file.wstring());
            ASSERT_EQ(form->Model().Count(), n + 2);
        }
        qdtest::PumpIdle();
        const Rows rows = modelRows();
        ASSERT_EQ(static_cast<int>(SendMessageW(form->lvMain->Handle(), LVM_GETITEMCOUNT, 0, 0)), form->Model().Count());
        ASSERT_EQ(ListRows(), rows);
        ASSERT_EQ(StoreValues(), ValuesOf(rows));
    }
}

TEST_F(ListCommandsTest, TheListNeverAsksForARowPastTheModelsEndWhileRowsAreDeleted) {
    // The list paints after each deletion (from the end, where the chosen row goes to the top, and
    // from the middle); every row it asks for must be one the model has at that moment.
    Start(NumberedRows(40), false);
    int asked = 0, pastTheEnd = 0;
    auto rowText = form->lvMain->OnGetItemText;
    form->lvMain->OnGetItemText = [&](int item, int column) {
        ++asked;
        if (item < 0 || item >= form->Model().Count()) ++pastTheEnd;
        return rowText(item, column);
    };
    HWND list = form->lvMain->Handle();
    for (int step = 0; form->Model().Count() > 0; ++step) {
        const int n = form->Model().Count();
        // Show the bottom rows, then delete the last one or one from the middle.
        form->lvMain->SetItemIndex(n - 1);
        UpdateWindow(list);
        form->lvMain->SetItemIndex(step % 2 ? n - 1 : n / 2);
        form->aDeleteExecute(form->aDelete);
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
        qdtest::PumpIdle();
        ASSERT_EQ(form->Model().Count(), n - 1);
    }
    EXPECT_GT(asked, 40);
    EXPECT_EQ(pastTheEnd, 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(StoreValues().empty());
}

TEST_F(ListCommandsTest, HelpOpensTheHelpDocumentWithTheShell) {
    // A document whose "Open" leaves a trace: a batch file beside a marker it writes.
    helpFile = (dir / "help.bat").wstring();
    std::ofstream(dir / "help.bat") << "@echo opened> \"%~dp0opened.txt\"\r\n";
    Start(NumberedRows(1));
    Press(L"tbHelp");
    EXPECT_TRUE(qdtest::PumpUntil([&] { return std::filesystem::exists(dir / "opened.txt"); }, 20000));
}

TEST_F(ListCommandsTest, TheProgramLooksForItsHelpBesideItself) {
    const std::wstring exe = qd::ExePath();
    EXPECT_EQ(qd::HelpFilePath(), exe.substr(0, exe.find_last_of(L'\\') + 1) + L"Quiverdir.html");
    EXPECT_TRUE(std::filesystem::is_regular_file(QD_PROGRAM_DIR "/Quiverdir.html"));
}

}  // namespace
