// One icon in the notification area with the clipboard snapshot it holds and
// its share settings. The active button mirrors the clipboard; the others
// keep what they held and give it back with a click.
#pragma once

#include "base/Gdi.h"
#include "clip/ClipSnapshot.h"
#include "tray/StringList.h"

#include <windows.h>

#include <cstdint>

struct SavedButton;

class TrayButton {
public:
    // Adds the icon to the notification area (its notifications go to
    // ownerWindow), captures the clipboard and becomes the active button.
    explicit TrayButton(HWND ownerWindow);
    // Removes the icon. Destroying the active button leaves none active.
    ~TrayButton();
    TrayButton(const TrayButton&) = delete;
    TrayButton& operator=(const TrayButton&) = delete;

    // The notification icon's ID and the wParam of its notifications; unique
    // among live buttons and fixed while the button lives. Not an address:
    // it also names the button to other computers.
    std::uint32_t id() const { return mId; }

    void activate(bool on);
    // Captures the clipboard into the snapshot and repaints.
    void recapture();
    // New face and tooltip.
    void updateIcon();
    // A click on an inactive button: looks pressed for a moment, then puts
    // its content on the clipboard without becoming active.
    void pressFlash();
    bool isSharedWith(const char* userName) const;

    // The button's stored record; the snapshot is borrowed, not copied, and
    // left out for the active button, which captures anew at start.
    void saveTo(SavedButton& saved) const;
    // Takes over a stored record (its snapshot's items move here) and repaints.
    void loadFrom(SavedButton& saved);

    ClipSnapshot snapshot;
    COLORREF colour;
    COLORREF accentColour;
    bool shared = false;
    bool allUsers = true;
    StringList allowedUsers;

private:
    void paintIcon();
    void notify(DWORD message, UINT flags);

    HWND owner;
    std::uint32_t mId;
    Icon icon;
};

// The button that mirrors the clipboard; null only between a removal and the
// activation of another button.
extern TrayButton* activeButton;
// Picks the colours of the next button made; saved with the program's state.
extern std::uint32_t colourCounter;
// False while a share or fetch dialog started from a button runs.
extern bool menusEnabled;
