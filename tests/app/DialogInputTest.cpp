// The dialogs as a person uses them: the real mouse and keys, and a look at them (see
// realinput::SaveScreenshot).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/AddItem.h"
#include "app/Global.h"
#include "app/Options.h"
#include "app/RestoreDialog.h"
#include "skin/controls/Form.h"
#include "tests/support/RealInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

namespace {

constexpr int kLeftOpen = -1;

class DialogInputTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        qd::AppOptions = {};
        realinput::MouseAway();
    }
    std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Runs the action once the dialog is up (and above every other window), while it runs modally.
    int RunModal(tk::TForm& dialog, const std::function<void()>& action) {
        bool acted = false;
        const int idle = tk::Application().AddIdleHandler([&] {
            if (acted || !IsWindowVisible(dialog.Handle())) return;
            acted = true;
            SetWindowPos(dialog.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            realinput::Settle(100);
            action();
            // A dialog the action left open is closed with a result of its own, so that the test
            // fails there rather than wait; the modal loop looks at the result after its next
            // message (this runs while it idles).
            realinput::Settle();
            if (dialog.ModalResult() == tk::mrNone) dialog.SetModalResult(kLeftOpen);
            PostMessageW(dialog.Handle(), WM_NULL, 0, 0);
        });
        const int result = dialog.ShowModal();
        tk::Application().RemoveIdleHandler(idle);
        return result;
    }
    qdtest::TempDir dir;
    std::filesystem::path file = dir / "options.ini";
};

