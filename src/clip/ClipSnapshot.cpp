// The platform-free part of a snapshot: its items and its serialized form.
#include "clip/ClipSnapshot.h"

#include "base/Archive.h"

#include <atomic>
#include <new>

namespace {
// Snapshots are made on more than one thread.
std::atomic<std::uint32_t> lastSerial{0};

// The smallest item: its format and either a locale or a data size.
constexpr std::uint32_t minItemBytes = 8;
}  // namespace

ClipSnapshot::ClipSnapshot() : PtrArray(10), mSerial(++lastSerial) {}

ClipSnapshot::~ClipSnapshot() {
    clear();
}

bool ClipSnapshot::append(ClipFormatItem* item) {
    if (add(item) >= 0)
        return true;
    delete item;
    return false;
}

void ClipSnapshot::clear() {
    for (int i = 0; i < count(); ++i)
        delete item(i);
    removeAll();
}

void ClipSnapshot::takeFrom(ClipSnapshot& source) {
    if (&source == this)
        return;
    // Only what was appended leaves the source, so no item is lost or owned twice.
    int moved = 0;
    while (moved < source.count() && add(source.item(moved)) >= 0)
        ++moved;
    source.removeAt(0, moved);
}

bool ClipSnapshot::serialize(Archive& archive) {
    if (archive.isLoading())
        clear();
    std::uint32_t n = static_cast<std::uint32_t>(count());
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
        if (!append(loaded))
            archive.fail();
    }
    return archive.ok();
}
