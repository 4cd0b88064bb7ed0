#include "ShareScenario.h"

#include "SampleRecord.h"
#include "clip/ClipFormats.h"
#include "clip/SavedState.h"
#include "clip/StackFile.h"
#include "driver/Clipboard.h"

namespace scenario {

std::string picture(bool big) {
    return big ? dibBytes(1600, 1600, 32) : dibBytes(1280, 1000, 32);
}

namespace {

SavedButton* addButton(SavedState& state, bool shared, bool allUsers, ClipSnapshot* snapshot) {
    SavedButton* button = state.buttons.addButton();
    button->colour = 0x00FF0000;
    button->accentColour = 0x00000080;
    button->shared = shared;
    button->allUsers = allUsers;
    button->wasActive = snapshot == nullptr;
    if (snapshot)
        button->snapshot.own(snapshot);
    return button;
}

ClipSnapshot* snapshotOf(ClipFormatItem* item) {
    auto* snapshot = new ClipSnapshot;
    if (item)
        snapshot->append(item);
    return snapshot;
}

}  // namespace

bool writeState(const std::string& who) {
    const bool big = who == "Bert10";
    const std::string user = big ? bert : who;
    SavedState state;
    state.userName.assign(user.c_str());
    if (user == anna) {
        SavedButton* button = addButton(state, true, false, nullptr);
        button->allowedUsers.add(dora);
        button->allowedUsers.add(dorasComputer);
        state.activeIndex = 0;
    } else if (user == bert) {
        SavedButton* forAnna = addButton(state, true, false, snapshotOf(dataItem(clipformat::dib, picture(big))));
        forAnna->allowedUsers.add(anna);
        forAnna->allowedUsers.add("TVSIM1");
        addButton(state, false, true, snapshotOf(dataItem(clipformat::text, std::string(bertsSecret) + '\0')));
        // For the benchmark's pest, which asks for what everybody may have.
        if (big)
            addButton(state, true, true, snapshotOf(dataItem(clipformat::text, std::string(colesText) + '\0')));
        addButton(state, false, true, nullptr);
        state.activeIndex = 2;
    } else if (user == cole) {
        addButton(state, true, true, snapshotOf(dataItem(clipformat::text, std::string(colesText) + '\0')));
        addButton(state, true, true, snapshotOf(nullptr));
        addButton(state, false, true, nullptr);
        state.activeIndex = 2;
    } else {
        return false;
    }
    StackFile file;
    return file.save(state) == 0;
}

}  // namespace scenario
