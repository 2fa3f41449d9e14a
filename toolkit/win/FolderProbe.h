// Checking whether folders exist without holding up the window: the system is asked on a few
// worker threads, each answer is posted back to the thread that made the probe, and a path that
// has not been answered within the time limit is answered "unknown" at once. The call that hangs
// keeps its thread (no thread can be stopped safely); such stuck workers are counted and bounded,
// and while one is stuck in a call to a computer or drive, the other paths there are answered
// "unknown" without asking again, so a dead network server costs one thread, not one per folder.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/FolderPath.h"

namespace tk {

// What the system's answer about a path says of the folder: its attributes, or INVALID_FILE_ATTRIBUTES
// and the error, and whether the root of its drive or share (VolumeRoot) is there. Only a "not
// found" answer on a root that is there makes the folder missing (a file of that name is not a
// folder either); an absent drive (a disk not plugged in answers "path not found" for every path
// on its letter), a network failure or any other error leaves it unknown, so a folder on a disk or
// computer that is away today is never taken for one that is gone.
TFolderState FolderStateOf(DWORD attributes, DWORD error, bool rootThere);

// Asks the system about one folder: may take long on a network path, never shows a "no disk" box.
TFolderState TestFolder(const std::wstring& path);

// The same for one folder a person has just chosen, waiting at most timeoutMs (see RunWithin in
// toolkit/win/BoundedCall.h: the thread answers sent messages meanwhile): unknown when no
// answer came in time. test is the question asked (tests put in one that hangs).
TFolderState TestFolderWithin(const std::wstring& path, unsigned timeoutMs,
                              const std::function<TFolderState(const std::wstring&)>& test = TestFolder);

struct TFolderProbeSettings {
    // The question asked on a worker for each path; a test may put in one that is slow.
    std::function<TFolderState(const std::wstring& path)> Test = TestFolder;
    // A path not answered within this time counts as unknown.
    unsigned TimeoutMs = 1000;
    // Workers that take paths at the same time.
    int Workers = 4;
    // Threads at most, the workers and those left behind in calls that have not returned: a stuck
    // worker is replaced only below this, and once every thread is stuck, waiting paths are
    // answered unknown at once.
    int MaxThreads = 12;
};

// The probe's threads and work at one moment (for tests and reports).
struct TFolderProbeCounts {
    int Live = 0;   // workers taking paths (waiting for one, or asking within the time)
    int Idle = 0;   // of those, waiting for a path
    int Stuck = 0;  // workers in a call that overran its time and has not returned
    std::size_t Waiting = 0;
    std::size_t Running = 0;
};

class TFolderProbe : public TComponent {
public:
    using TAnswersEvent = std::function<void(const std::vector<TFolderAnswer>& answers)>;

    // Answers are delivered on the thread that makes the probe, which must run a message loop.
    explicit TFolderProbe(TComponent* owner, TFolderProbeSettings settings = {});
    // Answers still on their way are dropped; workers stuck in a call end when it returns.
    ~TFolderProbe() override;
    std::string_view ClassName() const override { return "TFolderProbe"; }

    // Asks about a path; OnAnswers will be told once, with the ticket, unless CancelWaiting drops it.
    void Submit(std::uint64_t ticket, const std::wstring& path);
    // The same, but the path is held until the message loop next runs and then handed to the
    // workers with every other path held meanwhile, in one go: a window that asks about thousands
    // of paths as it fills its list shows the list first, and the workers start on the paths
    // together instead of being woken for each. Counted as waiting from now on.
    void SubmitLater(std::uint64_t ticket, const std::wstring& path);
    // Drops the paths not yet being asked about (a newer check asks again).
    void CancelWaiting();
    // The same for the paths asked with a ticket from first to last: the other questions of the
    // probe's thread (a paste waiting for its answers) keep theirs.
    void CancelWaiting(std::uint64_t first, std::uint64_t last);
    TFolderProbeCounts Counts() const;

    // Told of the answers that have arrived, on the probe's thread, from the message loop: a
    // hundred at most at a time, so that thousands arriving together never hold the loop up.
    TAnswersEvent OnAnswers;

    // Hands the answers that have arrived to OnAnswers now (the message loop does this itself).
    void DeliverAnswers();

    struct Shared;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    struct DestroyWindowFree {
        void operator()(HWND window) const { DestroyWindow(window); }
    };

    // Hands the paths held by SubmitLater to the workers.
    void SubmitHeld();

    std::shared_ptr<Shared> shared_;
    std::vector<TFolderAnswer> held_;  // paths held by SubmitLater (State unused), in order
    bool heldPosted_ = false;          // the message that hands them over is on its way
    std::unique_ptr<std::remove_pointer_t<HWND>, DestroyWindowFree> window_;
    std::thread watchdog_;
};

}  // namespace tk
