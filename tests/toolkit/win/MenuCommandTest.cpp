// Menu command identifiers and where a command goes: each tree of items numbers its own items above
// the identifiers of dialogs, a command reaches only the menu bar of the window it is sent to, and
// Enter and Escape typed as a person types them reach the form, never a menu item.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "tests/support/RealInput.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Menus.h"

namespace {

// A menu of n items that counts the clicks of each.
struct CountingMenu {
    explicit CountingMenu(int n) : clicks(static_cast<std::size_t>(n)) {
        for (int i = 0; i < n; ++i)
            menu.Items()->Add(L"Item " + std::to_wstring(i))->OnClick = [this, i](tk::TComponent*) {
                ++clicks[static_cast<std::size_t>(i)];
            };
    }
    tk::TMenuItem* Item(int i) const { return menu.Items()->Items(i); }
    int Total() const {
        int n = 0;
        for (int c : clicks) n += c;
        return n;
    }
    tk::TMainMenu menu{nullptr};
    std::vector<int> clicks;
};

class MenuCommandTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        realinput::MouseAway();
    }
};

TEST_F(MenuCommandTest, ATreeStopsAtItsLastIdentifierAndTakesAFreedOneAgain) {
    // Filled through branches of 256 items (small owner lists keep this quick).
    tk::TMenuItem root(nullptr);
    int added = 0;  // the items below the root
    try {
        for (;;) {
            tk::TMenuItem* branch = root.Add(L"branch");
            ++added;
            for (int i = 0; i < 255; ++i, ++added) branch->Add(L"leaf");
        }
    } catch (const tk::Exception&) {
    }
    // The root holds one identifier of the range, the items below it the rest.
    EXPECT_EQ(added, static_cast<int>(tk::TMenuItem::kLastMenuCommand - tk::TMenuItem::kFirstMenuCommand));
    EXPECT_THROW(root.Items(0)->Add(L"one more"), tk::Exception);
    tk::TMenuItem* leaf = root.Items(3)->Items(7);
    const unsigned freed = leaf->Command();
    delete leaf;
    EXPECT_EQ(root.Items(0)->Add(L"fits")->Command(), freed);
    // Another tree starts afresh.
    tk::TMenuItem other(nullptr);
    EXPECT_EQ(other.Add(L"first")->Command(), tk::TMenuItem::kFirstMenuCommand + 1);
}

TEST_F(MenuCommandTest, ACommandReachesOnlyTheMenuBarOfTheWindowItIsSentTo) {
    tk::TForm first(nullptr), second(nullptr), bare(nullptr);
    CountingMenu firstMenu(4), secondMenu(2);
    SetMenu(first.Handle(), firstMenu.menu.Handle());
    SetMenu(second.Handle(), secondMenu.menu.Handle());
    const unsigned onlyInFirst = firstMenu.Item(3)->Command();
    ASSERT_EQ(secondMenu.menu.Items()->FindCommand(onlyInFirst), nullptr);

    SendMessageW(second.Handle(), WM_COMMAND, MAKEWPARAM(onlyInFirst, 0), 0);
    SendMessageW(bare.Handle(), WM_COMMAND, MAKEWPARAM(onlyInFirst, 0), 0);
    EXPECT_EQ(firstMenu.Total(), 0);
    EXPECT_EQ(secondMenu.Total(), 0);
    // The same number sent to each window runs that window's own item.
    SendMessageW(second.Handle(), WM_COMMAND, MAKEWPARAM(firstMenu.Item(1)->Command(), 0), 0);
    EXPECT_EQ(secondMenu.clicks, (std::vector<int>{0, 1}));
    EXPECT_EQ(firstMenu.Total(), 0);
    SendMessageW(first.Handle(), WM_COMMAND, MAKEWPARAM(onlyInFirst, 0), 0);
    EXPECT_EQ(firstMenu.clicks, (std::vector<int>{0, 0, 0, 1}));
    SetMenu(first.Handle(), nullptr);
    SetMenu(second.Handle(), nullptr);
}

TEST_F(MenuCommandTest, EnterEscapeAndDialogIdentifiersNeverRunAMenuItem) {
    realinput::TestForm form;
    CountingMenu bar(16);
    SetMenu(form.Handle(), bar.menu.Handle());
    int enters = 0, escapes = 0;
    form.OnEnterKey = [&](tk::TComponent*) { ++enters; };
    form.OnEscapeKey = [&](tk::TComponent*) { ++escapes; };
    form.ShowUp();
    // The keys through the input queue and the application's loop, whose dialog manager turns
    // them into commands.
    realinput::Key(VK_ESCAPE);
    realinput::Key(VK_RETURN);
    EXPECT_EQ(escapes, 1);
    EXPECT_EQ(enters, 1);
    // Every identifier a dialog uses, as a command from nowhere (no control sent it).
    for (WPARAM id = IDOK; id <= IDCONTINUE; ++id) PostMessageW(form.Handle(), WM_COMMAND, id, 0);
    realinput::Settle();
    EXPECT_EQ(bar.Total(), 0);
    EXPECT_EQ(escapes, 2);
    EXPECT_EQ(enters, 2);
    SetMenu(form.Handle(), nullptr);
}

}  // namespace
