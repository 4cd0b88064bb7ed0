// The hidden stack file in the user's documents folder, named after the user
// name it was last saved under (kept in the registry value "Set").
#pragma once

struct SavedState;
class String;

// Reads the stack file into state. False when there is none to read (first
// run, no documents folder, no name yet). A file that is short or damaged
// gives what could be read, and is then moved aside, under a new name beside
// it, so that the next save cannot overwrite what the user had.
bool loadStackFile(SavedState& state);

// Points "Set" at state's user name and writes the file. The new content goes
// to a temporary file beside it, flushed, and replaces the old file in one
// step: a crash at any moment leaves either the old file or the new one.
// False when the file could not be written (the old one is then untouched).
bool saveStackFile(const SavedState& state);
