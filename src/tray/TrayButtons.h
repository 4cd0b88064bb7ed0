// The tray buttons in the order they were made, which of them is active,
// and the counters that name and colour new ones. Owns the buttons.
// Platform-free: the rules live here, the icons in the Tray.
#pragma once

#include "base/PtrArray.h"
#include "tray/TrayButton.h"

#include <cstdint>

struct SavedState;

class TrayButtons : public PtrArray {
public:
    TrayButtons() : PtrArray(10) {}
    // Deletes every button.
    ~TrayButtons() override;

    TrayButton* button(int index) const { return static_cast<TrayButton*>(at(index)); }
    // The bytes of data the buttons' snapshots hold.
    std::uint64_t dataSize() const;
    // The live button with that identifier, or null.
    TrayButton* find(std::uint32_t id) const;
    // -1 when the button is not in the list.
    int indexOf(const TrayButton* button) const;

    // The button that mirrors the clipboard; null only until the first
    // activation, and while a load or removal is under way.
    TrayButton* active() const { return mActive; }
    bool isActive(const TrayButton* button) const { return button && button == mActive; }
    // Makes button (one of the list) the active one and returns the one
    // that was active before.
    TrayButton* activate(TrayButton* button);

    // Far beyond real use: every button is an icon in the notification area.
    static constexpr int maxButtons = 100;  // savedlimits::buttons

    // A new button at the end, with a new identifier and the next colours;
    // not active yet. Null at maxButtons, and when memory is short.
    TrayButton* add();
    // The last button never goes.
    bool canRemove() const { return count() > 1; }
    // Deletes a button unless it is the last one. When it was the active
    // one, the first button takes over: the result is then that button, for
    // the caller to restore and repaint; otherwise null.
    TrayButton* remove(TrayButton* button);

    // Picks the colours of the next button made; saved with the state.
    std::uint32_t colourCounter() const { return mColourCounter; }

    // Every button's record, the active button's index and the counter;
    // snapshots are borrowed.
    void saveTo(SavedState& state) const;
    // Replaces the buttons with one per saved record (their snapshots move
    // here) and takes over the counter. None is active afterwards: the
    // caller activates the one state.activeButtonIndex() names, or makes a
    // first button when there are none.
    void loadFrom(SavedState& state);

private:
    void clear();
    std::uint32_t newId();

    TrayButton* mActive = nullptr;
    std::uint32_t mColourCounter = 0;
    std::uint32_t mLastId = 0;
};
