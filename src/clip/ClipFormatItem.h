// One clipboard format of a snapshot, with a private copy of its data.
// Platform-free: blocks come and go through the memory-block seam, and the
// clipboard calls that hand them over live with the callers.
#pragma once

#include "base/GlobalMemory.h"
#include "base/MemoryBlock.h"

#include <cstdint>

class Archive;

class ClipFormatItem {
public:
    // Flags of the copies an item keeps, and of the blocks the clipboard
    // (and the stream layer) get.
    static constexpr unsigned ownFlags = memoryblock::moveable;
    static constexpr unsigned sharedFlags = memoryblock::moveable | memoryblock::ddeShare;

    ClipFormatItem() = default;
    ClipFormatItem(const ClipFormatItem&) = delete;
    ClipFormatItem& operator=(const ClipFormatItem&) = delete;
    virtual ~ClipFormatItem();

    // A new item of format with a private copy of source, which stays the
    // caller's. A null, empty or unlockable source gives an item without
    // data, as when the clipboard gives no handle at all; so does a copy
    // that memory is too short for, which sets outOfMemory. A CF_LOCALE item
    // keeps the identifier the block holds. Null when not even the item can
    // be had (outOfMemory set).
    static ClipFormatItem* copyOf(unsigned format, MemoryHandle source, bool& outOfMemory);
    // A deep copy, by the same rules.
    ClipFormatItem* clone(bool& outOfMemory) const;
    // Takes over a block made elsewhere (as a stream load makes one); a
    // null block gives an item without data. Null when out of memory.
    static ClipFormatItem* adopt(unsigned format, GlobalMemory block);
    static ClipFormatItem* forLocale(std::uint32_t locale);

    unsigned format() const { return mFormat; }
    // Null for CF_LOCALE and for an item without data.
    MemoryHandle block() const { return mBlock.get(); }
    // The identifier of a CF_LOCALE item; 0 for every other item, and for a
    // locale the clipboard gave no (or a too short) block for.
    std::uint32_t locale() const { return mLocale; }
    bool hasData() const { return mBlock || mLocale != 0; }

    // A fresh block for the clipboard to own: a copy of the data, or the
    // identifier of a locale. Null without data, and when memory is short
    // (outOfMemory set).
    GlobalMemory blockForClipboard(bool& outOfMemory) const;
    // The item's own block, for an item not needed again (a fetched
    // snapshot): no copy; the item keeps its format without data. A locale
    // gets a fresh block as above.
    GlobalMemory takeForClipboard(bool& outOfMemory);

    // Frees the data and makes this a default item (format 0).
    void release();

    // The format; a registered format's name; then the locale for CF_LOCALE,
    // else the data size and the data. A registered format is written under
    // its name and loads under this computer's number for it. A load
    // replaces the item whole or, when it fails, leaves a default item. An
    // item the program never keeps (a skipped format, a name the system
    // refuses or the archive does not admit) is read past and loads as
    // format 0, which callers drop.
    bool serialize(Archive& archive);

private:
    unsigned mFormat = 0;
    GlobalMemory mBlock;
    std::uint32_t mLocale = 0;
};
