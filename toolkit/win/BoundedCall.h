// Calls that may hang (a folder on a server that does not answer, a program that does not answer
// a cross-process call), made with a time limit: the call runs on a thread of its own while the
// caller waits at most the limit. Meanwhile the caller still answers the messages other threads
// and programs send it (so a program that sends to it is not held up), but takes no posted
// message or input: nothing of its own runs twice. A call that overruns keeps its thread until it
// returns (no thread can be stopped safely); its result is then dropped. Such threads are bounded:
// once too many are left waiting, further calls are answered "no answer" at once.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace tk {

// Threads left in calls that overran, at most: beyond this a call is not started.
inline constexpr int kMaxOverrunCalls = 8;

// Runs work on a thread of its own and waits for it at most timeoutMs. True when it returned in
// time; false when it did not (it goes on, and must then touch nothing of the caller's: give it
// copies or shared ownership of what it uses), when it threw, or when no thread could be had.
bool RunWithin(unsigned timeoutMs, std::function<void()> work);

// The same for a call with a result: empty when it did not return in time.
template <class T, class Work>
std::optional<T> CallWithin(unsigned timeoutMs, Work work) {
    auto result = std::make_shared<std::optional<T>>();
    // The result is written by the call's thread before it says it is done, and read here only then.
    if (!RunWithin(timeoutMs, [result, work = std::move(work)]() mutable { *result = work(); })) return std::nullopt;
    return std::move(*result);
}

// Threads in calls made by RunWithin that have not returned, in time or not (for tests).
int CallsRunning();

}  // namespace tk
