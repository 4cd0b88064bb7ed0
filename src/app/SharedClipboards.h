// What this copy answers other computers, from the program's state: the
// buttons shared with a user, and a shared button's snapshot. Called on the
// user-interface thread; the answers are copies.
#pragma once

#include "protocol/ShareMessages.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ClipSnapshot;
struct ProgramState;

// Who asks: a user on a computer, and whether a wide transfer reaches them
// (a marked copy); and the lengths of this copy's own names, which the
// answer carries (the computer in every message, the user once).
struct Asker {
    const char* user;
    const char* computer;
    bool wide;
    std::size_t ownComputerLength;
    std::size_t ownUserLength;
};

// The buttons shared with the asker, in button order. Private content and
// snapshots too large for one transfer (more messages than a transfer can
// number) are left out: nobody should wait for a fetch that cannot come.
std::vector<ClipListRecord> sharedRecords(const ProgramState& state, const Asker& asker);

// A copy of button entryId's snapshot when it is listed for the asker, for
// another thread to serialize; false for any other button (measured, never
// copied, when it is too large), or when memory runs short.
bool sharedSnapshot(const ProgramState& state, std::uint32_t entryId, const Asker& asker, ClipSnapshot& copy);

// snapshot as it goes on the wire, in a block of exactly its size; false
// when memory runs short.
bool serialized(const ClipSnapshot& snapshot, std::vector<std::uint8_t>& bytes);
