// The stored form of items, snapshots and snapshot lists, byte by byte, and
// what loading makes of it. Registered formats go by this computer's table:
// the system's on Windows, a stand-in natively that can number names the way
// another computer would.
#include "SampleRecord.h"
#include "StreamBytes.h"

#include "clip/ClipFormats.h"
#include "clip/FormatNames.h"
#include "clip/SnapshotList.h"

#ifndef _WIN32
#include "base/MemoryBlockTesting.h"
#include "base/FormatNameTableTesting.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string snapshotBytes(ClipSnapshot& snapshot) {
    return storedBytes([&snapshot](Archive& archive) { snapshot.serialize(archive); });
}

std::string u32(std::uint32_t value) {
    return byteString({static_cast<int>(value & 0xFF), static_cast<int>(value >> 8 & 0xFF),
                       static_cast<int>(value >> 16 & 0xFF), static_cast<int>(value >> 24)});
}

TEST(SnapshotRecord, EmptyIsOneZeroByte) {
    ClipSnapshot empty;
    EXPECT_EQ(snapshotBytes(empty), byteString({0x00}));
    LoadingArchive in(byteString({0x00}));
    ClipSnapshot loaded;
    loaded.append(dataItem(clipformat::text, "old"));
    EXPECT_TRUE(loaded.serialize(in.get()));
    EXPECT_TRUE(loaded.isEmpty()) << "loading replaces the contents";
}

TEST(SnapshotRecord, OneTextItemIsTwelveBytes) {
    ClipSnapshot snapshot;
    snapshot.append(dataItem(clipformat::text, std::string("AB", 3)));
    const std::string expected = byteString({0x01, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x41, 0x42, 0x00});
    EXPECT_EQ(snapshotBytes(snapshot), expected);

    LoadingArchive in(expected);
    ClipSnapshot loaded;
    ASSERT_TRUE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.item(0)->format(), clipformat::text);
    EXPECT_EQ(dataOf(*loaded.item(0)), std::string("AB", 3));
    EXPECT_EQ(in.stream().remaining(), 0u);
}

TEST(ItemRecord, ALocaleIsItsIdentifierWithoutASize) {
    ClipSnapshot snapshot;
    snapshot.append(ClipFormatItem::forLocale(0x0419));
    const std::string expected = byteString({0x01, 0x10, 0, 0, 0, 0x19, 0x04, 0, 0});
    EXPECT_EQ(snapshotBytes(snapshot), expected);

    LoadingArchive in(expected);
    ClipSnapshot loaded;
    ASSERT_TRUE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.item(0)->format(), clipformat::locale);
    EXPECT_EQ(loaded.item(0)->locale(), 0x0419u);
    EXPECT_EQ(loaded.item(0)->block(), nullptr) << "an identifier, not a block";
}

TEST(ItemRecord, NoDataIsAZeroSizeAndLoadsAsNoData) {
    ClipSnapshot snapshot;
    snapshot.append(dataItem(clipformat::dib, ""));
    const std::string expected = byteString({0x01, 0x08, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(snapshotBytes(snapshot), expected);

    LoadingArchive in(expected);
    ClipSnapshot loaded;
    ASSERT_TRUE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.item(0)->format(), clipformat::dib);
    EXPECT_FALSE(loaded.item(0)->hasData());
}

TEST(ItemRecord, ARegisteredFormatCarriesItsName) {
    const unsigned format = registerFormatName("Tolvaran Layout Test");
    ASSERT_GE(format, formatnames::firstRegistered);
    ClipSnapshot snapshot;
    snapshot.append(dataItem(format, "xy"));
    const std::string name = "Tolvaran Layout Test";
    const std::string expected = byteString({0x01}) + u32(format) + byteString({static_cast<int>(name.size())}) +
                                 name + u32(2) + "xy";
    EXPECT_EQ(snapshotBytes(snapshot), expected);

    LoadingArchive in(expected);
    ClipSnapshot loaded;
    ASSERT_TRUE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.item(0)->format(), format) << "the same computer, the same number";
    EXPECT_EQ(dataOf(*loaded.item(0)), "xy");
}

