// A named window property, removed again by its owner: a window must not be
// destroyed with properties still set.
#pragma once

#include <windows.h>

class WindowProperty {
public:
    WindowProperty() = default;
    ~WindowProperty() { remove(); }
    WindowProperty(const WindowProperty&) = delete;
    WindowProperty& operator=(const WindowProperty&) = delete;

    // name must outlive the property (a literal).
    bool set(HWND window, const char* name, void* value) {
        remove();
        if (!SetPropA(window, name, value))
            return false;
        mWindow = window;
        mName = name;
        return true;
    }
    void remove() {
        if (mWindow)
            RemovePropA(mWindow, mName);
        mWindow = nullptr;
    }

private:
    HWND mWindow = nullptr;
    const char* mName = nullptr;
};
