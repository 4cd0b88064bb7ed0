// The platform-free part of an item: its data as held, and its serialized form.
#include "clip/ClipFormatItem.h"

#include "base/Archive.h"
#include "base/String.h"
#include "clip/ClipFormats.h"
#include "clip/FormatNames.h"

#include <utility>

namespace {

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
    if (archive.readBytes(lock.data(), size))
        data = std::move(block);
}

}  // namespace

ClipFormatItem::~ClipFormatItem() {
    release();
}

ClipFormatItem* ClipFormatItem::adopt(unsigned format, GlobalMemory block) {
    auto* item = new ClipFormatItem;
    item->mFormat = format;
    item->mBlock = std::move(block);
    return item;
}

ClipFormatItem* ClipFormatItem::forLocale(std::uint32_t locale) {
    auto* item = new ClipFormatItem;
    item->mFormat = clipformat::locale;
    item->mLocale = locale;
    return item;
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
    if (format >= firstRegisteredFormat) {
        String name;
        if (storing)
            name = registeredFormatName(format);
        name.serialize(archive);
        // The tests below go by this computer's number.
        if (!storing && archive.ok())
            format = registerFormatName(name.text());
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
        if (archive.ok())
            mFormat = format;
        else
            release();
    }
    return archive.ok();
}