TEST(ItemRecord, ARegisteredNameIsCutTo99Characters) {
    const std::string longName(150, 'N');
    const unsigned format = registerFormatName(longName.c_str());
    ASSERT_GE(format, formatnames::firstRegistered);
    ClipSnapshot snapshot;
    snapshot.append(dataItem(format, ""));
    const std::string bytes = snapshotBytes(snapshot);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5]), 99u);
    EXPECT_EQ(bytes.substr(6, 99), std::string(99, 'N'));
}

TEST(ItemRecord, AnItemWhoseNameCannotBeRegisteredIsReadPastAndDropped) {
    // An empty name registers nowhere; the text after it still loads.
    const std::string bytes = byteString({0x02}) + u32(0xC0DE) + byteString({0x00}) + u32(3) + "zzz" +
                              byteString({0x01, 0, 0, 0}) + u32(2) + "t";
    LoadingArchive in(bytes + std::string(1, '\0'));
    ClipSnapshot loaded;
    EXPECT_TRUE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.item(0)->format(), clipformat::text);
    EXPECT_EQ(dataOf(*loaded.item(0)), std::string("t", 2));
}

TEST(ItemRecord, ABlockTooBigForTheStreamAllocatesNothing) {
    // A 20-byte input announcing a block of 4 GiB less one byte.
    const std::string bytes = byteString({0x01}) + u32(clipformat::text) + u32(0xFFFFFFFF) + std::string(11, 'x');
    ASSERT_EQ(bytes.size(), 20u);
    LoadingArchive in(bytes);
#ifndef _WIN32
    memoryblock::testing::resetPeak();
    const std::size_t before = memoryblock::testing::liveBytes();
#endif
    ClipSnapshot loaded;
    EXPECT_FALSE(loaded.serialize(in.get()));
    EXPECT_TRUE(loaded.isEmpty());
#ifndef _WIN32
    EXPECT_EQ(memoryblock::testing::peakBytes(), before);
#endif
}

