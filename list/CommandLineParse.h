// The words of Quiverdir.exe's command line: which command the arguments ask for, with its operands,
// and the usage text. Plain functions, shared by the program and its tests.
#pragma once

#include <string>
#include <vector>

namespace qd {

enum class CommandAction {
    None,  // no arguments: the editor's window
    Help,
    List,
    Add,
    Delete,
    Export,
    Import,
};

struct CommandRequest {
    CommandAction Action = CommandAction::None;
    std::wstring Alias;
    std::wstring Path;
    std::wstring File;
};

// The exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;  // the input was refused or the change could not be made
constexpr int kExitUsage = 2;    // the arguments are not a command

struct ParsedCommandLine {
    CommandRequest Request;
    std::wstring Error;  // why the arguments are not a command; empty when they are
};

// The arguments after the program's name. Options are matched without regard to letter case.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args);

std::wstring UsageText();

}  // namespace qd
