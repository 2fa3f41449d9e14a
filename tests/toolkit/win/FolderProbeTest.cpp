// The folder probe: answers come back on the probe's thread a hundred at a time at most; a server
// that hangs is asked once, its paths are answered unknown once the limit has passed, and it holds
// up no other path; however many servers hang, the threads stay bounded.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/FolderGate.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/BoundedCall.h"
#include "toolkit/win/FolderProbe.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/ScopedOle.h"

namespace {

using tk::TFolderState;
using Clock = std::chrono::steady_clock;

TEST(FolderStateOf, OnlyNotFoundOnARootThatIsThereIsMissing) {
    EXPECT_EQ(tk::FolderStateOf(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, 0, true), TFolderState::Present);
    EXPECT_EQ(tk::FolderStateOf(FILE_ATTRIBUTE_ARCHIVE, 0, true), TFolderState::Missing);  // a file is not a folder
    for (DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME, ERROR_BAD_PATHNAME}) {
        EXPECT_EQ(tk::FolderStateOf(INVALID_FILE_ATTRIBUTES, error, true), TFolderState::Missing) << error;
        // A disk that is not plugged in: nothing on its letter is found.
        EXPECT_EQ(tk::FolderStateOf(INVALID_FILE_ATTRIBUTES, error, false), TFolderState::Unknown) << error;
    }
    // The drive or computer is not there today, or would not say: the folder may well be.
    for (DWORD error : {ERROR_NOT_READY, ERROR_INVALID_DRIVE, ERROR_BAD_NETPATH, ERROR_BAD_NET_NAME, ERROR_BAD_DEV_TYPE,
                        ERROR_NETWORK_UNREACHABLE, ERROR_ACCESS_DENIED, ERROR_SEM_TIMEOUT})
        EXPECT_EQ(tk::FolderStateOf(INVALID_FILE_ATTRIBUTES, error, true), TFolderState::Unknown) << error;
}

TEST(TestFolder, AFolderOnADriveLetterThatIsNotThereIsUnknownAndOneMissingOnADriveThatIsThereIsMissing) {
    const DWORD drives = GetLogicalDrives();
    wchar_t absent = 0;
    for (wchar_t letter = L'Z'; letter >= L'D' && !absent; --letter)
        if (!(drives & (1u << (letter - L'A')))) absent = letter;
    ASSERT_TRUE(absent) << "every drive letter is in use";
    const std::wstring unplugged = std::wstring(1, absent) + L":\\Photos\\2026";
    EXPECT_EQ(tk::TestFolder(unplugged), TFolderState::Unknown);
    EXPECT_EQ(tk::TestFolder(std::wstring(1, absent) + L":\\"), TFolderState::Unknown);

    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring gone = std::wstring(temp) + L"qd-no-such-folder-" + std::to_wstring(GetTickCount()) + L"\\sub";
    EXPECT_EQ(tk::TestFolder(gone), TFolderState::Missing);

    // A relative path is not looked for in this program's current folder, where it may well exist.
    SetCurrentDirectoryW(temp);
    const std::wstring drive(1, temp[0]);
    for (const std::wstring& relative : {std::wstring(L"."), drive + L":.", std::wstring(L"\\"), std::wstring(L"..")})
        EXPECT_EQ(tk::TestFolder(relative), TFolderState::Unknown) << tk::ToUtf8(relative);
}

// A chosen folder asked about with a limit: a server that does not answer gives "unknown" once the
// limit has passed, the thread answers messages other threads send it meanwhile, and calls left
// hanging are bounded in number.
bool inCall = false, handledInCall = false;
LRESULT CALLBACK SentDuringCallProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) handledInCall = inCall;
    return DefWindowProcW(w, m, wp, lp);
}

TEST(TestFolderWithin, AServerThatDoesNotAnswerIsUnknownAndTheThreadAnswersSentMessagesMeanwhile) {
    tk::Application().Initialize();
    auto gate = std::make_shared<qdtest::FolderGate>();
    const auto held = [gate](const std::wstring& path) { return gate->Ask(path); };
    const tk::ScopedWindow window(tk::CreateHelperWindow(L"qdtest.SentDuringCall", &SentDuringCallProc, 0, 0, HWND_MESSAGE));
    // The message is sent once the call waits on the server.
    std::thread sender([&] {
        while (gate->NetworkCalls() == 0) Sleep(5);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window.get(), WM_APP, 0, 0, SMTO_NORMAL, 20000, &result);
    });
    inCall = true;
    EXPECT_EQ(tk::TestFolderWithin(L"\\\\server\\share", 3000, held), TFolderState::Unknown);
    inCall = false;
    sender.join();
    EXPECT_TRUE(handledInCall) << "the sent message waited for the call";
    EXPECT_EQ(tk::TestFolderWithin(L"\\\\server\\other", 100, held), TFolderState::Unknown);
    for (int i = 0; i < tk::kMaxOverrunCalls + 2; ++i) tk::TestFolderWithin(L"\\\\server\\x", 50, held);
    EXPECT_EQ(tk::CallsRunning(), tk::kMaxOverrunCalls) << "calls left hanging are bounded";
    gate->Open();
    EXPECT_TRUE(qdtest::PumpUntil([] { return tk::CallsRunning() == 0; }));
    // Answers in time are the question's own.
    EXPECT_EQ(tk::TestFolderWithin(L"\\\\server\\share", 5000, held), TFolderState::Present);
}

