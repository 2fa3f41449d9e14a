// The tool bar on a real window: buttons keep their command identifiers whatever happens to the
// buttons around them, and the bar forgets what it referred to when that goes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/ImageList.h"
#include "toolkit/win/Timer.h"
#include "toolkit/win/ToolBar.h"

namespace {

class ToolBarTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        form.SetClientSize(300, 60);
        bar = new tk::TToolBar(&form);
        bar->SetParent(&form);
        bar->SetBounds(0, 0, 300, 36);
        bar->SetButtonSize(41, 36);
        form.Show();
    }
    tk::TToolButton* AddButton(const std::wstring& caption) {
        auto* b = new tk::TToolButton(&form);
        b->SetCaption(caption);
        b->OnClick = [this, caption](tk::TComponent*) { clicked.push_back(caption); };
        bar->AddButton(b);
        return b;
    }
    // A click as the native control reports it: a command with the button's identifier.
    void PressNative(int commandId) {
        SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(bar->Handle()));
    }
    std::wstring NativeText(int commandId) {
        wchar_t text[64] = {};
        SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, commandId, reinterpret_cast<LPARAM>(text));
        return text;
    }

    tk::TForm form{nullptr};
    tk::TToolBar* bar = nullptr;
    std::vector<std::wstring> clicked;
};

TEST_F(ToolBarTest, ButtonsKeepTheirIdentifiersWhenOthersAreRemovedOrAdded) {
    tk::TToolButton* a = AddButton(L"a");
    tk::TToolButton* b = AddButton(L"b");
    tk::TToolButton* c = AddButton(L"c");
    const int idC = c->CommandId();
    delete b;  // leaves the bar on its way out
    ASSERT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 2);

    PressNative(idC);
    EXPECT_EQ(clicked, std::vector<std::wstring>{L"c"});
    c->SetCaption(L"changed");
    EXPECT_EQ(NativeText(idC), L"changed");
    EXPECT_EQ(NativeText(a->CommandId()), L"a");

    tk::TToolButton* d = AddButton(L"d");
    const std::set<int> ids{a->CommandId(), c->CommandId(), d->CommandId()};
    EXPECT_EQ(ids.size(), 3u) << "a button added later took an identifier in use";
    PressNative(d->CommandId());
    PressNative(a->CommandId());
    EXPECT_EQ(clicked, (std::vector<std::wstring>{L"c", L"d", L"a"}));
    // The native order is the bar's order.
    TBBUTTON info{};
    SendMessageW(bar->Handle(), TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.idCommand, idC);
}

TEST_F(ToolBarTest, AButtonAndABarForgetWhatIsDestroyedWhoeverOwnsIt) {
    // Action and images belong to another owner than the button and the bar.
    auto* elsewhere = new tk::TComponent(nullptr);
    auto* action = new tk::TAction(elsewhere);
    int runs = 0;
    action->OnExecute = [&](tk::TComponent*) { ++runs; };
    auto* images = new tk::TImageList(elsewhere, 16, 16);
    bar->SetImages(images);
    tk::TToolButton* b = AddButton(L"bound");
    b->SetAction(action);
    PressNative(b->CommandId());
    EXPECT_EQ(runs, 1);

    delete elsewhere;
    EXPECT_EQ(b->Action(), nullptr);
    EXPECT_EQ(bar->Images(), nullptr);
    EXPECT_EQ(SendMessageW(bar->Handle(), TB_GETIMAGELIST, 0, 0), 0);
    PressNative(b->CommandId());  // now the button's own handler
    EXPECT_EQ(clicked, std::vector<std::wstring>{L"bound"});
    EXPECT_TRUE(b->Enabled());
}

TEST_F(ToolBarTest, TheBarsToolTipLosesItsRouteWithTheBar) {
    AddButton(L"a");
    HWND tips = reinterpret_cast<HWND>(SendMessageW(bar->Handle(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(tips);
    EXPECT_TRUE(GetPropW(tips, L"tk.NotifyTarget"));
    // Keep the tool tip alive past the bar (not owned by it, not destroyed by it) so that its
    // properties can still be read afterwards.
    SetWindowLongPtrW(tips, GWLP_HWNDPARENT, 0);
    SendMessageW(bar->Handle(), TB_SETTOOLTIPS, 0, 0);
    delete bar;
    ASSERT_TRUE(IsWindow(tips));
    EXPECT_EQ(GetPropW(tips, L"tk.NotifyTarget"), nullptr);
    DestroyWindow(tips);
}

TEST(Timer, TicksFromTheMessageLoopAndHandsErrorsToTheErrorBox) {
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    tk::TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](tk::TComponent*) {
        if (++ticks == 2) throw tk::Exception(L"tick failed");
    };
    EXPECT_TRUE(qdtest::PumpUntil([&] { return ticks >= 3; }, 3000));
    EXPECT_EQ(errors, std::vector<std::wstring>{L"tick failed"});
    timer.SetEnabled(false);
    const int stopped = ticks;
    qdtest::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, stopped);
    tk::Application().SetExceptionHandler(nullptr);
}

TEST(Application, HooksAndIdleWorkHandTheirErrorsToTheErrorBox) {
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    const int hook = tk::Application().AddMessageHook([](MSG& m) -> bool {
        if (m.message == WM_APP + 7) throw tk::Exception(L"hook failed");
        return false;
    });
    const int idle = tk::Application().AddIdleHandler([] { throw tk::Exception(L"idle failed"); });
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 7, 0, 0);
    tk::Application().ProcessMessages();
    tk::Application().RemoveMessageHook(hook);
    tk::Application().RemoveIdleHandler(idle);
    tk::Application().SetExceptionHandler(nullptr);
    EXPECT_EQ(errors, (std::vector<std::wstring>{L"hook failed", L"idle failed"}));
}

TEST(Form, CreateAndShowHandlersHandTheirErrorsToTheErrorBox) {
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    tk::TForm form(nullptr);
    form.OnCreate = [](tk::TComponent*) { throw tk::Exception(L"create failed"); };
    form.OnShow = [](tk::TComponent*) { throw tk::Exception(L"show failed"); };
    form.DoCreate();
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    tk::Application().SetExceptionHandler(nullptr);
    EXPECT_EQ(errors, (std::vector<std::wstring>{L"create failed", L"show failed"}));
}

}  // namespace
