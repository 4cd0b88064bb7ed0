// A window timer, killed when its owner goes: a timer left running after
// its handler's object is gone would call into nothing.
#pragma once

#include <windows.h>

class WindowTimer {
public:
    WindowTimer() = default;
    ~WindowTimer() { stop(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    // (Re)starts the timer: WM_TIMER with id reaches window every ms milliseconds.
    bool start(HWND window, UINT_PTR id, UINT ms) {
        if (!SetTimer(window, id, ms, nullptr))
            return false;
        mWindow = window;
        mId = id;
        return true;
    }
    void stop() {
        if (mWindow)
            KillTimer(mWindow, mId);
        mWindow = nullptr;
    }

private:
    HWND mWindow = nullptr;
    UINT_PTR mId = 0;
};
