// The memory stream: growth in whole steps, the trim on close, reads bounded
// by the block, and who frees the block.
#include "StreamBytes.h"

#ifndef _WIN32
#include "base/MemoryBlockTesting.h"
#endif

#include <gtest/gtest.h>

#include <string>

namespace {

std::string contentOf(const MemoryStream& stream) {
    GlobalLockGuard lock(stream.block());
    return lock.data() ? std::string(static_cast<const char*>(lock.data()), stream.position()) : std::string();
}

TEST(MemoryStream, GrowsToTheNextWholeStepAndTrimsOnClose) {
    MemoryStream stream;
    ASSERT_TRUE(stream.create(4096, true));
    EXPECT_TRUE(stream.isOpen());
    EXPECT_EQ(memoryblock::size(stream.block()), 4096u);
    const std::string bytes(5000, 'g');
    ASSERT_TRUE(stream.write(bytes.data(), 5000));
    EXPECT_EQ(memoryblock::size(stream.block()), 8192u);
    EXPECT_EQ(stream.position(), 5000u);
    stream.close();
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(memoryblock::size(stream.block()), 5000u);
    EXPECT_EQ(contentOf(stream), bytes);
}

TEST(MemoryStream, GrowsOnlyPastTheBlockAndStrictlyAboveTheNeed) {
    MemoryStream stream;
    ASSERT_TRUE(stream.create(4096, true));
    const std::string page(4096, 'p');
    ASSERT_TRUE(stream.write(page.data(), 4096));
    EXPECT_EQ(memoryblock::size(stream.block()), 4096u) << "a full block needs no growth";
    ASSERT_TRUE(stream.write("x", 1));
    EXPECT_EQ(memoryblock::size(stream.block()), 8192u);
    // 8192 needed exactly: the next multiple strictly above it.
    const std::string rest(8192 - 4097, 'r');
    ASSERT_TRUE(stream.write(rest.data(), static_cast<std::uint32_t>(rest.size())));
    EXPECT_EQ(memoryblock::size(stream.block()), 8192u);
    ASSERT_TRUE(stream.write("y", 1));
    EXPECT_EQ(memoryblock::size(stream.block()), 12288u);
    stream.close();
    EXPECT_EQ(contentOf(stream), page + "x" + rest + "y");
}

TEST(MemoryStream, ManySmallWritesGrowOncePerStep) {
    MemoryStream stream;
    ASSERT_TRUE(stream.create(16, true));
    // 18 bytes needed make 32, 34 make 48, ... 66 make 80, which 80 fill exactly.
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(stream.write("ab", 2));
    EXPECT_EQ(memoryblock::size(stream.block()), 80u);
    stream.close();
    EXPECT_EQ(contentOf(stream).size(), 80u);
}

TEST(MemoryStream, ReadingPastTheBlockFailsWithoutMoving) {
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable, 3));
    {
        GlobalLockGuard lock(block.get());
        std::memcpy(lock.data(), "abc", 3);
    }
    MemoryStream stream;
    ASSERT_TRUE(stream.attach(block.get()));
    EXPECT_EQ(stream.remaining(), 3u);
    char buffer[4] = {'-', '-', '-', '-'};
    EXPECT_FALSE(stream.read(buffer, 4));
    EXPECT_EQ(stream.position(), 0u);
    EXPECT_EQ(std::string(buffer, 4), "----") << "nothing is copied either";
    ASSERT_TRUE(stream.read(buffer, 2));
    EXPECT_EQ(std::string(buffer, 2), "ab");
    EXPECT_FALSE(stream.read(buffer, 2));
    EXPECT_EQ(stream.position(), 2u);
    ASSERT_TRUE(stream.read(buffer, 1));
    EXPECT_EQ(stream.remaining(), 0u);
    stream.close();
    EXPECT_EQ(memoryblock::size(block.get()), 3u) << "an attached block is never trimmed";
    EXPECT_FALSE(stream.read(buffer, 1));
}

