// A timer component: runs OnTimer every Interval milliseconds while enabled, from the message
// loop. An exception raised by the handler goes to the application's error box.
#pragma once

#include <windows.h>

#include "toolkit/win/Control.h"

namespace tk {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    std::string_view ClassName() const override { return "TTimer"; }

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

    // Runs the handler as a tick does (also for tests).
    void Tick();

private:
    void Restart();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);

    unsigned interval_ = 1000;
    bool enabled_ = true;
    UINT_PTR id_ = 0;
};

}  // namespace tk
