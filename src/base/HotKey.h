// One system-wide hot key of a window, given back when its owner goes.
#pragma once

#include <windows.h>

class HotKey {
public:
    HotKey() = default;
    ~HotKey() { clear(); }
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    // Registers the combination (modifiers as RegisterHotKey takes them) for
    // window, which then gets WM_HOTKEY with id; a key held down gives one
    // message, not a stream of them. Any earlier registration goes first.
    // ERROR_SUCCESS or the system's error: ERROR_HOTKEY_ALREADY_REGISTERED
    // when another program holds the combination.
    DWORD set(HWND window, int id, UINT modifiers, UINT key);
    void clear();
    bool isSet() const { return mWindow != nullptr; }

private:
    HWND mWindow = nullptr;
    int mId = 0;
};
