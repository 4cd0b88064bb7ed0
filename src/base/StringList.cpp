#include "base/StringList.h"

#include "base/Archive.h"

#include <cstdint>
#include <new>
#include <utility>

StringList::~StringList() {
    removeAll();
}

bool StringList::setCount(int n) {
    const int old = count();
    if (n < 0)
        return false;
    for (int i = n; i < old; ++i)
        delete static_cast<String*>(PtrArray::at(i));
    if (!PtrArray::setCount(n))
        return false;
    for (int i = old; i < n; ++i) {
        auto* text = new (std::nothrow) String;
        if (!text) {
            PtrArray::setCount(i);
            return false;
        }
        setAt(i, text);
    }
    return true;
}

int StringList::add(const char* text) {
    return addOwned(new (std::nothrow) String(text));
}

void StringList::disposeItem(void* item) {
    delete static_cast<String*>(item);
}

bool StringList::serialize(Archive& archive, int maxCount) {
    if (archive.isLoading())
        removeAll();
    std::uint32_t n = static_cast<std::uint32_t>(count());
    // Each String takes at least its one-byte count.
    archive.count(n, 1);
    for (std::uint32_t i = 0; i < n && archive.ok(); ++i) {
        if (archive.isStoring()) {
            static_cast<String*>(PtrArray::at(static_cast<int>(i)))->serialize(archive);
            continue;
        }
        String text;
        if (!text.serialize(archive))
            break;
        if (count() >= maxCount) {
            archive.markCut();
            continue;
        }
        if (addOwned(new (std::nothrow) String(std::move(text))) < 0)
            archive.fail();
    }
    return archive.ok();
}
