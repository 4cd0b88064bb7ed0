// The stack-file record: its bytes field by field, the button record, and
// loading that survives short, damaged and hostile input with what it read.
#include "LoadChecks.h"
#include "SampleRecord.h"
#include "StreamBytes.h"

#include "clip/ClipFormats.h"
#include "clip/SavedState.h"
#include "clip/StackFileName.h"

#ifndef _WIN32
#include "base/MemoryBlockTesting.h"
#include "base/FormatNameTableTesting.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

std::string stateBytes(const SavedState& state) {
    return storedBytes([&state](Archive& archive) { storeSavedState(archive, state); });
}

// Every item of a snapshot as format and bytes, for comparisons.
std::vector<std::string> itemsOf(const ClipSnapshot* snapshot) {
    std::vector<std::string> items;
    if (!snapshot)
        return items;
    for (int i = 0; i < snapshot->count(); ++i) {
        const ClipFormatItem& item = *snapshot->item(i);
        items.push_back(std::to_string(item.format()) + ":" + std::to_string(item.locale()) + ":" + dataOf(item));
    }
    return items;
}

std::vector<std::string> usersOf(const SavedButton& button) {
    std::vector<std::string> users;
    for (int i = 0; i < button.allowedUsers.count(); ++i)
        users.push_back(button.allowedUsers.at(i).text());
    return users;
}

