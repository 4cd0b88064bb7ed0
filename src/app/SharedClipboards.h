// What this copy answers other computers, from the program's state: the
// buttons shared with a user, and a shared button's snapshot. Called on the
// user-interface thread; the answers are copies.
#pragma once

#include "protocol/ShareMessages.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct ProgramState;

// Who asks: a user on a computer; and the lengths of this copy's own
// names, which the answer carries (the computer in every message, the user
// once).
struct Asker {
    const char* user;
    const char* computer;
    std::size_t ownComputerLength;
    std::size_t ownUserLength;
};

// The buttons shared with the asker, in button order. Private content and
// snapshots too large for one transfer (more messages than a transfer can
// number) are left out: nobody should wait for a fetch that cannot come.
std::vector<ClipListRecord> sharedRecords(const ProgramState& state, const Asker& asker);

// The serialized snapshot of button entryId when it is listed for the
// asker; false for any other button (measured, never serialized, when it is
// too large), or when it cannot be stored.
bool sharedSnapshot(const ProgramState& state, std::uint32_t entryId, const Asker& asker,
                    std::vector<std::uint8_t>& bytes);
