// Another program started by a test, and finding its windows and the calls a test's shell gets.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/OpenFolder.h"
#include "toolkit/win/Scoped.h"

namespace qdtest {

constexpr int kProgramStartMs = 20000;
constexpr int kProgramEndMs = 15000;

// Started from its command line; ended at the end of the scope if it has not ended by then.
class OtherProgram {
public:
    explicit OtherProgram(std::wstring command);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    bool Running() const;
    HANDLE Handle() const { return process_.get(); }
    // Waits for a shown top-level window of the program that is wanted.
    HWND WaitForWindow(const std::function<bool(HWND)>& wanted) const;
    // Waits for the program to end: its exit code, -1 when it did not end.
    int WaitForEnd() const;

private:
    tk::ScopedKernelHandle process_;
    DWORD id_ = 0;
};

std::wstring ClassOf(HWND window);

// What a test's shell was asked to open: the shell call of qd::OpenFolder, recorded.
struct ShellCall {
    std::wstring verb, folder;
    bool operator==(const ShellCall&) const = default;
};
qd::ShellFolderRunner RecordInto(std::vector<ShellCall>& calls);

}  // namespace qdtest
