#include "DibOnClipboard.h"

bool putDibBlock(HWND owner, HGLOBAL block) {
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_DIB, block) != nullptr;
    if (!taken)
        GlobalFree(block);
    CloseClipboard();
    return taken;
}
