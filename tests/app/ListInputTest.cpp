// The shortcut list as a person uses it, with the real mouse and keys: typing the first letters
// of an alias chooses its row, and a click chooses the row under the mouse; Ctrl+Z and Ctrl+Y
// undo and redo, but not in an edit box such as the find box, which undoes its own typing. Saves a
// look at the main window (see realinput::SaveScreenshot).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/FindBox.h"
#include "app/Main.h"
#include "list/ShortcutStore.h"
#include "tests/support/RealInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

namespace {

class ListInputTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
        realinput::MouseAway();
    }
    void TearDown() override {
        realinput::MouseAway();
        tk::Application().SetMainForm(nullptr);
        form.reset();
        tk::Application().SetExceptionHandler(nullptr);
    }
    void Start(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
        qd::MainSettings s{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(), L"C:\\windows", L""};
        s.BackupFolder = (dir / "backups").wstring();
        form = std::make_unique<qd::TfrmMain>(nullptr, s);
        tk::Application().SetMainForm(form.get());
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(form->Handle());
        realinput::Settle(150);
    }
    void ClickRow(int row) {
        RECT r{LVIR_BOUNDS};
        SendMessageW(form->lvMain->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        realinput::Click(form->lvMain->Handle(), r.left + 30, (r.top + r.bottom) / 2);
        realinput::Settle(100);
    }
    void Type(const char* letters) {
        for (const char* c = letters; *c; ++c) realinput::Key(static_cast<WORD>(*c));
        realinput::Settle(150);
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::vector<std::wstring> errors;
    std::unique_ptr<qd::TfrmMain> form;
};

TEST_F(ListInputTest, TypingAnAliasFirstLettersChoosesItsRow) {
    Start({{L"Beta", L"C:\\b"}, {L"alpha", L"C:\\a"}, {L"Gamma", L"C:\\g"}, {L"gadget", L"C:\\gd"}, {L"Golf", L"C:\\gf"}});
    realinput::SaveScreenshot(form->Handle(), "main-list");
    ClickRow(1);
    ASSERT_EQ(form->lvMain->ItemIndex(), 1);
    ASSERT_EQ(GetFocus(), form->lvMain->Handle());

    struct Step {
        const char* keys;
        int chosen;
    } steps[] = {
        {"GAD", 3},  // the letters together name one alias, whatever their case
        {"GO", 4},
        {"B", 0},    // from the last rows round to the top
        {"AL", 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.keys);
        Type(s.keys);
        EXPECT_EQ(form->lvMain->ItemIndex(), s.chosen);
        EXPECT_EQ(form->SelIndex(), s.chosen);
        // A pause ends the typed word, so the next letters start a new search.
        realinput::Settle(1100);
    }
    ClickRow(2);
    EXPECT_EQ(form->SelIndex(), 2);
    realinput::SaveScreenshot(form->Handle(), "main-list-chosen");
    EXPECT_TRUE(errors.empty());
}

TEST_F(ListInputTest, CtrlZUndoesTheLastChangeAndCtrlYDoesItAgain) {
    Start({{L"a", L"C:\\a"}, {L"b", L"C:\\b"}, {L"c", L"C:\\c"}});
    ClickRow(1);
    form->aDeleteExecute(form->aDelete);
    auto aliases = [&] {
        std::wstring shown, stored;
        for (int i = 0; i < form->lvMain->Count(); ++i) shown += form->lvMain->ItemCaption(i);
        for (int i = 0; key.Has(qd::AliasValueName(i)); ++i) stored += key.Read(qd::AliasValueName(i));
        return shown + L"|" + stored;
    };
    ASSERT_EQ(aliases(), L"ac|ac");
    auto withCtrl = [](WORD vk, WORD also = 0) {
        realinput::KeyDown(VK_CONTROL);
        if (also) realinput::KeyDown(also);
        realinput::Key(vk);
        if (also) realinput::KeyUp(also);
        realinput::KeyUp(VK_CONTROL);
        realinput::Settle(150);
    };
    withCtrl('Z');
    EXPECT_EQ(aliases(), L"abc|abc");
    EXPECT_EQ(form->lvMain->ItemIndex(), 1);  // the row that came back is chosen
    withCtrl('Y');
    EXPECT_EQ(aliases(), L"ac|ac");
    // Z without Ctrl is a letter typed into the list, and Ctrl+Alt+Z no undo.
    realinput::Key('Z');
    realinput::Settle(150);
    withCtrl('Z', VK_MENU);
    EXPECT_EQ(aliases(), L"ac|ac");
    withCtrl('Z', VK_SHIFT);
    EXPECT_EQ(aliases(), L"ac|ac");
    // In the open find box Ctrl+Z undoes the typing there, not the list.
    withCtrl('F');
    ASSERT_TRUE(form->FindBox()->IsOpen());
    Type("C");
    ASSERT_EQ(form->FindBox()->Text(), L"c");
    withCtrl('Z');
    EXPECT_EQ(form->FindBox()->Text(), L"");
    EXPECT_EQ(aliases(), L"ac|ac");
    realinput::Key(VK_ESCAPE);
    realinput::Settle(150);
    ASSERT_FALSE(form->FindBox()->IsOpen());
    // In an edit box of the window (as the find box is) Ctrl+Z is the box's own.
    struct ChildEdit {
        HWND window;
        ~ChildEdit() { DestroyWindow(window); }
    } edit{CreateWindowExW(0, L"Edit", L"typed", WS_CHILD | WS_VISIBLE | WS_BORDER, 200, 60, 120, 22,
                           form->lvMain->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr)};
    ASSERT_TRUE(edit.window);
    realinput::Click(edit.window, 10, 10);
    realinput::Settle(100);
    ASSERT_EQ(GetFocus(), edit.window);
    withCtrl('Z');
    EXPECT_EQ(aliases(), L"ac|ac");
    ClickRow(0);
    withCtrl('Z');
    EXPECT_EQ(aliases(), L"abc|abc");
    EXPECT_TRUE(errors.empty());
}

}  // namespace
