// The main window as start-up leaves it: built from its description, its list filled from a
// private registry key, its tool bar's buttons enabled by the actions' rules.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "app/Global.h"
#include "app/Main.h"
#include "resources/forms/MainFormDesc.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/IniFile.h"

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { tk::Application().Initialize(); }
    void TearDown() override {
        tk::Application().SetMainForm(nullptr);
        form.reset();
    }
    qd::MainSettings Settings() {
        qd::MainSettings s{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(), L"C:\\windows", {}};
        s.BackupFolder = (dir / "backups").wstring();
        return s;
    }
    void Start() {
        form = std::make_unique<qd::TfrmMain>(nullptr, Settings());
        tk::Application().SetMainForm(form.get());
        qdtest::PumpIdle();
    }
    bool ButtonEnabled(const wchar_t* name) {
        auto* b = static_cast<tk::TToolButton*>(form->FindComponent(name));
        return SendMessageW(form->suiToolBar1->Handle(), TB_ISBUTTONENABLED, b->CommandId(), 0) != 0;
    }
    void ClickRow(int row) {
        RECT r{LVIR_BOUNDS};
        SendMessageW(form->lvMain->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        qdtest::ClickAt(form->lvMain->Handle(), r.left + 20, (r.top + r.bottom) / 2);
        qdtest::PumpIdle();
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::unique_ptr<qd::TfrmMain> form;
};

TEST_F(MainWindowTest, FirstStartSeedsTheKeyAndShowsTheList) {
    Start();
    ASSERT_TRUE(form->Visible());
    ASSERT_EQ(form->lvMain->Count(), 2);
    EXPECT_EQ(form->lvMain->ItemCaption(0), L"Windows安装目录");
    EXPECT_EQ(form->lvMain->ItemSubItem(0), L"C:\\windows");
    EXPECT_EQ(form->lvMain->ItemCaption(1), L"C:\\");
    EXPECT_EQ(key.Read(L"Setting"), L"C:\\Tools\\Quiverdir.exe");
    EXPECT_EQ(form->SelIndex(), qd::kNoRowChosen);
    EXPECT_TRUE(form->SortAscending());
    // Options were loaded (no file: defaults), and the skin shipped beside the program.
    EXPECT_TRUE(qd::AppOptions.AskDelete);
    EXPECT_TRUE(form->suiFileTheme1->Ready());
    EXPECT_EQ(form->suiFileTheme1->ThemeFile().filename(), L"Silver.ssk");
}

TEST_F(MainWindowTest, LayoutFollowsTheDescription) {
    key.WriteString(L"N0", L"a");
    key.WriteString(L"P0", L"C:\\a");
    Start();
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, qd::desc::kMainClientWidth);
    EXPECT_EQ(client.bottom, qd::desc::kMainClientHeight);
    wchar_t cls[64];
    GetClassNameW(form->Handle(), cls, 64);
    EXPECT_STREQ(cls, L"Quiverdir Made by Tallowmere");
    EXPECT_EQ(form->lvMain->Top(), 67);
    // No menu is attached, so the frame has no menu bar: the tool bar sits right below the title
    // bar and the list right below the tool bar (2-pixel gaps each).
    EXPECT_EQ(form->suiForm1->MenuBar(), nullptr);
    EXPECT_EQ(form->suiForm1->MenuBarHeight(), 0);
    EXPECT_EQ(form->suiToolBar1->Top(), form->suiForm1->ContentTop() + 2);
    EXPECT_EQ(form->lvMain->Top(), form->suiToolBar1->Top() + form->suiToolBar1->Height() + 2);
    EXPECT_EQ(form->lvMain->Top() + form->lvMain->Height(), qd::desc::kMainClientHeight);  // reaches the bottom

    HWND bar = form->suiToolBar1->Handle();
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 16);
    const wchar_t* captions[] = {L"增加", L"编辑", L"删除", L"", L"排序", L"上移", L"下移", L"", L"刷新", L"",
                                 L"导入", L"导出", L"", L"参数", L"", L" 帮助 "};
    for (int i = 0; i < 16; ++i) {
        wchar_t text[64] = {};
        const int id = form->suiToolBar1->Buttons()[static_cast<size_t>(i)]->CommandId();
        SendMessageW(bar, TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, captions[i]) << "button " << i;
    }
    RECT first;
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(first.right - first.left, 41);
    EXPECT_EQ(first.bottom - first.top, 36);

    // Images: own ones on plain buttons, the action's on bound ones.
    auto image = [&](const wchar_t* name) {
        return static_cast<tk::TToolButton*>(form->FindComponent(name))->ImageIndex();
    };
    EXPECT_EQ(image(L"tbAdd"), 6);
    EXPECT_EQ(image(L"ToolButton2"), 0);
    EXPECT_EQ(image(L"ToolButton4"), 8);
    EXPECT_EQ(image(L"tbHelp"), 4);
    EXPECT_EQ(form->ImageList1->Count(), 12);

    // Hints: the sort button's follows its action; the others are their own, naming the key that
    // does the same.
    auto* sortButton = static_cast<tk::TToolButton*>(form->FindComponent(L"ToolButton4"));
    EXPECT_EQ(sortButton->Hint(), L"Sort by Alias(Ascending)");
    form->aSort->SetHint(L"按别名降序排列");
    EXPECT_EQ(sortButton->Hint(), L"按别名降序排列");
    const std::pair<const wchar_t*, const wchar_t*> hints[] = {
        {L"tbAdd", L"Add a select folder (Ins)"},
        {L"ToolButton2", L"Edit the selected folder (F2)"},
        {L"ToolButton3", L"Delete the select folder item (Del)"},
        {L"ToolButton5", L"Move the selected folder item up the list (Ctrl+Up)"},
        {L"ToolButton6", L"Move the selected folder item down the list (Ctrl+Down)"},
        {L"tbRefresh", L"Refresh the folder list (F5)"},
        {L"bImport", L"Import the saved data of Alias and Path"},
        {L"bExport", L"Backup the data of Alias and Path"},
        {L"ToolButton10", L"Open the options dialog to set"},
        {L"tbHelp", L"Path Warden's help documents"},
    };
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(static_cast<tk::TToolButton*>(form->FindComponent(name))->Hint(), hint) << tk::ToUtf8(name);
    // The list's menu shows the same keys beside its items, from the same table.
    std::vector<std::wstring> menuKeys;
    for (int i = 0; i < form->pmList->Items()->Count(); ++i)
        menuKeys.push_back(tk::ShortCutToText(form->pmList->Items()->Items(i)->ShortCut()));
    EXPECT_EQ(menuKeys, (std::vector<std::wstring>{L"Enter", L"Ctrl+C", L"F2", L"Del", L"Ctrl+Up", L"Ctrl+Down", L"",
                                                   L"", L"", L"", L"Ctrl+Z", L"Ctrl+Y", L""}));
}

