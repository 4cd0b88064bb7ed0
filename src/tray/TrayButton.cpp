#include "tray/TrayButton.h"

#include "clip/SavedState.h"
#include "tray/Sharing.h"

namespace {
void copyStrings(const StringList& from, StringList& to) {
    to.removeAll();
    for (int i = 0; i < from.count(); ++i)
        to.add(from.at(i).text());
}
}  // namespace

bool TrayButton::isSharedWith(const char* userName, const char* computerName) const {
    return ::isSharedWith(shared, allUsers, allowedUsers, userName, computerName);
}

void TrayButton::saveTo(SavedButton& saved, bool active) const {
    copyStrings(allowedUsers, saved.allowedUsers);
    saved.colour = colour;
    saved.accentColour = accentColour;
    saved.allUsers = allUsers;
    saved.shared = shared;
    saved.wasActive = active;
    if (!active)
        saved.snapshot.borrow(const_cast<ClipSnapshot&>(snapshot));
}

void TrayButton::loadFrom(SavedButton& saved) {
    copyStrings(saved.allowedUsers, allowedUsers);
    colour = saved.colour;
    accentColour = saved.accentColour;
    allUsers = saved.allUsers;
    shared = saved.shared;
    if (!saved.wasActive && saved.snapshot.get()) {
        snapshot.clear();
        snapshot.takeFrom(*saved.snapshot.get());
    }
}
