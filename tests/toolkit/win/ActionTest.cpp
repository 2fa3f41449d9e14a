// Actions, their update rules and the tool buttons bound to them.
#include <gtest/gtest.h>

#include "toolkit/win/ActionList.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/ToolBar.h"

namespace {

TEST(Action, ExecuteRunsTheUpdateRuleFirstAndActsOnlyWhenEnabled) {
    tk::TComponent owner(nullptr);
    tk::TActionList list(&owner);
    tk::TAction action(&owner, &list);
    bool allowed = false;
    int runs = 0;
    action.OnUpdate = [&](tk::TComponent* s) { static_cast<tk::TAction*>(s)->SetEnabled(allowed); };
    action.OnExecute = [&](tk::TComponent*) { ++runs; };
    EXPECT_FALSE(action.Execute());
    allowed = true;
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(runs, 1);

    // The application's idle work runs the rules of every list whose owner is not a hidden form.
    allowed = false;
    tk::Application().Idle();
    EXPECT_FALSE(action.Enabled());
}

TEST(Action, ABoundButtonFollowsItsActionAndForgetsItWhenItGoes) {
    tk::TComponent owner(nullptr);
    auto* action = new tk::TAction(&owner);
    action->SetHint(L"Sort by Alias(Ascending)");
    action->SetImageIndex(8);
    auto* own = new tk::TToolButton(&owner);
    own->SetHint(L"Edit the selected folder");
    own->SetAction(action);
    auto* follower = new tk::TToolButton(&owner);
    follower->SetAction(action);
    int clicks = 0;
    follower->OnClick = [&](tk::TComponent*) { ++clicks; };

    action->SetEnabled(false);
    EXPECT_FALSE(follower->Enabled());
    EXPECT_EQ(follower->Hint(), L"Sort by Alias(Ascending)");
    EXPECT_EQ(own->Hint(), L"Edit the selected folder");
    EXPECT_EQ(follower->ImageIndex(), 8);
    follower->Click();  // a disabled action runs nothing, not even the button's own handler
    EXPECT_EQ(clicks, 0);

    delete action;
    EXPECT_EQ(follower->Action(), nullptr);
    EXPECT_TRUE(follower->Enabled());
    EXPECT_EQ(follower->Hint(), L"");
    EXPECT_EQ(follower->ImageIndex(), -1);
    follower->Click();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
