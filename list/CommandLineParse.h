// The words of Quiverdir.exe's command line: which command the arguments ask for, with its operands,
// the usage text, and where what it says goes. Plain functions, shared by the program and its tests.
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

// Where one of the command's two texts (its output, its errors) goes.
enum class OutputRoute {
    Handle,   // the standard handle the program was handed: a file, a pipe or a console
    Console,  // the console of the program that started it
    Box,      // a message box
    Nothing,  // nowhere: the exit status alone tells
};

// What the program was started with.
struct OutputFacts {
    bool OutHanded = false;           // a standard output handle was handed to it (usable or not)
    bool ErrHanded = false;           // the same for standard error
    bool Console = false;             // it could attach to its starter's console
    bool InteractiveDesktop = false;  // its window station is the one a person sees ("WinSta0", visible)
};

struct OutputRoutes {
    OutputRoute Out = OutputRoute::Nothing;
    OutputRoute Err = OutputRoute::Nothing;
};

// A handed handle is written to, whatever it is; a text that fails to be written there (a pipe
// whose reader has gone, a closed handle) is lost, never shown elsewhere. Without its handle a
// text goes to the starter's console. A box is shown only for a start as a shortcut makes it:
// neither handle, no console, on an interactive desktop. Anything else (a scheduled task, a
// service, one stream redirected and the other not, with no console) writes nothing there, so the
// program never waits on a box no one may see.
OutputRoutes RouteOutput(const OutputFacts& facts);

}  // namespace qd
