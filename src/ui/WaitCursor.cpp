#include "ui/WaitCursor.h"

#include <windows.h>

int waitDepth = 0;

namespace {
void showCursor(const char* id) {
    SetCursor(LoadCursorA(nullptr, id));
}
}  // namespace

WaitCursor::WaitCursor() {
    if (waitDepth == 0)
        showCursor(IDC_WAIT);
    ++waitDepth;
}

WaitCursor::~WaitCursor() {
    // A message box may have reset the depth meanwhile; then there is nothing to undo.
    if (waitDepth == 0)
        return;
    if (--waitDepth == 0)
        showCursor(IDC_ARROW);
}

void resetWaitCursor() {
    if (waitDepth != 0)
        showCursor(IDC_ARROW);
    waitDepth = 0;
}
