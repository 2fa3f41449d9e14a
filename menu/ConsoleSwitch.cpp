#include "menu/ConsoleSwitch.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

#include "menu/ConsoleCommand.h"
#include "menu/OtherProcess.h"
#include "toolkit/win/BoundedCall.h"
#include "toolkit/win/Scoped.h"

namespace qd::menu {

namespace {

// At most this many programs of a shell's name are tried when the console's window does not name
// its shell (Wine's consoles belong to their host program); the longest prompt line read, in lines
// of the screen; the most input events looked at for keys not yet read.
constexpr std::size_t kMaxShellsTried = 64;
constexpr int kMaxPromptLines = 8;
constexpr DWORD kMaxPendingEvents = 256;
constexpr DWORD kMaxConsoleProcesses = 64;

// Attached to another program's console for the scope's length. This program's standard handles
// are kept as they were (attaching replaces them), and Ctrl+C reaching the console meanwhile does
// not end this program.
class ConsoleAttachment {
public:
    ConsoleAttachment() {
        for (int i = 0; i < 3; ++i) saved_[i] = GetStdHandle(kStd[i]);
    }
    ~ConsoleAttachment() { Detach(); }
    ConsoleAttachment(const ConsoleAttachment&) = delete;
    ConsoleAttachment& operator=(const ConsoleAttachment&) = delete;

    bool Attach(DWORD processId) {
        Detach();
        if (!AttachConsole(processId)) return false;
        attached_ = true;
        SetConsoleCtrlHandler(nullptr, TRUE);
        return true;
    }
    void Detach() {
        if (!attached_) return;
        SetConsoleCtrlHandler(nullptr, FALSE);
        FreeConsole();
        attached_ = false;
        for (int i = 0; i < 3; ++i) SetStdHandle(kStd[i], saved_[i]);
    }

private:
    static constexpr DWORD kStd[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE saved_[3] = {};
    bool attached_ = false;
};

std::wstring ProgramOf(DWORD processId) {
    const tk::ScopedKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring name(MAX_PATH * 4, L'\0');
    DWORD size = static_cast<DWORD>(name.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, name.data(), &size)) return {};
    name.resize(size);
    return name;
}

// Attaches to the console whose window this is: through the window's program first (Windows names
// the console's first program there), else through the running shells, one by one. Wine's window
// belongs to the console's host, started by the program that made the console, which usually
// started the shell too: shells with the host's parent are tried first, so that other consoles
// are rarely attached to at all.
bool AttachToConsoleOf(HWND console, ConsoleAttachment& attachment) {
    DWORD owner = 0;
    GetWindowThreadProcessId(console, &owner);
    if (owner && attachment.Attach(owner) && GetConsoleWindow() == console) return true;
    attachment.Detach();
    const tk::ScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return false;
    std::vector<std::pair<DWORD, DWORD>> shells;  // (process, parent)
    DWORD ownerParent = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == owner) ownerParent = entry.th32ParentProcessID;
        else if (ShellOfProgram(entry.szExeFile) != ConsoleShell::None)
            shells.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    }
    std::stable_partition(shells.begin(), shells.end(),
                          [&](const auto& shell) { return ownerParent && shell.second == ownerParent; });
    if (shells.size() > kMaxShellsTried) shells.resize(kMaxShellsTried);
    for (const auto& shell : shells) {
        if (attachment.Attach(shell.first) && GetConsoleWindow() == console) return true;
        attachment.Detach();
    }
    return false;
}

// The one shell the attached console runs, with nothing else in it but this program (and, where
// the system lists it, the console's host).
ConsoleShell OnlyShellInConsole() {
    std::vector<DWORD> ids(kMaxConsoleProcesses);
    const DWORD count = GetConsoleProcessList(ids.data(), static_cast<DWORD>(ids.size()));
    if (count == 0 || count > ids.size()) return ConsoleShell::None;
    ids.resize(count);
    ConsoleShell shell = ConsoleShell::None;
    int others = 0;
    for (const DWORD id : ids) {
        if (id == GetCurrentProcessId()) continue;
        const std::wstring program = ProgramOf(id);
        const std::size_t slash = program.find_last_of(L'\\');
        if (program.empty()) return ConsoleShell::None;  // a program that cannot be named counts as running
        if (_wcsicmp(program.c_str() + (slash == std::wstring::npos ? 0 : slash + 1), L"conhost.exe") == 0) continue;
        ++others;
        shell = ShellOfProgram(program);
    }
    return others == 1 ? shell : ConsoleShell::None;
}

// Whether keys wait in the console's input that the shell has not read yet: typed ahead, they
// would come before the command.
bool KeysWaiting(HANDLE input) {
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(input, &count)) return true;
    if (count == 0) return false;
    std::vector<INPUT_RECORD> records(std::min(count, kMaxPendingEvents));
    DWORD read = 0;
    if (!PeekConsoleInputW(input, records.data(), static_cast<DWORD>(records.size()), &read)) return true;
    return count > kMaxPendingEvents ||
           std::any_of(records.begin(), records.begin() + read, [](const INPUT_RECORD& r) {
               return r.EventType == KEY_EVENT && r.Event.KeyEvent.bKeyDown;
           });
}

