#include "clip/ClipboardTransfer.h"

#include "base/ClipboardOwners.h"
#include "base/GlobalMemory.h"
#include "base/String.h"
#include "clip/ClipSnapshot.h"
#include "clip/FormatNames.h"
#include "clip/PrivacyMarks.h"

#include <vector>

namespace {

struct Offered {
    UINT number;
    HANDLE data;
};

bool isPrivacyMark(UINT format, HANDLE data) {
    if (format < formatnames::firstRegistered)
        return false;
    const String name = registeredFormatName(format);
    GlobalLockGuard lock(data);
    return marksPrivate(name.text(), static_cast<const unsigned char*>(lock.data()), lock.size());
}

// Every capturable format's handle, with the clipboard open; returns the
// bytes they hold. secret tells whether the source marked the content private.
std::uint64_t offeredFormats(std::vector<Offered>& offered, bool& secret) {
    offered.reserve(64);
    std::uint64_t bytes = 0;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        // Skipped formats are not even asked for: the system would make up
        // a bitmap or a metafile from whatever another program put there.
        if (isSkippedFormat(format))
            continue;
        // A listed format may still give no handle: the item is kept without data.
        HANDLE data = GetClipboardData(format);
        secret = secret || isPrivacyMark(format, data);
        if (offered.size() >= static_cast<std::size_t>(ClipSnapshot::maxItems))
            continue;
        offered.push_back({format, data});
        if (format != clipformat::locale)
            bytes += memoryblock::size(data);
    }
    return bytes;
}

}  // namespace

ClipboardResult captureClipboard(HWND owner, ClipSnapshot& snapshot, CaptureDetails* details) {
    ClipboardOpen open(owner);
    if (!open.ok())
        return ClipboardResult::Busy;
    // Every handle first, so room can be made for the whole before any copy.
    std::vector<Offered> offered;
    bool secret = false;
    const std::uint64_t bytes = offeredFormats(offered, secret);
    if (details) {
        // Read while the clipboard is still open, so no change can come between.
        details->sequence = GetClipboardSequenceNumber();
        details->bytes = bytes;
        if (details->makeRoom && !details->makeRoom(bytes))
            return ClipboardResult::OutOfMemory;
    }
    ClipSnapshot fresh;
    bool outOfMemory = false;
    for (const Offered& format : offered)
        if (!fresh.append(ClipFormatItem::copyOf(format.number, format.data, outOfMemory)))
            outOfMemory = true;
    if (outOfMemory)
        return ClipboardResult::OutOfMemory;
    fresh.setPrivate(secret);
    snapshot.clear();
    snapshot.takeFrom(fresh);
    // Whatever could not move is freed with fresh: a part of the content
    // with every format's data, rather than formats without it.
    return fresh.isEmpty() ? ClipboardResult::Done : ClipboardResult::OutOfMemory;
}

namespace {

// Empties the clipboard and offers each item's format with its block from
// blocks (one per item, null for a format without data).
ClipboardResult offer(HWND owner, const ClipSnapshot& snapshot, std::vector<GlobalMemory>& blocks) {
    ClipboardOpen open(owner);
    if (!open.ok())
        return ClipboardResult::Busy;
    EmptyClipboard();
    bool refused = false;
    for (int i = 0; i < snapshot.count(); ++i) {
        const UINT format = snapshot.item(i)->format();
        if (format == 0)
            continue;
        // The clipboard owns a block from the moment it accepts it; a refused
        // block stays ours and is freed with the others. A format offered
        // without data has no handle to be refused.
        GlobalMemory& block = blocks[static_cast<std::size_t>(i)];
        if (SetClipboardData(format, block.get()))
            block.release();
        else if (block)
            refused = true;
    }
    return refused ? ClipboardResult::Refused : ClipboardResult::Done;
}

// Every item's block as block() gives it, all of them before the clipboard
// is touched, then offered: short of memory, the clipboard keeps what it had.
template <class Block>
ClipboardResult offerEach(HWND owner, const ClipSnapshot& snapshot, Block block) {
    if (snapshot.isEmpty())
        return ClipboardResult::Done;
    std::vector<GlobalMemory> blocks;
    blocks.reserve(static_cast<std::size_t>(snapshot.count()));
    bool outOfMemory = false;
    for (int i = 0; i < snapshot.count() && !outOfMemory; ++i)
        blocks.push_back(block(*snapshot.item(i), outOfMemory));
    if (outOfMemory)
        return ClipboardResult::OutOfMemory;
    return offer(owner, snapshot, blocks);
}

}  // namespace

ClipboardResult restoreClipboard(HWND owner, const ClipSnapshot& snapshot) {
    return offerEach(owner, snapshot,
                     [](const ClipFormatItem& item, bool& outOfMemory) { return item.blockForClipboard(outOfMemory); });
}

ClipboardResult handOverToClipboard(HWND owner, ClipSnapshot& snapshot) {
    return offerEach(owner, snapshot,
                     [](ClipFormatItem& item, bool& outOfMemory) { return item.takeForClipboard(outOfMemory); });
}
