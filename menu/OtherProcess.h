// Talking to the windows of other programs: messages that wait a limited time for their answer
// (a program that hangs never holds the menu up), their texts, and memory inside their process for
// the messages that answer through a pointer (a pointer of this process means nothing there).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/win/Scoped.h"

namespace qd::menu {

// How long another program may take to answer one message.
constexpr UINT kAnswerTimeoutMs = 2000;
// The longest window text read from another program, in characters.
constexpr std::size_t kMaxForeignText = 32767;

// Sends the message and waits at most timeoutMs for the answer (not at all for a window the
// system already knows to hang); false when no answer came.
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer,
                UINT timeoutMs = kAnswerTimeoutMs);

// The window's text (the system carries it across processes); false when the window did not
// answer or its text is longer than kMaxForeignText.
bool ForeignText(HWND window, std::wstring& text);
// Sets the window's text; false when the window did not answer. Whether the text was taken as it
// is, only reading it back tells.
bool SetForeignText(HWND window, const std::wstring& text);

// The process that owns a window, opened to read and write its memory.
class RemoteProcess {
public:
    explicit RemoteProcess(HWND window);
    bool Valid() const { return static_cast<bool>(handle_); }
    HANDLE Handle() const { return handle_.get(); }
    DWORD Id() const { return id_; }
    // Whether it runs with the pointer size of this program (a 32-bit program on a 64-bit system
    // is not the same as a 64-bit one): structures with pointers in them are laid out alike only
    // then, and an address of its memory fits this program's pointers only then for certain.
    bool SamePointerSize() const;
    // Reads bytes at an address of that process: all of them or nothing.
    bool Read(std::uintptr_t address, void* out, std::size_t bytes) const;

private:
    tk::ScopedKernelHandle handle_;
    DWORD id_ = 0;
};

// A block of memory inside another process, for the messages that answer through a pointer. It is
// freed when the owner goes, unless a message sent with it went unanswered: the other program may
// still handle that message later and write into the block, so the block then stays until that
// answer has come or the program has ended. While a block waits so, no other block is made in
// that program (it would not answer in time either), so at most one is ever left there. Reads and
// writes stay inside the block.
class RemoteBuffer {
public:
    // Invalid when the process cannot be written, when an earlier block still waits there, or when
    // the block would lie at an address this program cannot name (a 64-bit process gets a block
    // below 2 GB, where a 32-bit address means the same).
    RemoteBuffer(const RemoteProcess& process, std::size_t bytes);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return address_ != nullptr; }
    // The block's address in that process, for a pointer inside the block.
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    std::size_t Size() const { return size_; }
    bool Write(std::size_t offset, const void* data, std::size_t bytes);
    bool Read(std::size_t offset, void* out, std::size_t bytes) const;
    // The whole block; empty when it could not be read.
    std::vector<std::uint8_t> ReadAll() const;
    // Sends the message with the block's address as its lParam, as SendWithin does. Without an
    // answer, the block is handed to the list of blocks that wait for a late one, and this object
    // is no longer valid.
    bool Send(HWND window, UINT message, WPARAM wParam, LRESULT& answer, UINT timeoutMs = kAnswerTimeoutMs);

private:
    void KeepUntilAnswered(HWND window);

    HANDLE process_;
    DWORD processId_;
    void* address_ = nullptr;
    std::size_t size_ = 0;
};

// The blocks that wait in other programs for a late answer, as (process id, address); those of
// programs that have ended are dropped first. For tests and reports.
std::vector<std::pair<DWORD, std::uintptr_t>> WaitingRemoteBlocks();

}  // namespace qd::menu
