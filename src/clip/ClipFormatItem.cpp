#include "clip/ClipFormatItem.h"

#include "base/Archive.h"
#include "base/String.h"
#include "clip/ClipFormats.h"
#include "clip/FormatNames.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

enum class Copy { Made, NothingToCopy, OutOfMemory };

// A new block of flags holding every byte of source.
Copy copyBlock(MemoryHandle source, unsigned flags, GlobalMemory& copy) {
    GlobalLockGuard from(source);
    const std::size_t size = from.size();
    if (!from.data() || size == 0)
        return Copy::NothingToCopy;
    GlobalMemory block(memoryblock::allocate(flags, size));
    GlobalLockGuard to(block.get());
    if (!to.data())
        return Copy::OutOfMemory;
    std::memcpy(to.data(), from.data(), size);
    to.unlock();
    copy = std::move(block);
    return Copy::Made;
}

// The data size, then the data. A block that cannot be locked goes out as
// no data at all, so the size always tells what follows.
void storeData(Archive& archive, MemoryHandle block) {
    GlobalLockGuard lock(block);
    const std::size_t size = lock.size();
    if (!Archive::fits32(size)) {
        // The layout's size field is 32-bit: such a block cannot be stored.
        archive.fail();
        return;
    }
    archive.writeU32(static_cast<std::uint32_t>(size));
    archive.writeBytes(lock.data(), static_cast<std::uint32_t>(size));
}

// The size is checked against what the stream holds before anything is
// allocated, so damaged input cannot ask for more memory than it carries.
void loadData(Archive& archive, GlobalMemory& data) {
    const std::uint32_t size = archive.readU32();
    if (!archive.ok() || size == 0 || !archive.holds(size, 1))
        return;
    GlobalMemory block(memoryblock::allocate(ClipFormatItem::sharedFlags, size));
    GlobalLockGuard lock(block.get());
    if (!lock.data()) {
        archive.fail();
        return;
    }
    if (archive.readBytes(lock.data(), size)) {
        lock.unlock();
        data = std::move(block);
    }
}

}  // namespace

ClipFormatItem::~ClipFormatItem() {
    release();
}

ClipFormatItem* ClipFormatItem::copyOf(unsigned format, MemoryHandle source, bool& outOfMemory) {
    auto* item = new (std::nothrow) ClipFormatItem;
    if (!item) {
        outOfMemory = true;
        return nullptr;
    }
    item->mFormat = format;
    if (format == clipformat::locale) {
        // Without a whole identifier the item keeps 0, which restores as no data.
        GlobalLockGuard lock(source);
        if (lock.data() && lock.size() >= sizeof item->mLocale)
            std::memcpy(&item->mLocale, lock.data(), sizeof item->mLocale);
    } else if (copyBlock(source, ownFlags, item->mBlock) == Copy::OutOfMemory) {
        outOfMemory = true;
    }
    return item;
}

ClipFormatItem* ClipFormatItem::clone(bool& outOfMemory) const {
    if (mFormat == clipformat::locale) {
        ClipFormatItem* copy = forLocale(mLocale);
        if (!copy)
            outOfMemory = true;
        return copy;
    }
    return copyOf(mFormat, mBlock.get(), outOfMemory);
}

ClipFormatItem* ClipFormatItem::adopt(unsigned format, GlobalMemory block) {
    auto* item = new (std::nothrow) ClipFormatItem;
    if (!item)
        return nullptr;
    item->mFormat = format;
    item->mBlock = std::move(block);
    return item;
}

ClipFormatItem* ClipFormatItem::forLocale(std::uint32_t locale) {
    auto* item = new (std::nothrow) ClipFormatItem;
    if (!item)
        return nullptr;
    item->mFormat = clipformat::locale;
    item->mLocale = locale;
    return item;
}

GlobalMemory ClipFormatItem::takeForClipboard(bool& outOfMemory) {
    if (mFormat == clipformat::locale)
        return blockForClipboard(outOfMemory);
    return std::move(mBlock);
}

GlobalMemory ClipFormatItem::blockForClipboard(bool& outOfMemory) const {
    GlobalMemory block;
    if (mFormat == clipformat::locale) {
        if (mLocale == 0)
            return block;
        block.reset(memoryblock::allocate(sharedFlags, sizeof mLocale));
        GlobalLockGuard lock(block.get());
        if (!lock.data()) {
            outOfMemory = true;
            lock.unlock();
            block.reset();
            return block;
        }
        std::memcpy(lock.data(), &mLocale, sizeof mLocale);
        return block;
    }
    if (copyBlock(mBlock.get(), sharedFlags, block) == Copy::OutOfMemory)
        outOfMemory = true;
    return block;
}

void ClipFormatItem::release() {
    mBlock.reset();
    mLocale = 0;
    mFormat = 0;
}

bool ClipFormatItem::serialize(Archive& archive) {
    const bool storing = archive.isStoring();
    if (!storing)
        release();
    std::uint32_t format = mFormat;
    archive.field(format);
    if (format >= formatnames::firstRegistered) {
        String name;
        if (storing)
            name = registeredFormatName(format);
        name.serialize(archive);
        // The tests below go by this computer's number.
        if (!storing && archive.ok()) {
            if (archive.admitName(name.text())) {
                format = registerFormatName(name.text());
            } else {
                format = 0;
                archive.markCut();
            }
        }
    }
    if (format == clipformat::locale) {
        std::uint32_t locale = mLocale;
        archive.field(locale);
        if (!storing && archive.ok())
            mLocale = locale;
    } else if (storing) {
        storeData(archive, mBlock.get());
    } else {
        loadData(archive, mBlock);
    }
    if (!storing) {
        // What could not be restored soundly is read past and dropped.
        if (archive.ok() && !isSkippedFormat(format))
            mFormat = format;
        else
            release();
    }
    return archive.ok();
}
