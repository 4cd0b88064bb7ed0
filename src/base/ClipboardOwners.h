// Owners of this program's hold on the clipboard: open for one scope, and
// its place in the viewer chain.
#pragma once

#include <windows.h>

class ClipboardOpen {
public:
    // Other viewers (Wine's X bridge among them) open the clipboard right
    // after each change too: a short wait for them beats a capture that
    // fails. Someone who keeps it open longer still costs no noticeable wait.
    explicit ClipboardOpen(HWND owner);
    ~ClipboardOpen();
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;

    bool ok() const { return mOpen; }

private:
    bool mOpen = false;
};

// This window's place in the clipboard-viewer chain: it is told of every
// change and passes each notice on to the next viewer.
class ViewerLink {
public:
    ViewerLink() = default;
    // Leaves the chain.
    ~ViewerLink() { leave(); }
    ViewerLink(const ViewerLink&) = delete;
    ViewerLink& operator=(const ViewerLink&) = delete;

    // The system sends WM_DRAWCLIPBOARD to the new viewer at once.
    void join(HWND window);
    void leave();
    HWND next() const { return mNext; }

    // WM_DRAWCLIPBOARD: passes it on. A next viewer that does not answer
    // within a bounded time is given up on, so a hung program cannot hang
    // this one.
    void passChange() const;
    // WM_CHANGECBCHAIN: unlinks a leaving next viewer, or passes the notice on.
    void chainChanged(WPARAM leaving, LPARAM following);

private:
    HWND mWindow = nullptr;
    HWND mNext = nullptr;
};
