// The command typed into a console's shell for each character a folder may hold, and when a
// console's line counts as a prompt with nothing typed.
#include <gtest/gtest.h>

#include "menu/ConsoleCommand.h"

namespace {

using qd::menu::CommandForFolder;
using qd::menu::ConsoleShell;
using qd::menu::PromptWaitsEmpty;

TEST(ConsoleCommandTest, EveryFolderArrivesAsItIsOrIsRefusedForBothShells) {
    const wchar_t* percent = qd::menu::kConsoleRefusesPercent;
    const wchar_t* character = qd::menu::kConsoleRefusesCharacter;
    struct Case {
        std::wstring folder;
        std::wstring cmd;  // empty: refused with cmdWhy
        const wchar_t* cmdWhy;
        std::wstring powerShell;
        const wchar_t* powerShellWhy;
    };
    const Case cases[] = {
        {L"C:\\Work", L"cd /d \"C:\\Work\"", nullptr, L"Set-Location -LiteralPath 'C:\\Work'", nullptr},
        {L"C:\\a b & c", L"cd /d \"C:\\a b & c\"", nullptr, L"Set-Location -LiteralPath 'C:\\a b & c'", nullptr},
        {L"C:\\x^y", L"cd /d \"C:\\x^y\"", nullptr, L"Set-Location -LiteralPath 'C:\\x^y'", nullptr},
        {L"C:\\it's", L"cd /d \"C:\\it's\"", nullptr, L"Set-Location -LiteralPath 'C:\\it''s'", nullptr},
        {L"C:\\it\x2019s", L"cd /d \"C:\\it\x2019s\"", nullptr, L"Set-Location -LiteralPath 'C:\\it\x2019\x2019s'",
         nullptr},
        {L"C:\\(1);a,b=c", L"cd /d \"C:\\(1);a,b=c\"", nullptr, L"Set-Location -LiteralPath 'C:\\(1);a,b=c'", nullptr},
        {L"C:\\$env:x `y [z]", L"cd /d \"C:\\$env:x `y [z]\"", nullptr,
         L"Set-Location -LiteralPath 'C:\\$env:x `y [z]'", nullptr},
        {L"C:\\100%", L"", percent, L"Set-Location -LiteralPath 'C:\\100%'", nullptr},
        {L"C:\\%PATH%", L"", percent, L"Set-Location -LiteralPath 'C:\\%PATH%'", nullptr},
        {L"C:\\Hi!", L"", percent, L"Set-Location -LiteralPath 'C:\\Hi!'", nullptr},
        {L"\\\\server\\share\\\x6587\x4EF6", L"cd /d \"\\\\server\\share\\\x6587\x4EF6\"", nullptr,
         L"Set-Location -LiteralPath '\\\\server\\share\\\x6587\x4EF6'", nullptr},
        {L"C:\\a\"b", L"", character, L"", character},
        {L"C:\\a\r\ndel *", L"", character, L"", character},
        {L"C:\\tab\there", L"", character, L"", character},
        {L"", L"", character, L"", character},
    };
    for (const Case& c : cases) {
        const auto cmd = CommandForFolder(ConsoleShell::Cmd, c.folder);
        EXPECT_EQ(cmd.text, c.cmd) << c.folder;
        EXPECT_EQ(cmd.why, c.cmdWhy) << c.folder;
        const auto ps = CommandForFolder(ConsoleShell::PowerShell, c.folder);
        EXPECT_EQ(ps.text, c.powerShell) << c.folder;
        EXPECT_EQ(ps.why, c.powerShellWhy) << c.folder;
    }
    EXPECT_TRUE(CommandForFolder(ConsoleShell::None, L"C:\\Work").text.empty());
}

TEST(ConsoleCommandTest, OnlyTheShellsAreKnownByTheirProgramNames) {
    EXPECT_EQ(qd::menu::ShellOfProgram(L"C:\\Windows\\System32\\CMD.EXE"), ConsoleShell::Cmd);
    EXPECT_EQ(qd::menu::ShellOfProgram(L"cmd.exe"), ConsoleShell::Cmd);
    EXPECT_EQ(qd::menu::ShellOfProgram(L"C:\\Windows\\System32\\WindowsPowerShell\\v1.0\\powershell.exe"),
              ConsoleShell::PowerShell);
    EXPECT_EQ(qd::menu::ShellOfProgram(L"C:/Program Files/PowerShell/7/pwsh.exe"), ConsoleShell::PowerShell);
    EXPECT_EQ(qd::menu::ShellOfProgram(L"C:\\tools\\notcmd.exe"), ConsoleShell::None);
    EXPECT_EQ(qd::menu::ShellOfProgram(L"C:\\cmd.exe\\ping.exe"), ConsoleShell::None);
    EXPECT_EQ(qd::menu::ShellOfProgram(L""), ConsoleShell::None);
}

TEST(ConsoleCommandTest, OnlyTheUsualPromptWithNothingTypedAfterItCounts) {
    struct Case {
        ConsoleShell shell;
        std::wstring before, after;
        bool waits;
    };
    const Case cases[] = {
        {ConsoleShell::Cmd, L"C:\\>", L"      ", true},
        {ConsoleShell::Cmd, L"D:\\Work\\a b>", L"", true},
        {ConsoleShell::Cmd, L"\\\\server\\share>", L"", true},
        {ConsoleShell::Cmd, L"C:\\>dir", L"   ", false},          // half typed
        {ConsoleShell::Cmd, L"C:\\>", L"dir   ", false},          // typed, cursor moved back
        {ConsoleShell::Cmd, L"C:\\>echo a>", L"", false},         // a redirection being typed
        {ConsoleShell::Cmd, L"Press any key to continue . . . ", L"", false},
        {ConsoleShell::Cmd, L"Terminate batch job (Y/N)? ", L"", false},
        {ConsoleShell::Cmd, L"$ ", L"", false},                    // a prompt of its own
        {ConsoleShell::Cmd, L">", L"", false},
        {ConsoleShell::Cmd, L"PS C:\\> ", L"", false},
        {ConsoleShell::PowerShell, L"PS C:\\Users\\me> ", L"", true},
        {ConsoleShell::PowerShell, L"PS HKLM:\\Software> ", L"  ", true},
        {ConsoleShell::PowerShell, L"PS C:\\> Get-", L"", false},
        {ConsoleShell::PowerShell, L"PS C:\\> ", L"ls", false},
        {ConsoleShell::PowerShell, L">> ", L"", false},            // continuation of a command
        {ConsoleShell::PowerShell, L"PS C:\\> echo a> ", L"", false},
        {ConsoleShell::PowerShell, L"C:\\>", L"", false},
        {ConsoleShell::None, L"C:\\>", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PromptWaitsEmpty(c.shell, c.before, c.after), c.waits) << c.before << L"|" << c.after;
}

}  // namespace
