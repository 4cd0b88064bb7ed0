#include "tray/TrayButtons.h"

#include "clip/SavedState.h"

#include <new>

TrayButtons::~TrayButtons() {
    clear();
}

void TrayButtons::clear() {
    mActive = nullptr;
    deleteAll<TrayButton>();
}

TrayButton* TrayButtons::find(std::uint32_t id) const {
    for (int i = 0; i < count(); ++i)
        if (button(i)->id() == id)
            return button(i);
    return nullptr;
}

int TrayButtons::indexOf(const TrayButton* wanted) const {
    for (int i = 0; i < count(); ++i)
        if (button(i) == wanted)
            return i;
    return -1;
}

// Counting up gives each button a new identifier; after a wrap-around the
// ones still in use are skipped.
std::uint32_t TrayButtons::newId() {
    do
        ++mLastId;
    while (mLastId == 0 || find(mLastId));
    return mLastId;
}

TrayButton* TrayButtons::activate(TrayButton* button) {
    TrayButton* previous = mActive;
    if (indexOf(button) >= 0)
        mActive = button;
    return previous;
}

TrayButton* TrayButtons::add() {
    if (count() >= maxButtons)
        return nullptr;
    auto* made = new (std::nothrow) TrayButton(newId(), buttonColoursFor(mColourCounter));
    if (addOwned(made) < 0)
        return nullptr;
    ++mColourCounter;
    return made;
}

TrayButton* TrayButtons::remove(TrayButton* gone) {
    const int index = indexOf(gone);
    if (index < 0 || !canRemove())
        return nullptr;
    removeAt(index, 1);
    delete gone;
    if (mActive != gone)
        return nullptr;
    mActive = button(0);
    return mActive;
}

void TrayButtons::saveTo(SavedState& state) const {
    state.colourCounter = mColourCounter;
    state.activeIndex = 0;
    for (int i = 0; i < count(); ++i) {
        SavedButton* saved = state.buttons.addButton();
        if (!saved)
            continue;
        button(i)->saveTo(*saved, button(i) == mActive);
        if (button(i) == mActive)
            state.activeIndex = static_cast<std::uint32_t>(state.buttons.count() - 1);
    }
}

void TrayButtons::loadFrom(SavedState& state) {
    clear();
    for (int i = 0; i < state.buttons.count(); ++i) {
        SavedButton& saved = *state.buttons.button(i);
        auto* made = new (std::nothrow) TrayButton(newId(), ButtonColours{saved.colour, saved.accentColour});
        if (addOwned(made) < 0)
            break;
        made->loadFrom(saved);
    }
    mColourCounter = state.colourCounter;
}

std::uint64_t TrayButtons::dataSize() const {
    std::uint64_t bytes = 0;
    for (int i = 0; i < count(); ++i)
        bytes += button(i)->snapshot.dataSize();
    return bytes;
}
