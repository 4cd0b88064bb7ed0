// What a snapshot does with the clipboard, and deep copies.
#include "clip/ClipSnapshot.h"

#include "ui/Dialog.h"

namespace {
// Other viewers open the clipboard right after each change too. Waiting a
// moment for them beats a capture that fails and leaves the active button
// empty; someone who keeps it open longer still gets no wait worth noticing.
bool openClipboard() {
    const int attempts = 20;
    const DWORD pauseMs = 5;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (OpenClipboard(mainWindow))
            return true;
        Sleep(pauseMs);
    }
    return false;
}
}  // namespace

void ClipSnapshot::capture() {
    if (!openClipboard())
        return;
    clear();
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        if (isSkippedFormat(format))
            continue;
        // A listed format may still give no handle: the item is kept without data.
        append(new ClipFormatItem(format, GetClipboardData(format)));
    }
    CloseClipboard();
}

void ClipSnapshot::restore() const {
    if (isEmpty() || !openClipboard())
        return;
    EmptyClipboard();
    for (int i = 0; i < count(); ++i)
        item(i)->toClipboard();
    CloseClipboard();
}

void ClipSnapshot::copyFrom(const ClipSnapshot& other) {
    if (&other == this)
        return;
    clear();
    for (int i = 0; i < other.count(); ++i)
        append(new ClipFormatItem(*other.item(i)));
}
