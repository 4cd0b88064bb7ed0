#include "clip/ClipboardTransfer.h"

#include "base/ClipboardOwners.h"
#include "base/GlobalMemory.h"
#include "base/String.h"
#include "clip/ClipSnapshot.h"
#include "clip/FormatNames.h"
#include "clip/PrivacyMarks.h"

namespace {

bool isPrivacyMark(UINT format, HANDLE data) {
    if (format < formatnames::firstRegistered)
        return false;
    const String name = registeredFormatName(format);
    GlobalLockGuard lock(data);
    return marksPrivate(name.text(), static_cast<const unsigned char*>(lock.data()), lock.size());
}

}  // namespace

ClipboardResult captureClipboard(HWND owner, ClipSnapshot& snapshot, DWORD* sequence) {
    ClipboardOpen open(owner);
    if (!open.ok())
        return ClipboardResult::Busy;
    snapshot.clear();
    bool outOfMemory = false;
    bool secret = false;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        // Skipped formats are not even asked for: the system would make up
        // a bitmap or a metafile from whatever another program put there.
        if (isSkippedFormat(format))
            continue;
        // A listed format may still give no handle: the item is kept without data.
        HANDLE data = GetClipboardData(format);
        secret = secret || isPrivacyMark(format, data);
        if (snapshot.count() >= ClipSnapshot::maxItems)
            continue;
        if (!snapshot.append(ClipFormatItem::copyOf(format, data, outOfMemory)))
            outOfMemory = true;
    }
    snapshot.setPrivate(secret);
    // Read while the clipboard is still open, so no change can come between.
    if (sequence)
        *sequence = GetClipboardSequenceNumber();
    return outOfMemory ? ClipboardResult::OutOfMemory : ClipboardResult::Done;
}

ClipboardResult restoreClipboard(HWND owner, const ClipSnapshot& snapshot) {
    if (snapshot.isEmpty())
        return ClipboardResult::Done;
    ClipboardOpen open(owner);
    if (!open.ok())
        return ClipboardResult::Busy;
    EmptyClipboard();
    bool outOfMemory = false;
    for (int i = 0; i < snapshot.count(); ++i) {
        const ClipFormatItem* item = snapshot.item(i);
        if (item->format() == 0)
            continue;
        GlobalMemory block = item->blockForClipboard(outOfMemory);
        // The clipboard owns a block from the moment it accepts it; a refused
        // block stays ours and is freed here.
        if (SetClipboardData(item->format(), block.get()))
            block.release();
    }
    return outOfMemory ? ClipboardResult::OutOfMemory : ClipboardResult::Done;
}
