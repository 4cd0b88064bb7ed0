#include "clip/RepeatedChange.h"

#include "base/GlobalMemory.h"
#include "clip/ClipSnapshot.h"

#include <cstring>

namespace {

bool sameData(MemoryHandle a, MemoryHandle b) {
    GlobalLockGuard left(a);
    GlobalLockGuard right(b);
    return left.size() == right.size() && (left.size() == 0 || std::memcmp(left.data(), right.data(), left.size()) == 0);
}

}  // namespace

bool sameContent(const ClipSnapshot& a, const ClipSnapshot& b) {
    if (a.count() != b.count() || a.isPrivate() != b.isPrivate())
        return false;
    for (int i = 0; i < a.count(); ++i) {
        const ClipFormatItem& left = *a.item(i);
        const ClipFormatItem& right = *b.item(i);
        if (left.format() != right.format() || left.locale() != right.locale() ||
            !sameData(left.block(), right.block()))
            return false;
    }
    return true;
}

bool isRepeatedChange(const ClipSnapshot& mirrored, const ClipSnapshot& fresh, std::uint32_t msSinceMirrored,
                      bool sameOwner) {
    return sameOwner && msSinceMirrored < repeatWindowMs && !fresh.isEmpty() && sameContent(mirrored, fresh);
}
