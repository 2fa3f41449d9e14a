// The folder probe: answers come back on the probe's thread through its messages; a path not
// answered within the limit is unknown; a hanging server is asked once and holds up no other; stuck
// workers stay bounded however many servers hang; closing the probe while calls hang returns at
// once. Hanging is made with a question that waits on a gate the test opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/FolderProbe.h"

namespace {

using tk::TFolderState;
using Clock = std::chrono::steady_clock;

// A question for the probe: paths on a server whose name starts with "dead" wait until the gate
// opens (forever, if it never does); "missing" in a path answers missing; any other is present.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> calls{0};
    std::atomic<int> deadCalls{0};

    void Open() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
    TFolderState Ask(const std::wstring& path) {
        ++calls;
        if (path.starts_with(L"\\\\dead")) {
            ++deadCalls;
            std::unique_lock lock(mutex);
            opened.wait(lock, [this] { return open; });
        }
        return path.find(L"missing") != std::wstring::npos ? TFolderState::Missing : TFolderState::Present;
    }
};

struct Answer {
    std::uint64_t ticket;
    std::wstring path;
    TFolderState state;
    Clock::time_point when;
};

class FolderProbeTest : public testing::Test {
protected:
    void TearDown() override {
        probe.reset();
        // Calls still waiting end now; their workers find the probe gone and stop.
        gate->Open();
    }
    void Make(unsigned timeoutMs, int workers = 4, int maxThreads = 12) {
        tk::TFolderProbeSettings s;
        s.TimeoutMs = timeoutMs;
        s.Workers = workers;
        s.MaxThreads = maxThreads;
        s.Test = [g = gate](const std::wstring& path) { return g->Ask(path); };
        probe = std::make_unique<tk::TFolderProbe>(nullptr, s);
        Listen();
    }
    void Listen() {
        probe->OnAnswers = [this](const std::vector<tk::TFolderAnswer>& arrived) {
            EXPECT_EQ(GetCurrentThreadId(), uiThread) << "answers come on the probe's thread";
            EXPECT_LE(arrived.size(), 100u) << "a hundred at a time at most";
            for (const tk::TFolderAnswer& a : arrived) answers.push_back({a.Ticket, a.Path, a.State, Clock::now()});
        };
    }
    bool WaitForAnswers(std::size_t n, int timeoutMs = 5000) {
        return qdtest::PumpUntil([&] { return answers.size() >= n; }, timeoutMs);
    }
    int CountState(TFolderState state, const wchar_t* prefix) const {
        int n = 0;
        for (const Answer& a : answers) n += a.state == state && a.path.starts_with(prefix);
        return n;
    }

    DWORD uiThread = GetCurrentThreadId();
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();
    std::unique_ptr<tk::TFolderProbe> probe;
    std::vector<Answer> answers;
};

TEST(FolderStateOf, OnlyNotFoundIsMissing) {
    struct Case {
        DWORD attributes, error;
        TFolderState state;
    } cases[] = {
        {FILE_ATTRIBUTE_DIRECTORY, 0, TFolderState::Present},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0, TFolderState::Present},
        {FILE_ATTRIBUTE_ARCHIVE, 0, TFolderState::Missing},  // a file is not a folder
        {FILE_ATTRIBUTE_NORMAL, 0, TFolderState::Missing},
        {INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND, TFolderState::Missing},
        {INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND, TFolderState::Missing},
        {INVALID_FILE_ATTRIBUTES, ERROR_INVALID_NAME, TFolderState::Missing},
        {INVALID_FILE_ATTRIBUTES, ERROR_BAD_PATHNAME, TFolderState::Missing},
        // The drive or computer is not there today, or would not say: the folder may well be.
        {INVALID_FILE_ATTRIBUTES, ERROR_NOT_READY, TFolderState::Unknown},
        {INVALID_FILE_ATTRIBUTES, ERROR_INVALID_DRIVE, TFolderState::Unknown},
        {INVALID_FILE_ATTRIBUTES, ERROR_BAD_NETPATH, TFolderState::Unknown},
        {INVALID_FILE_ATTRIBUTES, ERROR_BAD_NET_NAME, TFolderState::Unknown},
        {INVALID_FILE_ATTRIBUTES, ERROR_NETWORK_UNREACHABLE, TFolderState::Unknown},
        {INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED, TFolderState::Unknown},
        {INVALID_FILE_ATTRIBUTES, ERROR_SEM_TIMEOUT, TFolderState::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tk::FolderStateOf(c.attributes, c.error), c.state) << std::hex << c.attributes << " " << std::dec << c.error;
}

TEST_F(FolderProbeTest, AnswersForRealFoldersComeThroughTheMessageLoop) {
    qdtest::TempDir dir;
    std::filesystem::create_directory(dir / L"收藏");
    std::ofstream(dir / "file.txt") << "x";
    tk::TFolderProbeSettings s;  // the system's own question
    probe = std::make_unique<tk::TFolderProbe>(nullptr, s);
    Listen();
    const std::wstring present = (dir / L"收藏").wstring(), file = (dir / "file.txt").wstring(),
                       gone = (dir / "gone" / "deeper").wstring();
    probe->Submit(7, present);
    probe->Submit(8, file);
    probe->Submit(9, gone);
    EXPECT_TRUE(answers.empty()) << "nothing is answered outside the message loop";
    ASSERT_TRUE(WaitForAnswers(3));
    std::map<std::uint64_t, std::pair<std::wstring, TFolderState>> byTicket;
    for (const Answer& a : answers) byTicket[a.ticket] = {a.path, a.state};
    EXPECT_EQ(byTicket[7], std::make_pair(present, TFolderState::Present));
    EXPECT_EQ(byTicket[8], std::make_pair(file, TFolderState::Missing));
    EXPECT_EQ(byTicket[9], std::make_pair(gone, TFolderState::Missing));
}

