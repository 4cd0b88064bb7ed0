// What this copy answers other computers, from the program's state: the
// buttons shared with a user, and a shared button's snapshot. Called on the
// user-interface thread; the answers are copies.
#pragma once

#include "protocol/ShareMessages.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct ProgramState;

// The buttons shared with user, in button order. Private content and
// snapshots too large for one transfer (more messages than a transfer can
// number, from a computer whose name is computerLength long) are left out:
// nobody should wait for a fetch that cannot come.
std::vector<ClipListRecord> sharedRecords(const ProgramState& state, const char* user, std::size_t computerLength);

// The serialized snapshot of button entryId when it is shared with user;
// false for any other button, or when it cannot be stored.
bool sharedSnapshot(const ProgramState& state, std::uint32_t entryId, const char* user,
                    std::vector<std::uint8_t>& bytes);
