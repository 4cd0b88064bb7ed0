// The root of every window object: the window it is bound to and its owner.
#pragma once

#include <windows.h>

class WindowBase {
public:
    explicit WindowBase(HWND ownerWindow) : owner(ownerWindow) {}
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    virtual void onDestroy() {}

    // Null until the window exists.
    HWND window() const { return hwnd; }

protected:
    HWND hwnd = nullptr;
    HWND owner;
};
