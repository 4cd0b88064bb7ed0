#include "tray/StringList.h"

#include <new>

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
    auto* copy = new (std::nothrow) String(text);
    if (!copy)
        return -1;
    const int index = PtrArray::add(copy);
    if (index < 0)
        delete copy;
    return index;
}

void StringList::disposeItem(void* item) {
    delete static_cast<String*>(item);
}
