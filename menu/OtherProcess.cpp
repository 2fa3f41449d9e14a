#include "menu/OtherProcess.h"

#include <algorithm>
#include <cwchar>

namespace qd::menu {

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer, UINT timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &result))
        return false;
    answer = static_cast<LRESULT>(result);
    return true;
}

bool ForeignText(HWND window, std::wstring& text) {
    LRESULT length = 0;
    if (!SendWithin(window, WM_GETTEXTLENGTH, 0, 0, length) || length < 0 ||
        static_cast<std::size_t>(length) > kMaxForeignText)
        return false;
    // One more for the terminator, and room for a text that grew in the meantime (it is cut, and
    // a cut text never equals the one expected).
    std::wstring buffer(static_cast<std::size_t>(length) + 2, L'\0');
    LRESULT copied = 0;
    if (!SendWithin(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied) ||
        copied < 0)
        return false;
    buffer.resize(std::min(static_cast<std::size_t>(copied), buffer.size() - 1));
    // A text with a terminator inside ends there.
    buffer.resize(std::wcslen(buffer.c_str()));
    text = std::move(buffer);
    return true;
}

bool SetForeignText(HWND window, const std::wstring& text) {
    // What the answer means differs by class (an edit says TRUE, a combo box CB_OKAY, which is 0):
    // whoever must know that the text was taken reads it back.
    LRESULT answer = 0;
    return SendWithin(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), answer);
}

RemoteProcess::RemoteProcess(HWND window) {
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id) || !id) return;
    handle_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                              FALSE, id));
}

bool RemoteProcess::Read(std::uintptr_t address, void* out, std::size_t bytes) const {
    SIZE_T got = 0;
    return handle_ && address &&
           ReadProcessMemory(handle_.get(), reinterpret_cast<const void*>(address), out, bytes, &got) && got == bytes;
}

RemoteBuffer::RemoteBuffer(const RemoteProcess& process, std::size_t bytes) : process_(process.Handle()) {
    if (!process_ || bytes == 0) return;
    // Committed pages arrive filled with zeros.
    address_ = VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (address_) size_ = bytes;
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(std::size_t offset, const void* data, std::size_t bytes) {
    if (!address_ || offset > size_ || bytes > size_ - offset) return false;
    SIZE_T written = 0;
    return WriteProcessMemory(process_, static_cast<std::uint8_t*>(address_) + offset, data, bytes, &written) &&
           written == bytes;
}

bool RemoteBuffer::Read(std::size_t offset, void* out, std::size_t bytes) const {
    if (!address_ || offset > size_ || bytes > size_ - offset) return false;
    SIZE_T got = 0;
    return ReadProcessMemory(process_, static_cast<const std::uint8_t*>(address_) + offset, out, bytes, &got) &&
           got == bytes;
}

std::vector<std::uint8_t> RemoteBuffer::ReadAll() const {
    std::vector<std::uint8_t> bytes(size_);
    if (!Read(0, bytes.data(), bytes.size())) bytes.clear();
    return bytes;
}

}  // namespace qd::menu
