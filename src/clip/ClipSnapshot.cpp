#include "clip/ClipSnapshot.h"

#include "ui/Dialog.h"

#include <atomic>

namespace {
// Snapshots are made on more than one thread.
std::atomic<std::uint32_t> lastSerial{0};
}  // namespace

ClipSnapshot::ClipSnapshot() : PtrArray(10), mSerial(++lastSerial) {}

ClipSnapshot::~ClipSnapshot() {
    clear();
}

bool ClipSnapshot::append(ClipFormatItem* item) {
    if (add(item) >= 0)
        return true;
    delete item;
    return false;
}

void ClipSnapshot::capture() {
    if (!OpenClipboard(mainWindow))
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
    if (isEmpty() || !OpenClipboard(mainWindow))
        return;
    EmptyClipboard();
    for (int i = 0; i < count(); ++i)
        item(i)->toClipboard();
    CloseClipboard();
}

void ClipSnapshot::clear() {
    for (int i = 0; i < count(); ++i)
        delete item(i);
    removeAll();
}

void ClipSnapshot::copyFrom(const ClipSnapshot& other) {
    if (&other == this)
        return;
    clear();
    for (int i = 0; i < other.count(); ++i)
        append(new ClipFormatItem(*other.item(i)));
}

void ClipSnapshot::takeFrom(ClipSnapshot& source) {
    if (&source == this)
        return;
    // Only what was appended leaves the source, so no item is lost or owned twice.
    int moved = 0;
    while (moved < source.count() && add(source.item(moved)) >= 0)
        ++moved;
    source.removeAt(0, moved);
}
