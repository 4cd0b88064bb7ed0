// A private copy of every capturable format on the clipboard at one moment.
#pragma once

#include "base/PtrArray.h"
#include "clip/ClipFormatItem.h"
#include "clip/ClipFormats.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>

class Archive;
class MenuGlyphs;
class String;

// Elements are owned ClipFormatItem pointers, in the clipboard's order.
// Removing elements (removeAt, removeAll) deletes nothing: only clear and the
// destructor delete items.
//
// The item list and its serialized form are platform-free; capture, restore,
// copies, captions and menu entries are Windows only.
class ClipSnapshot : public PtrArray {
public:
    ClipSnapshot();
    ~ClipSnapshot() override;

    ClipFormatItem* item(int index) const { return static_cast<ClipFormatItem*>(at(index)); }
    bool isEmpty() const { return count() == 0; }
    // Tells snapshots apart for the whole run: never reused, even where a new
    // snapshot takes a deleted one's address.
    std::uint32_t serial() const { return mSerial; }

    // Windows only. Replaces the contents with the clipboard's. When the
    // clipboard cannot be opened (another program holds it), nothing changes.
    void capture();
    // Windows only. Puts the contents on the clipboard, which then holds
    // fresh copies: a snapshot can be restored any number of times. An empty
    // snapshot leaves the clipboard alone, and so does a clipboard that
    // cannot be opened.
    void restore() const;

    void clear();
    // Windows only (a failed copy shows the out-of-memory box). A deep copy
    // of other; copying a snapshot onto itself changes nothing.
    void copyFrom(const ClipSnapshot& other);
    // Moves source's items to the end of this one without copying any data;
    // source is left empty.
    void takeFrom(ClipSnapshot& source);
    // Takes ownership of item and appends it; deletes it when the array
    // cannot grow. False then.
    bool append(ClipFormatItem* item);

    // An item count, then each item. Loading replaces the contents; it
    // checks the count against what the stream holds before reading any
    // item, and when it fails the snapshot keeps the items read whole.
    // Items whose registered format this computer cannot register are read
    // past and dropped.
    bool serialize(Archive& archive);

#ifdef _WIN32
    // The kind, and with it the index of the item that decides it (only for
    // Text, Picture and Files; left alone otherwise).
    ContentKind contentKind(int* decidingIndex = nullptr) const;
    // At most 63 characters, in the resources' language.
    void caption(String& out) const;
    // One menu entry: the caption, checked and marked with the glyph of the
    // kind unless the snapshot is empty. columnBreak starts a new column
    // with a separating bar.
    void appendMenuItem(HMENU menu, UINT id, const MenuGlyphs& glyphs, bool columnBreak) const;
#endif

private:
    std::uint32_t mSerial;
};
