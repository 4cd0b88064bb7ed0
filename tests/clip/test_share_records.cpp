// The bodies of the share conversations, as another computer may send them:
// well formed, cut short, padded, or lying about their count.
#include "protocol/ShareMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ShareRecords, AClipListComesBackAsSentAndOnlyAnExactLengthIsTaken) {
    const std::vector<ClipListRecord> sent = {{7, 1, "first text"}, {9, 2, std::string(80, 'c')}};
    std::vector<std::uint8_t> body = encodeClipList(sent);
    ASSERT_EQ(body.size(), 4u + 72 * 2);
    std::vector<ClipListRecord> got;
    ASSERT_TRUE(decodeClipList(body.data(), body.size(), got));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].entryId, 7u);
    EXPECT_EQ(got[0].caption, "first text");
    EXPECT_EQ(got[1].kind, 2u);
    EXPECT_EQ(got[1].caption, std::string(63, 'c')) << "cut to 63 and terminated";

    // No terminator at all: the caption still ends within its field.
    body[4 + 72 + 8 + 63] = 'x';
    ASSERT_TRUE(decodeClipList(body.data(), body.size(), got));
    EXPECT_EQ(got[1].caption.size(), 63u);

    std::vector<ClipListRecord> untouched = {{1, 1, "kept"}};
    for (std::size_t length : {std::size_t{0}, std::size_t{4}, std::size_t{75}, body.size() - 1}) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(decodeClipList(body.data(), length, untouched));
    }
    body.push_back(0);
    EXPECT_FALSE(decodeClipList(body.data(), body.size(), untouched)) << "one byte too many";
    const std::vector<std::uint8_t> lying = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_FALSE(decodeClipList(lying.data(), lying.size(), untouched)) << "a count the body cannot hold";
    EXPECT_EQ(untouched[0].caption, "kept");
}

TEST(ShareRecords, AFetchRequestIsExactlyFourBytes) {
    const std::vector<std::uint8_t> body = encodeFetchRequest(0x01020304);
    EXPECT_EQ(body, (std::vector<std::uint8_t>{4, 3, 2, 1}));
    std::uint32_t id = 0;
    EXPECT_TRUE(decodeFetchRequest(body.data(), 4, id));
    EXPECT_EQ(id, 0x01020304u);
    EXPECT_FALSE(decodeFetchRequest(body.data(), 3, id));
    const std::uint8_t five[5] = {};
    EXPECT_FALSE(decodeFetchRequest(five, 5, id));
}

}  // namespace
