// The hourglass for the span of a slow operation. Each guard puts back the
// cursor it found, so nested guards need no count of their own.
#pragma once

#include <windows.h>

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR mPrevious;
};

// The arrow, for a message box shown while guards are up; the outermost
// guard still ends with the cursor it found.
void showArrowCursor();
