#include "tray/Tray.h"

#include "base/WindowMessages.h"
#include "clip/ClipStack.h"
#include "clip/RepeatedChange.h"
#include "clip/SnapshotCaption.h"
#include "res/resource.h"
#include "tray/TrayButtons.h"
#include "tray/TrayIcon.h"

namespace {
const DWORD flashMilliseconds = 150;

// The worse of two results: a shortage of memory is worth telling, a busy
// clipboard is not.
ClipboardResult worse(ClipboardResult a, ClipboardResult b) {
    return a == ClipboardResult::OutOfMemory ? a : b;
}
}  // namespace

Tray::Tray(HWND window, TrayButtons& buttons) : mWindow(window), mButtons(buttons) {}

Tray::ButtonIcon& Tray::iconOf(const TrayButton& button) {
    std::unique_ptr<ButtonIcon>& icon = mIcons[button.id()];
    if (!icon) {
        icon = std::make_unique<ButtonIcon>();
        icon->notify.add(mWindow, button.id(), trayNotifyMessage);
    }
    return *icon;
}

void Tray::forget(std::uint32_t id) {
    mIcons.erase(id);
}

void Tray::paint(const TrayButton& button, bool pressed) {
    ButtonIcon& icon = iconOf(button);
    icon.picture.reset();
    icon.picture.reset(paintTrayIcon({button.colour, button.accentColour,
                                      static_cast<int>(button.snapshot.contentKind()), pressed, button.shared}));
    icon.notify.modify(icon.picture.get(), snapshotCaption(button.snapshot).text());
}

void Tray::repaint(const TrayButton& button) {
    paint(button, mButtons.isActive(&button));
}

TrayButton* Tray::addButton(ClipboardResult& result) {
    TrayButton* button = mButtons.add();
    if (!button)
        return nullptr;
    iconOf(*button);
    result = captureClipboard(mWindow, button->snapshot);
    repaint(*button);
    result = worse(result, activate(*button));
    return button;
}

ClipboardResult Tray::activate(TrayButton& button) {
    TrayButton* previous = mButtons.activate(&button);
    if (previous == &button) {
        repaint(button);
        return ClipboardResult::Done;
    }
    if (previous) {
        if (previous->snapshot.isPrivate())
            previous->snapshot.clear();
        repaint(*previous);
    }
    const ClipboardResult result = restoreClipboard(mWindow, button.snapshot);
    repaint(button);
    return result;
}

ClipboardResult Tray::removeButton(TrayButton& button) {
    const std::uint32_t id = button.id();
    if (!mButtons.canRemove())
        return ClipboardResult::Done;
    TrayButton* heir = mButtons.remove(&button);
    forget(id);
    if (!heir)
        return ClipboardResult::Done;
    // The first button takes over as if activated: its content goes back.
    const ClipboardResult result = restoreClipboard(mWindow, heir->snapshot);
    repaint(*heir);
    return result;
}

ClipboardResult Tray::pressFlash(TrayButton& button) {
    paint(button, true);
    Sleep(flashMilliseconds);
    repaint(button);
    return restoreClipboard(mWindow, button.snapshot);
}

ClipboardResult Tray::takeChange(ClipStack& history) {
    TrayButton* active = mButtons.active();
    if (!active)
        return ClipboardResult::Done;
    // Notices are handled after the fact: this one's change may be in already.
    if (mMirroredSequence != 0 && GetClipboardSequenceNumber() == mMirroredSequence)
        return ClipboardResult::Done;
    ClipSnapshot fresh;
    DWORD sequence = 0;
    const ClipboardResult result = captureClipboard(mWindow, fresh, &sequence);
    const DWORD now = GetTickCount();
    const HWND owner = GetClipboardOwner();
    if (result != ClipboardResult::Busy &&
        isRepeatedChange(active->snapshot, fresh, now - mMirroredAt, owner == mMirroredOwner)) {
        mMirroredSequence = sequence;
        mMirroredAt = now;
        return result;
    }
    history.push(active->snapshot);
    // A clipboard nobody can read now leaves the button empty until the next change.
    if (result != ClipboardResult::Busy) {
        active->snapshot.clear();
        active->snapshot.takeFrom(fresh);
        mMirroredSequence = sequence;
        mMirroredAt = now;
        mMirroredOwner = owner;
    }
    repaint(*active);
    return result;
}

void Tray::showAll() {
    for (int i = 0; i < mButtons.count(); ++i) {
        const TrayButton& button = *mButtons.button(i);
        iconOf(button).notify.add(mWindow, button.id(), trayNotifyMessage);
        repaint(button);
    }
}
