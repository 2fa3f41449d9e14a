// The command that changes the folder of a shell waiting at its prompt in a console window, and how
// the console's screen tells that it waits there with nothing typed: plain functions, so that every
// path character and prompt can be checked without a console.
#pragma once

#include <string>
#include <string_view>

namespace qd::menu {

enum class ConsoleShell { None, Cmd, PowerShell };

// The shell a program is, by its file name (a full path or the name alone, any case): cmd.exe,
// powershell.exe (Windows PowerShell) or pwsh.exe (PowerShell); None for any other program.
ConsoleShell ShellOfProgram(std::wstring_view program);

// What is typed into the shell's console to take it to the folder, Enter not included; empty with
// why set when the folder cannot be typed so that it arrives as it is:
//   cmd          cd /d "FOLDER"   cmd expands %NAME% at its prompt even inside quotes, and !NAME!
//                                 too when delayed expansion is on (nothing outside tells), so a
//                                 folder with % or ! is refused; inside the quotes & ^ ' ( ) ; , =
//                                 are plain characters.
//   PowerShell   Set-Location -LiteralPath 'FOLDER'   inside single quotes only a quote is special:
//                                 each is doubled (PowerShell takes the typographic single quotes
//                                 as quotes too); -LiteralPath reads [ ] * ? as themselves.
// A folder with a control character or a double quote (neither can be in a Windows path, but a
// line break would end the command) is refused for both.
struct ConsoleCommand {
    std::wstring text;
    const wchar_t* why = nullptr;
};
ConsoleCommand CommandForFolder(ConsoleShell shell, const std::wstring& folder);

inline constexpr wchar_t kConsoleRefusesPercent[] =
    L"命令行会把路径中的 % 或 ! 当作变量展开, 这个文件夹无法在命令行中切换; 已在资源管理器中打开.";
inline constexpr wchar_t kConsoleRefusesCharacter[] = L"路径中有命令行无法输入的字符; 已在资源管理器中打开.";

// Whether the console line the cursor is on shows the shell's prompt with nothing typed after it:
// `before` is the text from the start of the prompt's line up to the cursor, `after` the rest of
// that line. Nothing but blanks may follow the cursor, and what precedes it must be the shell's
// usual prompt ending at the cursor: for cmd a drive or network folder and one ">" (a path cannot
// hold ">", so a line like `C:\>echo a>` is not a prompt), for PowerShell "PS " followed by a
// location and "> ". A changed prompt, a half-typed command, a question a command asks
// ("Press any key", "Terminate batch job (Y/N)?") or PowerShell's continuation prompt ">> " do
// not count: the folder then opens in Explorer instead.
bool PromptWaitsEmpty(ConsoleShell shell, std::wstring_view before, std::wstring_view after);

}  // namespace qd::menu
