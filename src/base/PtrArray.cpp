#include "base/PtrArray.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Size in bytes of the slot array for count items, or 0 when the slot count
// would not fit an int or the byte count a size_t. Either means the request
// is absurd, so it is refused up front instead of being left to the heap.
std::size_t slotBytes(int count, int growBy) {
    const long long slots =
        (static_cast<long long>(count) / growBy + 1) * growBy;
    if (slots > INT_MAX ||
        static_cast<unsigned long long>(slots) > SIZE_MAX / sizeof(void*))
        return 0;
    return static_cast<std::size_t>(slots) * sizeof(void*);
}

}  // namespace

PtrArray::PtrArray(int growBy)
    : mGrowBy(growBy < 1 ? 1 : growBy), mCount(0), mItems(nullptr) {
    // On failure mItems stays null; the next setCount that needs slots retries.
    if (const std::size_t bytes = slotBytes(0, mGrowBy))
        mItems = static_cast<void**>(std::malloc(bytes));
}

PtrArray::~PtrArray() { std::free(mItems); }

bool PtrArray::setCount(int n) {
    return resize(n);
}

bool PtrArray::resize(int n) {
    if (n < 0)
        return false;
    if (mItems && mCount / mGrowBy == n / mGrowBy) {
        mCount = n;
        return true;
    }
    void** resized = nullptr;
    if (const std::size_t bytes = slotBytes(n, mGrowBy))
        resized = static_cast<void**>(std::realloc(mItems, bytes));
    if (resized)
        mItems = resized;
    else if (n > mCount)
        return false;  // the old block, untouched, is too small
    mCount = n;
    return true;
}

int PtrArray::add(void* item) {
    const int index = mCount;
    if (index == INT_MAX || !resize(index + 1))
        return -1;
    mItems[index] = item;
    return index;
}

int PtrArray::insertAt(int index, void* item) {
    if (index < 0)
        return -1;
    if (index >= mCount)
        return add(item);
    const int oldCount = mCount;
    if (oldCount == INT_MAX || !resize(oldCount + 1))
        return -1;
    std::memmove(mItems + index + 1, mItems + index,
                 static_cast<std::size_t>(oldCount - index) * sizeof(void*));
    mItems[index] = item;
    return index;
}

void PtrArray::removeAt(int index, int n) {
    if (index < 0 || index >= mCount || n <= 0)
        return;
    if (n > mCount - index)
        n = mCount - index;
    for (int i = index; i < index + n; ++i)
        disposeItem(mItems[i]);
    const int tail = mCount - index - n;
    std::memmove(mItems + index, mItems + index + n,
                 static_cast<std::size_t>(tail) * sizeof(void*));
    resize(mCount - n);
}

void PtrArray::removeAll() {
    for (int i = 0; i < mCount; ++i)
        disposeItem(mItems[i]);
    resize(0);
}

void PtrArray::disposeItem(void*) {}
