// Snapshots holding text, made and read without the clipboard.
#pragma once

#include "ItemCopies.h"
#include "base/GlobalMemory.h"
#include "clip/ClipFormats.h"
#include "clip/ClipSnapshot.h"

#include <cstring>
#include <string>

// Replaces the snapshot's content with one CF_TEXT item holding text and its 0.
inline void setText(ClipSnapshot& snapshot, const std::string& text) {
    snapshot.clear();
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable, text.size() + 1));
    {
        GlobalLockGuard lock(block.get());
        std::memcpy(lock.data(), text.c_str(), text.size() + 1);
    }
    snapshot.append(newCopy(clipformat::text, block.get()));
}

// The text a snapshot holds, as it was put in; "" when it holds none.
inline std::string textOf(const ClipSnapshot& snapshot) {
    for (int i = 0; i < snapshot.count(); ++i)
        if (snapshot.item(i)->format() == clipformat::text) {
            GlobalLockGuard lock(snapshot.item(i)->block());
            if (!lock.data())
                return "";
            const std::string bytes(static_cast<const char*>(lock.data()), lock.size());
            return bytes.substr(0, bytes.find('\0'));
        }
    return "";
}
