// Talking to the windows of other programs: messages that wait a limited time for their answer
// (a program that hangs never holds the menu up), their texts, and memory inside their process for
// the messages that answer through a pointer (a pointer of this process means nothing there).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
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
    // Reads bytes at an address of that process: all of them or nothing.
    bool Read(std::uintptr_t address, void* out, std::size_t bytes) const;

private:
    tk::ScopedKernelHandle handle_;
};

// A block of memory inside another process, freed when the owner goes. Reads and writes stay
// inside the block.
class RemoteBuffer {
public:
    RemoteBuffer(const RemoteProcess& process, std::size_t bytes);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return address_ != nullptr; }
    // The block's address in that process, for a message's parameter.
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    std::size_t Size() const { return size_; }
    bool Write(std::size_t offset, const void* data, std::size_t bytes);
    bool Read(std::size_t offset, void* out, std::size_t bytes) const;
    // The whole block; empty when it could not be read.
    std::vector<std::uint8_t> ReadAll() const;

private:
    HANDLE process_;
    void* address_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace qd::menu
