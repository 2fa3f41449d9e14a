// Where options.ini lives: beside the program in a folder the user may write to, else the user's
// own file in the application data folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/OptionsPlace.h"
#include "toolkit/Text.h"

namespace {

TEST(OptionsPlace, BesideAWritableProgramElseTheUsersOwn) {
    const std::wstring program = L"C:\\Program Files\\Quiverdir", appData = L"C:\\Users\\u\\AppData\\Roaming";
    const std::wstring beside = program + L"\\options.ini", own = appData + L"\\Quiverdir\\options.ini";
    struct Case {
        const char* name;
        bool besideExists, writable;
        std::wstring appData;
        qd::OptionsPlace expected;
    };
    const std::vector<Case> cases = {
        {"portable copy with its file", true, true, appData, {beside, false, false}},
        {"portable copy or per-user install, first start", false, true, appData, {beside, false, false}},
        {"all users: each user's own, starting from the shared file", true, false, appData, {own, true, true}},
        {"all users, no file beside", false, false, appData, {own, true, false}},
        {"all users, application data unknown", true, false, L"", {beside, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qd::OptionsPlace place = qd::ChooseOptionsPlace(program, c.besideExists, c.writable, c.appData);
        EXPECT_EQ(tk::ToUtf8(place.File), tk::ToUtf8(c.expected.File));
        EXPECT_EQ(place.PerUser, c.expected.PerUser);
        EXPECT_EQ(place.CopyBesideFirst, c.expected.CopyBesideFirst);
    }
    EXPECT_EQ(qd::ChooseOptionsPlace(L"", false, true, appData).File, L"options.ini");
}

}  // namespace
