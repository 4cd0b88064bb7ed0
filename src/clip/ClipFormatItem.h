// One clipboard format of a snapshot, with a private copy of its data.
#pragma once

#include "base/GlobalMemory.h"

#include <windows.h>

class ClipFormatItem {
public:
    // Flags of the copies an item keeps, and of the blocks the clipboard
    // (and the stream layer) get.
    static constexpr UINT ownFlags = GMEM_MOVEABLE;
    static constexpr UINT sharedFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

    ClipFormatItem() = default;
    // Takes a private copy of source, which stays the caller's (null is fine:
    // the item then has no data). A CF_LOCALE item keeps the identifier the
    // block holds. Shows the out-of-memory box when no copy can be had.
    ClipFormatItem(UINT format, HGLOBAL source);
    ClipFormatItem(const ClipFormatItem& other);
    ClipFormatItem& operator=(const ClipFormatItem&) = delete;
    virtual ~ClipFormatItem();

    // Takes over a block made elsewhere (as a stream load makes one); a
    // null block gives an item without data.
    static ClipFormatItem* adopt(UINT format, GlobalMemory block);
    static ClipFormatItem* forLocale(LCID locale);

    UINT format() const { return mFormat; }
    // Null for CF_LOCALE and for an item without data.
    HGLOBAL block() const { return mBlock.get(); }
    // The identifier of a CF_LOCALE item; 0 for every other item, and for a
    // locale the clipboard gave no (or a too short) block for.
    LCID locale() const { return mLocale; }
    bool hasData() const { return mBlock || mLocale != 0; }

    // Frees the data and makes this a default item (format 0).
    void release();
    // Hands a fresh copy to the clipboard, which the caller has opened and
    // emptied. Without data, the format is offered with a null handle.
    void toClipboard() const;

private:
    void assignCopy(UINT format, HGLOBAL source);

    UINT mFormat = 0;
    GlobalMemory mBlock;
    LCID mLocale = 0;
};