TEST(MemoryStream, ReadingIsBoundedByTheBlockNotByWhatWasWritten) {
    MemoryStream writer;
    ASSERT_TRUE(writer.create(64, false));
    ASSERT_TRUE(writer.write("abc", 3));
    // Before the trim the block has 64 bytes: all of them can be read.
    MemoryStream reader;
    ASSERT_TRUE(reader.attach(writer.block()));
    EXPECT_EQ(reader.remaining(), 64u);
    reader.close();
    writer.close();
    GlobalMemory taken(writer.block());
    EXPECT_EQ(memoryblock::size(taken.get()), 3u);
}

TEST(MemoryStream, NoBlockNoStream) {
    MemoryStream stream;
    EXPECT_FALSE(stream.create(0, true)) << "a step of 0 could never grow";
    EXPECT_FALSE(stream.attach(nullptr));
    GlobalMemory empty(memoryblock::allocate(memoryblock::moveable, 0));
    EXPECT_FALSE(stream.attach(empty.get())) << "an empty block cannot be locked";
    EXPECT_FALSE(stream.isOpen());
    EXPECT_FALSE(stream.write("x", 1));
    char c;
    EXPECT_FALSE(stream.read(&c, 1));
    EXPECT_EQ(stream.remaining(), 0u);
}

TEST(MemoryStream, ANewCreateOrAttachFreesTheOwnedBlock) {
#ifndef _WIN32
    const std::size_t before = memoryblock::testing::liveBlocks();
#endif
    {
        MemoryStream stream;
        ASSERT_TRUE(stream.create(32, true));
        ASSERT_TRUE(stream.write("1234", 4));
        ASSERT_TRUE(stream.create(32, true));
        EXPECT_EQ(stream.position(), 0u);
        GlobalMemory other(memoryblock::allocate(memoryblock::moveable, 8));
        ASSERT_TRUE(stream.attach(other.get()));
        EXPECT_EQ(stream.remaining(), 8u);
        stream.close();
    }
#ifndef _WIN32
    EXPECT_EQ(memoryblock::testing::liveBlocks(), before);
#endif
}

TEST(MemoryStream, AnUnownedBlockIsTheCallers) {
    MemoryHandle kept = nullptr;
    {
        MemoryStream stream;
        ASSERT_TRUE(stream.create(8, false));
        ASSERT_TRUE(stream.write("kept", 4));
        stream.close();
        kept = stream.block();
    }
    GlobalMemory owned(kept);
    GlobalLockGuard lock(owned.get());
    ASSERT_NE(lock.data(), nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(lock.data()), 4), "kept");
}

#ifndef _WIN32
// Memory can be made short only with the stand-in.

TEST(MemoryStream, AFailedGrowthFailsTheWriteAndKeepsTheBlock) {
    MemoryStream stream;
    ASSERT_TRUE(stream.create(4096, true));
    ASSERT_TRUE(stream.write("before", 6));
    memoryblock::testing::setSizeLimit(4096);
    const std::string big(5000, 'b');
    EXPECT_FALSE(stream.write(big.data(), 5000));
    memoryblock::testing::setSizeLimit(memoryblock::testing::noLimit);
    EXPECT_TRUE(stream.isOpen());
    EXPECT_EQ(stream.position(), 6u);
    EXPECT_EQ(memoryblock::size(stream.block()), 4096u);
    ASSERT_TRUE(stream.write("after", 5)) << "what fits still goes in";
    stream.close();
    EXPECT_EQ(contentOf(stream), "beforeafter");
}

TEST(MemoryStream, NoMemoryNoCreate) {
    memoryblock::testing::setSizeLimit(100);
    MemoryStream stream;
    EXPECT_FALSE(stream.create(4096, true));
    memoryblock::testing::setSizeLimit(memoryblock::testing::noLimit);
    EXPECT_FALSE(stream.isOpen());
}

TEST(MemoryStream, NothingWrittenTrimsToNothing) {
    MemoryStream stream;
    ASSERT_TRUE(stream.create(4096, true));
    stream.close();
    EXPECT_EQ(stream.position(), 0u);
    EXPECT_EQ(memoryblock::size(stream.block()), 0u);
}
#endif

}  // namespace
