// The history and the static entries: what each command leaves in the stack
// and on the clipboard.
#include "ClipTestSupport.h"

#include "clip/ClipStack.h"
#include "driver/GdiCount.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void fillText(ClipSnapshot& snapshot, const std::string& text) {
    GlobalMemory block = blockOf(text + '\0');
    snapshot.append(new ClipFormatItem(CF_TEXT, block.get()));
}

// The text a snapshot holds, as it was put in; "" when it holds none.
std::string textOf(const ClipSnapshot& snapshot) {
    for (int i = 0; i < snapshot.count(); ++i)
        if (snapshot.item(i)->format() == CF_TEXT) {
            const std::string bytes = bytesOf(snapshot.item(i)->block());
            return bytes.substr(0, bytes.find('\0'));
        }
    return "";
}

std::vector<std::string> textsOf(const ClipStack& stack) {
    std::vector<std::string> texts;
    for (int i = 0; i < stack.count(); ++i)
        texts.push_back(textOf(*stack.entry(i)));
    return texts;
}

std::vector<HGLOBAL> blocksOf(const ClipStack& stack) {
    std::vector<HGLOBAL> blocks;
    for (int i = 0; i < stack.count(); ++i)
        for (int j = 0; j < stack.entry(i)->count(); ++j)
            blocks.push_back(stack.entry(i)->item(j)->block());
    return blocks;
}

class Stack : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.get(), nullptr);
        ASSERT_TRUE(clipboardSettled());
    }

    void pushText(const std::string& text) {
        ClipSnapshot current;
        fillText(current, text);
        stack.push(current);
    }
    void addText(const std::string& text) {
        ClipSnapshot snapshot;
        fillText(snapshot, text);
        stack.addCopy(snapshot);
    }
    // Puts text on the clipboard and notes the clipboard's sequence number.
    void putOther(const std::string& text) {
        ASSERT_TRUE(putClipboardText(nullptr, text));
        sequence = GetClipboardSequenceNumber();
    }
    bool clipboardUntouched() const { return GetClipboardSequenceNumber() == sequence; }

    ClipboardWindow window;
    ClipStack stack;
    DWORD sequence = 0;
};

TEST_F(Stack, HistoryKeepsTheFifteenNewestNewestOnTop) {
    ClipSnapshot current;
    for (int i = 1; i <= 16; ++i) {
        fillText(current, "entry " + std::to_string(i));
        stack.push(current);
        EXPECT_TRUE(current.isEmpty());
        EXPECT_EQ(stack.count(), i < ClipStack::historyLimit ? i : ClipStack::historyLimit);
    }
    std::vector<std::string> expected;
    for (int i = 16; i >= 2; --i)
        expected.push_back("entry " + std::to_string(i));
    EXPECT_EQ(textsOf(stack), expected) << "entry 1 went, entry 16 is on top";

    pushText("entry 16");
    EXPECT_EQ(stack.count(), 15);
    EXPECT_EQ(textOf(*stack.entry(0)), "entry 16");
    EXPECT_EQ(textOf(*stack.entry(1)), "entry 16") << "the same content twice gives two entries";
    EXPECT_EQ(textOf(*stack.entry(14)), "entry 3");
}

TEST_F(Stack, PushMovesTheItemsThemselvesAndIgnoresEmptySnapshots) {
    ClipSnapshot current;
    fillText(current, "moved");
    GlobalMemory picture = blockOf(dibBytes(4, 3, 24));
    current.append(new ClipFormatItem(CF_DIB, picture.get()));
    const ClipFormatItem* items[] = {current.item(0), current.item(1)};
    const HGLOBAL blocks[] = {items[0]->block(), items[1]->block()};

    stack.push(current);
    EXPECT_TRUE(current.isEmpty());
    ASSERT_EQ(stack.count(), 1);
    const ClipSnapshot* top = stack.entry(0);
    ASSERT_EQ(top->count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(top->item(i), items[i]) << "the very item, not a copy";
        EXPECT_EQ(top->item(i)->block(), blocks[i]);
    }
    EXPECT_NE(top, &current);

    ClipSnapshot empty;
    stack.push(empty);
    EXPECT_EQ(stack.count(), 1);
    EXPECT_EQ(stack.entry(0), top);
    EXPECT_EQ(textOf(*top), "moved");
}

