#include "clip/SnapshotList.h"

bool SnapshotList::addRef(SnapshotRef* ref) {
    if (ref && add(ref) >= 0)
        return true;
    delete ref;
    return false;
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
    for (int i = 0; i < count(); ++i)
        delete &ref(i);
    removeAll();
}
