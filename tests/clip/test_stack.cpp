// The history and the static entries as plain lists: what each operation
// leaves in a stack, and that snapshots move rather than copy where they
// should.
#include "SnapshotText.h"

#include "clip/ClipStack.h"
#include "clip/MemoryBudget.h"
#include "clip/RepeatedChange.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> textsOf(const ClipStack& stack) {
    std::vector<std::string> texts;
    for (int i = 0; i < stack.count(); ++i)
        texts.push_back(textOf(*stack.entry(i)));
    return texts;
}

void pushText(ClipStack& stack, const std::string& text) {
    ClipSnapshot current;
    setText(current, text);
    stack.push(current);
}

TEST(History, KeepsTheFifteenNewestNewestOnTopAndTheSameContentTwice) {
    ClipStack history(ClipStack::historyLimit);
    ClipSnapshot current;
    for (int i = 1; i <= 16; ++i) {
        setText(current, "entry " + std::to_string(i));
        history.push(current);
        EXPECT_TRUE(current.isEmpty());
        EXPECT_EQ(history.count(), i < 15 ? i : 15);
    }
    std::vector<std::string> expected;
    for (int i = 16; i >= 2; --i)
        expected.push_back("entry " + std::to_string(i));
    EXPECT_EQ(textsOf(history), expected) << "entry 1 went, entry 16 is on top";

    pushText(history, "entry 16");
    EXPECT_EQ(textsOf(history)[0], "entry 16");
    EXPECT_EQ(textsOf(history)[1], "entry 16") << "the same content twice gives two entries";
    EXPECT_EQ(history.count(), 15);
}

TEST(History, PushMovesTheItemsAndSkipsEmptyAndPrivateContent) {
    ClipStack history(ClipStack::historyLimit);
    ClipSnapshot current;
    setText(current, "moved");
    const ClipFormatItem* item = current.item(0);
    const MemoryHandle block = item->block();
    history.push(current);
    ASSERT_EQ(history.count(), 1);
    EXPECT_EQ(history.entry(0)->item(0), item) << "the very item, not a copy";
    EXPECT_EQ(history.entry(0)->item(0)->block(), block);

    ClipSnapshot empty;
    history.push(empty);
    EXPECT_EQ(history.count(), 1);

    setText(current, "a password");
    current.setPrivate(true);
    history.push(current);
    EXPECT_EQ(textsOf(history), (std::vector<std::string>{"moved"})) << "private content never enters";
    EXPECT_TRUE(current.isEmpty()) << "nor stays behind to be kept elsewhere";
    EXPECT_FALSE(current.isPrivate());
}

TEST(History, EntriesAreFoundAndTakenBySerialNotPosition) {
    ClipStack history(ClipStack::historyLimit);
    for (const char* text : {"oldest", "middle", "newest"})
        pushText(history, text);
    const std::uint32_t middle = history.entry(1)->serial();
    // A change while a menu is open shifts everything down.
    pushText(history, "arrived meanwhile");
    const int index = history.indexOfSerial(middle);
    ASSERT_EQ(index, 2);
    std::unique_ptr<ClipSnapshot> taken(history.take(index));
    ASSERT_TRUE(taken);
    EXPECT_EQ(textOf(*taken), "middle");
    EXPECT_EQ(textsOf(history), (std::vector<std::string>{"arrived meanwhile", "newest", "oldest"}));

    EXPECT_EQ(history.indexOfSerial(middle), -1) << "gone for good";
    EXPECT_FALSE(history.removeSerial(middle));
    EXPECT_EQ(history.take(-1), nullptr);
    EXPECT_EQ(history.take(3), nullptr);
    EXPECT_EQ(history.count(), 3);

    // A serial is never reused, whatever address a new snapshot gets.
    for (int i = 0; i < 50; ++i) {
        ClipSnapshot fresh;
        EXPECT_NE(fresh.serial(), middle);
    }
    const std::uint32_t last = history.entry(2)->serial();
    EXPECT_TRUE(history.removeSerial(last));
    EXPECT_FALSE(history.removeSerial(last)) << "once only";
}

