// Telling a repeated announcement of one clipboard change from a new one.
// Some sources announce one copy more than once: Wine's bridge to the X
// clipboard, taking over from a Windows owner, sets the same content twice
// within milliseconds. The history keeps one entry per change, yet the same
// content copied again by the user is a change of its own. Platform-free.
#pragma once

#include <cstdint>

class ClipSnapshot;

// Repeats come within a few milliseconds; nobody copies twice that fast.
constexpr std::uint32_t repeatWindowMs = 250;

// Every item the same: format, locale and data, in the same order.
bool sameContent(const ClipSnapshot& a, const ClipSnapshot& b);

// Whether fresh, captured msSinceMirrored after mirrored was, from the same
// clipboard owner or not, is mirrored announced again.
bool isRepeatedChange(const ClipSnapshot& mirrored, const ClipSnapshot& fresh, std::uint32_t msSinceMirrored,
                      bool sameOwner);