class FolderProbeTest : public testing::Test {
protected:
    void TearDown() override {
        probe.reset();
        gate->Open();  // the calls still waiting end; their workers find the probe gone and stop
    }
    void Make(unsigned timeoutMs, int workers, int maxThreads) {
        tk::TFolderProbeSettings s;
        s.TimeoutMs = timeoutMs;
        s.Workers = workers;
        s.MaxThreads = maxThreads;
        s.Test = [g = gate](const std::wstring& path) { return g->Ask(path); };
        probe = std::make_unique<tk::TFolderProbe>(nullptr, s);
        probe->OnAnswers = [this](const std::vector<tk::TFolderAnswer>& arrived) {
            EXPECT_LE(arrived.size(), 100u) << "a hundred at a time at most";
            for (const tk::TFolderAnswer& a : arrived) answers.push_back({a, Clock::now()});
        };
    }
    bool WaitForAnswers(std::size_t n) {
        return qdtest::PumpUntil([&] { return answers.size() >= n; }, 10000);
    }
    int Count(TFolderState state, const wchar_t* prefix) const {
        int n = 0;
        for (const auto& [a, when] : answers) n += a.State == state && a.Path.starts_with(prefix);
        return n;
    }

    std::shared_ptr<qdtest::FolderGate> gate = std::make_shared<qdtest::FolderGate>();
    std::unique_ptr<tk::TFolderProbe> probe;
    std::vector<std::pair<tk::TFolderAnswer, Clock::time_point>> answers;
};

TEST_F(FolderProbeTest, AHangingServerIsAskedOnceAndHoldsUpNoOtherPath) {
    Make(1000, 4, 12);
    const auto start = Clock::now();
    for (int i = 0; i < 200; ++i) probe->Submit(i, L"\\\\dead\\share\\" + std::to_wstring(i));
    for (int i = 0; i < 20; ++i) probe->Submit(1000 + i, L"C:\\not here\\" + std::to_wstring(i));
    EXPECT_TRUE(answers.empty()) << "answers come through the message loop";
    ASSERT_TRUE(WaitForAnswers(220));
    EXPECT_EQ(Count(TFolderState::Unknown, L"\\\\dead"), 200);
    EXPECT_EQ(Count(TFolderState::Missing, L"C:"), 20);
    EXPECT_EQ(gate->NetworkCalls(), 1) << "the server that hangs is asked once";
    // The drive's paths were answered while the server's call hung; the server's are unknown once
    // the limit has passed, not before.
    Clock::time_point firstDead = Clock::time_point::max(), lastLocal{};
    for (const auto& [a, when] : answers) {
        if (a.Path.starts_with(L"C:"))
            lastLocal = std::max(lastLocal, when);
        else
            firstDead = std::min(firstDead, when);
    }
    EXPECT_LT(lastLocal, firstDead);
    EXPECT_GE(firstDead - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(probe->Counts().Stuck, 1);

    // Until that call returns, the server's paths (however spelt) are answered without asking;
    // once it returns, the server is asked again.
    answers.clear();
    probe->Submit(500, L"\\\\DEAD\\other");
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(answers[0].first.State, TFolderState::Unknown);
    EXPECT_EQ(gate->NetworkCalls(), 1);
    gate->Open();
    ASSERT_TRUE(qdtest::PumpUntil([&] { return probe->Counts().Stuck == 0; }));
    answers.clear();
    probe->Submit(501, L"\\\\dead\\share\\back");
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(answers[0].first.State, TFolderState::Present);
    EXPECT_EQ(gate->NetworkCalls(), 2);
}

TEST_F(FolderProbeTest, ManyHangingServersLeaveABoundedNumberOfThreads) {
    Make(150, 2, 5);
    for (int i = 0; i < 40; ++i) probe->Submit(i, L"\\\\dead" + std::to_wstring(i) + L"\\share");
    ASSERT_TRUE(WaitForAnswers(40));
    EXPECT_EQ(Count(TFolderState::Unknown, L"\\\\dead"), 40);
    // Five threads at most: no more calls were ever made, and every one is stuck now. A path
    // that comes while they are is answered at once.
    EXPECT_EQ(gate->NetworkCalls(), 5);
    EXPECT_EQ(probe->Counts().Stuck, 5);
    probe->Submit(99, L"\\\\another\\share");
    ASSERT_TRUE(WaitForAnswers(41));
    EXPECT_EQ(gate->NetworkCalls(), 5);
}

}  // namespace
