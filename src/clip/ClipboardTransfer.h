// Snapshots in and out of the system clipboard. The callers report
// failures, once the clipboard is closed again: a message box shown with
// the clipboard open would block every program's clipboard meanwhile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

class ClipSnapshot;

enum class ClipboardResult {
    Done,
    Busy,         // another program held the clipboard open: nothing changed
    OutOfMemory,  // memory was short (or no room was made): nothing changed
    Refused,      // the clipboard refused some formats: it holds less than the snapshot
};

// What a capture tells and asks beside its result.
struct CaptureDetails {
    // The clipboard's sequence number as captured.
    DWORD sequence = 0;
    // The bytes of data the clipboard offered, whether they were kept or not.
    std::uint64_t bytes = 0;
    // Asked, with the clipboard open, for room for bytes before anything is
    // copied; false turns the capture down as if memory were short.
    std::function<bool(std::uint64_t bytes)> makeRoom;
};

// Replaces the snapshot's contents with the clipboard's (at most
// ClipSnapshot::maxItems formats, skipped ones left out) and marks it
// private when the clipboard's source asked for that. A format the source
// offers without data is kept without data. When memory runs short the
// snapshot keeps what it had (should even moving the copies in fail, it
// keeps part of the new content): never a format whose copy failed.
ClipboardResult captureClipboard(HWND owner, ClipSnapshot& snapshot, CaptureDetails* details = nullptr);
// Puts fresh copies of the snapshot's contents on the clipboard, so a
// snapshot can be restored any number of times. An empty snapshot leaves the
// clipboard alone. A format without data is offered with no handle. Every
// copy is made before the clipboard is touched: short of memory, the
// clipboard keeps what it had.
ClipboardResult restoreClipboard(HWND owner, const ClipSnapshot& snapshot);
// The same for a snapshot not needed again (one fetched from another
// computer): its own blocks go to the clipboard, without a copy, and it is
// left without data.
ClipboardResult handOverToClipboard(HWND owner, ClipSnapshot& snapshot);
