#include "toolkit/win/FolderProbe.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "toolkit/win/Application.h"
#include "toolkit/win/BoundedCall.h"

namespace tk {

namespace {

constexpr wchar_t kProbeWindowClass[] = L"tk.FolderProbe";
// Posted to the probe's window when answers wait to be handed over (once until they are taken).
constexpr UINT kAnswersArrived = WM_APP + 0x2E1;
// Posted to the probe's window when paths are held by SubmitLater (once until they are handed over).
constexpr UINT kPathsHeld = WM_APP + 0x2E2;
// Answers handed over per message at most.
constexpr std::size_t kAnswersPerMessage = 100;

using Clock = std::chrono::steady_clock;

}  // namespace

TFolderState FolderStateOf(DWORD attributes, DWORD error, bool rootThere) {
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TFolderState::Present : TFolderState::Missing;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return rootThere ? TFolderState::Missing : TFolderState::Unknown;
    default:
        return TFolderState::Unknown;
    }
}

TFolderState TestFolder(const std::wstring& path) {
    // A relative path (a row of an older list) would be looked for in whatever folder this
    // program happens to be in: nobody can say whether its folder is there.
    if (!IsFullPath(path)) return TFolderState::Unknown;
    // A drive without its disk must answer "not ready", not ask the user to insert one.
    DWORD previousMode = 0;
    const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    // Not found: on a drive or share that is there, or on one that is not (then nothing on it is
    // found). Only then is the root asked about, itself a folder.
    bool rootThere = true;
    if (attributes == INVALID_FILE_ATTRIBUTES && FolderStateOf(attributes, error, true) == TFolderState::Missing) {
        const std::wstring root = VolumeRoot(path);
        const DWORD rootAttributes = root.empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesW(root.c_str());
        rootThere = rootAttributes != INVALID_FILE_ATTRIBUTES && (rootAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (modeSet) SetThreadErrorMode(previousMode, nullptr);
    return FolderStateOf(attributes, error, rootThere);
}

TFolderState TestFolderWithin(const std::wstring& path, unsigned timeoutMs,
                              const std::function<TFolderState(const std::wstring&)>& test) {
    return CallWithin<TFolderState>(timeoutMs, [path, test] { return test(path); }).value_or(TFolderState::Unknown);
}

// The state the probe's threads share. It outlives the probe while a worker is stuck in a call:
// the worker holds it, finds the probe closed when the call returns, and ends.
struct TFolderProbe::Shared : std::enable_shared_from_this<Shared> {
    struct Job {
        std::uint64_t Ticket;
        std::wstring Path;
        std::wstring Root;
    };
    struct Worker {
        bool Stuck = false;  // the watchdog answered for its path and gave up waiting on it
    };
    struct Running {
        Job Work;
        Clock::time_point Deadline;
        std::shared_ptr<Worker> By;
    };
    // What is known of a computer or drive (a root): nothing yet, it answers, or a call to it hangs.
    enum class Health { Untried, Answering, Unreachable };
    struct Root {
        Health State = Health::Untried;
        int Running = 0;  // calls to it in progress within their time
        int Stuck = 0;    // calls to it that overran their time and have not returned
        std::deque<Job> Waiting;
        bool Queued = false;  // listed in rootsWithWork
    };

    explicit Shared(TFolderProbeSettings s) : settings(std::move(s)) {}

    // Everything below is used with the mutex held.

    bool CanStartWorker() const {
        return live < settings.Workers && live + stuck < settings.MaxThreads;
    }

    bool StartWorker() {
        try {
            std::thread(&Shared::WorkerLoop, shared_from_this(), std::make_shared<Worker>()).detach();
        } catch (...) {
            return false;  // no thread to be had: the paths wait for the workers there are
        }
        ++live;
        return true;
    }

    // Workers for the waiting paths that no idle worker will take; when no worker can ever come
    // (all stuck), the waiting paths are answered unknown now rather than never.
    void Replenish() {
        while (waiting > static_cast<std::size_t>(idle) && CanStartWorker() && StartWorker()) {
        }
        if (live == 0 && waiting > 0) {
            for (auto& [key, root] : roots) AnswerWaiting(root, TFolderState::Unknown);
            rootsWithWork.clear();
        }
    }

    void Deliver(std::uint64_t ticket, const std::wstring& path, TFolderState state) {
        answers.push_back({ticket, path, state});
        if (!answersPosted && window) answersPosted = PostMessageW(window, kAnswersArrived, 0, 0) != 0;
    }

    // Puts a path in its root's line, or answers it at once when its root hangs.
    void Queue(std::uint64_t ticket, const std::wstring& path) {
        std::wstring key = FolderRoot(path);
        Root& root = roots[key];
        if (root.State == Health::Unreachable) {
            // A call to this computer or drive hangs already: asking again would only hang another.
            Deliver(ticket, path, TFolderState::Unknown);
            return;
        }
        root.Waiting.push_back({ticket, path, key});
        ++waiting;
        if (!root.Queued) {
            root.Queued = true;
            rootsWithWork.push_back(std::move(key));
        }
    }

    void AnswerWaiting(Root& root, TFolderState state) {
        for (const Job& job : root.Waiting) Deliver(job.Ticket, job.Path, state);
        waiting -= root.Waiting.size();
        root.Waiting.clear();
        root.Queued = false;
    }

    // The next path a worker may ask about, taking the roots in turn. A root not heard from yet
    // is asked one path at a time: if it hangs, one worker hangs with it, not all of them.
    std::optional<Job> Take() {
        for (std::size_t tries = rootsWithWork.size(); tries > 0; --tries) {
            std::wstring key = std::move(rootsWithWork.front());
            rootsWithWork.pop_front();
            Root& root = roots[key];
            if (root.Waiting.empty()) {
                root.Queued = false;
                continue;
            }
            if (root.State == Health::Untried && root.Running > 0) {
                rootsWithWork.push_back(std::move(key));
                continue;
            }
            Job job = std::move(root.Waiting.front());
            root.Waiting.pop_front();
            --waiting;
            if (root.Waiting.empty())
                root.Queued = false;
            else
                rootsWithWork.push_back(std::move(key));
            return job;
        }
        return std::nullopt;
    }

    static void WorkerLoop(std::shared_ptr<Shared> s, std::shared_ptr<Worker> self) {
        std::unique_lock lock(s->mutex);
        for (;;) {
            std::optional<Job> job;
            ++s->idle;
            while (!s->closed && !(job = s->Take())) s->workAvailable.wait(lock);
            --s->idle;
            if (s->closed) {
                --s->live;
                return;
            }
            ++s->roots[job->Root].Running;
            const auto entry = s->running.insert(
                s->running.end(), Running{*job, Clock::now() + std::chrono::milliseconds(s->settings.TimeoutMs), self});
            s->watchdogWake.notify_one();
            lock.unlock();
            TFolderState state = TFolderState::Unknown;
            try {
                state = s->settings.Test(job->Path);
            } catch (...) {
                // A test that fails gives no answer: the folder stays unknown.
            }
            lock.lock();
            Root& root = s->roots[job->Root];
            if (self->Stuck) {
                // The watchdog answered for this path long ago; the call has returned at last.
                self->Stuck = false;
                --s->stuck;
                if (--root.Stuck == 0 && root.State == Health::Unreachable) root.State = Health::Untried;
                if (s->closed || !s->CanStartWorker()) return;  // a new worker has its place
                ++s->live;
                continue;
            }
            s->running.erase(entry);
            --root.Running;
            if (root.State == Health::Untried) {
                // The root answers: its other paths may now be asked about side by side.
                root.State = Health::Answering;
                s->workAvailable.notify_all();
            }
            s->Deliver(job->Ticket, job->Path, state);
        }
    }

    static void WatchdogLoop(std::shared_ptr<Shared> s) {
        std::unique_lock lock(s->mutex);
        while (!s->closed) {
            if (s->running.empty()) {
                s->watchdogWake.wait(lock);
                continue;
            }
            const auto now = Clock::now();
            const auto earliest = std::min_element(s->running.begin(), s->running.end(),
                                                   [](const Running& a, const Running& b) { return a.Deadline < b.Deadline; });
            if (earliest->Deadline > now) {
                s->watchdogWake.wait_until(lock, earliest->Deadline);
                continue;
            }
            for (auto it = s->running.begin(); it != s->running.end();) {
                if (it->Deadline > now) {
                    ++it;
                    continue;
                }
                // Too late: the path is unknown, its worker is left to its call, and its root is
                // not asked again while that call hangs.
                it->By->Stuck = true;
                --s->live;
                ++s->stuck;
                Root& root = s->roots[it->Work.Root];
                --root.Running;
                ++root.Stuck;
                root.State = Health::Unreachable;
                s->Deliver(it->Work.Ticket, it->Work.Path, TFolderState::Unknown);
                s->AnswerWaiting(root, TFolderState::Unknown);
                it = s->running.erase(it);
            }
            s->Replenish();
        }
    }

    TFolderProbeSettings settings;
    std::mutex mutex;
    std::condition_variable workAvailable;
    std::condition_variable watchdogWake;
    std::unordered_map<std::wstring, Root> roots;
    std::deque<std::wstring> rootsWithWork;
    std::size_t waiting = 0;
    std::list<Running> running;
    std::vector<TFolderAnswer> answers;
    bool answersPosted = false;
    bool closed = false;
    int live = 0, idle = 0, stuck = 0;
    HWND window = nullptr;
};

TFolderProbe::TFolderProbe(TComponent* owner, TFolderProbeSettings settings)
    : TComponent(owner), shared_(std::make_shared<Shared>(std::move(settings))) {
    if (!shared_->settings.Test) shared_->settings.Test = TestFolder;
    if (shared_->settings.Workers < 1) shared_->settings.Workers = 1;
    if (shared_->settings.MaxThreads < shared_->settings.Workers) shared_->settings.MaxThreads = shared_->settings.Workers;
    window_.reset(CreateHelperWindow(kProbeWindowClass, &WindowProc, 0, 0, HWND_MESSAGE));
    if (!window_) throw std::runtime_error("The folder check could not make its message window");
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    shared_->window = window_.get();
    watchdog_ = std::thread(&Shared::WatchdogLoop, shared_);
}

TFolderProbe::~TFolderProbe() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
        shared_->window = nullptr;  // nothing is posted from here on
        shared_->answers.clear();
        for (auto& [key, root] : shared_->roots) root.Waiting.clear();
        shared_->rootsWithWork.clear();
        shared_->waiting = 0;
    }
    shared_->workAvailable.notify_all();
    shared_->watchdogWake.notify_all();
    // The watchdog never waits on the system: it ends at once. Workers in a call end after it.
    watchdog_.join();
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void TFolderProbe::Submit(std::uint64_t ticket, const std::wstring& path) {
    std::lock_guard lock(shared_->mutex);
    Shared& s = *shared_;
    if (s.closed) return;
    s.Queue(ticket, path);
    s.Replenish();
    s.workAvailable.notify_one();
}

void TFolderProbe::SubmitLater(std::uint64_t ticket, const std::wstring& path) {
    held_.push_back({ticket, path, TFolderState::Unknown});
    if (!heldPosted_) heldPosted_ = PostMessageW(window_.get(), kPathsHeld, 0, 0) != 0;
    // Without the message (a full queue) the paths go now rather than never.
    if (!heldPosted_) SubmitHeld();
}

void TFolderProbe::SubmitHeld() {
    heldPosted_ = false;
    std::vector<TFolderAnswer> held;
    held.swap(held_);
    if (held.empty()) return;
    {
        std::lock_guard lock(shared_->mutex);
        Shared& s = *shared_;
        if (s.closed) return;
        for (const TFolderAnswer& h : held) s.Queue(h.Ticket, h.Path);
        s.Replenish();
    }
    shared_->workAvailable.notify_all();
}

void TFolderProbe::CancelWaiting() {
    held_.clear();
    std::lock_guard lock(shared_->mutex);
    for (auto& [key, root] : shared_->roots) {
        root.Waiting.clear();
        root.Queued = false;
    }
    shared_->rootsWithWork.clear();
    shared_->waiting = 0;
}

void TFolderProbe::CancelWaiting(std::uint64_t first, std::uint64_t last) {
    const auto inRange = [&](std::uint64_t ticket) { return ticket >= first && ticket <= last; };
    std::erase_if(held_, [&](const TFolderAnswer& h) { return inRange(h.Ticket); });
    std::lock_guard lock(shared_->mutex);
    for (auto& [key, root] : shared_->roots) {
        // A root left with nothing waiting leaves the line when the workers next come to it.
        shared_->waiting -= std::erase_if(root.Waiting, [&](const Shared::Job& job) { return inRange(job.Ticket); });
    }
}

TFolderProbeCounts TFolderProbe::Counts() const {
    std::lock_guard lock(shared_->mutex);
    return {shared_->live, shared_->idle, shared_->stuck, shared_->waiting + held_.size(), shared_->running.size()};
}

void TFolderProbe::DeliverAnswers() {
    // A share at a time: thousands of answers at once (a server found dead answers for all its
    // paths) would hold the loop up; the rest follow in the next message, after what else waits.
    std::vector<TFolderAnswer> arrived;
    {
        std::lock_guard lock(shared_->mutex);
        std::vector<TFolderAnswer>& all = shared_->answers;
        if (all.size() <= kAnswersPerMessage) {
            arrived.swap(all);
            shared_->answersPosted = false;
        } else {
            arrived.assign(std::make_move_iterator(all.begin()), std::make_move_iterator(all.begin() + kAnswersPerMessage));
            all.erase(all.begin(), all.begin() + kAnswersPerMessage);
            shared_->answersPosted = PostMessageW(window_.get(), kAnswersArrived, 0, 0) != 0;
        }
    }
    if (!arrived.empty() && OnAnswers) Application().Guarded([&] { OnAnswers(arrived); });
}

LRESULT CALLBACK TFolderProbe::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPathsHeld) {
        if (auto* probe = reinterpret_cast<TFolderProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            Application().Guarded([&] { probe->SubmitHeld(); });
        return 0;
    }
    if (message == kAnswersArrived) {
        if (auto* probe = reinterpret_cast<TFolderProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            probe->DeliverAnswers();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tk
