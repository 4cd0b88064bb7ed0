// A window of the test process in the clipboard-viewer chain: it counts the
// changes that reach it and passes everything on as a good viewer must.
#pragma once

#include <windows.h>

class ClipboardViewer {
public:
    ClipboardViewer();
    ~ClipboardViewer();
    ClipboardViewer(const ClipboardViewer&) = delete;
    ClipboardViewer& operator=(const ClipboardViewer&) = delete;

    void leave();

    HWND window() const { return mWindow; }
    HWND next() const { return mNext; }
    int draws() const { return mDraws; }
    // The window named by the last chain-change notice that reached this one.
    HWND lastLeaver() const { return mLastLeaver; }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND mWindow = nullptr;
    HWND mNext = nullptr;
    bool mJoined = false;
    int mDraws = 0;
    HWND mLastLeaver = nullptr;
};
