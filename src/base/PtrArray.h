#pragma once

#include <cassert>

// The program's one collection: an ordered, growable array of untyped
// pointers. Owned lists derive from it. It stores pointers only and never
// deletes what they point to; owners delete the items they remove.
//
// The slot array grows and shrinks in steps of growBy: it holds
// (count / growBy + 1) * growBy slots, so it is reallocated at most once per
// growBy additions or removals. That size follows from count and is not
// stored.
//
// Out of memory: an operation that needs a larger slot array and cannot get
// one changes nothing and reports failure (add and insertAt return -1,
// setCount false). Shrinking always succeeds; if the smaller block cannot be
// had, the larger one is kept.
class PtrArray {
public:
    explicit PtrArray(int growBy);  // a growBy below 1 is taken as 1
    // Frees the slot array only: owners remove or delete their items first.
    virtual ~PtrArray();

    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    int growBy() const { return mGrowBy; }
    int count() const { return mCount; }
    // Valid for indices 0 to count - 1; may be null while count is 0.
    void* const* items() const { return mItems; }
    void* at(int index) const {
        assert(index >= 0 && index < mCount);
        return mItems[index];
    }

    // Returns the new item's index, or -1 when out of memory.
    int add(void* item);
    // Inserts before the item at index; an index at or past count appends.
    // Returns where the item went, or -1 when out of memory or index < 0.
    int insertAt(int index, void* item);
    // Disposes the n items from index upward, in ascending order, and closes
    // the gap. An index at or past count, a negative index or n <= 0 does
    // nothing; a run reaching past the end is cut at the end.
    void removeAt(int index, int n);
    // Disposes every item in ascending order, then shrinks to growBy slots.
    void removeAll();
    // Sets count; slots gained are left uninitialised. Fails (returning
    // false and changing nothing) when n < 0 or the array cannot grow.
    virtual bool setCount(int n);

protected:
    // For arrays that own their items: add and insertAt for an item made
    // just before with new (std::nothrow), so a null one is taken too. When
    // it cannot go in, it is deleted and the result is -1: the owner never
    // holds an item that is in no list.
    template <typename T>
    int addOwned(T* item) {
        return deleteUnless(item ? add(item) : -1, item);
    }
    template <typename T>
    int insertOwned(int index, T* item) {
        return deleteUnless(item ? insertAt(index, item) : -1, item);
    }
    // Deletes every item as a T, then empties the array.
    template <typename T>
    void deleteAll() {
        for (int i = 0; i < mCount; ++i)
            delete static_cast<T*>(mItems[i]);
        removeAll();
    }

    void setAt(int index, void* item) {
        assert(index >= 0 && index < mCount);
        mItems[index] = item;
    }

    // Called once for each item removeAt or removeAll takes out, while it is
    // still in place. Does nothing here.
    virtual void disposeItem(void* item);

private:
    template <typename T>
    static int deleteUnless(int index, T* item) {
        if (index < 0)
            delete item;
        return index;
    }

    // The slot bookkeeping behind setCount. The array's own operations use it
    // directly: a subclass that fills or empties slots in its setCount must
    // not see the moves of add, insertAt and removeAt, whose slots hold items
    // that are already accounted for.
    bool resize(int n);

    int mGrowBy;
    int mCount;
    void** mItems;
};
