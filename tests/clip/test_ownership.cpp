// Who frees which block: every block an item owns is freed exactly when its
// owner goes, and never while another owner still holds it. Checked on the
// real handles: a freed handle is no longer a block of this process.
#include "ClipTestSupport.h"

#include "clip/ClipSnapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string textBytes = std::string("some text") + '\0';
const std::string pictureBytes = dibBytes(4, 3, 24);

// Text, a picture and a locale, each from its own source block.
void fill(ClipSnapshot& snapshot) {
    GlobalMemory text = blockOf(textBytes);
    GlobalMemory picture = blockOf(pictureBytes);
    GlobalMemory locale = blockOf(std::string("\x19\x04\x00\x00", 4));
    snapshot.append(newCopy(CF_TEXT, text.get()));
    snapshot.append(newCopy(CF_DIB, picture.get()));
    snapshot.append(newCopy(CF_LOCALE, locale.get()));
}

std::vector<HGLOBAL> blocksOf(const ClipSnapshot& snapshot) {
    std::vector<HGLOBAL> blocks;
    for (int i = 0; i < snapshot.count(); ++i)
        if (HGLOBAL block = snapshot.item(i)->block())
            blocks.push_back(block);
    return blocks;
}

bool allLive(const std::vector<HGLOBAL>& blocks) {
    for (HGLOBAL block : blocks)
        if (!isLiveBlock(block))
            return false;
    return true;
}

bool noneLive(const std::vector<HGLOBAL>& blocks) {
    for (HGLOBAL block : blocks)
        if (isLiveBlock(block) || GlobalSize(block) != 0)
            return false;
    return true;
}

TEST(Ownership, AnItemCopiesItsSourceIntoAMovableBlockOfItsOwn) {
    GlobalMemory source = blockOf(textBytes);
    HGLOBAL copy = nullptr;
    {
        const auto item = copied(CF_TEXT, source.get());
        copy = item->block();
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, source.get());
        EXPECT_EQ(bytesOf(copy), textBytes);
        EXPECT_EQ(GlobalSize(copy), textBytes.size()) << "exactly the source's size";
        GlobalLockGuard lock(copy);
        EXPECT_NE(lock.data(), static_cast<void*>(copy)) << "movable: the handle is not the address";
        EXPECT_EQ(GlobalFlags(copy) & GMEM_DDESHARE, 0u);
    }
    EXPECT_TRUE(noneLive({copy}));
    EXPECT_EQ(bytesOf(source.get()), textBytes) << "the source stays the caller's";
}

TEST(Ownership, ReleaseFreesAndForgets) {
    GlobalMemory source = blockOf(pictureBytes);
    const auto item = copied(CF_DIB, source.get());
    const HGLOBAL copy = item->block();
    item->release();
    EXPECT_TRUE(noneLive({copy}));
    EXPECT_EQ(item->format(), 0u);
    EXPECT_EQ(item->block(), nullptr);
    EXPECT_FALSE(item->hasData());
    item->release();  // twice is harmless
    ClipFormatItem none;
    EXPECT_EQ(none.format(), 0u);
    EXPECT_FALSE(none.hasData());
}

TEST(Ownership, TakeFromMovesItemsAndCopiesNothing) {
    ClipSnapshot source;
    fill(source);
    const std::vector<void*> items(source.items(), source.items() + source.count());
    const std::vector<HGLOBAL> blocks = blocksOf(source);
    ASSERT_EQ(blocks.size(), 2u) << "the locale holds no block";
    {
        ClipSnapshot receiver;
        receiver.takeFrom(source);
        EXPECT_TRUE(source.isEmpty());
        EXPECT_EQ(std::vector<void*>(receiver.items(), receiver.items() + receiver.count()), items)
            << "the very same items";
        source.clear();  // frees nothing the receiver holds
        EXPECT_TRUE(allLive(blocks));
        EXPECT_EQ(bytesOf(receiver.item(0)->block()), textBytes);
        EXPECT_EQ(bytesOf(receiver.item(1)->block()), pictureBytes);
        EXPECT_EQ(receiver.item(2)->locale(), 0x419u);

        receiver.takeFrom(receiver);  // onto itself: nothing moves, nothing is lost
        EXPECT_EQ(receiver.count(), 3);
        EXPECT_TRUE(allLive(blocks));
    }
    EXPECT_TRUE(noneLive(blocks)) << "the receiver's destructor freed them";
}

