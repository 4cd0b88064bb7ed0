// The hourglass for the span of a slow operation. Guards nest; only the
// outermost one sets and restores the cursor.
#pragma once

extern int waitDepth;

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Drops every guard's hold at once, so a message box shows the arrow.
void resetWaitCursor();
