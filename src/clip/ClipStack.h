// An owned, ordered list of snapshots: the history (newest first, at most
// 15) and the static entries. Platform-free; the menus that list a stack
// and the clipboard calls that restore its entries belong to the callers.
#pragma once

#include "base/PtrArray.h"
#include "clip/ClipSnapshot.h"

#include <cstdint>

class ClipStack : public PtrArray {
public:
    static constexpr int historyLimit = 15;
    // Far beyond real use, and low enough that every entry gets a menu ID
    // below the program's commands.
    static constexpr int staticLimit = 1000;

    // limit: how many entries the stack keeps (push drops the oldest
    // beyond it; append and addCopy refuse).
    explicit ClipStack(int limit);
    ~ClipStack() override;

    ClipSnapshot* entry(int index) const { return static_cast<ClipSnapshot*>(at(index)); }
    bool isFull() const { return count() >= mLimit; }

    // Deletes every snapshot.
    void clear();
    // History push: a non-empty current snapshot's items move (nothing is
    // copied) into a new entry on top; current is left empty. Keeps at most
    // the limit's entries, deleting the oldest. Private content is dropped, never
    // kept. When memory is short, current keeps its items.
    void push(ClipSnapshot& current);
    // The index of the entry with that serial, or -1 when none has it (it
    // left the stack meanwhile). Serials are never reused, so a stale one
    // never hits a newer snapshot.
    int indexOfSerial(std::uint32_t serial) const;
    // Takes the entry out of the stack and gives it to the caller; null for
    // an index that names no entry.
    ClipSnapshot* take(int index);
    // Deletes the entry with that serial; false when none has it.
    bool removeSerial(std::uint32_t serial);
    enum class AddResult { Added, Full, Private, OutOfMemory };
    // Appends a deep copy of a non-private snapshot.
    AddResult addCopy(const ClipSnapshot& snapshot);
    // Takes ownership and appends; deletes it when the stack is full or
    // cannot grow.
    bool append(ClipSnapshot* snapshot);

    // The bytes of data the entries hold.
    std::uint64_t dataSize() const;
    // Deletes entries from the end (the history's oldest) until the rest
    // hold at most bytes; returns how many went.
    int dropOldestBeyond(std::uint64_t bytes);

private:
    int mLimit;
};
