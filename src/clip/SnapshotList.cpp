#include "clip/SnapshotList.h"

bool SnapshotList::addRef(SnapshotRef* ref) {
    return addOwned(ref) >= 0;
}

bool SnapshotList::append(ClipSnapshot* snapshot) {
    auto* ref = new (std::nothrow) SnapshotRef;
    if (!ref) {
        delete snapshot;
        return false;
    }
    ref->own(snapshot);
    return addRef(ref);
}

bool SnapshotList::borrow(ClipSnapshot& live) {
    auto* ref = new (std::nothrow) SnapshotRef;
    if (ref)
        ref->borrow(live);
    return addRef(ref);
}

void SnapshotList::clear() {
    deleteAll<SnapshotRef>();
}
