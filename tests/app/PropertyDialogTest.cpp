// The property dialog on its own: the alias proposal, its layout, OK with good input, and the
// shell's folder picker behind its browse button, answered from another thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AddItem.h"
#include "app/Global.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

namespace {

TEST(FolderAliasTest, TheTextAfterTheLastBackslash) {
    struct Case {
        const wchar_t* path;
        const wchar_t* alias;
    } cases[] = {
        {L"C:\\Windows", L"Windows"},
        {L"D:\\Work\\Proj", L"Proj"},
        {L"C:\\", L"C:\\"},                   // a drive root is proposed whole
        {L"D:\\Work\\", L"D:\\Work\\"},       // so is any path ending with a backslash
        {L"Folder", L"Folder"},               // no backslash
        {L"", L""},
        {L"\\\\server\\share", L"share"},
        {L"C:\\a b\\ c ", L" c "},            // blanks are kept
        {L"C:/x/y", L"C:/x/y"},               // only the backslash separates
        {L"D:\\工作\\资料", L"资料"},
        // 乗 is 81 5C in GBK: its trail byte is no backslash.
        {L"D:\\乗\\x乗y", L"x乗y"},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::GetFolderAlias(c.path), c.alias);
}

class PropertyDialogTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        owner.SetCaption(L"owner");
        owner.SetBounds(100, 80, 640, 420);
        owner.Show();
        tk::Application().SetMainForm(&owner);
    }
    void TearDown() override { tk::Application().SetMainForm(nullptr); }

    tk::TForm owner{nullptr};
    qdtest::TempDir dir;
};

TEST_F(PropertyDialogTest, LayoutTextsAndKeyboardOrder) {
    qd::TfrmProperty dialog(&owner, L"alias", L"C:\\path");
    EXPECT_EQ(dialog.Caption(), L"增加快捷目录");
    EXPECT_EQ(dialog.feName->Text(), L"alias");
    EXPECT_EQ(dialog.fePath->Text(), L"C:\\path");
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 305);
    EXPECT_EQ(client.bottom, 153);
    auto at = [](tk::TControl* c) { return std::vector<int>{c->Left(), c->Top(), c->Width(), c->Height()}; };
    EXPECT_EQ(at(dialog.fbOk), (std::vector<int>{153, 120, 65, 25}));
    EXPECT_EQ(at(dialog.fbCancel), (std::vector<int>{233, 120, 65, 25}));
    EXPECT_EQ(at(dialog.GroupBox1), (std::vector<int>{8, 8, 291, 100}));
    EXPECT_EQ(at(dialog.feName), (std::vector<int>{46, 19, 203, 19}));
    EXPECT_EQ(at(dialog.fePath), (std::vector<int>{46, 62, 203, 19}));
    EXPECT_EQ(at(dialog.fsbBrowse), (std::vector<int>{257, 61, 22, 22}));
    EXPECT_EQ(dialog.fbOk->Caption(), L"确定(&O)");
    EXPECT_EQ(dialog.fbCancel->Caption(), L"取消(&C)");
    EXPECT_EQ(dialog.Label1->Caption(), L"别名");
    EXPECT_EQ(dialog.Label2->Caption(), L"路径");
    EXPECT_EQ(dialog.fsbBrowse->Caption(), L"...");
    // Tab goes between alias and path: the flat buttons are no tab stops (Enter, Escape, the mouse
    // and their underlined letters reach them), and the browse button never takes the focus.
    EXPECT_EQ(GetNextDlgTabItem(dialog.Handle(), dialog.feName->Handle(), FALSE), dialog.fePath->Handle());
    EXPECT_EQ(GetNextDlgTabItem(dialog.Handle(), dialog.fePath->Handle(), FALSE), dialog.feName->Handle());
    EXPECT_FALSE(dialog.fbOk->TabStop());
    // The flat look: edits in the button face, the browse dots in bold 20-pixel type.
    EXPECT_EQ(dialog.feName->ColorFlat(), tk::clBtnFace);
    EXPECT_TRUE(dialog.fePath->ParentColor());
    EXPECT_TRUE(dialog.fsbBrowse->Font().Bold);
    EXPECT_EQ(dialog.fsbBrowse->Font().Height, -20);
    EXPECT_EQ(dialog.fbCancel->ModalResult(), tk::mrCancel);
}