TEST(ItemRecord, ACountTooBigForTheStreamReadsNoItem) {
    LoadingArchive in(byteString({0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) + std::string(15, '\0'));
    ClipSnapshot loaded;
    EXPECT_FALSE(loaded.serialize(in.get()));
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_EQ(in.stream().position(), 5u) << "no item was read";
}

TEST(ItemRecord, ADamagedSnapshotKeepsTheItemsReadWhole) {
    ClipSnapshot snapshot;
    snapshot.append(dataItem(clipformat::text, "one"));
    snapshot.append(dataItem(clipformat::dib, "two!"));
    const std::string bytes = snapshotBytes(snapshot);
    // Cut inside the second item's data.
    LoadingArchive in(bytes.substr(0, bytes.size() - 1));
    ClipSnapshot loaded;
    EXPECT_FALSE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(dataOf(*loaded.item(0)), "one");
}

// What a file or another computer sends is kept only where it can be put
// back soundly and within bounds: skipped formats (handles, not blocks), more
// items than any clipboard holds, and more new format names than one load
// may register are read past; the rest still loads.
TEST(ItemRecord, LoadsKeepOnlySoundFormatsWithinTheLimits) {
    std::string bytes;
    std::uint32_t items = 0;
    auto addItem = [&](std::uint32_t format, const std::string& data) {
        // A locale is its identifier, every other item a size and data.
        bytes += u32(format) + (format == clipformat::locale ? u32(0x409)
                                                             : u32(static_cast<std::uint32_t>(data.size())) + data);
        ++items;
    };
    for (std::uint32_t format = 1; format < 0x400; ++format)
        addItem(format, "d");
    auto countBytes = [](std::uint32_t n) { return byteString({0xFF}) + u32(n); };

    LoadingArchive in(countBytes(items) + bytes);
    ClipSnapshot loaded;
    EXPECT_TRUE(loaded.serialize(in.get()));
    EXPECT_FALSE(in.get().wasCut());
    std::vector<unsigned> kept;
    for (int i = 0; i < loaded.count(); ++i)
        kept.push_back(loaded.item(i)->format());
    for (unsigned format : {2u, 3u, 7u, 9u, 14u, 0x80u, 0x81u, 0x82u, 0x83u, 0x8Eu, 0x200u, 0x2FFu, 0x300u, 0x3FFu})
        EXPECT_EQ(std::count(kept.begin(), kept.end(), format), 0) << format;
    for (unsigned format : {1u, 8u, 13u, 15u, 0x84u, 0x1FFu})
        EXPECT_EQ(std::count(kept.begin(), kept.end(), format), 1) << format;

    // Beyond the item limit: the first ones load, the rest is read past.
    std::string many;
    for (int i = 0; i < ClipSnapshot::maxItems + 5; ++i)
        many += u32(clipformat::text) + u32(1) + "t";
    LoadingArchive over(countBytes(ClipSnapshot::maxItems + 5) + many + byteString({0x42}));
    ClipSnapshot capped;
    EXPECT_TRUE(capped.serialize(over.get()));
    EXPECT_EQ(capped.count(), ClipSnapshot::maxItems);
    EXPECT_TRUE(over.get().wasCut()) << "the input is not taken for whole";
    EXPECT_EQ(over.stream().remaining(), 1u) << "read up to its end";
}

#ifndef _WIN32
// A second computer: the stand-in numbers names from elsewhere.

TEST(ItemRecord, ARegisteredFormatArrivesUnderTheReadersNumber) {
    resetFormatNames(0xC000);
    const unsigned here = registerFormatName("Rich Text Format");
    ClipSnapshot snapshot;
    snapshot.append(dataItem(here, "{\\rtf1}"));
    snapshot.append(ClipFormatItem::forLocale(0x0409));
    const std::string bytes = snapshotBytes(snapshot);

    resetFormatNames(0xC000);
    registerFormatName("Something Else");
    registerFormatName("And Another");
    LoadingArchive in(bytes);
    ClipSnapshot loaded;
    ASSERT_TRUE(loaded.serialize(in.get()));
    ASSERT_EQ(loaded.count(), 2);
    const unsigned there = loaded.item(0)->format();
    EXPECT_NE(there, here);
    EXPECT_EQ(there, registerFormatName("rich text format")) << "names compare without case";
    EXPECT_STREQ(registeredFormatName(there).text(), "Rich Text Format");
    EXPECT_EQ(dataOf(*loaded.item(0)), "{\\rtf1}");
    EXPECT_EQ(loaded.item(1)->locale(), 0x0409u);
    resetFormatNames(0xC000);
}

TEST(ItemRecord, OneLoadRegistersABoundedNumberOfNewNames) {
    resetFormatNames(0xC000);
    const std::uint32_t names = Archive::maxDistinctNames + 50;
    std::string bytes = byteString({0xFF}) + u32(names * 2);
    for (std::uint32_t i = 0; i < names * 2; ++i) {
        // Each name twice: repeats cost nothing.
        const std::string name = "Flood " + std::to_string(i / 2);
        bytes += u32(0xC000) + byteString({static_cast<int>(name.size())}) + name + u32(1) + "x";
    }
    LoadingArchive in(bytes);
    ClipSnapshot loaded;
    EXPECT_TRUE(loaded.serialize(in.get()));
    EXPECT_EQ(loaded.count(), static_cast<int>(Archive::maxDistinctNames * 2));
    EXPECT_TRUE(in.get().wasCut());
    EXPECT_EQ(registerFormatName("Flood 0"), 0xC000u);
    EXPECT_EQ(registerFormatName("one more"), 0xC000u + Archive::maxDistinctNames) << "no more names were registered";
    resetFormatNames(0xC000);
}

TEST(ItemRecord, AnUnknownRegisteredNumberGoesOutWithAnEmptyName) {
    resetFormatNames(0xC000);
    ClipSnapshot snapshot;
    snapshot.append(dataItem(0xC555, "q"));
    EXPECT_EQ(snapshotBytes(snapshot), byteString({0x01}) + u32(0xC555) + byteString({0x00}) + u32(1) + "q");
}

TEST(ItemRecord, ABlockThatCannotBeAllocatedFailsTheLoad) {
    ClipSnapshot snapshot;
    snapshot.append(dataItem(clipformat::text, "small"));
    snapshot.append(dataItem(clipformat::dib, std::string(64, 'b')));
    const std::string bytes = snapshotBytes(snapshot);
    LoadingArchive in(bytes);
    memoryblock::testing::setSizeLimit(32);
    ClipSnapshot loaded;
    const bool whole = loaded.serialize(in.get());
    memoryblock::testing::setSizeLimit(memoryblock::testing::noLimit);
    EXPECT_FALSE(whole);
    ASSERT_EQ(loaded.count(), 1) << "the items before it stay";
    EXPECT_EQ(dataOf(*loaded.item(0)), "small");
}
#endif

// Lists of snapshots: a count, then each snapshot.

TEST(StackRecord, CountThenEachSnapshot) {
    SnapshotList list;
    auto* first = new ClipSnapshot;
    first->append(dataItem(clipformat::text, std::string("AB", 3)));
    list.append(first);
    list.append(new ClipSnapshot);
    const std::string bytes = storedBytes([&list](Archive& archive) { list.serialize(archive); });
    EXPECT_EQ(bytes, byteString({0x02, 0x01, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x41, 0x42, 0x00, 0x00}));
}

TEST(StackRecord, LoadingAppendsAfterTheEntriesThere) {
    SnapshotList list;
    auto* held = new ClipSnapshot;
    held->append(dataItem(clipformat::text, "held"));
    list.append(held);
    LoadingArchive in(byteString({0x02, 0x00, 0x01, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x41, 0x42, 0x00}));
    ASSERT_TRUE(list.serialize(in.get()));
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.entry(0), held);
    EXPECT_TRUE(list.entry(1)->isEmpty());
    ASSERT_EQ(list.entry(2)->count(), 1);
    EXPECT_EQ(dataOf(*list.entry(2)->item(0)), std::string("AB", 3));
}

