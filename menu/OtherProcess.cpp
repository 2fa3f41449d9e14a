#include "menu/OtherProcess.h"

#include <algorithm>
#include <cwchar>
#include <list>
#include <mutex>
#include <utility>

namespace qd::menu {

namespace {

// The highest address below which a block is placed in a process of the other pointer size.
constexpr std::uintptr_t kLowAddressLimit = 0x7FFF0000;

// A block inside another program left there after a message that carried its address went
// unanswered: the program may handle that message still and write into it.
struct WaitingBlock {
    ULONG_PTR ticket;
    DWORD processId;
    tk::ScopedKernelHandle process;
    void* address;
};

std::mutex waitingMutex;
ULONG_PTR nextTicket = 1;

std::list<WaitingBlock>& Waiting() {
    static std::list<WaitingBlock> blocks;
    return blocks;
}

// Drops the blocks of programs that have ended: their memory went with them. The lock is held.
void DropEnded() {
    Waiting().remove_if([](const WaitingBlock& block) {
        return WaitForSingleObject(block.process.get(), 0) == WAIT_OBJECT_0;
    });
}

bool IsWaitingIn(DWORD processId) {
    std::lock_guard lock(waitingMutex);
    DropEnded();
    return std::any_of(Waiting().begin(), Waiting().end(),
                       [&](const WaitingBlock& block) { return block.processId == processId; });
}

// The answer to the message sent after the unanswered one has come: the unanswered one was
// handled before it, and its block may go.
void CALLBACK LateAnswerArrived(HWND, UINT, ULONG_PTR ticket, LRESULT) {
    std::lock_guard lock(waitingMutex);
    auto& blocks = Waiting();
    for (auto it = blocks.begin(); it != blocks.end(); ++it)
        if (it->ticket == ticket) {
            VirtualFreeEx(it->process.get(), it->address, 0, MEM_RELEASE);
            blocks.erase(it);
            return;
        }
}

// A block at an address below 2 GB, placed there by asking for that very address: a 64-bit
// process may be given memory above 4 GB, whose address a 32-bit program would cut short and
// hand on as another address of that process.
void* AllocateLow(HANDLE process, std::size_t bytes) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uintptr_t grain = system.dwAllocationGranularity ? system.dwAllocationGranularity : 0x10000;
    std::uintptr_t at = grain;
    while (at < kLowAddressLimit && bytes <= kLowAddressLimit - at) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQueryEx(process, reinterpret_cast<void*>(at), &region, sizeof region)) return nullptr;
        const auto base = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        std::uintptr_t end = base + region.RegionSize;
        if (end <= at || end > kLowAddressLimit) end = kLowAddressLimit;
        const std::uintptr_t start = (at + grain - 1) / grain * grain;
        if (region.State == MEM_FREE && start < end && bytes <= end - start) {
            void* got = VirtualAllocEx(process, reinterpret_cast<void*>(start), bytes, MEM_COMMIT | MEM_RESERVE,
                                       PAGE_READWRITE);
            if (got == reinterpret_cast<void*>(start)) return got;
            // Anything else is not the block asked for; nothing is freed at an address not known.
            if (got) return nullptr;
        }
        at = end;
    }
    return nullptr;
}

}  // namespace

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
    handle_.reset(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id));
    if (handle_) id_ = id;
}

bool RemoteProcess::SamePointerSize() const {
    BOOL mine = FALSE, theirs = FALSE;
    return handle_ && IsWow64Process(GetCurrentProcess(), &mine) && IsWow64Process(handle_.get(), &theirs) &&
           mine == theirs;
}

bool RemoteProcess::Read(std::uintptr_t address, void* out, std::size_t bytes) const {
    SIZE_T got = 0;
    return handle_ && address &&
           ReadProcessMemory(handle_.get(), reinterpret_cast<const void*>(address), out, bytes, &got) && got == bytes;
}

RemoteBuffer::RemoteBuffer(const RemoteProcess& process, std::size_t bytes)
    : process_(process.Handle()), processId_(process.Id()) {
    if (!process_ || bytes == 0 || IsWaitingIn(processId_)) return;
    // Committed pages arrive filled with zeros.
    address_ = process.SamePointerSize()
                   ? VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                   : AllocateLow(process_, bytes);
    if (address_) size_ = bytes;
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Send(HWND window, UINT message, WPARAM wParam, LRESULT& answer, UINT timeoutMs) {
    if (!address_) return false;
    if (SendWithin(window, message, wParam, Address(), answer, timeoutMs)) return true;
    KeepUntilAnswered(window);
    return false;
}

void RemoteBuffer::KeepUntilAnswered(HWND window) {
    void* block = std::exchange(address_, nullptr);
    size_ = 0;
    HANDLE own = nullptr;
    // Without a handle of its own the block is never freed: left to the program, it goes when the
    // program ends.
    if (!DuplicateHandle(GetCurrentProcess(), process_, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return;
    ULONG_PTR ticket = 0;
    {
        std::lock_guard lock(waitingMutex);
        ticket = nextTicket++;
        Waiting().push_back({ticket, processId_, tk::ScopedKernelHandle(own), block});
    }
    // Messages sent from one thread to another are handled in the order they were sent, so the
    // answer to this one comes after the unanswered one has been handled (these requests copy a
    // text or an item and return, without waiting on messages of their own). It arrives here
    // when this thread next looks at its messages. Should the window have gone, the block waits
    // for its program to end.
    SendMessageCallbackW(window, WM_NULL, 0, 0, &LateAnswerArrived, ticket);
}

std::vector<std::pair<DWORD, std::uintptr_t>> WaitingRemoteBlocks() {
    std::lock_guard lock(waitingMutex);
    DropEnded();
    std::vector<std::pair<DWORD, std::uintptr_t>> blocks;
    for (const WaitingBlock& block : Waiting())
        blocks.emplace_back(block.processId, reinterpret_cast<std::uintptr_t>(block.address));
    return blocks;
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
