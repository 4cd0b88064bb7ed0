#include "tray/TrayButton.h"

#include "base/String.h"
#include "clip/SavedState.h"
#include "res/resource.h"
#include "tray/ButtonColours.h"
#include "tray/Sharing.h"
#include "tray/TrayIcon.h"

#include <shellapi.h>

#include <cstring>
#include <set>

TrayButton* activeButton = nullptr;
std::uint32_t colourCounter = 0;
bool menusEnabled = true;

namespace {
const DWORD flashMilliseconds = 150;

// Identifiers of live buttons. Counting up gives each button a new one;
// after a wrap-around the ones still in use are skipped.
std::set<std::uint32_t> liveIds;
std::uint32_t lastId = 0;

std::uint32_t newId() {
    do
        ++lastId;
    while (lastId == 0 || liveIds.count(lastId));
    liveIds.insert(lastId);
    return lastId;
}
}  // namespace

TrayButton::TrayButton(HWND ownerWindow) : owner(ownerWindow), mId(newId()) {
    const ButtonColours colours = buttonColoursFor(colourCounter++);
    colour = colours.face;
    accentColour = colours.accent;
    notify(NIM_ADD, NIF_MESSAGE);
    recapture();
    activate(true);
}

TrayButton::~TrayButton() {
    notify(NIM_DELETE, 0);
    if (activeButton == this)
        activeButton = nullptr;
    liveIds.erase(mId);
}

void TrayButton::activate(bool on) {
    if (on) {
        if (activeButton != this) {
            if (activeButton)
                activeButton->activate(false);
            activeButton = this;
            snapshot.restore();
        }
        updateIcon();
    } else if (activeButton == this) {
        activeButton = nullptr;
        updateIcon();
    }
}

void TrayButton::recapture() {
    snapshot.capture();
    updateIcon();
}

void TrayButton::updateIcon() {
    paintIcon();
    notify(NIM_MODIFY, NIF_ICON | NIF_TIP);
}

void TrayButton::paintIcon() {
    icon.reset();
    icon.reset(paintTrayIcon({colour, accentColour, static_cast<int>(snapshot.contentKind()), activeButton == this,
                              shared}));
}

void TrayButton::pressFlash() {
    TrayButton* const active = activeButton;
    activeButton = this;
    updateIcon();
    Sleep(flashMilliseconds);
    activeButton = active;
    updateIcon();
    snapshot.restore();
}

bool TrayButton::isSharedWith(const char* userName) const {
    return ::isSharedWith(shared, allUsers, allowedUsers, userName);
}

namespace {
void copyStrings(const StringList& from, StringList& to) {
    to.removeAll();
    for (int i = 0; i < from.count(); ++i)
        to.add(from.at(i).text());
}
}  // namespace

void TrayButton::saveTo(SavedButton& saved) const {
    copyStrings(allowedUsers, saved.allowedUsers);
    saved.colour = colour;
    saved.accentColour = accentColour;
    saved.allUsers = allUsers;
    saved.shared = shared;
    saved.wasActive = activeButton == this;
    if (!saved.wasActive)
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
    updateIcon();
}

void TrayButton::notify(DWORD message, UINT flags) {
    // The original, smallest form of the record: every shell version takes it.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = mId;
    data.uFlags = flags;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon.get();
    if (flags & NIF_TIP) {
        String caption;
        snapshot.caption(caption);
        lstrcpynA(data.szTip, caption.text(), sizeof data.szTip);
    }
    Shell_NotifyIconA(message, &data);
}
