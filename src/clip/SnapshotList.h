// Lists of snapshots in their stored form, and the snapshots a saved state
// refers to without owning them.
#pragma once

#include "base/Archive.h"
#include "base/PtrArray.h"
#include "clip/ClipSnapshot.h"

#include <cstdint>
#include <new>

// The stack layout: a count, then each snapshot, index 0 first. Works on any
// list with count(), entry(index) and append(ClipSnapshot*) taking
// ownership: the live ClipStack and SnapshotList alike. Loading appends
// after the entries already there, at most maxEntries of them: the rest is
// read past and the archive marked cut. When it fails, the list keeps every
// snapshot read whole and the damaged one with the items read whole, if it
// got any.
template <class List>
bool serializeStack(Archive& archive, List& list, std::uint32_t maxEntries = UINT32_MAX) {
    std::uint32_t n = archive.isStoring() ? static_cast<std::uint32_t>(list.count()) : 0;
    // Each snapshot takes at least its one-byte item count.
    archive.count(n, 1);
    for (std::uint32_t i = 0; i < n && archive.ok(); ++i) {
        if (archive.isStoring()) {
            // A missing entry goes out as an empty snapshot: the count stays.
            if (ClipSnapshot* snapshot = list.entry(static_cast<int>(i)))
                snapshot->serialize(archive);
            else
                archive.writeCount(0);
            continue;
        }
        auto* snapshot = new (std::nothrow) ClipSnapshot;
        if (!snapshot) {
            archive.fail();
            break;
        }
        if (!snapshot->serialize(archive) && snapshot->isEmpty()) {
            delete snapshot;
            break;
        }
        if (i >= maxEntries) {
            delete snapshot;
            archive.markCut();
            continue;
        }
        if (!list.append(snapshot))
            archive.fail();
    }
    return archive.ok();
}

// One snapshot of a saved state: its own once loaded; when the live
// program's snapshot is stored, only borrowed, so nothing big is copied.
class SnapshotRef {
public:
    SnapshotRef() = default;
    ~SnapshotRef() { reset(); }
    SnapshotRef(const SnapshotRef&) = delete;
    SnapshotRef& operator=(const SnapshotRef&) = delete;

    // Takes ownership (null is fine).
    void own(ClipSnapshot* snapshot) {
        reset();
        mSnapshot = snapshot;
        mOwned = true;
    }
    // The snapshot stays the caller's and must outlive this reference.
    void borrow(ClipSnapshot& live) {
        reset();
        mSnapshot = &live;
    }
    ClipSnapshot* get() const { return mSnapshot; }
    bool owns() const { return mOwned && mSnapshot; }
    // Hands an owned snapshot to the caller; null when there is none or it
    // was only borrowed. Nothing is referred to afterwards.
    ClipSnapshot* release() {
        ClipSnapshot* owned = mOwned ? mSnapshot : nullptr;
        mSnapshot = nullptr;
        mOwned = false;
        return owned;
    }
    void reset() { delete release(); }

private:
    ClipSnapshot* mSnapshot = nullptr;
    bool mOwned = false;
};

// Snapshots in order, each owned or borrowed (see SnapshotRef): the static
// entries of a saved state. Loaded lists own every entry.
class SnapshotList : public PtrArray {
public:
    SnapshotList() : PtrArray(10) {}
    // Deletes the owned snapshots.
    ~SnapshotList() override { clear(); }

    // Null once released.
    ClipSnapshot* entry(int index) const { return ref(index).get(); }
    // Takes ownership; deletes the snapshot when the list cannot grow.
    bool append(ClipSnapshot* snapshot);
    // Refers to a live snapshot without copying it, to store it.
    bool borrow(ClipSnapshot& live);
    // Hands the owned snapshot at index to the caller (see SnapshotRef); the
    // entry stays, empty.
    ClipSnapshot* release(int index) { return ref(index).release(); }
    // Deletes the owned snapshots; forgets the borrowed ones.
    void clear();

    // The stack layout (serializeStack). An entry left empty by release is
    // stored as an empty snapshot.
    bool serialize(Archive& archive, std::uint32_t maxEntries = UINT32_MAX) {
        return serializeStack(archive, *this, maxEntries);
    }

private:
    SnapshotRef& ref(int index) const { return *static_cast<SnapshotRef*>(at(index)); }
    bool addRef(SnapshotRef* ref);
};
