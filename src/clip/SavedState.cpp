#include "clip/SavedState.h"

#include "base/Archive.h"

#include <new>

namespace {

// The smallest record: an empty user list, two colours, three flags.
constexpr std::uint32_t minButtonBytes = 1 + 4 + 4 + 3;

}  // namespace

bool SavedButton::serialize(Archive& archive) {
    serializeSettings(archive);
    serializeSnapshot(archive);
    return archive.ok();
}

bool SavedButton::serializeSettings(Archive& archive) {
    allowedUsers.serialize(archive, savedlimits::allowedUsers);
    archive.field(colour);
    archive.field(accentColour);
    archive.field(allUsers);
    archive.field(shared);
    archive.field(wasActive);
    return archive.ok();
}

bool SavedButton::serializeSnapshot(Archive& archive) {
    if (wasActive || !archive.ok())
        return archive.ok();
    if (archive.isStoring()) {
        if (ClipSnapshot* stored = snapshot.get())
            stored->serialize(archive);
        else
            archive.writeCount(0);
        return archive.ok();
    }
    auto* loaded = new (std::nothrow) ClipSnapshot;
    if (!loaded) {
        archive.fail();
        return false;
    }
    snapshot.own(loaded);
    return loaded->serialize(archive);
}

SavedButton* SavedButtons::addButton() {
    auto* button = new (std::nothrow) SavedButton;
    return button && append(button) ? button : nullptr;
}

bool SavedButtons::append(SavedButton* button) {
    return addOwned(button) >= 0;
}

void SavedButtons::clear() {
    deleteAll<SavedButton>();
}

int SavedState::activeButtonIndex() const {
    return activeIndex < static_cast<std::uint32_t>(buttons.count()) ? static_cast<int>(activeIndex) : 0;
}

void SavedState::clear() {
    staticEntries.clear();
    colourCounter = 0;
    buttons.clear();
    activeIndex = 0;
    userName.assign("");
}

bool SavedState::serialize(Archive& archive) {
    staticEntries.serialize(archive, savedlimits::staticEntries);
    archive.field(colourCounter);
    std::uint32_t n = static_cast<std::uint32_t>(buttons.count());
    archive.count(n, minButtonBytes);
    for (std::uint32_t i = 0; i < n && archive.ok(); ++i) {
        if (archive.isStoring()) {
            buttons.button(static_cast<int>(i))->serialize(archive);
            continue;
        }
        // Kept once its settings are read; its snapshot then holds what it can.
        auto* loaded = new (std::nothrow) SavedButton;
        if (!loaded) {
            archive.fail();
            break;
        }
        if (!loaded->serializeSettings(archive)) {
            delete loaded;
            break;
        }
        if (i >= savedlimits::buttons) {
            // Read past, so what follows the buttons still loads.
            loaded->serializeSnapshot(archive);
            delete loaded;
            archive.markCut();
            continue;
        }
        if (!buttons.append(loaded)) {
            archive.fail();
            break;
        }
        loaded->serializeSnapshot(archive);
    }
    archive.field(activeIndex);
    userName.serialize(archive);
    return archive.ok();
}

bool loadSavedState(Archive& archive, SavedState& state) {
    state.clear();
    return archive.isLoading() && state.serialize(archive) && !archive.wasCut();
}

bool storeSavedState(Archive& archive, const SavedState& state) {
    // Storing only reads the state; serialize is one function for both ways.
    return archive.isStoring() && const_cast<SavedState&>(state).serialize(archive);
}
