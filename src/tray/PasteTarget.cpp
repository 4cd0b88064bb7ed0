#include "tray/PasteTarget.h"

#include <iterator>

namespace {

bool guiThreadInfo(HWND window, GUITHREADINFO& info) {
    info = GUITHREADINFO{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) != FALSE;
}

bool focusIsBack(const PasteTarget& target) {
    if (GetForegroundWindow() != target.window)
        return false;
    GUITHREADINFO info;
    return !target.focus || (guiThreadInfo(target.window, info) && info.hwndFocus == target.focus);
}

// Waits for the focus, still answering what other threads send here (the
// clipboard viewer chain); posted work waits for the message loop.
bool waitForFocus(const PasteTarget& target, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!focusIsBack(target)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

INPUT key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (virtualKey == VK_LWIN || virtualKey == VK_RWIN || virtualKey == VK_RMENU)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

// Ctrl goes down before a held Alt is let go: an Alt pressed and released
// with nothing between would open the window's menu bar.
void pressPaste() {
    const WORD held[] = {VK_LWIN, VK_RWIN, VK_LMENU, VK_RMENU, VK_LSHIFT, VK_RSHIFT};
    INPUT inputs[std::size(held) + 4];
    UINT count = 0;
    inputs[count++] = key(VK_CONTROL, false);
    for (WORD modifier : held)
        if (GetAsyncKeyState(modifier) & 0x8000)
            inputs[count++] = key(modifier, true);
    inputs[count++] = key('V', false);
    inputs[count++] = key('V', true);
    inputs[count++] = key(VK_CONTROL, true);
    SendInput(count, inputs, sizeof(INPUT));
}

bool belongsHere(HWND window) {
    DWORD process = 0;
    return window && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

bool ownWindowInFront() {
    HWND front = GetForegroundWindow();
    return !front || belongsHere(front);
}

}  // namespace

PasteTarget findPasteTarget() {
    PasteTarget target;
    HWND front = GetForegroundWindow();
    if (!front || belongsHere(front))
        return target;
    target.window = front;
    GUITHREADINFO info;
    if (!guiThreadInfo(front, info))
        return target;
    target.focus = info.hwndFocus;
    if (info.hwndCaret) {
        target.caret = info.rcCaret;
        MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&target.caret), 2);
        target.hasCaret = true;
    }
    return target;
}

void giveBack(const PasteTarget& target) {
    // A menu closed by a click into another window leaves that one in front.
    if (!target.window || !IsWindow(target.window) || !ownWindowInFront())
        return;
    SetForegroundWindow(target.window);
}

bool pasteInto(const PasteTarget& target, DWORD timeoutMs) {
    if (!target.window || !IsWindow(target.window))
        return false;
    SetForegroundWindow(target.window);
    // A window that puts its focus back elsewhere inside itself still gets
    // the paste, once it is in front: it is where the user was working.
    if (!waitForFocus(target, timeoutMs) && GetForegroundWindow() != target.window)
        return false;
    pressPaste();
    return true;
}
