// Snapshots in and out of the system clipboard. The callers report
// failures, once the clipboard is closed again: a message box shown with
// the clipboard open would block every program's clipboard meanwhile.
#pragma once

#include <windows.h>

class ClipSnapshot;

enum class ClipboardResult {
    Done,
    Busy,         // another program held the clipboard open: nothing changed
    OutOfMemory,  // done, but some formats are without their data
};

// Replaces the snapshot's contents with the clipboard's (at most
// ClipSnapshot::maxItems formats, skipped ones left out) and marks it
// private when the clipboard's source asked for that. sequence, when given,
// receives the clipboard's sequence number as captured.
ClipboardResult captureClipboard(HWND owner, ClipSnapshot& snapshot, DWORD* sequence = nullptr);
// Puts fresh copies of the snapshot's contents on the clipboard, so a
// snapshot can be restored any number of times. An empty snapshot leaves the
// clipboard alone. A format without data is offered with no handle.
ClipboardResult restoreClipboard(HWND owner, const ClipSnapshot& snapshot);
