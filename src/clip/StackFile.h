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
        Restored,    // the newer state saved beside the file; the file kept aside
    };

    // Reads the state. A whole record saved beside the file by a run that
    // could not read it, and newer than the file, is the state: the file is
    // renamed aside (keptAside()) and the record takes its place. A file that is there but cannot be opened (another
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
    // After Restored: where the state was read from, and where the older
    // file went.
    const String& restoredFrom() const { return mRestoredFrom; }
    const String& keptAside() const { return mKeptAside; }

private:
    // The user name "Set" holds; false when there is none.
    static bool savedName(String& name);
    // Takes the state saved beside the file when it is newer and whole;
    // false, with state cleared, when it is not taken.
    bool takeBeside(SavedState& state, const String& name, Loaded& taken);
    Loaded loadStackFile(SavedState& state, const String& name);
    // Keeps the file found at start from being replaced in this run.
    void protect(SavedState& state, const String& name);
    // The expanded path for a user name, checked to leave room for every
    // name made from it.
    DWORD pathFor(const char* userName, String& path) const;

    String mPath;
    String mSavePath;
    // Found unreadable (or damaged and stuck): never replaced in this run.
    String mProtected;
    String mRestoredFrom;
    String mKeptAside;
    DWORD mLoadError = ERROR_SUCCESS;
};
