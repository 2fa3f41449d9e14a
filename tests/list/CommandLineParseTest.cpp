// The command line's words: which command the arguments name, or why they name none; where what
// the command says goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/CommandLineParse.h"
#include "toolkit/Text.h"

namespace {

using qd::CommandAction;

TEST(CommandLineParseTest, TheArgumentsNameACommandOrSayWhyNot) {
    struct Case {
        std::vector<std::wstring> args;
        CommandAction action;
        std::wstring operands;  // alias|path|file
        std::wstring error;
    };
    const Case cases[] = {
        {{}, CommandAction::None, L"||", L""},
        {{L"/?"}, CommandAction::Help, L"||", L""},
        {{L"--LIST"}, CommandAction::List, L"||", L""},
        {{L"--add", L"工作", L"C:\\Work"}, CommandAction::Add, L"工作|C:\\Work|", L""},
        {{L"--delete", L"工作"}, CommandAction::Delete, L"工作||", L""},
        {{L"--export", L"list"}, CommandAction::Export, L"||list", L""},
        {{L"--import", L"a b.pwb"}, CommandAction::Import, L"||a b.pwb", L""},
        {{L"--add", L"x"}, CommandAction::None, L"||", L"--add takes 2 argument(s), not 1."},
        {{L"--list", L"x"}, CommandAction::None, L"||", L"--list takes 0 argument(s), not 1."},
        {{L"C:\\Work"}, CommandAction::None, L"||", L"Unknown option: C:\\Work"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tk::ToUtf8(c.args.empty() ? L"none" : c.args[0]));
        const qd::ParsedCommandLine parsed = qd::ParseCommandLine(c.args);
        EXPECT_EQ(parsed.Error, c.error);
        EXPECT_EQ(parsed.Request.Action, c.action);
        EXPECT_EQ(parsed.Request.Alias + L"|" + parsed.Request.Path + L"|" + parsed.Request.File, c.operands);
    }
}

TEST(CommandLineOutputTest, ABoxOnlyForAShortcutStartNeverForAnUnattendedOne) {
    using R = qd::OutputRoute;
    struct Case {
        const char* start;
        bool out, err, console, interactive;
        R outRoute, errRoute;
    };
    const Case cases[] = {
        {"from a shortcut", false, false, false, true, R::Box, R::Box},
        {"scheduled task, service: no handles, hidden desktop", false, false, false, false, R::Nothing, R::Nothing},
        {"from a command prompt, nothing redirected", false, false, true, true, R::Console, R::Console},
        {"the same on a hidden desktop", false, false, true, false, R::Console, R::Console},
        {"both redirected (a pipe closed or not)", true, true, false, true, R::Handle, R::Handle},
        {"both redirected, hidden desktop", true, true, false, false, R::Handle, R::Handle},
        {"output redirected in a console", true, false, true, true, R::Handle, R::Console},
        {"output redirected, no console", true, false, false, true, R::Handle, R::Nothing},
        {"errors redirected, no console", false, true, false, true, R::Nothing, R::Handle},
    };
    for (const Case& c : cases) {
        const qd::OutputRoutes routes = qd::RouteOutput({c.out, c.err, c.console, c.interactive});
        EXPECT_EQ(routes.Out, c.outRoute) << c.start;
        EXPECT_EQ(routes.Err, c.errRoute) << c.start;
    }
}

}  // namespace
