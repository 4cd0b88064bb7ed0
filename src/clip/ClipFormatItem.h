// One clipboard format of a snapshot, with a private copy of its data.
#pragma once

#include "base/GlobalMemory.h"
#include "base/MemoryBlock.h"

#include <cstdint>

class Archive;

// The data model and its serialized form are platform-free; what touches the
// clipboard, or shows the out-of-memory box, is Windows only.
class ClipFormatItem {
public:
    // Flags of the copies an item keeps, and of the blocks the clipboard
    // (and the stream layer) get.
    static constexpr unsigned ownFlags = memoryblock::moveable;
    static constexpr unsigned sharedFlags = memoryblock::moveable | memoryblock::ddeShare;

    ClipFormatItem() = default;
    // Windows only. Takes a private copy of source, which stays the caller's
    // (null is fine: the item then has no data). A CF_LOCALE item keeps the
    // identifier the block holds. Shows the out-of-memory box when no copy
    // can be had.
    ClipFormatItem(unsigned format, MemoryHandle source);
    // Windows only, for the same box.
    ClipFormatItem(const ClipFormatItem& other);
    ClipFormatItem& operator=(const ClipFormatItem&) = delete;
    virtual ~ClipFormatItem();

    // Takes over a block made elsewhere (as a stream load makes one); a
    // null block gives an item without data.
    static ClipFormatItem* adopt(unsigned format, GlobalMemory block);
    static ClipFormatItem* forLocale(std::uint32_t locale);

    unsigned format() const { return mFormat; }
    // Null for CF_LOCALE and for an item without data.
    MemoryHandle block() const { return mBlock.get(); }
    // The identifier of a CF_LOCALE item; 0 for every other item, and for a
    // locale the clipboard gave no (or a too short) block for.
    std::uint32_t locale() const { return mLocale; }
    bool hasData() const { return mBlock || mLocale != 0; }

    // Frees the data and makes this a default item (format 0).
    void release();
    // Windows only. Hands a fresh copy to the clipboard, which the caller has
    // opened and emptied. Without data, the format is offered with a null
    // handle.
    void toClipboard() const;

    // The format; a registered format's name; then the locale for CF_LOCALE,
    // else the data size and the data. A registered format is written under
    // its name and loads under this computer's number for it (0 when the
    // name cannot be registered). A load replaces the item whole or, when it
    // fails, leaves a default item.
    bool serialize(Archive& archive);

private:
    void assignCopy(unsigned format, MemoryHandle source);

    unsigned mFormat = 0;
    GlobalMemory mBlock;
    std::uint32_t mLocale = 0;
};