TEST_F(PropertyDialogTest, OkWithAnExistingFolderClosesWithTheTextsAsTheyStand) {
    const std::wstring folder = dir.Path().wstring();
    qd::TfrmProperty dialog(&owner, L" 别名 ", folder);
    RECT placed{}, ownerRect{};
    qdtest::FocusRecorder focus;
    qdtest::UiScript script(owner.Handle(), [&](DWORD ui) {
        HWND w = qdtest::WaitForTopWindow(ui, L"增加快捷目录");
        if (!w) return;
        GetWindowRect(w, &placed);
        qdtest::PressButton(qdtest::FindDescendantByText(w, L"确定(&O)"));
        qdtest::WaitUntilGone(w);
    });
    GetWindowRect(owner.Handle(), &ownerRect);
    EXPECT_EQ(dialog.ShowModal(), tk::mrOk);
    script.Join();
    EXPECT_EQ(dialog.feName->Text(), L" 别名 ");
    EXPECT_EQ(dialog.fePath->Text(), folder);
    EXPECT_TRUE(focus.Received(dialog.feName->Handle()));  // typing starts in the alias
    // Centred on its owner.
    EXPECT_NEAR((placed.left + placed.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
}

// What the browse button did, as seen from the picker.
struct PickerVisit {
    bool shown = false;
    std::wstring text;
    POINT at{};
    SIZE client{};
    bool dialogDisabled = false;
};

PickerVisit Browse(DWORD ui, HWND dialog, const std::wstring& choose) {
    PickerVisit visit;
    qdtest::PressButton(qdtest::FindDescendantByText(dialog, L"..."));
    HWND picker = qdtest::WaitForSystemDialog(ui, 10000);
    if (!picker) return visit;
    visit.shown = true;
    Sleep(100);
    visit.text = qdtest::DialogText(picker);
    RECT window{}, client{};
    GetWindowRect(picker, &window);
    GetClientRect(picker, &client);
    visit.at = {window.left, window.top};
    visit.client = {client.right, client.bottom};
    visit.dialogDisabled = !IsWindowEnabled(dialog);
    if (choose.empty()) {
        qdtest::PressDialogButton(picker, IDCANCEL);
    } else {
        // Choose the folder in the picker's tree; on a busy machine the tree may not take the
        // choice at once, so choose again until its highlighted item is that folder.
        HWND tree = qdtest::FindDescendant(picker, L"SysTreeView32");
        const std::wstring leaf = std::filesystem::path(choose).filename().wstring();
        for (int attempt = 0; attempt < 50; ++attempt) {
            SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(choose.c_str()));
            if (leaf.empty() || !tree) break;
            wchar_t text[MAX_PATH] = {};
            TVITEMW item{};
            item.mask = TVIF_TEXT;
            item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            if (item.hItem && SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && leaf == text) break;
            Sleep(100);
        }
        qdtest::PressDialogButton(picker, IDOK);
    }
    qdtest::WaitUntilGone(picker);
    return visit;
}

TEST_F(PropertyDialogTest, BrowseFillsPathAndAliasFromTheFolderPicker) {
    // A folder the picker's tree reaches from the drive (it does not show the temporary folder).
    const std::filesystem::path top = L"C:\\" + qdtest::UniqueName(L"qdpick");
    std::filesystem::create_directories(top / "Projects");
    struct Remove {
        std::filesystem::path p;
        ~Remove() { std::error_code e; std::filesystem::remove_all(p, e); }
    } remove{top};
    const std::wstring projects = (top / "Projects").wstring();
    qd::TfrmProperty dialog(&owner, L"typed", L"D:\\typed");
    std::vector<PickerVisit> visits;
    std::vector<std::pair<std::wstring, std::wstring>> after;
    bool enabledAfter = false;
    qdtest::UiScript script(owner.Handle(), [&](DWORD ui) {
        HWND w = qdtest::WaitForTopWindow(ui, L"增加快捷目录");
        if (!w) return;
        HWND name = qdtest::FindDescendant(w, L"Edit", 0), path = qdtest::FindDescendant(w, L"Edit", 1);
        for (const std::wstring& choose : {std::wstring(L"C:\\"), projects, std::wstring()}) {
            visits.push_back(Browse(ui, w, choose));
            Sleep(50);
            after.emplace_back(qdtest::WindowText(name), qdtest::WindowText(path));
        }
        enabledAfter = IsWindowEnabled(w) != 0;
        qdtest::PressButton(qdtest::FindDescendantByText(w, L"取消(&C)"));
        qdtest::WaitUntilGone(w);
    });
    EXPECT_EQ(dialog.ShowModal(), tk::mrCancel);
    script.Join();
    ASSERT_EQ(visits.size(), 3u);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    for (const PickerVisit& v : visits) {
        ASSERT_TRUE(v.shown);
        EXPECT_NE(v.text.find(L"请选择要加入快捷目录列表的文件夹"), std::wstring::npos);
        // Centred on the screen by its client size.
        EXPECT_EQ(v.at.x, (screenW - v.client.cx) / 2);
        EXPECT_EQ(v.at.y, (screenH - v.client.cy) / 2);
        EXPECT_TRUE(v.dialogDisabled);
    }
    // C:\ replaces the typed alias and is proposed whole; a folder gives its name; cancel keeps both.
    EXPECT_EQ(after[0], (std::pair<std::wstring, std::wstring>{L"C:\\", L"C:\\"}));
    EXPECT_EQ(after[1], (std::pair<std::wstring, std::wstring>{L"Projects", projects}));
    EXPECT_EQ(after[2], after[1]);
    EXPECT_TRUE(enabledAfter);
}

}  // namespace
