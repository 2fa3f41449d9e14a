#include "tests/menu/OtherProgram.h"

#include "tests/support/WinTest.h"

namespace qdtest {

namespace {

struct WindowSearch {
    DWORD process;
    const std::function<bool(HWND)>& wanted;
    HWND found = nullptr;
};

BOOL CALLBACK LookAt(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window) || !search->wanted(window)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

OtherProgram::OtherProgram(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return;
    process_.reset(started.hProcess);
    const tk::ScopedKernelHandle thread(started.hThread);
    id_ = started.dwProcessId;
}

OtherProgram::~OtherProgram() {
    if (Running() && WaitForSingleObject(process_.get(), kProgramEndMs) == WAIT_TIMEOUT)
        TerminateProcess(process_.get(), 9);
}

bool OtherProgram::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

HWND OtherProgram::WaitForWindow(const std::function<bool(HWND)>& wanted) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            WindowSearch search{id_, wanted};
            EnumWindows(&LookAt, reinterpret_cast<LPARAM>(&search));
            found = search.found;
            return found != nullptr || !Running();
        },
        kProgramStartMs);
    return found;
}

int OtherProgram::WaitForEnd() const {
    DWORD code = 0;
    if (!process_ || WaitForSingleObject(process_.get(), kProgramEndMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.get(), &code))
        return -1;
    return static_cast<int>(code);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

qd::ShellFolderRunner RecordInto(std::vector<ShellCall>& calls) {
    return [&calls](HWND, const wchar_t* verb, const std::wstring& folder) {
        calls.push_back({verb, folder});
        return true;
    };
}

}  // namespace qdtest
