#include "tray/Tray.h"

#include "base/WindowMessages.h"
#include "clip/ClipStack.h"
#include "clip/MemoryBudget.h"
#include "clip/RepeatedChange.h"
#include "clip/SnapshotCaption.h"
#include "res/resource.h"
#include "tray/TrayButtons.h"
#include "tray/TrayIcon.h"

#include <functional>

namespace {
const DWORD flashMilliseconds = 150;

// Room for a capture that replaces the active button's content: the
// history's oldest entries give way within the budget.
std::function<bool(std::uint64_t)> roomFor(const TrayButtons& buttons, const TrayButton& active, ClipStack& history,
                                           const ClipStack& statics) {
    return [&](std::uint64_t incoming) {
        const std::uint64_t replaced = active.snapshot.dataSize();
        return memorybudget::makeRoom(history, buttons.dataSize() - replaced + statics.dataSize(), replaced,
                                      incoming);
    };
}

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
                                      static_cast<int>(button.snapshot.contentKind()), pressed, button.shared},
                                     trayIconSize()));
    icon.notify.modify(icon.picture.get(), displayCaption(button.snapshot).c_str());
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

ClipboardResult Tray::takeChange(ClipStack& history, const ClipStack& statics, std::uint64_t& bytes) {
    TrayButton* active = mButtons.active();
    if (!active)
        return ClipboardResult::Done;
    // Notices are handled after the fact: this one's change may be in already.
    if (mMirroredSequence != 0 && GetClipboardSequenceNumber() == mMirroredSequence)
        return ClipboardResult::Done;
    ClipSnapshot fresh;
    CaptureDetails details;
    details.makeRoom = roomFor(mButtons, *active, history, statics);
    const ClipboardResult result = captureClipboard(mWindow, fresh, &details);
    bytes = details.bytes;
    const DWORD now = GetTickCount();
    if (result == ClipboardResult::OutOfMemory) {
        mMirroredSequence = details.sequence;
        return result;
    }
    const HWND owner = GetClipboardOwner();
    if (result != ClipboardResult::Busy &&
        isRepeatedChange(active->snapshot, fresh, now - mMirroredAt, owner == mMirroredOwner)) {
        mMirroredSequence = details.sequence;
        mMirroredAt = now;
        return result;
    }
    history.push(active->snapshot);
    // A clipboard nobody can read now leaves the button empty until the next change.
    if (result != ClipboardResult::Busy) {
        active->snapshot.clear();
        active->snapshot.takeFrom(fresh);
        mMirroredSequence = details.sequence;
        mMirroredAt = now;
        mMirroredOwner = owner;
    }
    memorybudget::keepWithin(history, mButtons.dataSize() + statics.dataSize());
    repaint(*active);
    return result;
}

void Tray::repaintAll() {
    for (int i = 0; i < mButtons.count(); ++i)
        repaint(*mButtons.button(i));
}

void Tray::showAll() {
    for (int i = 0; i < mButtons.count(); ++i) {
        const TrayButton& button = *mButtons.button(i);
        iconOf(button).notify.add(mWindow, button.id(), trayNotifyMessage);
        repaint(button);
    }
}

bool Tray::showBalloon(const TrayButton& button, const wchar_t* title, const wchar_t* text) {
    return iconOf(button).notify.balloon(title, text);
}