TEST(Ownership, CopyFromMakesBlocksOfItsOwnAndCopiesTheLocaleValue) {
    ClipSnapshot original;
    fill(original);
    const std::vector<HGLOBAL> originals = blocksOf(original);
    ClipSnapshot copy;
    fill(copy);
    const std::vector<HGLOBAL> replaced = blocksOf(copy);
    EXPECT_TRUE(copy.copyFrom(original));
    const std::vector<HGLOBAL> copies = blocksOf(copy);
    // A freed handle may come back at once for a new copy; it must not be both.
    for (HGLOBAL old : replaced)
        EXPECT_TRUE(!isLiveBlock(old) || std::find(copies.begin(), copies.end(), old) != copies.end())
            << "copyFrom clears first";
    ASSERT_EQ(copy.count(), 3);
    ASSERT_EQ(copies.size(), 2u);
    for (size_t i = 0; i < copies.size(); ++i) {
        EXPECT_NE(copies[i], originals[i]);
        EXPECT_EQ(bytesOf(copies[i]), bytesOf(originals[i]));
    }
    EXPECT_EQ(copy.item(2)->format(), static_cast<UINT>(CF_LOCALE));
    EXPECT_EQ(copy.item(2)->block(), nullptr);
    EXPECT_EQ(copy.item(2)->locale(), 0x419u);

    copy.copyFrom(copy);  // onto itself: unchanged
    EXPECT_EQ(blocksOf(copy), copies);

    copy.clear();
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_TRUE(noneLive(copies));
    EXPECT_TRUE(allLive(originals)) << "the original is untouched";
    EXPECT_EQ(bytesOf(original.item(0)->block()), textBytes);
}

TEST(Ownership, RemovingElementsDeletesNothing) {
    ClipSnapshot snapshot;
    fill(snapshot);
    const std::vector<HGLOBAL> blocks = blocksOf(snapshot);
    auto* first = snapshot.item(0);
    snapshot.removeAt(0, 1);
    EXPECT_TRUE(allLive(blocks));
    EXPECT_EQ(bytesOf(first->block()), textBytes);
    delete first;
    EXPECT_TRUE(noneLive({blocks[0]}));
    EXPECT_TRUE(allLive({blocks[1]}));
}

TEST(Ownership, TheLocaleRules) {
    GlobalMemory whole = blockOf(std::string("\x09\x04\x00\x00\xff", 5));
    GlobalMemory shortBlock = blockOf(std::string("\x09\x04", 2));
    EXPECT_EQ(copied(CF_LOCALE, whole.get())->locale(), 0x409u) << "the first 32-bit value";
    const auto none = copied(CF_LOCALE, nullptr);
    EXPECT_EQ(none->locale(), 0u);
    EXPECT_FALSE(none->hasData());
    EXPECT_EQ(copied(CF_LOCALE, shortBlock.get())->locale(), 0u) << "no whole identifier";
    bool outOfMemory = false;
    const std::unique_ptr<ClipFormatItem> clone(copied(CF_LOCALE, whole.get())->clone(outOfMemory));
    EXPECT_EQ(clone->locale(), 0x409u);
    EXPECT_EQ(clone->block(), nullptr);
    EXPECT_EQ(bytesOf(whole.get()).size(), 5u) << "only read";
}

TEST(Ownership, BlocksWithNothingToCopyGiveItemsWithoutData) {
    GlobalMemory zero(GlobalAlloc(GMEM_MOVEABLE, 0));
    ASSERT_TRUE(zero);
    const auto fromZero = copied(CF_TEXT, zero.get());
    EXPECT_EQ(fromZero->format(), static_cast<UINT>(CF_TEXT));
    EXPECT_FALSE(fromZero->hasData());

    GlobalMemory discarded(GlobalAlloc(GMEM_MOVEABLE | GMEM_DISCARDABLE, 64));
    ASSERT_TRUE(discarded);
    discarded.reset(GlobalDiscard(discarded.release()));
    ASSERT_TRUE(discarded);
    ASSERT_EQ(GlobalLockGuard(discarded.get()).data(), nullptr) << "cannot be locked";
    const auto fromDiscarded = copied(CF_DIB, discarded.get());
    EXPECT_FALSE(fromDiscarded->hasData());

    bool outOfMemory = false;
    const std::unique_ptr<ClipFormatItem> copy(fromDiscarded->clone(outOfMemory));
    EXPECT_EQ(copy->format(), static_cast<UINT>(CF_DIB));
    EXPECT_FALSE(copy->hasData());
    EXPECT_FALSE(outOfMemory) << "nothing to copy is no shortage";
}

}  // namespace
