// The main dialog's saved state: read at start, written at exit, at the end
// of the Windows session, and soon after the user changes what is kept.
#include "app/MainDialog.h"

#include "clip/SavedState.h"
#include "clip/StackFile.h"

namespace {
const UINT_PTR saveTimer = 1;
// Long enough to take a burst of changes in one save.
const UINT saveDelayMs = 2000;
}  // namespace

void MainDialog::loadState() {
    SavedState state;
    if (!loadStackFile(state))
        return;
    for (int i = 0; i < state.staticEntries.count(); ++i)
        if (ClipSnapshot* entry = state.staticEntries.release(i))
            staticEntries.append(entry);
    // Every button made below advances the counter; the saved value stands.
    const std::uint32_t savedCounter = state.colourCounter;
    colourCounter = savedCounter;
    for (int i = 0; i < state.buttons.count(); ++i) {
        auto* button = new TrayButton(hwnd);
        button->loadFrom(*state.buttons.button(i));
        buttons.append(button);
    }
    if (buttons.count() > 0)
        buttons.button(state.activeButtonIndex())->activate(true);
    colourCounter = savedCounter;
    userName.assign(state.userName.text());
}

void MainDialog::saveState() {
    KillTimer(hwnd, saveTimer);
    SavedState state;
    for (int i = 0; i < staticEntries.count(); ++i)
        state.staticEntries.borrow(*staticEntries.entry(i));
    state.colourCounter = colourCounter;
    for (int i = 0; i < buttons.count(); ++i)
        if (SavedButton* saved = state.buttons.addButton())
            buttons.button(i)->saveTo(*saved);
    const int active = buttons.indexOf(activeButton);
    state.activeIndex = active < 0 ? 0 : static_cast<std::uint32_t>(active);
    state.userName.assign(userName.text());
    saveStackFile(state);
}

void MainDialog::stateChanged() {
    // Restarting the timer folds a burst of changes into one save.
    SetTimer(hwnd, saveTimer, saveDelayMs, nullptr);
}

bool MainDialog::onSaveTimer(WPARAM timer) {
    if (timer != saveTimer)
        return false;
    saveState();
    return true;
}
