#include "clip/ClipSnapshot.h"

#include "base/Archive.h"
#include "clip/FormatNames.h"

#include <atomic>
#include <new>

namespace {
// Snapshots are made on more than one thread; the counter is the one value
// they share, and it only ever counts up.
std::atomic<std::uint32_t> lastSerial{0};

// The smallest item: its format and either a locale or a data size.
constexpr std::uint32_t minItemBytes = 8;
}  // namespace

ClipSnapshot::ClipSnapshot() : PtrArray(10), mSerial(++lastSerial) {}

ClipSnapshot::~ClipSnapshot() {
    clear();
}

ContentKind ClipSnapshot::contentKind(int* decidingIndex) const {
    if (isEmpty())
        return ContentKind::Empty;
    ContentKind kind = ContentKind::Unknown;
    for (int i = 0; i < count(); ++i) {
        switch (item(i)->format()) {
        case clipformat::text:
            if (decidingIndex)
                *decidingIndex = i;
            return ContentKind::Text;
        case clipformat::hdrop:
            if (decidingIndex)
                *decidingIndex = i;
            return ContentKind::Files;
        case clipformat::dib:
            // A later CF_TEXT or CF_HDROP still wins; among pictures the last one does.
            if (decidingIndex)
                *decidingIndex = i;
            kind = ContentKind::Picture;
            break;
        default:
            break;
        }
    }
    if (kind == ContentKind::Unknown)
        return pngKind(decidingIndex);
    return kind;
}

ContentKind ClipSnapshot::pngKind(int* decidingIndex) const {
    for (int i = 0; i < count(); ++i) {
        if (isPngFormat(item(i)->format())) {
            if (decidingIndex)
                *decidingIndex = i;
            return ContentKind::Picture;
        }
    }
    return ContentKind::Unknown;
}

std::uint64_t ClipSnapshot::dataSize() const {
    std::uint64_t bytes = 0;
    for (int i = 0; i < count(); ++i)
        bytes += memoryblock::size(item(i)->block());
    return bytes;
}

bool ClipSnapshot::append(ClipFormatItem* item) {
    return addOwned(item) >= 0;
}

void ClipSnapshot::clear() {
    deleteAll<ClipFormatItem>();
    mPrivate = false;
}

bool ClipSnapshot::copyFrom(const ClipSnapshot& other) {
    if (&other == this)
        return true;
    clear();
    mPrivate = other.mPrivate;
    bool outOfMemory = false;
    for (int i = 0; i < other.count(); ++i)
        if (!append(other.item(i)->clone(outOfMemory)))
            outOfMemory = true;
    return !outOfMemory;
}

void ClipSnapshot::takeFrom(ClipSnapshot& source) {
    if (&source == this)
        return;
    mPrivate = mPrivate || source.mPrivate;
    // Only what was appended leaves the source, so no item is lost or owned twice.
    int moved = 0;
    while (moved < source.count() && add(source.item(moved)) >= 0)
        ++moved;
    source.removeAt(0, moved);
    if (source.isEmpty())
        source.mPrivate = false;
}

bool ClipSnapshot::serialize(Archive& archive) {
    if (archive.isLoading())
        clear();
    std::uint32_t n = mPrivate ? 0 : static_cast<std::uint32_t>(count());
    archive.count(n, minItemBytes);
    for (std::uint32_t i = 0; i < n && archive.ok(); ++i) {
        if (archive.isStoring()) {
            item(static_cast<int>(i))->serialize(archive);
            continue;
        }
        auto* loaded = new (std::nothrow) ClipFormatItem;
        if (!loaded) {
            archive.fail();
            break;
        }
        if (!loaded->serialize(archive) || loaded->format() == 0) {
            delete loaded;
            continue;
        }
        if (count() >= maxItems) {
            delete loaded;
            archive.markCut();
            continue;
        }
        if (!append(loaded))
            archive.fail();
    }
    return archive.ok();
}
