#include "clip/MemoryBudget.h"

#include "clip/ClipStack.h"

namespace memorybudget {

namespace {
// What is left of limit after used; 0 when used fills it. Sums are made
// with care: hostile sizes cannot wrap round into room.
std::uint64_t left(std::uint64_t limit, std::uint64_t used) {
    return used >= limit ? 0 : limit - used;
}

std::uint64_t sum(std::uint64_t a, std::uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}
}  // namespace

bool makeRoom(ClipStack& history, std::uint64_t others, std::uint64_t replaced, std::uint64_t incoming,
              std::uint64_t limit) {
    if (sum(others, incoming) > limit)
        return false;
    history.dropOldestBeyond(left(limit, sum(sum(others, replaced), incoming)));
    return true;
}

void keepWithin(ClipStack& history, std::uint64_t kept, std::uint64_t limit) {
    history.dropOldestBeyond(left(limit, kept));
}

}  // namespace memorybudget
