#include "SampleRecord.h"

#include "base/GlobalMemory.h"
#include "clip/ClipFormats.h"

#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

ClipSnapshot* snapshotOf(std::initializer_list<ClipFormatItem*> items) {
    auto* snapshot = new ClipSnapshot;
    for (ClipFormatItem* item : items)
        snapshot->append(item);
    return snapshot;
}

// The pieces of the record in order, each closing one of the ends.
const std::string staticBytes[3] = {
    bytes({0x01, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 'A', 'B', 0}),
    bytes({0x02, 0x10, 0, 0, 0, 0x19, 0x04, 0, 0, 0x01, 0, 0, 0, 0x06, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', 0}),
    bytes({0x00}),
};
const std::string counterBytes = bytes({0x04, 0x03, 0x02, 0x01});
const std::string buttonCountBytes = bytes({0x02});
const std::string settingsBytes[2] = {
    bytes({0x02, 0x04, 'a', 'n', 'n', 'a', 0x07, 'A', 'N', 'N', 'A', '-', 'P', 'C',  // users
           0x00, 0x00, 0xFF, 0x00,                                                  // blue
           0x80, 0x00, 0x00, 0x00,                                                  // navy
           0x00, 0x01, 0x00}),                                                      // some users, shared, inactive
    bytes({0x00,                    // no users
           0x00, 0xFF, 0x00, 0x00,  // lime
           0x00, 0x80, 0x00, 0x00,  // green
           0x01, 0x00, 0x01}),      // all users, not shared, active
};
const std::string buttonSnapshotBytes[2] = {
    bytes({0x02, 0x08, 0, 0, 0, 0x04, 0, 0, 0, 1, 2, 3, 4, 0x05, 0, 0, 0, 0, 0, 0, 0}),
    std::string(),  // the active button's is not kept
};
const std::string activeBytes = bytes({0x01, 0x00, 0x00, 0x00});
const std::string userNameBytes = bytes({0x05, 'Q', 'u', 'i', 'l', 'l'});

}  // namespace

ClipFormatItem* dataItem(unsigned format, const std::string& data) {
    if (data.empty())
        return ClipFormatItem::adopt(format, GlobalMemory());
    GlobalMemory block(memoryblock::allocate(ClipFormatItem::ownFlags, data.size()));
    {
        GlobalLockGuard lock(block.get());
        if (lock.data())
            std::memcpy(lock.data(), data.data(), data.size());
    }
    return ClipFormatItem::adopt(format, std::move(block));
}

std::string dataOf(const ClipFormatItem& item) {
    GlobalLockGuard lock(item.block());
    return lock.data() ? std::string(static_cast<const char*>(lock.data()), lock.size()) : std::string();
}

void fillSampleState(SavedState& state) {
    state.clear();
    state.staticEntries.append(snapshotOf({dataItem(clipformat::text, std::string("AB", 3))}));
    state.staticEntries.append(
        snapshotOf({ClipFormatItem::forLocale(0x0419), dataItem(clipformat::text, std::string("hello", 6))}));
    state.staticEntries.append(snapshotOf({}));
    state.colourCounter = 0x01020304;

    SavedButton* first = state.buttons.addButton();
    first->allowedUsers.add("anna");
    first->allowedUsers.add("ANNA-PC");
    first->colour = 0x00FF0000;
    first->accentColour = 0x00000080;
    first->allUsers = false;
    first->shared = true;
    first->wasActive = false;
    first->snapshot.own(snapshotOf({dataItem(clipformat::dib, bytes({1, 2, 3, 4})), dataItem(5, "")}));

    SavedButton* second = state.buttons.addButton();
    second->colour = 0x0000FF00;
    second->accentColour = 0x00008000;
    second->allUsers = true;
    second->shared = false;
    second->wasActive = true;

    state.activeIndex = 1;
    state.userName.assign("Quill");
}

std::string sampleRecordBytes() {
    std::string record = bytes({0x03});
    for (const std::string& entry : staticBytes)
        record += entry;
    record += counterBytes + buttonCountBytes;
    for (int i = 0; i < 2; ++i)
        record += settingsBytes[i] + buttonSnapshotBytes[i];
    return record + activeBytes + userNameBytes;
}

SampleEnds sampleEnds() {
    SampleEnds ends{};
    std::size_t at = 1;
    for (int i = 0; i < 3; ++i)
        ends.statics[i] = at += staticBytes[i].size();
    ends.colourCounter = at += counterBytes.size();
    ends.buttonCount = at += buttonCountBytes.size();
    for (int i = 0; i < 2; ++i) {
        ends.settings[i] = at += settingsBytes[i].size();
        ends.buttons[i] = at += buttonSnapshotBytes[i].size();
    }
    ends.activeIndex = at += activeBytes.size();
    ends.userName = at += userNameBytes.size();
    return ends;
}
