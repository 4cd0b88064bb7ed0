// The window the user was working in when the hot key came: the stack menu
// opens at its text caret, and a chosen entry is pasted into it.
#pragma once

#include <windows.h>

struct PasteTarget {
    HWND window = nullptr;  // the window in front; null when none, or when it is this program's
    HWND focus = nullptr;   // where its keyboard focus was
    bool hasCaret = false;
    RECT caret{};           // its text caret, on the screen
};

// The window in front now, unless it belongs to this process.
PasteTarget findPasteTarget();

// Brings the target's window to the front again, unless the user has put
// another program's window there meanwhile.
void giveBack(const PasteTarget& target);
// Brings it to the front and, once its focus is back where it was, presses
// Ctrl+V there (letting go of modifiers the user still holds first). When the
// focus lands elsewhere in that window, the keys go after timeoutMs. False
// when the window is not in front by then: nothing is pressed.
bool pasteInto(const PasteTarget& target, DWORD timeoutMs);
