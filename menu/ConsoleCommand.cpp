#include "menu/ConsoleCommand.h"

#include <algorithm>

namespace qd::menu {

namespace {

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lower;
}

bool IsBlank(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L' ' || c == L'\0'; });
}

// PowerShell reads these as single quotes in a single-quoted string, besides the ASCII one.
bool IsSingleQuote(wchar_t c) { return c == L'\'' || (c >= 0x2018 && c <= 0x201B); }

}  // namespace

ConsoleShell ShellOfProgram(std::wstring_view program) {
    const std::size_t slash = program.find_last_of(L"\\/");
    const std::wstring name = Lower(slash == std::wstring_view::npos ? program : program.substr(slash + 1));
    if (name == L"cmd.exe") return ConsoleShell::Cmd;
    if (name == L"powershell.exe" || name == L"pwsh.exe") return ConsoleShell::PowerShell;
    return ConsoleShell::None;
}

ConsoleCommand CommandForFolder(ConsoleShell shell, const std::wstring& folder) {
    if (shell == ConsoleShell::None || folder.empty()) return {{}, kConsoleRefusesCharacter};
    for (const wchar_t c : folder)
        if (c < 0x20 || c == 0x7F || c == L'"') return {{}, kConsoleRefusesCharacter};
    if (shell == ConsoleShell::Cmd) {
        if (folder.find_first_of(L"%!") != std::wstring::npos) return {{}, kConsoleRefusesPercent};
        return {L"cd /d \"" + folder + L"\"", nullptr};
    }
    std::wstring quoted;
    for (const wchar_t c : folder) {
        quoted += c;
        if (IsSingleQuote(c)) quoted += c;
    }
    return {L"Set-Location -LiteralPath '" + quoted + L"'", nullptr};
}

bool PromptWaitsEmpty(ConsoleShell shell, std::wstring_view before, std::wstring_view after) {
    if (!IsBlank(after)) return false;
    if (shell == ConsoleShell::Cmd) {
        // X:\...>  or  \\server\share\...>  with no other ">" in it.
        if (before.size() < 4 || before.back() != L'>') return false;
        const std::wstring_view path = before.substr(0, before.size() - 1);
        if (path.find(L'>') != std::wstring_view::npos) return false;
        const wchar_t letter = static_cast<wchar_t>(path[0] | 0x20);
        const bool drive = letter >= L'a' && letter <= L'z' && path[1] == L':' && path[2] == L'\\';
        const bool share = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
        return drive || share;
    }
    if (shell == ConsoleShell::PowerShell) {
        if (before.size() < 6 || before.substr(0, 3) != L"PS " || before.substr(before.size() - 2) != L"> ")
            return false;
        return before.substr(3, before.size() - 5).find(L'>') == std::wstring_view::npos;
    }
    return false;
}

}  // namespace qd::menu
