// How much the program's snapshots may hold together: the tray buttons',
// the history's and the static entries'. Only the history gives way, oldest
// entry first; the rest is what the user chose to keep. Platform-free.
#pragma once

#include <cstdint>

class ClipStack;

namespace memorybudget {

// A 32-bit program shares 2 GB of address space (4 GB when large-address-
// aware on 64-bit Windows) with the clipboard's own copies: a capture holds
// each format twice for a moment, and the system adds a second picture
// format to every bitmap. A 64-bit one is bounded by memory alone.
constexpr std::uint64_t mebibyte = 1024 * 1024;
constexpr std::uint64_t snapshots = (sizeof(void*) == 4 ? 512 : 2048) * mebibyte;

// Before a capture of incoming bytes that replaces a button's content of
// replaced bytes, beside others (every other button and the static
// entries): false when the budget cannot take the capture even with the
// history gone. Otherwise the history's oldest entries have gone as far as
// needed for everything, the replaced content too, to fit while the copy
// is made.
bool makeRoom(ClipStack& history, std::uint64_t others, std::uint64_t replaced, std::uint64_t incoming,
              std::uint64_t limit = snapshots);

// The history's oldest entries go until it fits beside kept, what the
// buttons and the static entries hold.
void keepWithin(ClipStack& history, std::uint64_t kept, std::uint64_t limit = snapshots);

}  // namespace memorybudget