// The tool bar keeps its stored colours whether the skin loads or not: it has no theme of its own.
void ExpectStoredToolBarLook(qd::TfrmMain& form) {
    TsuiToolBar& bar = *form.suiToolBar1;
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::FromThemeFile);
    EXPECT_EQ(bar.FileTheme(), nullptr);
    EXPECT_FALSE(bar.Transparent());
    EXPECT_EQ(bar.Color(), 0xE8E8E8u);
    EXPECT_EQ(bar.ButtonColor(), 0xEFEFEFu);
    EXPECT_EQ(bar.ButtonBorderColor(), 0x474747u);
    EXPECT_EQ(bar.ButtonDownColor(), 0xD8D8D8u);

    // As the control paints it: the add button under the mouse, then the options button pressed
    // under the mouse.
    HWND h = bar.Handle();
    auto render = [&] {
        RECT client;
        GetClientRect(h, &client);
        auto bmp = std::make_unique<tk::TBitmap>(client.right, client.bottom);
        SendMessageW(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(bmp->Dc()), 0);
        SendMessageW(h, WM_PAINT, reinterpret_cast<WPARAM>(bmp->Dc()), 0);
        GdiFlush();
        return bmp;
    };
    auto rectOf = [&](int index) {
        RECT r{};
        SendMessageW(h, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    SendMessageW(h, TB_SETHOTITEM, 0, 0);
    auto bmp = render();
    const RECT add = rectOf(0);
    EXPECT_EQ(bmp->GetPixel(add.left, add.top), 0x474747u);
    EXPECT_EQ(bmp->GetPixel(add.left + 2, add.bottom - 3), 0xEFEFEFu);
    EXPECT_EQ(bmp->GetPixel(bmp->Width() - 3, 2), 0xE8E8E8u) << "the bar beyond its buttons";
    const int options = static_cast<int>(SendMessageW(
        h, TB_COMMANDTOINDEX, static_cast<tk::TToolButton*>(form.FindComponent(L"ToolButton10"))->CommandId(), 0));
    SendMessageW(h, TB_PRESSBUTTON, bar.Buttons()[static_cast<size_t>(options)]->CommandId(), MAKELONG(TRUE, 0));
    SendMessageW(h, TB_SETHOTITEM, options, 0);
    bmp = render();
    EXPECT_EQ(bmp->GetPixel(rectOf(options).left + 2, rectOf(options).bottom - 3), 0xD8D8D8u);
    SendMessageW(h, TB_PRESSBUTTON, bar.Buttons()[static_cast<size_t>(options)]->CommandId(), MAKELONG(FALSE, 0));
    SendMessageW(h, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
}

TEST_F(MainWindowTest, ToolBarShowsItsStoredColoursWithTheSkin) {
    Start();
    ASSERT_TRUE(form->suiFileTheme1->Ready());
    ExpectStoredToolBarLook(*form);
}

TEST_F(MainWindowTest, ToolBarShowsItsStoredColoursWithoutTheSkin) {
    // The skin beside the test program is put aside for this start.
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::filesystem::path skin = std::filesystem::path(exe).parent_path() / L"Silver.ssk";
    const std::filesystem::path aside = dir / L"Silver.ssk.aside";
    std::filesystem::rename(skin, aside);
    struct Restore {
        std::filesystem::path from, to;
        ~Restore() { std::filesystem::rename(from, to); }
    } restore{aside, skin};
    Start();
    EXPECT_FALSE(form->suiFileTheme1->Ready());
    ExpectStoredToolBarLook(*form);
}

TEST_F(MainWindowTest, EditAndDeleteWaitForAChosenRowWhichSurvivesAClickOnEmptySpace) {
    for (int i = 0; i < 3; ++i) {
        key.WriteString(qd::AliasValueName(i), L"alias" + std::to_wstring(i));
        key.WriteString(qd::PathValueName(i), L"C:\\dir" + std::to_wstring(i));
    }
    Start();
    for (const wchar_t* name : {L"ToolButton2", L"ToolButton3", L"ToolButton5", L"ToolButton6"})
        EXPECT_FALSE(ButtonEnabled(name)) << tk::ToUtf8(name);
    for (const wchar_t* name : {L"tbAdd", L"ToolButton4", L"tbRefresh", L"bImport", L"bExport", L"ToolButton10", L"tbHelp"})
        EXPECT_TRUE(ButtonEnabled(name)) << tk::ToUtf8(name);

    ClickRow(1);
    EXPECT_EQ(form->SelIndex(), 1);
    for (const wchar_t* name : {L"ToolButton2", L"ToolButton3", L"ToolButton5", L"ToolButton6"})
        EXPECT_TRUE(ButtonEnabled(name)) << tk::ToUtf8(name);

    ClickRow(2);
    EXPECT_EQ(form->SelIndex(), 2);
    EXPECT_FALSE(ButtonEnabled(L"ToolButton6"));  // the last row cannot move down

    // A click below the rows clears the highlight but keeps the chosen row.
    qdtest::ClickAt(form->lvMain->Handle(), 40, form->lvMain->ClientHeight() - 5);
    qdtest::PumpIdle();
    EXPECT_EQ(form->lvMain->ItemIndex(), -1);
    EXPECT_EQ(form->SelIndex(), 2);
    EXPECT_TRUE(ButtonEnabled(L"ToolButton2"));
}

TEST_F(MainWindowTest, WakeUpRestoresAMinimisedWindow) {
    Start();
    ShowWindow(form->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(form->Handle()));
    PostMessageW(form->Handle(), qd::desc::kInstanceWakeup, 0, 0);
    EXPECT_TRUE(qdtest::PumpUntil([&] { return !IsIconic(form->Handle()); }));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(MainWindowTest, OptionsButtonOpensTheDialogOwnedByTheMainWindow) {
    Start();
    auto* button = static_cast<tk::TToolButton*>(form->FindComponent(L"ToolButton10"));
    const size_t components = form->Components().size();
    // Close the dialog as soon as it is up; it must be owned by the main window.
    HWND owner = nullptr;
    const int hook = tk::Application().AddIdleHandler([&owner, this] {
        for (tk::TComponent* c : form->Components())
            if (auto* dialog = dynamic_cast<tk::TForm*>(c); dialog && dialog->Visible()) {
                owner = GetWindow(dialog->Handle(), GW_OWNER);
                PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
            }
    });
    UINT_PTR tick = SetTimer(nullptr, 0, 50, nullptr);
    button->Click();
    KillTimer(nullptr, tick);
    tk::Application().RemoveIdleHandler(hook);
    EXPECT_EQ(owner, form->Handle());
    EXPECT_EQ(form->Components().size(), components);  // the dialog is gone again
    EXPECT_FALSE(std::filesystem::exists(dir / "options.ini"));
}

// Presses a tool bar button as the native tool bar reports a click.
void PressToolButton(qd::TfrmMain& form, const wchar_t* name) {
    auto* b = static_cast<tk::TToolButton*>(form.FindComponent(name));
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(b->CommandId(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.suiToolBar1->Handle()));
}

TEST_F(MainWindowTest, ExportAsksBeforeOverwritingAndImportAppendsWhatTheListLacks) {
    Start();
    const std::filesystem::path backup = dir / "list.pwb";
    {
        qdtest::FileDialogAnswerer save((dir / "list").wstring());
        PressToolButton(*form, L"bExport");
        EXPECT_EQ(save.Title(), L"导出别名和路径");
    }
    tk::TIniFile ini(backup.wstring());
    EXPECT_EQ(ini.ReadString(L"PathWarden", L"Count", L""), L"2");
    EXPECT_EQ(ini.ReadString(L"PathWarden", L"N0", L""), L"Windows安装目录");

    // An existing file: No leaves it, Yes rewrites it.
    ini.WriteString(L"PathWarden", L"Count", L"0");
    {
        qdtest::FileDialogAnswerer save(backup.wstring());
        qdtest::MessageBoxAnswerer no(IDNO);
        PressToolButton(*form, L"bExport");
        EXPECT_EQ(no.Text(), backup.wstring() + L" 已经存在，要覆盖它吗？");
    }
    EXPECT_EQ(ini.ReadString(L"PathWarden", L"Count", L""), L"0");
    {
        qdtest::FileDialogAnswerer save(backup.wstring());
        qdtest::MessageBoxAnswerer yes(IDYES);
        PressToolButton(*form, L"bExport");
        EXPECT_TRUE(yes.Answered());
    }
    EXPECT_EQ(ini.ReadString(L"PathWarden", L"Count", L""), L"2");

    // Import: one entry is new, one is already in the list.
    ini.WriteString(L"PathWarden", L"Count", L"3");
    ini.WriteString(L"PathWarden", L"N2", L"新的");
    ini.WriteString(L"PathWarden", L"P2", L"E:\\new");
    {
        qdtest::FileDialogAnswerer open(backup.wstring());
        PressToolButton(*form, L"bImport");
        EXPECT_EQ(open.Title(), L"导入别名和路径");
    }
    ASSERT_EQ(form->lvMain->Count(), 3);
    EXPECT_EQ(form->lvMain->ItemCaption(2), L"新的");
    EXPECT_EQ(key.Read(L"N2"), L"新的");
    EXPECT_EQ(key.Read(L"P2"), L"E:\\new");

    // Cancelled dialogs do nothing.
    {
        qdtest::FileDialogAnswerer cancel(L"");
        PressToolButton(*form, L"bImport");
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_EQ(form->lvMain->Count(), 3);
}

TEST_F(MainWindowTest, ImportReadsAUtf8BackupWithoutChangingIt) {
    Start();
    const std::filesystem::path backup = dir / "utf8.pwb";
    const std::string bytes = "[PathWarden]\r\nCount=1\r\nN0=\xE4\xB8\xAD\xE6\x96\x87\r\nP0=D:\\\xE4\xB8\xAD\r\n";
    std::ofstream(backup, std::ios::binary) << bytes;
    {
        qdtest::FileDialogAnswerer open(backup.wstring());
        PressToolButton(*form, L"bImport");
    }
    ASSERT_EQ(form->lvMain->Count(), 3);
    EXPECT_EQ(form->lvMain->ItemCaption(2), L"\u4E2D\u6587");
    EXPECT_EQ(key.Read(L"P2"), L"D:\\\u4E2D");
    std::ifstream in(backup, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
}

class MainWindowErrorTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
    }
    void TearDown() override {
        tk::Application().SetExceptionHandler(nullptr);
        MainWindowTest::TearDown();
    }
    std::vector<std::wstring> errors;
};

TEST_F(MainWindowErrorTest, AValueOfAnotherTypeIsReportedAndTheWindowShowsTheRowsBeforeIt) {
    key.WriteString(L"N0", L"first");
    key.WriteString(L"P0", L"C:\\first");
    key.WriteDword(L"N1", 1);
    key.WriteString(L"P1", L"C:\\second");
    Start();
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Invalid data type for 'N1'"});
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    ASSERT_EQ(form->lvMain->Count(), 1);
    EXPECT_EQ(form->lvMain->ItemCaption(0), L"first");
    EXPECT_EQ(key.Read(L"Setting"), L"C:\\Tools\\Quiverdir.exe");  // creation went on after the fill
}

TEST_F(MainWindowErrorTest, AKeyThatCannotBeWrittenAtCreationIsReportedAndTheMessageLoopStillShowsItsRows) {
    key.WriteString(L"N0", L"kept");
    key.WriteString(L"P0", L"C:\\kept");
    key.WriteString(L"Setting", L"C:\\Elsewhere\\Quiverdir.exe");
    qdtest::ReadOnlyKey readOnly(key.Path());
    ASSERT_TRUE(readOnly.Applied());
    // Creation stops where the program's path is to be written, before it shows the window.
    qd::TfrmMain* created = tk::Application().CreateForm<qd::TfrmMain>(nullptr, Settings());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to open key '" + key.Path() + L"' for writing"});
    EXPECT_FALSE(created->Visible());

    // The message loop shows it (filling the list) and ends when it closes.
    bool visibleAtClose = false;
    int rowsAtClose = -1;
    const int hook = tk::Application().AddMessageHook([&](MSG& m) {
        if (m.message == WM_CLOSE && m.hwnd == created->Handle()) {
            visibleAtClose = IsWindowVisible(m.hwnd) != 0;
            rowsAtClose = created->lvMain->Count();
        }
        return false;
    });
    PostMessageW(created->Handle(), WM_CLOSE, 0, 0);
    tk::Application().Run();  // frees the main form
    tk::Application().RemoveMessageHook(hook);
    EXPECT_TRUE(visibleAtClose);
    EXPECT_EQ(rowsAtClose, 1);
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(MainWindowErrorTest, ExportToAFolderThatCannotBeWrittenShowsTheIniError) {
    Start();
    const std::wstring target = (dir / "no such folder" / "list.pwb").wstring();
    {
        qdtest::FileDialogAnswerer save(target);
        PressToolButton(*form, L"bExport");
    }
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Unable to write to " + target});
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(MainWindowErrorTest, AConstructionThatFailsGivesNoFormAndAnErrorBox) {
    struct Failing : tk::TForm {
        explicit Failing(tk::TComponent* owner) : tk::TForm(owner) { throw tk::Exception(L"cannot build"); }
    };
    EXPECT_EQ(tk::Application().CreateForm<Failing>(nullptr), nullptr);
    EXPECT_EQ(tk::Application().MainForm(), nullptr);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"cannot build"});
}

}  // namespace
