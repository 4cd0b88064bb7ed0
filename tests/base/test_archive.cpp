// The archive: count encoding, little-endian fields both ways, the checks
// loaders make before they allocate, and sticky failure.
#include "StreamBytes.h"

#include "base/String.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string countBytes(std::uint32_t count) {
    return storedBytes([count](Archive& archive) { archive.writeCount(count); });
}

TEST(Archive, CountsBelow255TakeOneByteTheRestFive) {
    EXPECT_EQ(countBytes(0), byteString({0x00}));
    EXPECT_EQ(countBytes(254), byteString({0xFE}));
    EXPECT_EQ(countBytes(255), byteString({0xFF, 0xFF, 0x00, 0x00, 0x00}));
    EXPECT_EQ(countBytes(300), byteString({0xFF, 0x2C, 0x01, 0x00, 0x00}));
    EXPECT_EQ(countBytes(0xFFFFFFFF), byteString({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Archive, CountsReadBackAsWritten) {
    for (std::uint32_t count : {0u, 1u, 254u, 255u, 256u, 300u, 70000u}) {
        LoadingArchive in(countBytes(count));
        EXPECT_EQ(in.get().readCount(0), count);
        EXPECT_TRUE(in.get().ok());
        EXPECT_EQ(in.get().remaining(), 0u);
    }
}

TEST(Archive, IntegersAreLittleEndianOnEveryMachine) {
    EXPECT_EQ(storedBytes([](Archive& archive) { archive.writeU32(0x12345678); }),
              byteString({0x78, 0x56, 0x34, 0x12}));
    LoadingArchive in(byteString({0xEF, 0xBE, 0xAD, 0xDE}));
    EXPECT_EQ(in.get().readU32(), 0xDEADBEEFu);
}

TEST(Archive, FieldsGoBothWays) {
    const std::string bytes = storedBytes([](Archive& archive) {
        std::uint32_t value = 0x01020304;
        bool yes = true;
        bool no = false;
        std::uint32_t count = 300;
        archive.field(value);
        archive.field(yes);
        archive.field(no);
        archive.count(count);
    });
    EXPECT_EQ(bytes, byteString({0x04, 0x03, 0x02, 0x01, 0x01, 0x00, 0xFF, 0x2C, 0x01, 0x00, 0x00}));

    LoadingArchive in(bytes + std::string(300, 'x'));
    std::uint32_t value = 0;
    bool yes = false;
    bool no = true;
    std::uint32_t count = 0;
    in.get().field(value);
    in.get().field(yes);
    in.get().field(no);
    in.get().count(count);
    EXPECT_TRUE(in.get().ok());
    EXPECT_EQ(value, 0x01020304u);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    EXPECT_EQ(count, 300u);
}

TEST(Archive, AnyNonZeroFlagByteReadsAsTrue) {
    LoadingArchive in(byteString({0x02, 0xFF, 0x00}));
    bool flags[3] = {false, false, true};
    for (bool& flag : flags)
        in.get().field(flag);
    EXPECT_TRUE(flags[0]);
    EXPECT_TRUE(flags[1]);
    EXPECT_FALSE(flags[2]);
}

TEST(Archive, ACountTheStreamCannotHoldFailsBeforeAnythingIsRead) {
    // Four billion things of one byte each, in a stream of nine bytes.
    LoadingArchive in(byteString({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}));
    EXPECT_EQ(in.get().readCount(), 0u);
    EXPECT_FALSE(in.get().ok());

    // Each at least eight bytes: two fit into the sixteen that follow, three do not.
    LoadingArchive two(byteString({2}) + std::string(16, '\0'));
    EXPECT_EQ(two.get().readCount(8), 2u);
    LoadingArchive three(byteString({3}) + std::string(16, '\0'));
    EXPECT_EQ(three.get().readCount(8), 0u);
    EXPECT_FALSE(three.get().ok());
}

TEST(Archive, FailureIsStickyAndReadsThenDeliverNothing) {
    LoadingArchive in(byteString({1, 2, 3, 4, 5}));
    std::uint32_t value = 7;
    in.get().field(value);
    EXPECT_EQ(value, 0x04030201u);
    in.get().field(value);  // one byte left: too short
    EXPECT_FALSE(in.get().ok());
    EXPECT_EQ(value, 0x04030201u) << "a failed read leaves the field alone";
    EXPECT_EQ(in.stream().position(), 4u) << "and a memory stream does not move";
    bool flag = false;
    in.get().field(flag);
    EXPECT_FALSE(flag) << "the byte that is there is no longer read";
    EXPECT_EQ(in.get().remaining(), 0u);
}

TEST(Archive, WritesAfterAFailureAreDropped) {
    MemoryStream stream;
    ASSERT_TRUE(stream.create(16, true));
    Archive archive(stream, true);
    archive.writeU32(1);
    archive.fail();
    archive.writeU32(2);
    EXPECT_EQ(stream.position(), 4u);
}

TEST(Archive, NothingComesFromAStreamThatIsNotOpen) {
    MemoryStream closed;
    Archive archive(closed, false);
    EXPECT_EQ(archive.readCount(), 0u);
    EXPECT_FALSE(archive.ok());
}

// The String record: its count, then the characters without terminator.

std::string stringBytes(const String& text) {
    return storedBytes([&text](Archive& archive) { String(text).serialize(archive); });
}

TEST(StringRecord, CountThenCharacters) {
    EXPECT_EQ(stringBytes(""), byteString({0x00}));
    EXPECT_EQ(stringBytes("abc"), byteString({0x03, 'a', 'b', 'c'}));
    const std::string t254(254, 'x');
    EXPECT_EQ(stringBytes(t254.c_str()), byteString({0xFE}) + t254);
    const std::string t255(255, 'y');
    EXPECT_EQ(stringBytes(t255.c_str()), byteString({0xFF, 0xFF, 0x00, 0x00, 0x00}) + t255);
    const std::string t300(300, 'z');
    EXPECT_EQ(stringBytes(t300.c_str()), byteString({0xFF, 0x2C, 0x01, 0x00, 0x00}) + t300);
}

TEST(StringRecord, LoadsBackAsWritten) {
    for (const std::string& text : {std::string(), std::string("Quill"), std::string(300, 'q')}) {
        LoadingArchive in(stringBytes(text.c_str()));
        String loaded("previous");
        EXPECT_TRUE(loaded.serialize(in.get()));
        EXPECT_EQ(std::string(loaded.text()), text);
    }
}

TEST(StringRecord, AFailedLoadKeepsThePreviousText) {
    // 300 characters announced, five there.
    LoadingArchive in(byteString({0xFF, 0x2C, 0x01, 0x00, 0x00}) + "short");
    String loaded("previous");
    EXPECT_FALSE(loaded.serialize(in.get()));
    EXPECT_STREQ(loaded.text(), "previous");

    LoadingArchive cut(byteString({0xFF, 0x2C}));
    EXPECT_FALSE(loaded.serialize(cut.get()));
    EXPECT_STREQ(loaded.text(), "previous");
}

}  // namespace
