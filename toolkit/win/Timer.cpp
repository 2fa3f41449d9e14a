#include "toolkit/win/Timer.h"

#include <map>

#include "toolkit/win/Application.h"

namespace tk {

namespace {

// Thread timers carry no user data: the running timers are found by their identifier.
std::map<UINT_PTR, TTimer*>& RunningTimers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Restart(); }

TTimer::~TTimer() {
    enabled_ = false;
    Restart();
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (interval_ == milliseconds) return;
    interval_ = milliseconds;
    Restart();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Restart();
}

void TTimer::Restart() {
    if (id_) {
        KillTimer(nullptr, id_);
        RunningTimers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0) return;
    id_ = SetTimer(nullptr, 0, interval_, &TimerProc);
    if (id_) RunningTimers()[id_] = this;
}

void TTimer::Tick() {
    // A tick that fails ticks again while a box is up: its error waits until the tick returned.
    if (OnTimer) Application().Quietly([this] { OnTimer(this); });
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto& timers = RunningTimers();
    auto it = timers.find(id);
    if (it != timers.end()) it->second->Tick();
}

}  // namespace tk
