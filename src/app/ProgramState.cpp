#include "app/ProgramState.h"

#include "clip/SavedState.h"

void ProgramState::saveTo(SavedState& saved) const {
    saved.clear();
    for (int i = 0; i < staticEntries.count(); ++i)
        saved.staticEntries.borrow(*staticEntries.entry(i));
    buttons.saveTo(saved);
    saved.userName.assign(userName.text());
}

void ProgramState::loadFrom(SavedState& saved) {
    staticEntries.clear();
    for (int i = 0; i < saved.staticEntries.count(); ++i)
        if (ClipSnapshot* entry = saved.staticEntries.release(i))
            staticEntries.append(entry);
    buttons.loadFrom(saved);
    userName.assign(saved.userName.text());
}
