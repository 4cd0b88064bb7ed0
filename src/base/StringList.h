// A list that owns its Strings: a tray button's allowed users, user name and
// computer name alternately.
#pragma once

#include "base/PtrArray.h"
#include "base/String.h"

#include <climits>

class Archive;

class StringList : public PtrArray {
public:
    StringList() : PtrArray(10) {}
    ~StringList() override;

    // Growing fills the new slots with empty Strings; shrinking deletes the
    // Strings beyond n first.
    bool setCount(int n) override;

    // Appends a copy of text; -1 when out of memory.
    int add(const char* text);
    const String& at(int index) const { return *static_cast<const String*>(PtrArray::at(index)); }

    // A count, then each String. Loading replaces the contents, keeping at
    // most maxCount Strings (the rest is read past and the archive marked
    // cut); when it fails, the list keeps the Strings read whole.
    bool serialize(Archive& archive, int maxCount = INT_MAX);

protected:
    void disposeItem(void* item) override;
};
