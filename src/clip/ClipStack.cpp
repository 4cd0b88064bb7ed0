#include "clip/ClipStack.h"

#include <memory>
#include <new>

ClipStack::ClipStack(int limit) : PtrArray(10), mLimit(limit < 1 ? 1 : limit) {}

ClipStack::~ClipStack() {
    clear();
}

void ClipStack::clear() {
    deleteAll<ClipSnapshot>();
}

void ClipStack::push(ClipSnapshot& current) {
    if (current.isPrivate()) {
        current.clear();
        return;
    }
    if (current.isEmpty())
        return;
    // The slot first: when the array cannot grow, current keeps its items.
    auto* top = new (std::nothrow) ClipSnapshot;
    if (insertOwned(0, top) < 0)
        return;
    top->takeFrom(current);
    if (top->isEmpty()) {
        removeAt(0, 1);
        delete top;
        return;
    }
    while (count() > mLimit) {
        ClipSnapshot* oldest = entry(count() - 1);
        removeAt(count() - 1, 1);
        delete oldest;
    }
}

int ClipStack::indexOfSerial(std::uint32_t serial) const {
    for (int i = 0; i < count(); ++i)
        if (entry(i)->serial() == serial)
            return i;
    return -1;
}

ClipSnapshot* ClipStack::take(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    ClipSnapshot* taken = entry(index);
    removeAt(index, 1);
    return taken;
}

bool ClipStack::removeSerial(std::uint32_t serial) {
    ClipSnapshot* removed = take(indexOfSerial(serial));
    delete removed;
    return removed != nullptr;
}

ClipStack::AddResult ClipStack::addCopy(const ClipSnapshot& snapshot) {
    if (snapshot.isPrivate())
        return AddResult::Private;
    if (isFull())
        return AddResult::Full;
    std::unique_ptr<ClipSnapshot> copy(new (std::nothrow) ClipSnapshot);
    if (!copy || !copy->copyFrom(snapshot))
        return AddResult::OutOfMemory;
    return append(copy.release()) ? AddResult::Added : AddResult::OutOfMemory;
}

bool ClipStack::append(ClipSnapshot* snapshot) {
    if (!isFull())
        return addOwned(snapshot) >= 0;
    delete snapshot;
    return false;
}

std::uint64_t ClipStack::dataSize() const {
    std::uint64_t bytes = 0;
    for (int i = 0; i < count(); ++i)
        bytes += entry(i)->dataSize();
    return bytes;
}

int ClipStack::dropOldestBeyond(std::uint64_t bytes) {
    std::uint64_t held = dataSize();
    int dropped = 0;
    while (count() > 0 && held > bytes) {
        ClipSnapshot* oldest = take(count() - 1);
        held -= oldest->dataSize();
        delete oldest;
        ++dropped;
    }
    return dropped;
}
