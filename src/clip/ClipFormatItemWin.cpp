// What an item does with the clipboard, and copies, which report a shortage
// of memory with the system's box.
#include "clip/ClipFormatItem.h"

#include "clip/ClipFormats.h"
#include "ui/MessageBoxes.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace {

enum class Copy { Made, NothingToCopy, OutOfMemory };

// A new block of flags holding every byte of source. A null, discarded,
// invalid or zero-size source has nothing to copy; the item then simply has
// no data, as when the clipboard gives no handle at all.
Copy copyBlock(MemoryHandle source, unsigned flags, GlobalMemory& copy) {
    if (!source)
        return Copy::NothingToCopy;
    GlobalLockGuard from(source);
    const std::size_t size = from.size();
    if (!from.data() || size == 0)
        return Copy::NothingToCopy;
    GlobalMemory block(GlobalAlloc(flags, size));
    if (!block)
        return Copy::OutOfMemory;
    {
        GlobalLockGuard to(block.get());
        if (!to.data())
            return Copy::OutOfMemory;
        std::memcpy(to.data(), from.data(), size);
    }
    copy = std::move(block);
    return Copy::Made;
}

void reportOutOfMemory() {
    showSystemError(ERROR_NOT_ENOUGH_MEMORY, MB_ICONHAND);
}

// The clipboard owns a block from the moment it accepts it; a refused block
// stays ours and is freed here.
void handOver(unsigned format, GlobalMemory block) {
    if (SetClipboardData(format, block.get()))
        block.release();
}

// A 4-byte block holding the identifier, as the clipboard expects CF_LOCALE.
bool localeBlock(std::uint32_t locale, GlobalMemory& block) {
    GlobalMemory made(GlobalAlloc(ClipFormatItem::sharedFlags, sizeof locale));
    {
        GlobalLockGuard lock(made.get());
        if (!lock.data())
            return false;
        std::memcpy(lock.data(), &locale, sizeof locale);
    }
    block = std::move(made);
    return true;
}

}  // namespace

ClipFormatItem::ClipFormatItem(unsigned format, MemoryHandle source) {
    assignCopy(format, source);
}

ClipFormatItem::ClipFormatItem(const ClipFormatItem& other) {
    if (other.mFormat == 0 || other.mFormat == clipformat::locale) {
        mFormat = other.mFormat;
        mLocale = other.mLocale;
        return;
    }
    assignCopy(other.mFormat, other.mBlock.get());
}

void ClipFormatItem::assignCopy(unsigned format, MemoryHandle source) {
    release();
    mFormat = format;
    if (format == clipformat::locale) {
        // Without a whole identifier the item keeps 0, which restores as no data.
        GlobalLockGuard lock(source);
        if (lock.data() && lock.size() >= sizeof mLocale)
            std::memcpy(&mLocale, lock.data(), sizeof mLocale);
        return;
    }
    if (copyBlock(source, ownFlags, mBlock) == Copy::OutOfMemory)
        reportOutOfMemory();
}

void ClipFormatItem::toClipboard() const {
    if (mFormat == 0)
        return;
    GlobalMemory block;
    if (mFormat == clipformat::locale) {
        if (mLocale != 0 && !localeBlock(mLocale, block))
            reportOutOfMemory();
    } else if (copyBlock(mBlock.get(), sharedFlags, block) == Copy::OutOfMemory) {
        reportOutOfMemory();
    }
    handOver(mFormat, std::move(block));
}