TEST_F(Stack, TakingAHistoryEntryPutsItOnTheClipboardAndRemovesIt) {
    pushText("oldest");
    pushText("middle");
    pushText("newest");
    putOther("current");

    stack.takeAndRestore(ClipStack::firstHistoryId + 1);
    EXPECT_EQ(clipboardText(), "middle");
    EXPECT_EQ(textsOf(stack), (std::vector<std::string>{"newest", "oldest"}));

    putOther("current");
    for (UINT ignored : {0u, 104u, ClipStack::currentId, 108u, 120u, 121u, 122u, 205u}) {
        SCOPED_TRACE(ignored);
        stack.takeAndRestore(ignored);
        EXPECT_TRUE(clipboardUntouched());
        EXPECT_EQ(stack.count(), 2);
    }

    stack.takeAndRestore(ClipStack::firstHistoryId + 1);
    EXPECT_EQ(clipboardText(), "oldest");
    stack.takeAndRestore(ClipStack::firstHistoryId);
    EXPECT_EQ(clipboardText(), "newest");
    EXPECT_EQ(stack.count(), 0);
}

TEST_F(Stack, TakenEntryIsDeletedEvenWhenTheClipboardIsHeld) {
    pushText("taken");
    const HGLOBAL block = stack.entry(0)->item(0)->block();
    {
        OtherProgram other;
        ASSERT_TRUE(other.hold());
        stack.takeAndRestore(ClipStack::firstHistoryId);
    }
    EXPECT_EQ(stack.count(), 0);
    EXPECT_FALSE(isLiveBlock(block));
}

TEST_F(Stack, StaticEntriesAreRestoredAndStay) {
    addText("first");
    addText("second");
    putOther("current");

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        putOther("current");
        stack.restoreEntry(ClipStack::firstStaticId + 1);
        EXPECT_EQ(clipboardText(), "second");
        EXPECT_EQ(textsOf(stack), (std::vector<std::string>{"first", "second"}));
    }
    stack.restoreEntry(ClipStack::firstStaticId);
    EXPECT_EQ(clipboardText(), "first");

    putOther("current");
    for (UINT ignored : {0u, ClipStack::currentId, 106u, 204u, 207u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(ignored);
        stack.restoreEntry(ignored);
        EXPECT_TRUE(clipboardUntouched());
    }
    EXPECT_EQ(stack.count(), 2);
}

TEST_F(Stack, AddingCopiesAndRemovingDeletesOne) {
    ClipSnapshot source;
    fillText(source, "pinned");
    const ClipFormatItem* sourceItem = source.item(0);
    const HGLOBAL sourceBlock = sourceItem->block();

    stack.addCopy(source);
    stack.addCopy(source);
    ASSERT_EQ(stack.count(), 2);
    EXPECT_EQ(textsOf(stack), (std::vector<std::string>{"pinned", "pinned"}));
    ASSERT_EQ(source.count(), 1);
    EXPECT_EQ(source.item(0), sourceItem) << "the source stays as it was";
    EXPECT_EQ(sourceItem->block(), sourceBlock);
    const std::vector<HGLOBAL> blocks = blocksOf(stack);
    EXPECT_NE(blocks[0], sourceBlock);
    EXPECT_NE(blocks[1], sourceBlock);
    EXPECT_NE(blocks[0], blocks[1]);

    addText("last");
    EXPECT_EQ(textOf(*stack.entry(2)), "last") << "appended at the end";

    for (UINT ignored : {0u, ClipStack::currentId, 204u, 208u}) {
        SCOPED_TRACE(ignored);
        stack.removeEntry(ignored);
        EXPECT_EQ(stack.count(), 3);
    }
    stack.removeEntry(ClipStack::firstStaticId);
    EXPECT_EQ(textsOf(stack), (std::vector<std::string>{"pinned", "last"}));
    EXPECT_FALSE(isLiveBlock(blocks[0])) << "deleted";
    EXPECT_TRUE(isLiveBlock(blocks[1]));
}