TEST_F(FolderProbeTest, AHangingServerIsAskedOnceAndHoldsUpNoOtherPath) {
    Make(1000);
    const auto start = Clock::now();
    for (int i = 0; i < 200; ++i) probe->Submit(i, L"\\\\dead\\share\\" + std::to_wstring(i));
    for (int i = 0; i < 20; ++i) probe->Submit(1000 + i, L"C:\\fast\\" + std::to_wstring(i) + (i % 2 ? L"missing" : L""));
    ASSERT_TRUE(WaitForAnswers(220));
    EXPECT_EQ(CountState(TFolderState::Unknown, L"\\\\dead"), 200);
    EXPECT_EQ(CountState(TFolderState::Present, L"C:"), 10);
    EXPECT_EQ(CountState(TFolderState::Missing, L"C:"), 10);
    EXPECT_EQ(gate->deadCalls, 1) << "the server that hangs is asked once";
    // The other drive's paths were answered while the server's first call hung.
    Clock::time_point firstDead = Clock::time_point::max(), lastFast{};
    for (const Answer& a : answers) {
        if (a.path.starts_with(L"\\\\dead"))
            firstDead = std::min(firstDead, a.when);
        else
            lastFast = std::max(lastFast, a.when);
    }
    EXPECT_LT(lastFast, firstDead);
    // Unknown once the limit has passed, not before.
    EXPECT_GE(firstDead - start, std::chrono::milliseconds(1000));
    const tk::TFolderProbeCounts counts = probe->Counts();
    EXPECT_EQ(counts.Stuck, 1);
    EXPECT_LE(counts.Live, 4);
    EXPECT_EQ(counts.Waiting, 0u);

    // Until that call returns, the server's paths are answered unknown without asking.
    answers.clear();
    probe->Submit(500, L"\\\\DEAD\\share\\again");
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(answers[0].state, TFolderState::Unknown);
    EXPECT_EQ(gate->deadCalls, 1);

    // Once it returns, the server is asked again and its answer counts.
    gate->Open();
    ASSERT_TRUE(qdtest::PumpUntil([&] { return probe->Counts().Stuck == 0; }));
    answers.clear();
    probe->Submit(501, L"\\\\dead\\share\\back");
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(answers[0].state, TFolderState::Present);
    EXPECT_EQ(gate->deadCalls, 2);
}

TEST_F(FolderProbeTest, ManyHangingServersLeaveABoundedNumberOfStuckWorkers) {
    Make(150, 2, 5);
    for (int i = 0; i < 40; ++i) probe->Submit(i, L"\\\\dead" + std::to_wstring(i) + L"\\share");
    ASSERT_TRUE(WaitForAnswers(40, 10000));
    EXPECT_EQ(CountState(TFolderState::Unknown, L"\\\\dead"), 40);
    // Five threads at most: no more calls were ever made, and every thread is stuck now.
    EXPECT_EQ(gate->calls, 5);
    const tk::TFolderProbeCounts counts = probe->Counts();
    EXPECT_EQ(counts.Stuck, 5);
    EXPECT_EQ(counts.Live, 0);
    // While every place is taken by a stuck worker, a new path is answered at once.
    answers.clear();
    probe->Submit(99, L"C:\\anything");
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(gate->calls, 5);
}

TEST_F(FolderProbeTest, ClosingWhileCallsHangReturnsAtOnceAndAnswersNoMore) {
    Make(60000);
    for (int i = 0; i < 10; ++i) probe->Submit(i, L"\\\\dead\\s\\" + std::to_wstring(i));
    probe->Submit(20, L"C:\\fast");
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_TRUE(qdtest::PumpUntil([&] { return gate->deadCalls == 1; }));
    const auto start = Clock::now();
    probe.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    gate->Open();
    // The stuck call returns to a probe that is gone: nothing is delivered, nothing breaks.
    qdtest::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(answers.size(), 1u);
}

TEST_F(FolderProbeTest, CancelledPathsAreNeverAsked) {
    Make(60000, 1);
    probe->Submit(1, L"\\\\dead\\s\\first");
    for (int i = 2; i < 6; ++i) probe->Submit(i, L"\\\\dead\\s\\" + std::to_wstring(i));
    ASSERT_TRUE(qdtest::PumpUntil([&] { return gate->calls == 1; }));
    probe->CancelWaiting();
    EXPECT_EQ(probe->Counts().Waiting, 0u);
    gate->Open();
    ASSERT_TRUE(WaitForAnswers(1));
    qdtest::PumpUntil([] { return false; }, 200);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].ticket, 1u);
    EXPECT_EQ(gate->calls, 1);
}

}  // namespace