TEST(StackRecord, BorrowedSnapshotsAreStoredWhereTheyAre) {
    ClipSnapshot live;
    live.append(dataItem(clipformat::text, "live"));
    const MemoryHandle block = live.item(0)->block();
    {
        SnapshotList list;
        ASSERT_TRUE(list.borrow(live));
        EXPECT_EQ(list.entry(0), &live);
        EXPECT_EQ(list.release(0), nullptr) << "a borrowed snapshot is not the list's to give";
        ASSERT_TRUE(list.borrow(live));
        const std::string bytes = storedBytes([&list](Archive& archive) { list.serialize(archive); });
        EXPECT_EQ(bytes, byteString({0x02, 0x00}) + byteString({0x01, 0x01, 0, 0, 0}) + u32(4) + "live")
            << "a released entry goes out empty";
    }
    ASSERT_EQ(live.count(), 1) << "the list leaves a borrowed snapshot alone";
    EXPECT_EQ(live.item(0)->block(), block);
}

TEST(StackRecord, ReleasedSnapshotsAreTheCallers) {
    SnapshotList list;
    LoadingArchive in(byteString({0x01, 0x01, 0x01, 0, 0, 0, 0x01, 0, 0, 0, 'x'}));
    ASSERT_TRUE(list.serialize(in.get()));
    ClipSnapshot* taken = list.release(0);
    ASSERT_NE(taken, nullptr);
    list.clear();
    EXPECT_EQ(dataOf(*taken->item(0)), "x");
    delete taken;
}

}  // namespace
