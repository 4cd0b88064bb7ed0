// What the native memory-block stand-in lets tests see and provoke: a
// shortage of memory, and every block still alive. Not on Windows.
#pragma once

#include <cstddef>

namespace memoryblock::testing {

// Allocations and growths beyond limit bytes fail from now on, as when
// memory is short; noLimit lifts it.
constexpr std::size_t noLimit = static_cast<std::size_t>(-1);
void setSizeLimit(std::size_t limit);

// Blocks allocated and not yet freed, and their bytes.
std::size_t liveBlocks();
std::size_t liveBytes();
// The most bytes held in blocks at one time since the last reset.
std::size_t peakBytes();
void resetPeak();

}  // namespace memoryblock::testing
