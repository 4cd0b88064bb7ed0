// Everything the program knows: the tray buttons with their snapshots and
// share settings, the history, the static entries, the user name. One
// object, owned by the main dialog and touched by the user-interface thread
// alone; another thread asks that thread for copies. Platform-free.
#pragma once

#include "base/String.h"
#include "clip/ClipStack.h"
#include "tray/TrayButtons.h"

struct SavedState;

struct ProgramState {
    TrayButtons buttons;
    // Earlier clipboard contents, newest first.
    ClipStack historyStack{ClipStack::historyLimit};
    // The pinned entries.
    ClipStack staticEntries{ClipStack::staticLimit};
    // Names this copy to other computers and names the stack file.
    String userName;
    // False while a share or fetch dialog started from a button runs.
    bool menusEnabled = true;

    // The record of what is kept between runs; snapshots are borrowed, so
    // the state must not change while the record is in use.
    void saveTo(SavedState& saved) const;
    // Takes over a loaded record: the static entries and the buttons'
    // snapshots move here. No button is active afterwards (see TrayButtons).
    void loadFrom(SavedState& saved);
};
