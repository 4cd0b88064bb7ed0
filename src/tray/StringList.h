// A list that owns its Strings: a tray button's allowed users, user name and
// computer name alternately.
#pragma once

#include "base/PtrArray.h"
#include "base/String.h"

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

protected:
    void disposeItem(void* item) override;
};
