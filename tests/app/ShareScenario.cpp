#include "ShareScenario.h"

#include "SampleRecord.h"
#include "base/Archive.h"
#include "base/MemoryStream.h"
#include "clip/ClipFormats.h"
#include "clip/SavedState.h"
#include "clip/StackFile.h"
#include "driver/Clipboard.h"

#include <fstream>
#include <initializer_list>
#include <memory>
#include <vector>

namespace scenario {

std::string picture() {
    return dibBytes(1280, 1000, 32);
}

std::string screenshotDib(const Screen& screen) {
    return dibBytes(screen.width, screen.height, 32);
}

// The same pixels behind a version 5 header, their channels spelled out as
// the system's own screenshots do.
std::string screenshotDibV5(const Screen& screen) {
    const std::string dib = screenshotDib(screen);
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = screen.width;
    header.bV5Height = screen.height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5SizeImage = static_cast<DWORD>(dib.size() - sizeof(BITMAPINFOHEADER));
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5CSType = 0x73524742;  // LCS_sRGB, which the headers spell as a multi-character constant
    header.bV5Intent = LCS_GM_IMAGES;
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + dib.substr(sizeof(BITMAPINFOHEADER));
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

// The last button added is the active one, empty, mirroring the clipboard.
void addActiveButton(SavedState& state) {
    addButton(state, false, true, nullptr);
    state.activeIndex = state.buttons.count() - 1;
}

ClipSnapshot* snapshotOf(std::initializer_list<ClipFormatItem*> items) {
    auto* snapshot = new ClipSnapshot;
    for (ClipFormatItem* item : items)
        if (item)
            snapshot->append(item);
    return snapshot;
}

ClipSnapshot* textSnapshot(const char* text) {
    return snapshotOf({dataItem(clipformat::text, std::string(text) + '\0')});
}

ClipSnapshot* screenshotSnapshot(const Screen& screen) {
    return snapshotOf({dataItem(clipformat::dib, screenshotDib(screen)), dataItem(CF_DIBV5, screenshotDibV5(screen))});
}

ClipSnapshot* bertsPicture() {
    return snapshotOf({dataItem(clipformat::dib, picture())});
}

void fillAnna(SavedState& state) {
    SavedButton* button = addButton(state, true, false, nullptr);
    button->allowedUsers.add(dora);
    button->allowedUsers.add(dorasComputer);
    state.activeIndex = 0;
}

// Bert shares what he has for Anna with her alone, in order, and a text
// with nobody; with textForAll another with everybody, which the
// benchmark's pest asks for.
void fillBert(SavedState& state, const std::vector<ClipSnapshot*>& forAnna, bool textForAll) {
    for (ClipSnapshot* snapshot : forAnna) {
        SavedButton* button = addButton(state, true, false, snapshot);
        button->allowedUsers.add(anna);
        button->allowedUsers.add("TVSIM1");
    }
    addButton(state, false, true, textSnapshot(bertsSecret));
    if (textForAll)
        addButton(state, true, true, textSnapshot(colesText));
    addActiveButton(state);
}

void fillCole(SavedState& state) {
    addButton(state, true, true, textSnapshot(colesText));
    addButton(state, true, true, snapshotOf({}));
    addActiveButton(state);
}

// The bytes a fetch of snapshot carries, into the file at path.
bool saveSerialized(ClipSnapshot& snapshot, const std::string& path) {
    MemoryStream stream;
    if (!stream.create(1u << 20, true))
        return false;
    Archive archive(stream, true);
    if (!snapshot.serialize(archive))
        return false;
    stream.close();
    GlobalLockGuard lock(stream.block());
    std::ofstream out(path, std::ios::binary);
    return lock.data() && out.write(static_cast<const char*>(lock.data()), stream.position()) && out.flush();
}

// The state of who, one of the names writeState takes; false for others.
bool fillState(const std::string& who, SavedState& state) {
    state.userName.assign(who.rfind(bert, 0) == 0 ? bert : who.c_str());
    if (who == anna)
        fillAnna(state);
    else if (who == bert)
        fillBert(state, {bertsPicture()}, false);
    else if (who == "Bert1080")
        fillBert(state, {screenshotSnapshot(fullHd), bertsPicture()}, true);
    else if (who == "Bert4K")
        fillBert(state, {screenshotSnapshot(ultraHd), bertsPicture()}, true);
    else if (who == cole)
        fillCole(state);
    else
        return false;
    return true;
}

}  // namespace

bool writeState(const std::string& who) {
    SavedState state;
    if (!fillState(who, state))
        return false;
    StackFile file;
    return file.save(state) == 0;
}

bool writeSnapshot(const std::string& name, const std::string& path, std::string& caption) {
    std::unique_ptr<ClipSnapshot> snapshot;
    if (name == "picture") {
        snapshot.reset(bertsPicture());
        caption = pictureCaption;
    } else if (name == "served") {
        snapshot.reset(screenshotSnapshot(served));
        caption = served.caption;
    } else {
        return false;
    }
    return saveSerialized(*snapshot, path);
}

}  // namespace scenario
