#include "base/ClipboardOwners.h"

namespace {
const int openAttempts = 20;
const DWORD openPauseMs = 5;
// Long enough for any working viewer, short enough not to be a hang.
const UINT forwardTimeoutMs = 1000;

void forward(HWND next, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!next)
        return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(next, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, forwardTimeoutMs, &ignored);
}
}  // namespace

ClipboardOpen::ClipboardOpen(HWND owner) {
    for (int attempt = 0; attempt < openAttempts && !mOpen; ++attempt) {
        mOpen = OpenClipboard(owner) != FALSE;
        if (!mOpen)
            Sleep(openPauseMs);
    }
}

ClipboardOpen::~ClipboardOpen() {
    if (mOpen)
        CloseClipboard();
}

void ViewerLink::join(HWND window) {
    leave();
    mWindow = window;
    mNext = SetClipboardViewer(window);
}

void ViewerLink::leave() {
    if (mWindow)
        ChangeClipboardChain(mWindow, mNext);
    mWindow = nullptr;
    mNext = nullptr;
}

void ViewerLink::passChange() const {
    forward(mNext, WM_DRAWCLIPBOARD, 0, 0);
}

void ViewerLink::chainChanged(WPARAM leaving, LPARAM following) {
    if (reinterpret_cast<HWND>(leaving) == mNext)
        mNext = reinterpret_cast<HWND>(following);
    else
        forward(mNext, WM_CHANGECBCHAIN, leaving, following);
}
