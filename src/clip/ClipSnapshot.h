// A private copy of every capturable format on the clipboard at one moment.
// Platform-free; the clipboard calls that fill and empty it are in
// ClipboardTransfer.h, its caption in SnapshotCaption.h.
#pragma once

#include "base/PtrArray.h"
#include "clip/ClipFormatItem.h"
#include "clip/ClipFormats.h"

#include <cstdint>

class Archive;

// Elements are owned ClipFormatItem pointers, in the clipboard's order.
// Removing elements (removeAt, removeAll) deletes nothing: only clear and the
// destructor delete items.
class ClipSnapshot : public PtrArray {
public:
    // Far beyond any real clipboard (a few dozen formats at most): what a
    // capture takes and a load keeps; the rest is left or read past.
    static constexpr int maxItems = 1000;

    ClipSnapshot();
    ~ClipSnapshot() override;

    ClipFormatItem* item(int index) const { return static_cast<ClipFormatItem*>(at(index)); }
    bool isEmpty() const { return count() == 0; }
    // Tells snapshots apart for the whole run: never reused, even where a new
    // snapshot takes a deleted one's address.
    std::uint32_t serial() const { return mSerial; }

    // Content its source marked as not to be kept (a password manager's):
    // it may mirror the clipboard, and is never stored, sent or kept in a
    // history or a static entry.
    bool isPrivate() const { return mPrivate; }
    void setPrivate(bool value) { mPrivate = value; }

    // The kind, and with it the index of the item that decides it (only for
    // Text, Picture and Files; left alone otherwise): the first CF_TEXT or
    // CF_HDROP decides, else the last CF_DIB, else the first PNG picture.
    ContentKind contentKind(int* decidingIndex = nullptr) const;
    // The bytes of data the items hold.
    std::uint64_t dataSize() const;

    void clear();
    // A deep copy of other, privacy mark included; copying a snapshot onto
    // itself changes nothing. False when memory ran short: items (or their
    // data) that could not be copied are missing.
    bool copyFrom(const ClipSnapshot& other);
    // Moves source's items to the end of this one without copying any data;
    // source is left empty. The privacy mark goes along.
    void takeFrom(ClipSnapshot& source);
    // Takes ownership of item and appends it; deletes it when the array
    // cannot grow. False then, and for a null item.
    bool append(ClipFormatItem* item);

    // An item count, then each item. Loading replaces the contents; it
    // checks the count against what the stream holds before reading any
    // item, and when it fails the snapshot keeps the items read whole.
    // Items the program never keeps are read past and dropped, and so are
    // those beyond maxItems (the archive is then marked cut). A private
    // snapshot is stored as an empty one.
    bool serialize(Archive& archive);

private:
    // Picture for a snapshot whose one picture is a PNG block, else Unknown.
    ContentKind pngKind(int* decidingIndex) const;

    std::uint32_t mSerial;
    bool mPrivate = false;
};
