#include "ui/WaitCursor.h"

WaitCursor::WaitCursor() : mPrevious(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() {
    // No cursor before would hide the pointer for good: the arrow instead.
    SetCursor(mPrevious ? mPrevious : LoadCursorA(nullptr, IDC_ARROW));
}

void showArrowCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
