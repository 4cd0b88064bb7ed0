// The hidden stack file in the user's documents folder, named after the user
// name it was last saved under (kept in the registry value "Set"). One
// object for the whole run: it remembers a file that must not be replaced.
#pragma once

#include "base/String.h"

#include <windows.h>

struct SavedState;

class StackFile {
public:
    enum class Loaded {
        FirstRun,    // nothing saved yet: no name, no folder, no file
        Whole,
        Damaged,     // what could be read; the file was moved aside
        Unreadable,  // there, but could not be read, or not moved aside when damaged
    };

    // Reads the state. A file that is there but cannot be opened (another
    // program holds it, a denied read) is tried again for a short while. A
    // file that stays unreadable, or is damaged and cannot be moved aside,
    // is never saved over in this run: saves go to savePath() beside it,
    // and the state goes by the name the file was saved under.
    Loaded load(SavedState& state);
    // The system's error behind Unreadable.
    DWORD loadError() const { return mLoadError; }

    // Points "Set" at state's user name and writes the file. The new content
    // goes to a temporary file beside it, flushed, and replaces the old file
    // in one step: a crash at any moment leaves either the old file or the
    // new one. ERROR_SUCCESS, or the system's error (the old file is then
    // untouched); ERROR_FILENAME_EXCED_RANGE when a name would not fit.
    DWORD save(const SavedState& state);

    // The file the last load read or found missing, expanded.
    const String& path() const { return mPath; }
    // Where the last save went, or the next one goes.
    const String& savePath() const { return mSavePath; }

private:
    // Keeps the file found at start from being replaced in this run.
    void protect(SavedState& state, const String& name);
    // The expanded path for a user name, checked to leave room for every
    // name made from it.
    DWORD pathFor(const char* userName, String& path) const;

    String mPath;
    String mSavePath;
    // Found unreadable (or damaged and stuck): never replaced in this run.
    String mProtected;
    DWORD mLoadError = ERROR_SUCCESS;
};