TEST(StaticEntries, PinsAreIndependentCopiesUpToTheLimitAndNeverPrivate) {
    ClipStack statics(3);
    ClipSnapshot source;
    setText(source, "pinned");
    const MemoryHandle sourceBlock = source.item(0)->block();

    EXPECT_EQ(statics.addCopy(source), ClipStack::AddResult::Added);
    EXPECT_EQ(statics.addCopy(source), ClipStack::AddResult::Added);
    EXPECT_EQ(source.item(0)->block(), sourceBlock) << "the source stays as it was";
    EXPECT_NE(statics.entry(0)->item(0)->block(), sourceBlock);
    EXPECT_NE(statics.entry(0)->item(0)->block(), statics.entry(1)->item(0)->block());

    source.setPrivate(true);
    EXPECT_EQ(statics.addCopy(source), ClipStack::AddResult::Private);
    source.setPrivate(false);
    EXPECT_EQ(statics.addCopy(source), ClipStack::AddResult::Added);
    EXPECT_EQ(statics.addCopy(source), ClipStack::AddResult::Full);
    auto* loaded = new ClipSnapshot;
    EXPECT_FALSE(statics.append(loaded)) << "deleted, not kept beyond the limit";
    EXPECT_EQ(textsOf(statics), (std::vector<std::string>{"pinned", "pinned", "pinned"}));

    statics.clear();
    EXPECT_EQ(statics.count(), 0);
    EXPECT_EQ(statics.addCopy(source), ClipStack::AddResult::Added) << "usable after clearing";
}

// One change announced twice within milliseconds is one entry; the same
// content copied again later, or by another program, is a change of its own.
TEST(History, OnlyAQuickRepeatOfTheSameContentFromTheSameOwnerIsTheSameChange) {
    ClipSnapshot mirrored;
    setText(mirrored, "copied once");
    ClipSnapshot same;
    setText(same, "copied once");
    ClipSnapshot other;
    setText(other, "copied twice");
    ClipSnapshot empty;
    EXPECT_TRUE(isRepeatedChange(mirrored, same, 1, true));
    EXPECT_TRUE(isRepeatedChange(mirrored, same, repeatWindowMs - 1, true));
    EXPECT_FALSE(isRepeatedChange(mirrored, same, repeatWindowMs, true)) << "copied again";
    EXPECT_FALSE(isRepeatedChange(mirrored, same, 1, false)) << "another program";
    EXPECT_FALSE(isRepeatedChange(mirrored, other, 1, true));
    EXPECT_FALSE(isRepeatedChange(empty, empty, 1, true)) << "an emptied clipboard is news";
    same.setPrivate(true);
    EXPECT_FALSE(sameContent(mirrored, same));
}

// Copies of a few thousand bytes against a budget of ten thousand, beside a
// pinned entry: the history gives way oldest first, so what is left is
// always the newest run of copies; everything held stays inside the budget
// at every step, even while a copy is being made; the pinned entry stays.
TEST(MemoryBudget, TheHistoryGivesWayOldestFirstAndStaticEntriesNever) {
    constexpr std::uint64_t limit = 10000;
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    ClipSnapshot active;
    setText(active, std::string(2499, 'p'));
    ASSERT_EQ(statics.addCopy(active), ClipStack::AddResult::Added);
    active.clear();
    for (int k = 1; k <= 40; ++k) {
        SCOPED_TRACE(k);
        const std::size_t incoming = 1000 + static_cast<std::size_t>(k % 4) * 700;
        ASSERT_TRUE(memorybudget::makeRoom(history, statics.dataSize(), active.dataSize(), incoming, limit));
        EXPECT_LE(history.dataSize() + statics.dataSize() + active.dataSize() + incoming, limit);
        history.push(active);
        const std::string name = "copy " + std::to_string(k) + " ";
        setText(active, name + std::string(incoming - 1 - name.size(), 'x'));
        memorybudget::keepWithin(history, active.dataSize() + statics.dataSize(), limit);
        EXPECT_LE(history.dataSize() + statics.dataSize() + active.dataSize(), limit);
        EXPECT_GE(history.count(), k > 1 ? 1 : 0) << "room is left for the content replaced";
        for (int i = 0; i < history.count(); ++i)
            EXPECT_EQ(textOf(*history.entry(i)).rfind("copy " + std::to_string(k - 1 - i) + " ", 0), 0u) << i;
    }
    EXPECT_EQ(statics.dataSize(), 2500u);
    const int before = history.count();
    EXPECT_FALSE(memorybudget::makeRoom(history, 2500, active.dataSize(), limit - 2499, limit))
        << "too big even with the history gone";
    EXPECT_EQ(history.count(), before) << "a copy turned down costs the history nothing";
    EXPECT_FALSE(memorybudget::makeRoom(history, UINT64_MAX - 1, 0, 2, limit)) << "no wrap-round";
}

}  // namespace
