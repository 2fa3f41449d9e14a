// Console windows of other programs: a shell (cmd or PowerShell) waiting at its prompt with nothing
// else running in its console is taken to a folder by entering the shell's change-folder command
// through the console's input, as keys typed into it would arrive.
#pragma once

#include <windows.h>

#include <string>

namespace qd::menu {

enum class ConsoleOutcome {
    Entered,      // the command and Enter are in the console's input
    NotAtPrompt,  // not a shell waiting at an empty prompt (or the console could not be reached)
    Refused,      // a shell at its prompt, but the folder cannot be typed so that it arrives intact
};
struct ConsoleResult {
    ConsoleOutcome outcome = ConsoleOutcome::NotAtPrompt;
    const wchar_t* why = nullptr;  // for Refused: the message
};

// Attaches to the console of the window (its class tells: IsConsoleClass) and enters the command
// only when its processes are one shell and nothing else, no keys wait unread in its input, and
// its cursor stands right after the shell's usual prompt with nothing typed (PromptWaitsEmpty).
// The console is let go again before this returns, unless its host did not answer within
// kAnswerTimeoutMs (the work goes on on a thread of its own and lets go when it ends; NotAtPrompt,
// or Entered once the keys were on their way). A caller that has a console of its own cannot
// attach to another one: NotAtPrompt.
ConsoleResult SwitchConsole(HWND console, const std::wstring& folder);

}  // namespace qd::menu