TEST_F(Stack, AStaleSerialRemovesNothingEvenWhereANewSnapshotLives) {
    addText("gone");
    const ClipSnapshot* departed = stack.entry(0);
    const std::uint32_t staleSerial = departed->serial();
    stack.removeEntry(ClipStack::firstStaticId);

    // The heap tends to hand the freed place to the next object of the same
    // size; keep making snapshots until one lands there (or give up).
    bool sameAddress = false;
    for (int tries = 0; tries < 200 && !sameAddress; ++tries) {
        auto* fresh = new ClipSnapshot;
        sameAddress = fresh == departed;
        fillText(*fresh, "new " + std::to_string(tries));
        ASSERT_TRUE(stack.append(fresh));
    }
    RecordProperty("sameAddress", sameAddress ? "yes" : "no");
    const int before = stack.count();
    for (int i = 0; i < before; ++i)
        EXPECT_NE(stack.entry(i)->serial(), staleSerial);

    EXPECT_FALSE(stack.removeSerial(staleSerial));
    EXPECT_EQ(stack.count(), before);

    const std::uint32_t last = stack.entry(before - 1)->serial();
    EXPECT_TRUE(stack.removeSerial(last));
    EXPECT_EQ(stack.count(), before - 1);
    EXPECT_FALSE(stack.removeSerial(last)) << "once only";

    // An entry taken from the history is gone for removeSerial too.
    ClipStack history;
    ClipSnapshot current;
    fillText(current, "first");
    history.push(current);
    const std::uint32_t taken = history.entry(0)->serial();
    history.takeAndRestore(ClipStack::firstHistoryId);
    fillText(current, "second");
    history.push(current);
    EXPECT_FALSE(history.removeSerial(taken));
    EXPECT_EQ(history.count(), 1);
}

TEST_F(Stack, AnEmptyStaticEntryShowsAsEmptyAndRestoresNothing) {
    ClipSnapshot empty;
    stack.addCopy(empty);
    ASSERT_EQ(stack.count(), 1);
    EXPECT_TRUE(stack.entry(0)->isEmpty());

    HMENU menu = CreatePopupMenu();
    ASSERT_NE(menu, nullptr);
    stack.appendEntries(menu, false);
    char text[64] = {};
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_CHECKMARKS | MIIM_STRING | MIIM_ID;
    item.dwTypeData = text;
    item.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &item));
    DestroyMenu(menu);
    EXPECT_EQ(item.wID, ClipStack::firstStaticId);
    EXPECT_STREQ(text, "Clipboard is Empty");
    EXPECT_EQ(item.fState & MFS_CHECKED, 0u);
    EXPECT_EQ(item.hbmpChecked, nullptr);
    EXPECT_EQ(item.hbmpUnchecked, nullptr);

    putOther("current");
    stack.restoreEntry(ClipStack::firstStaticId);
    EXPECT_TRUE(clipboardUntouched());
    EXPECT_EQ(clipboardText(), "current");
}

TEST_F(Stack, ClearingAndDestroyingDeleteEverySnapshot) {
    std::vector<HGLOBAL> blocks;
    {
        ClipStack owned;
        for (const char* text : {"a", "b"}) {
            ClipSnapshot snapshot;
            fillText(snapshot, text);
            owned.addCopy(snapshot);
        }
        auto* loaded = new ClipSnapshot;
        fillText(*loaded, "loaded");
        EXPECT_TRUE(owned.append(loaded));
        ASSERT_EQ(owned.count(), 3);
        EXPECT_EQ(owned.entry(2), loaded) << "appended, not copied";
        blocks = blocksOf(owned);
        for (HGLOBAL block : blocks)
            EXPECT_TRUE(isLiveBlock(block));
    }
    for (HGLOBAL block : blocks)
        EXPECT_FALSE(isLiveBlock(block)) << "the destructor deletes the snapshots";

    pushText("x");
    addText("y");
    blocks = blocksOf(stack);
    stack.clear();
    EXPECT_EQ(stack.count(), 0);
    for (HGLOBAL block : blocks)
        EXPECT_FALSE(isLiveBlock(block));
    pushText("usable after clearing");
    EXPECT_EQ(stack.count(), 1);
}

TEST(StackGlyphs, ConstructingAndDestroyingAThousandStacksLeaksNoGdiObject) {
    if (liveGdiObjects() < 0)
        GTEST_SKIP() << "GDI objects cannot be counted in this process";
    { ClipStack warmUp; }
    const int before = liveGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        ClipStack stack;
        ASSERT_NE(stack.glyphs().at(0), nullptr);
    }
    EXPECT_EQ(liveGdiObjects(), before);
}

}  // namespace