std::wstring ScreenLine(HANDLE output, SHORT y, SHORT width) {
    std::wstring line(static_cast<std::size_t>(width), L' ');
    DWORD got = 0;
    if (!ReadConsoleOutputCharacterW(output, line.data(), static_cast<DWORD>(width), COORD{0, y}, &got)) return {};
    line.resize(std::min<std::size_t>(got, line.size()));
    return line;
}

// Whether the cursor stands right after the shell's prompt with nothing typed. A prompt longer than
// a line wraps: lines above the cursor's that are filled to their last column belong to it.
bool AtEmptyPrompt(HANDLE output, ConsoleShell shell) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output, &info) || info.dwSize.X <= 0) return false;
    const SHORT width = info.dwSize.X;
    const COORD cursor = info.dwCursorPosition;
    const std::wstring line = ScreenLine(output, cursor.Y, width);
    if (line.size() != static_cast<std::size_t>(width) || cursor.X > width) return false;
    std::wstring before = line.substr(0, static_cast<std::size_t>(cursor.X));
    const std::wstring after = line.substr(static_cast<std::size_t>(cursor.X));
    for (SHORT y = cursor.Y - 1; y >= 0 && y >= cursor.Y - kMaxPromptLines; --y) {
        const std::wstring above = ScreenLine(output, y, width);
        if (above.size() != static_cast<std::size_t>(width) || above.back() == L' ') break;
        before = above + before;
    }
    return PromptWaitsEmpty(shell, before, after);
}

void AddKey(std::vector<INPUT_RECORD>& records, wchar_t c, WORD key, DWORD state) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    KEY_EVENT_RECORD& event = record.Event.KeyEvent;
    event.wRepeatCount = 1;
    event.wVirtualKeyCode = key;
    event.wVirtualScanCode = static_cast<WORD>(key ? MapVirtualKeyW(key, MAPVK_VK_TO_VSC) : 0);
    event.uChar.UnicodeChar = c;
    event.dwControlKeyState = state;
    event.bKeyDown = TRUE;
    records.push_back(record);
    event.bKeyDown = FALSE;
    records.push_back(record);
}

// Each character as a key pressed and let go that carries it. A character the keyboard types with
// no key or Shift alone carries its key too (line editors that look at keys see what they expect);
// any other goes as the character alone, so that no Ctrl or Alt reaches the shell.
std::vector<INPUT_RECORD> KeysFor(const std::wstring& text) {
    std::vector<INPUT_RECORD> records;
    records.reserve(text.size() * 2 + 2);
    for (const wchar_t c : text) {
        const SHORT scan = VkKeyScanW(c);
        const BYTE shift = scan == -1 ? 0xFF : HIBYTE(scan);
        if (shift == 0 || shift == 1)
            AddKey(records, c, LOBYTE(scan), shift ? SHIFT_PRESSED : 0);
        else
            AddKey(records, c, 0, 0);
    }
    AddKey(records, L'\r', VK_RETURN, 0);
    return records;
}

// Whether the keys are entered: decided once, either by the work (it starts entering them) or by
// the caller that stopped waiting for it (the folder goes to Explorer instead, and the keys must
// then never arrive).
enum class Entering { Undecided, Started, Abandoned };

ConsoleResult SwitchConsoleNow(HWND console, const std::wstring& folder, std::atomic<Entering>& entering) {
    if (GetConsoleWindow()) return {};
    ConsoleAttachment attachment;
    if (!AttachToConsoleOf(console, attachment)) return {};
    const ConsoleShell shell = OnlyShellInConsole();
    if (shell == ConsoleShell::None) return {};
    const tk::ScopedFile input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    const tk::ScopedFile output(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!input.Valid() || !output.Valid()) return {};
    if (KeysWaiting(input.get()) || !AtEmptyPrompt(output.get(), shell)) return {};
    const ConsoleCommand command = CommandForFolder(shell, folder);
    if (command.text.empty()) return {ConsoleOutcome::Refused, command.why};
    const std::vector<INPUT_RECORD> keys = KeysFor(command.text);
    Entering undecided = Entering::Undecided;
    if (!entering.compare_exchange_strong(undecided, Entering::Started)) return {};
    DWORD written = 0;
    if (!WriteConsoleInputW(input.get(), keys.data(), static_cast<DWORD>(keys.size()), &written)) return {};
    // A console takes all of one write or none of it; a part would be a half-typed command.
    return {written == keys.size() ? ConsoleOutcome::Entered : ConsoleOutcome::NotAtPrompt, nullptr};
}

}  // namespace

ConsoleResult SwitchConsole(HWND console, const std::wstring& folder) {
    // The console's calls are answered by its host program: made on a thread of their own with a
    // time limit, so that a host that does not answer holds the menu up no longer. Shared with
    // that thread, which may outlive the wait.
    auto entering = std::make_shared<std::atomic<Entering>>(Entering::Undecided);
    const auto result = tk::CallWithin<ConsoleResult>(
        kAnswerTimeoutMs, [console, folder, entering] { return SwitchConsoleNow(console, folder, *entering); });
    if (result) return *result;
    // No answer in time. Keys already on their way may still arrive: an Explorer window as well
    // would take the user there twice. Otherwise they never will, and Explorer opens the folder.
    Entering undecided = Entering::Undecided;
    if (entering->compare_exchange_strong(undecided, Entering::Abandoned)) return {};
    return {ConsoleOutcome::Entered, nullptr};
}

}  // namespace qd::menu
