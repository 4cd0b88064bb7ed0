// What the program keeps between runs, as plain data, and the stack-file
// record it is stored as. Platform-free: the file itself, and when it is
// written, are the caller's.
//
// Loading, at start:
//     SavedState state;
//     const bool whole = loadSavedState(archive, state);
// Whole or not, state holds everything that could be read: the caller takes
// the loaded snapshots over (SnapshotList::release, SnapshotRef::release,
// or ClipSnapshot::takeFrom; nothing is copied), makes a button for each
// SavedButton, and ends with exactly one active button: the first one it
// makes when buttons is empty, else the one activeButtonIndex() names.
//
// Saving, at exit, straight from the live objects:
//     SavedState state;
//     state.staticEntries.borrow(snapshot) for each static entry;
//     a SavedButton for each button, wasActive set for the active one and
//     snapshot.borrow(its snapshot) for the others;
//     colourCounter, activeIndex, userName;
//     storeSavedState(archive, state);
// Borrowed snapshots are written where they are, never copied.
#pragma once

#include "base/PtrArray.h"
#include "base/String.h"
#include "clip/SnapshotList.h"
#include "base/StringList.h"

#include <cstdint>

class Archive;

// How much a saved state keeps: far beyond real use, and low enough that a
// damaged or hostile file cannot make the program build (and register with
// the shell) a hundred thousand of anything. A record over the limits loads
// what fits and counts as damaged.
namespace savedlimits {
constexpr std::uint32_t staticEntries = 1000;  // ClipStack::staticLimit
constexpr std::uint32_t buttons = 100;
constexpr int allowedUsers = 2 * 500;  // names, each user with a computer
}  // namespace savedlimits

// One tray button's record.
struct SavedButton {
    // User name and computer name alternately.
    StringList allowedUsers;
    // COLORREFs: 0x00BBGGRR.
    std::uint32_t colour = 0;
    std::uint32_t accentColour = 0;
    bool allUsers = true;
    bool shared = false;
    // The active button's snapshot is not kept: it mirrors the clipboard and
    // is captured anew at start.
    bool wasActive = false;
    // Stored and loaded only when wasActive is false; an empty reference
    // goes out as an empty snapshot.
    SnapshotRef snapshot;

    // The whole record: the settings, then the snapshot.
    bool serialize(Archive& archive);
    // The allowed users, both colours and the three flags.
    bool serializeSettings(Archive& archive);
    // The snapshot when wasActive is false; nothing otherwise. Loading makes
    // a snapshot of its own, kept with the items read whole even when the
    // load fails.
    bool serializeSnapshot(Archive& archive);
};

// The records in order; owns them.
class SavedButtons : public PtrArray {
public:
    SavedButtons() : PtrArray(10) {}
    ~SavedButtons() override { clear(); }

    SavedButton* button(int index) const { return static_cast<SavedButton*>(at(index)); }
    // A new record with the defaults at the end; null when out of memory.
    SavedButton* addButton();
    // Takes ownership; deletes the record when the list cannot grow.
    bool append(SavedButton* button);
    void clear();
};

struct SavedState {
    // Index 0 first.
    SnapshotList staticEntries;
    // Picks the colours of the next button made.
    std::uint32_t colourCounter = 0;
    SavedButtons buttons;
    // As stored: it need not name one of buttons (damaged or foreign input).
    std::uint32_t activeIndex = 0;
    String userName;

    // The button to activate: activeIndex when it names one of buttons,
    // else 0. With no buttons at all the caller makes one.
    int activeButtonIndex() const;
    // Back to a state nothing was read into.
    void clear();

    // The stack-file record, both ways: static entries, colour counter,
    // button count and records, active index, user name. There is no header,
    // version or checksum; the file is exactly this.
    bool serialize(Archive& archive);
};

// Reads as much of the record as it can into a cleared state. False when
// the input is short or damaged (or memory runs out), or went over a limit;
// the state then holds every field, button and snapshot read before the
// damage (a button once its settings were read, a snapshot with the items
// read whole), and what fits of a record over the limits.
bool loadSavedState(Archive& archive, SavedState& state);
// Writes the record; false when a write failed. The state is only read.
bool storeSavedState(Archive& archive, const SavedState& state);
