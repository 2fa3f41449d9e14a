#include "toolkit/win/BoundedCall.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "toolkit/win/Scoped.h"

namespace tk {

namespace {

std::atomic<int> running{0};

// What the caller and the call's thread share: the call outlives a caller that stopped waiting.
struct Call {
    std::function<void()> work;
    ScopedKernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> failed{false};
};

void RunCall(std::shared_ptr<Call> call) {
    try {
        call->work();
    } catch (...) {
        call->failed = true;
    }
    // What the work holds goes on this thread, before the caller may be told.
    call->work = nullptr;
    SetEvent(call->done.get());
    --running;
}

}  // namespace

bool RunWithin(unsigned timeoutMs, std::function<void()> work) {
    auto call = std::make_shared<Call>();
    if (!call->done) return false;
    call->work = std::move(work);
    // Calls still stuck in one that hangs: a new one would most likely hang beside them.
    if (running.fetch_add(1) >= kMaxOverrunCalls) {
        --running;
        return false;
    }
    try {
        std::thread(&RunCall, call).detach();
    } catch (...) {
        --running;
        return false;
    }
    const DWORD start = GetTickCount();
    HANDLE done = call->done.get();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) break;
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, timeoutMs - spent, QS_SENDMESSAGE, 0);
        if (woke == WAIT_OBJECT_0) return !call->failed;
        if (woke != WAIT_OBJECT_0 + 1) break;
        // Messages sent from other threads are handled in this call; posted ones stay queued.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return WaitForSingleObject(done, 0) == WAIT_OBJECT_0 && !call->failed;
}

int CallsRunning() { return running.load(); }

}  // namespace tk
