// One tray button's data: the clipboard snapshot it holds and its share
// settings. Platform-free; its icon in the notification area is the Tray's.
#pragma once

#include "base/StringList.h"
#include "clip/ClipSnapshot.h"
#include "tray/ButtonColours.h"

#include <cstdint>

struct SavedButton;

class TrayButton {
public:
    TrayButton(std::uint32_t id, ButtonColours colours)
        : colour(colours.face), accentColour(colours.accent), mId(id) {}
    TrayButton(const TrayButton&) = delete;
    TrayButton& operator=(const TrayButton&) = delete;

    // The notification icon's ID and the wParam of its notifications; unique
    // among live buttons and fixed while the button lives. Not an address:
    // it also names the button to other computers.
    std::uint32_t id() const { return mId; }

    bool isSharedWith(const char* userName, const char* computerName) const;

    // The button's stored record. The snapshot is borrowed, not copied, and
    // left out for the active button, which captures anew at start.
    void saveTo(SavedButton& saved, bool active) const;
    // Takes over a stored record; its snapshot's items move here.
    void loadFrom(SavedButton& saved);

    ClipSnapshot snapshot;
    Colour colour;
    Colour accentColour;
    bool shared = false;
    bool allUsers = true;
    // User name and computer name alternately.
    StringList allowedUsers;

private:
    std::uint32_t mId;
};
