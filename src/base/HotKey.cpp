#include "base/HotKey.h"

namespace {
// Windows 7 and later; earlier ones refuse the flag.
constexpr UINT noRepeat = 0x4000;
}  // namespace

DWORD HotKey::set(HWND window, int id, UINT modifiers, UINT key) {
    clear();
    BOOL done = RegisterHotKey(window, id, modifiers | noRepeat, key);
    DWORD error = done ? ERROR_SUCCESS : GetLastError();
    if (!done && (error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FLAGS)) {
        done = RegisterHotKey(window, id, modifiers, key);
        error = done ? ERROR_SUCCESS : GetLastError();
    }
    if (!done)
        return error == ERROR_SUCCESS ? ERROR_HOTKEY_ALREADY_REGISTERED : error;
    mWindow = window;
    mId = id;
    return ERROR_SUCCESS;
}

void HotKey::clear() {
    if (mWindow)
        UnregisterHotKey(mWindow, mId);
    mWindow = nullptr;
}
