// Hot tracking for the flat controls: one 100 ms polling timer per control class that watches
// whether the mouse is still over the control it last entered, so that the control can drop its
// hot look when the mouse leaves it (the window system tells a control of moves over it, not of
// the mouse going away).
#pragma once

#include <windows.h>

#include <memory>

#include "toolkit/win/Control.h"
#include "toolkit/win/Timer.h"

// The innermost visible window under a screen point, disabled windows included; nullptr over none.
HWND ControlWindowAt(POINT screen);

class FlatHotTracker {
public:
    // A control that can be tracked.
    class Client {
    public:
        virtual HWND TrackedWindow() = 0;
        virtual void HotEnter() = 0;
        virtual void HotLeave() = 0;

    protected:
        ~Client() = default;
    };

    // Instances of the class: the timer exists (stopped) from the first one to the last one.
    void AddInstance();
    // Stops tracking the departing instance if it is the tracked one.
    void RemoveInstance(Client* client);

    // A mouse move over the client's window at a client point: when the client is not tracked yet
    // and the point is over its window, the previously tracked control leaves and, if the
    // application has an active window, the client becomes the tracked one and enters.
    void MouseMoved(Client* client, POINT clientPoint);
    // Stops the timer and forgets the client if it is the tracked one.
    void Stop(Client* client);

    Client* Tracked() const { return tracked_; }
    tk::TTimer* Timer() const { return timer_.get(); }
    int Instances() const { return instances_; }
    // One poll: the tracked control leaves when the cursor is not over it.
    void Poll();

private:
    std::unique_ptr<tk::TTimer> timer_;
    Client* tracked_ = nullptr;
    int instances_ = 0;
};