TEST_F(DialogInputTest, OptionsTickedWithTheMouseAndConfirmedWithTheKeyboard) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::TfrmOptions dialog(nullptr, file.wstring());
    EXPECT_EQ(dialog.bOK->Width(), 75);
    EXPECT_EQ(dialog.bCancel->ModalResult(), tk::mrCancel);
    EXPECT_FALSE(dialog.bOK->Default());
    EXPECT_TRUE(dialog.cbAskDelete->TabStop());
    const int result = RunModal(dialog, [&] {
        realinput::SaveScreenshot(dialog.Handle(), "options");
        realinput::Click(dialog.cbExploreFolder->Handle(), 6, 8);  // untick the first box
        realinput::Click(dialog.cbAskDelete->Handle(), 150, 8);    // the caption is part of the box
        EXPECT_FALSE(dialog.cbExploreFolder->Checked());
        EXPECT_FALSE(dialog.cbAskDelete->Checked());
        realinput::AltKey('O');  // OK by its accelerator
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_FALSE(qd::AppOptions.ExploreFolder);
    EXPECT_EQ(ReadFile(file), "[Options]\r\nExploreFolder=0\r\nAskDelete=0\r\nShowTips=0\r\n");
}

TEST_F(DialogInputTest, OptionsCancelledWithTheMouseSaveNothing) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::TfrmOptions dialog(nullptr, file.wstring());
    const int result = RunModal(dialog, [&] {
        realinput::Click(dialog.cbAskDelete->Handle(), 6, 8);
        realinput::Click(dialog.bCancel->Handle(), 37, 12);
    });
    EXPECT_EQ(result, tk::mrCancel);
    EXPECT_TRUE(qd::AppOptions.AskDelete);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(DialogInputTest, PropertyDialogRefusesAnEmptyPathThenTakesAFolder) {
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    owner.Show();
    qd::TfrmProperty dialog(&owner, L"", L"");
    const std::wstring folder = dir.Path().wstring();
    std::wstring refusal;
    COLORREF focusedFace = 0, restingFace = 0;
    const int result = RunModal(dialog, [&] {
        // Typing starts in the alias, whose face turns white with the focus.
        realinput::Key('Q');
        realinput::Key('D');
        focusedFace = realinput::WindowPixel(dialog.feName->Handle(), 2, 2);
        restingFace = realinput::WindowPixel(dialog.fePath->Handle(), 2, 2);
        realinput::SaveScreenshot(dialog.Handle(), "property");
        {
            qdtest::MessageBoxAnswerer box(IDOK);
            realinput::Click(dialog.fbOk->Handle(), 32, 12);
            refusal = box.Text();
        }
        EXPECT_EQ(dialog.ModalResult(), tk::mrNone);  // still open
        dialog.fePath->SetText(folder);
        realinput::Click(dialog.fbOk->Handle(), 32, 12);
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_EQ(refusal, L"别名或路径框不能为空.");
    EXPECT_EQ(dialog.feName->Text(), L"qd");
    EXPECT_EQ(dialog.fePath->Text(), folder);
    EXPECT_EQ(focusedFace, 0xFFFFFFu);
    EXPECT_EQ(restingFace, GetSysColor(COLOR_BTNFACE));
}

TEST_F(DialogInputTest, PropertyDialogRefusesAMissingFolderAndCancelsByAccelerator) {
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    owner.Show();
    const std::wstring missing = (dir / "missing").wstring();
    qd::TfrmProperty dialog(&owner, L"alias", missing);
    std::wstring refusal;
    bool pathFocused = false;
    const int result = RunModal(dialog, [&] {
        {
            qdtest::MessageBoxAnswerer box(IDOK);
            realinput::AltKey('O');
            refusal = box.Text();
        }
        realinput::Settle();
        pathFocused = dialog.fePath->Focused();
        realinput::AltKey('C');
    });
    EXPECT_EQ(result, tk::mrCancel);
    EXPECT_EQ(refusal, missing + L",此路径不存在.");
    EXPECT_TRUE(pathFocused);
}

TEST_F(DialogInputTest, OptionsWorkFromTheKeyboardAlone) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::TfrmOptions dialog(nullptr, file.wstring());
    bool startsOnFirst = false, tabToSecond = false, tabBackToFirst = false;
    const int result = RunModal(dialog, [&] {
        startsOnFirst = dialog.cbExploreFolder->Focused();
        realinput::Key(VK_SPACE);  // untick the first box
        realinput::Key(VK_TAB);
        tabToSecond = dialog.cbAskDelete->Focused();
        realinput::Key(VK_SPACE);
        realinput::Key(VK_TAB);  // the hidden third box is skipped
        tabBackToFirst = dialog.cbExploreFolder->Focused();
        realinput::Key(VK_RETURN);  // OK
    });
    EXPECT_TRUE(startsOnFirst);
    EXPECT_TRUE(tabToSecond);
    EXPECT_TRUE(tabBackToFirst);
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_EQ(ReadFile(file), "[Options]\r\nExploreFolder=0\r\nAskDelete=0\r\nShowTips=0\r\n");
}

TEST_F(DialogInputTest, OptionsEscapeCancelsAndSavesNothing) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::TfrmOptions dialog(nullptr, file.wstring());
    const int result = RunModal(dialog, [&] {
        realinput::Key(VK_SPACE);
        EXPECT_FALSE(dialog.cbExploreFolder->Checked());
        realinput::Key(VK_ESCAPE);
    });
    EXPECT_EQ(result, tk::mrCancel);
    EXPECT_TRUE(qd::AppOptions.ExploreFolder);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(DialogInputTest, PropertyDialogTabsBetweenItsEditsAndEnterIsOkWithItsChecks) {
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    owner.Show();
    qd::TfrmProperty dialog(&owner, L"", L"");
    const std::wstring folder = dir.Path().wstring();
    std::wstring refusal;
    bool tabToPath = false, tabBackToAlias = false, stillOpen = false;
    const int result = RunModal(dialog, [&] {
        realinput::Key('Q');  // into the alias, where typing starts
        realinput::Key(VK_TAB);
        tabToPath = dialog.fePath->Focused();
        realinput::Key(VK_TAB);
        tabBackToAlias = dialog.feName->Focused();
        realinput::Key(VK_TAB);
        realinput::Key('Z');  // a relative path
        {
            qdtest::MessageBoxAnswerer box(IDOK);
            realinput::Key(VK_RETURN);
            refusal = box.Text();
        }
        realinput::Settle();
        stillOpen = dialog.ModalResult() == tk::mrNone && IsWindowVisible(dialog.Handle());
        dialog.fePath->SetText(folder);
        realinput::Key(VK_RETURN);
    });
    EXPECT_TRUE(tabToPath);
    EXPECT_TRUE(tabBackToAlias);
    EXPECT_EQ(refusal, L"z," + std::wstring(qd::kPathNotFull));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_EQ(dialog.feName->Text(), L"q");
    EXPECT_EQ(dialog.fePath->Text(), folder);
}

TEST_F(DialogInputTest, PropertyDialogEscapeCancelsAndLeavesTheMainWindowAsItIs) {
    // A main window in a skinned frame, whose title bar has a system menu with Minimize.
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    new TsuiForm(&owner);
    owner.Show();
    tk::Application().SetMainForm(&owner);
    qd::TfrmProperty dialog(&owner, L"alias", dir.Path().wstring());
    const int result = RunModal(dialog, [&] {
        realinput::Key('X');
        realinput::Key(VK_ESCAPE);
    });
    tk::Application().SetMainForm(nullptr);
    EXPECT_EQ(result, tk::mrCancel);
    EXPECT_FALSE(IsIconic(owner.Handle()));
    EXPECT_TRUE(IsWindowVisible(owner.Handle()));
}

// Three backups, newest first, as the restore dialog is given them.
std::vector<qd::AutoBackupInfo> ThreeBackups() {
    return {{L"C:\\b\\newest.pwb", {2026, 12, 7, 21, 30, 15, 2}, 10000},
            {L"C:\\b\\middle.pwb", {2026, 12, 7, 21, 30, 15, 1}, 9999},
            {L"C:\\b\\oldest.pwb", {2026, 11, 30, 8, 0, 0, 1}, -1}};
}

TEST_F(DialogInputTest, RestoreDialogWorksFromTheKeyboardAlone) {
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    owner.Show();
    qd::TfrmRestore dialog(&owner, ThreeBackups());
    ASSERT_EQ(dialog.lvBackups->Count(), 3);
    EXPECT_EQ(dialog.lvBackups->ItemCaption(0), L"2026-12-07");
    EXPECT_EQ(dialog.lvBackups->ItemSubItem(0), L"21:30:15 (2)");
    EXPECT_EQ(dialog.lvBackups->ItemSubItem(0, 1), L"10000");
    EXPECT_EQ(dialog.lvBackups->ItemSubItem(2, 1), L"?");
    bool startsOnNewest = false, tabToRestore = false, tabToCancel = false, tabBackToList = false;
    const int result = RunModal(dialog, [&] {
        realinput::SaveScreenshot(dialog.Handle(), "restore");
        startsOnNewest = dialog.lvBackups->Focused() && dialog.lvBackups->ItemIndex() == 0;
        realinput::Key(VK_DOWN);
        realinput::Key(VK_TAB);
        tabToRestore = dialog.fbRestore->Focused();
        realinput::Key(VK_TAB);
        tabToCancel = dialog.fbCancel->Focused();
        realinput::Key(VK_TAB);
        tabBackToList = dialog.lvBackups->Focused();
        realinput::Key(VK_RETURN);
    });
    EXPECT_TRUE(startsOnNewest);
    EXPECT_TRUE(tabToRestore);
    EXPECT_TRUE(tabToCancel);
    EXPECT_TRUE(tabBackToList);
    ASSERT_EQ(result, tk::mrOk);
    EXPECT_EQ(dialog.Chosen().File, L"C:\\b\\middle.pwb");
}

TEST_F(DialogInputTest, RestoreDialogCancelsByEscapeAndByEnterOnCancel) {
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    owner.Show();
    {
        qd::TfrmRestore dialog(&owner, ThreeBackups());
        EXPECT_EQ(RunModal(dialog, [&] { realinput::Key(VK_ESCAPE); }), tk::mrCancel);
    }
    qd::TfrmRestore dialog(&owner, ThreeBackups());
    const int result = RunModal(dialog, [&] {
        realinput::Key(VK_TAB);
        realinput::Key(VK_TAB);
        realinput::Key(VK_RETURN);
    });
    EXPECT_EQ(result, tk::mrCancel);
}

TEST_F(DialogInputTest, RestoreDialogTakesTheRowDoubleClicked) {
    tk::TForm owner(nullptr);
    owner.SetBounds(300, 200, 640, 420);
    owner.Show();
    qd::TfrmRestore dialog(&owner, ThreeBackups());
    const int result = RunModal(dialog, [&] {
        RECT r{LVIR_BOUNDS};
        SendMessageW(dialog.lvBackups->Handle(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
        realinput::DoubleClick(dialog.lvBackups->Handle(), r.left + 20, (r.top + r.bottom) / 2);
    });
    ASSERT_EQ(result, tk::mrOk);
    EXPECT_EQ(dialog.Chosen().File, L"C:\\b\\oldest.pwb");
}

}  // namespace