bool isPrefixOf(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST(StackFileRecord, FieldsInOrderByteByByte) {
    SavedState state;
    fillSampleState(state);
    EXPECT_EQ(stateBytes(state), sampleRecordBytes());
}

#ifdef TOLVARAN_TEST_DATA
// The same bytes a Windows build writes (its probe compares with this file).
TEST(StackFileRecord, MatchesTheCheckedInFile) {
    std::ifstream file(TOLVARAN_TEST_DATA "/stackfile.bin", std::ios::binary);
    ASSERT_TRUE(file);
    const std::string kept((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, sampleRecordBytes());
}
#endif

TEST(StackFileRecord, ReadsBackFieldByField) {
    LoadingArchive in(sampleRecordBytes());
    SavedState state;
    ASSERT_TRUE(loadSavedState(in.get(), state));
    EXPECT_EQ(in.stream().remaining(), 0u);

    ASSERT_EQ(state.staticEntries.count(), 3);
    EXPECT_EQ(itemsOf(state.staticEntries.entry(0)), (std::vector<std::string>{"1:0:" + std::string("AB", 3)}));
    EXPECT_EQ(itemsOf(state.staticEntries.entry(1)),
              (std::vector<std::string>{"16:1049:", "1:0:" + std::string("hello", 6)}));
    EXPECT_TRUE(state.staticEntries.entry(2)->isEmpty());
    EXPECT_EQ(state.colourCounter, 0x01020304u);

    ASSERT_EQ(state.buttons.count(), 2);
    const SavedButton& first = *state.buttons.button(0);
    EXPECT_EQ(usersOf(first), (std::vector<std::string>{"anna", "ANNA-PC"}));
    EXPECT_EQ(first.colour, 0x00FF0000u);
    EXPECT_EQ(first.accentColour, 0x00000080u);
    EXPECT_FALSE(first.allUsers);
    EXPECT_TRUE(first.shared);
    EXPECT_FALSE(first.wasActive);
    ASSERT_TRUE(first.snapshot.owns());
    EXPECT_EQ(itemsOf(first.snapshot.get()), (std::vector<std::string>{"8:0:\x01\x02\x03\x04", "5:0:"}));
    EXPECT_FALSE(first.snapshot.get()->item(1)->hasData());

    const SavedButton& second = *state.buttons.button(1);
    EXPECT_TRUE(usersOf(second).empty());
    EXPECT_EQ(second.colour, 0x0000FF00u);
    EXPECT_EQ(second.accentColour, 0x00008000u);
    EXPECT_TRUE(second.allUsers);
    EXPECT_FALSE(second.shared);
    EXPECT_TRUE(second.wasActive);
    EXPECT_EQ(second.snapshot.get(), nullptr) << "the active button's snapshot is not kept";

    EXPECT_EQ(state.activeIndex, 1u);
    EXPECT_EQ(state.activeButtonIndex(), 1);
    EXPECT_STREQ(state.userName.text(), "Quill");

    // And it goes out again as it came in.
    EXPECT_EQ(stateBytes(state), sampleRecordBytes());
}

TEST(StackFileRecord, StoringBorrowsTheLiveSnapshotsWithoutCopying) {
    ClipSnapshot pinned;
    pinned.append(dataItem(clipformat::text, std::string("AB", 3)));
    ClipSnapshot held;
    held.append(dataItem(clipformat::dib, std::string(1000, 'd')));
#ifndef _WIN32
    const std::size_t blocksBefore = memoryblock::testing::liveBlocks();
#endif
    std::string bytes;
    {
        SavedState state;
        state.staticEntries.borrow(pinned);
        SavedButton* button = state.buttons.addButton();
        button->snapshot.borrow(held);
        SavedButton* active = state.buttons.addButton();
        active->wasActive = true;
        active->snapshot.borrow(pinned);  // ignored: an active button's snapshot is not kept
        state.activeIndex = 1;
        bytes = stateBytes(state);
#ifndef _WIN32
        EXPECT_EQ(memoryblock::testing::liveBlocks(), blocksBefore) << "no block was copied";
#endif
    }
    EXPECT_EQ(pinned.count(), 1);
    EXPECT_EQ(held.count(), 1);

    LoadingArchive in(bytes);
    SavedState loaded;
    ASSERT_TRUE(loadSavedState(in.get(), loaded));
    ASSERT_EQ(loaded.staticEntries.count(), 1);
    EXPECT_EQ(itemsOf(loaded.staticEntries.entry(0)), itemsOf(&pinned));
    ASSERT_EQ(loaded.buttons.count(), 2);
    EXPECT_EQ(itemsOf(loaded.buttons.button(0)->snapshot.get()), itemsOf(&held));
    EXPECT_EQ(loaded.buttons.button(1)->snapshot.get(), nullptr);
}

TEST(StackFileRecord, AnInactiveButtonWithoutASnapshotStoresAnEmptyOne) {
    SavedButton button;
    const std::string bytes = storedBytes([&button](Archive& archive) { button.serialize(archive); });
    EXPECT_EQ(bytes, byteString({0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0x00, 0x00}));
}

TEST(StackFileRecord, AnActiveIndexBeyondTheButtonsIsKeptForTheCallerToMend) {
    SavedState state;
    fillSampleState(state);
    state.activeIndex = 7;
    LoadingArchive in(stateBytes(state));
    SavedState loaded;
    ASSERT_TRUE(loadSavedState(in.get(), loaded));
    EXPECT_EQ(loaded.activeIndex, 7u);
    EXPECT_EQ(loaded.activeButtonIndex(), 0);
}

TEST(StackFileRecord, NoButtonsAtAllLoads) {
    // No statics, counter 9, no buttons, active index 0, name "x".
    LoadingArchive in(byteString({0x00, 9, 0, 0, 0, 0x00, 0, 0, 0, 0, 0x01, 'x'}));
    SavedState loaded;
    ASSERT_TRUE(loadSavedState(in.get(), loaded));
    EXPECT_EQ(loaded.buttons.count(), 0);
    EXPECT_EQ(loaded.colourCounter, 9u);
    EXPECT_EQ(loaded.activeButtonIndex(), 0);
    EXPECT_STREQ(loaded.userName.text(), "x");
}

TEST(StackFileRecord, LoadingStartsFromAClearedState) {
    SavedState state;
    fillSampleState(state);
    LoadingArchive in(byteString({0x00, 1, 0, 0, 0, 0x00, 0, 0, 0, 0, 0x00}));
    ASSERT_TRUE(loadSavedState(in.get(), state));
    EXPECT_EQ(state.staticEntries.count(), 0);
    EXPECT_EQ(state.buttons.count(), 0);
    EXPECT_STREQ(state.userName.text(), "");
}

TEST(StackFileRecord, ACountOfButtonsTheFileCannotHoldReadsNoButton) {
    LoadingArchive in(byteString({0x00, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}) + std::string(40, '\0'));
    SavedState loaded;
    EXPECT_FALSE(loadSavedState(in.get(), loaded));
    EXPECT_EQ(loaded.buttons.count(), 0);
}

// Truncation at every offset: each load fails, and keeps exactly what lay
// before the cut.
TEST(StackFileRecord, EveryTruncationFailsAndKeepsWhatWasRead) {
    const std::string record = sampleRecordBytes();
    const SampleEnds ends = sampleEnds();
    ASSERT_EQ(ends.userName, record.size());
    SavedState sample;
    fillSampleState(sample);
#ifndef _WIN32
    const std::size_t blocksBefore = memoryblock::testing::liveBlocks();
#endif
    for (std::size_t cut = 0; cut < record.size(); ++cut) {
        SCOPED_TRACE(cut);
        LoadingArchive in(record.substr(0, cut));
        SavedState loaded;
        EXPECT_FALSE(loadSavedState(in.get(), loaded));

        int wholeStatics = 0;
        for (std::size_t end : ends.statics)
            wholeStatics += cut >= end ? 1 : 0;
        EXPECT_GE(loaded.staticEntries.count(), wholeStatics);
        EXPECT_LE(loaded.staticEntries.count(), wholeStatics + 1);
        for (int i = 0; i < loaded.staticEntries.count(); ++i)
            EXPECT_TRUE(isPrefixOf(itemsOf(loaded.staticEntries.entry(i)), itemsOf(sample.staticEntries.entry(i))));

        EXPECT_EQ(loaded.colourCounter, cut >= ends.colourCounter ? 0x01020304u : 0u);
        const int settled = (cut >= ends.settings[0] ? 1 : 0) + (cut >= ends.settings[1] ? 1 : 0);
        ASSERT_EQ(loaded.buttons.count(), settled);
        if (settled > 0) {
            const SavedButton& first = *loaded.buttons.button(0);
            EXPECT_EQ(usersOf(first), usersOf(*sample.buttons.button(0)));
            EXPECT_EQ(first.colour, 0x00FF0000u);
            const std::vector<std::string> items = itemsOf(first.snapshot.get());
            EXPECT_TRUE(isPrefixOf(items, itemsOf(sample.buttons.button(0)->snapshot.get())));
            EXPECT_EQ(items.size() == 2, cut >= ends.buttons[0]);
        }
        EXPECT_EQ(loaded.activeIndex, cut >= ends.activeIndex ? 1u : 0u);
        EXPECT_STREQ(loaded.userName.text(), "");
    }
#ifndef _WIN32
    EXPECT_EQ(memoryblock::testing::liveBlocks(), blocksBefore) << "every block was freed again";
#endif
}

void expectSafeLoad(const std::string& input) {
    EXPECT_EQ(loadcheck::problemLoading<SavedState>(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()),
              "");
}

// Counts that announce far more than real use: what fits the limits loads,
// the rest is read past in bounded memory, and the record counts as damaged.
TEST(StackFileRecord, HugeCountsLoadWithinTheLimits) {
    auto count = [](std::uint32_t n) {
        return byteString({0xFF, static_cast<int>(n & 0xFF), static_cast<int>(n >> 8 & 0xFF),
                           static_cast<int>(n >> 16 & 0xFF), static_cast<int>(n >> 24)});
    };
    // A million empty static entries, then the counter and a hundred thousand
    // smallest inactive buttons, each with an empty snapshot.
    const std::uint32_t statics = 1000000;
    const std::uint32_t buttons = 100000;
    std::string record = count(statics) + std::string(statics, '\0') + byteString({4, 3, 2, 1}) + count(buttons);
    const std::string button = byteString({0x00, 1, 2, 3, 0, 4, 5, 6, 0, 1, 0, 0, 0x00});
    for (std::uint32_t i = 0; i < buttons; ++i)
        record += button;
    record += byteString({0x05, 0, 0, 0}) + byteString({0x04, 'A', 'n', 'n', 'a'});

    {
        LoadingArchive in(record);
        SavedState loaded;
        EXPECT_FALSE(loadSavedState(in.get(), loaded)) << "over the limits is not whole";
        EXPECT_EQ(loaded.staticEntries.count(), static_cast<int>(savedlimits::staticEntries));
        EXPECT_EQ(loaded.buttons.count(), static_cast<int>(savedlimits::buttons));
        EXPECT_EQ(loaded.colourCounter, 0x01020304u) << "what follows still loads";
        EXPECT_EQ(loaded.activeIndex, 5u);
        EXPECT_STREQ(loaded.userName.text(), "Anna");
    }
    expectSafeLoad(record);
}

// The user name names the file, and must not lead it anywhere else.
TEST(StackFileName, KeepsPlainNamesAndDefusesPathCharacters) {
    EXPECT_STREQ(stackFileName("Quill").text(), "Quill.Tolvaran");
    EXPECT_STREQ(stackFileName("john.doe.").text(), "john.doe..Tolvaran") << "an existing file keeps its name";
    EXPECT_STREQ(stackFileName("..\\..\\Windows\\x").text(), ".._.._Windows_x.Tolvaran");
    EXPECT_STREQ(stackFileName("C:/%APPDATA%/a").text(), "C___APPDATA__a.Tolvaran");
    EXPECT_STREQ(stackFileName("a*?\"<>|\tb").text(), "a_______b.Tolvaran");
    EXPECT_STREQ(stackFileName("").text(), ".Tolvaran");
}

TEST(StackFileRecord, RandomCorruptionIsSurvived) {
#ifndef _WIN32
    resetFormatNames(0xC000);
#endif
    const std::string record = sampleRecordBytes();
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        for (int round = 0; round < 1500; ++round) {
            std::string damaged = record;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i)
                damaged[random() % damaged.size()] = static_cast<char>(random() & 0xFF);
            if (random() % 4 == 0)
                damaged.resize(random() % damaged.size());
            SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round);
            expectSafeLoad(damaged);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(StackFileRecord, RandomBytesAreSurvived) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::string noise(random() % 200, '\0');
        for (char& byte : noise)
            byte = static_cast<char>(random() & 0xFF);
        // Small counts make the loader go deeper than pure noise would.
        if (!noise.empty() && random() % 2)
            noise[0] = static_cast<char>(random() % 4);
        SCOPED_TRACE(round);
        expectSafeLoad(noise);
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
