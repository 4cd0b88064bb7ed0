// Items made the way a capture makes them: a private copy of a source block.
#pragma once

#include "clip/ClipFormatItem.h"

#include <memory>

inline std::unique_ptr<ClipFormatItem> copied(unsigned format, MemoryHandle source) {
    bool outOfMemory = false;
    return std::unique_ptr<ClipFormatItem>(ClipFormatItem::copyOf(format, source, outOfMemory));
}

// For the snapshot's append, which takes ownership.
inline ClipFormatItem* newCopy(unsigned format, MemoryHandle source) {
    return copied(format, source).release();
}
