#include "flat/FlatHotTrack.h"

HWND ControlWindowAt(POINT screen) {
    HWND window = WindowFromPoint(screen);
    // WindowFromPoint passes over disabled children: walk down to the innermost visible one.
    while (window) {
        POINT p = screen;
        ScreenToClient(window, &p);
        HWND child = ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == window) break;
        window = child;
    }
    return window;
}

void FlatHotTracker::AddInstance() {
    if (!timer_) {
        timer_ = std::make_unique<tk::TTimer>(nullptr);
        timer_->SetEnabled(false);
        timer_->SetInterval(100);
        timer_->OnTimer = [this](tk::TComponent*) { Poll(); };
    }
    ++instances_;
}

void FlatHotTracker::RemoveInstance(Client* client) {
    Stop(client);
    if (--instances_ <= 0) {
        instances_ = 0;
        tracked_ = nullptr;
        timer_.reset();
    }
}

void FlatHotTracker::MouseMoved(Client* client, POINT clientPoint) {
    if (client == tracked_) return;
    HWND window = client->TrackedWindow();
    POINT screen = clientPoint;
    ClientToScreen(window, &screen);
    if (ControlWindowAt(screen) != window) return;
    if (tracked_) tracked_->HotLeave();
    if (!GetActiveWindow() || !timer_) return;
    timer_->SetEnabled(false);
    tracked_ = client;
    timer_->SetEnabled(true);
    client->HotEnter();
}

void FlatHotTracker::Stop(Client* client) {
    if (!client || client != tracked_) return;
    if (timer_) timer_->SetEnabled(false);
    tracked_ = nullptr;
}

void FlatHotTracker::Poll() {
    if (!tracked_) return;
    POINT cursor;
    GetCursorPos(&cursor);
    if (ControlWindowAt(cursor) != tracked_->TrackedWindow()) tracked_->HotLeave();
}
