// Capture and restore against other programs on the same desktop: what they
// put is captured, what is restored they read back byte for byte.
#include "ClipTestSupport.h"

#include "base/String.h"
#include "clip/ClipSnapshot.h"
#include "clip/ClipboardTransfer.h"
#include "clip/SnapshotCaption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Snapshot : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(clipboardSettled()); }

    // Captures what other put, once the clipboard is closed again.
    void captureFrom(OtherProgram& other, const std::string& items) {
        ASSERT_TRUE(other.put(items)) << items;
        ASSERT_TRUE(clipboardSettled());
        captureClipboard(window.get(), snapshot);
    }

    std::vector<UINT> formats() const {
        std::vector<UINT> out;
        for (int i = 0; i < snapshot.count(); ++i)
            out.push_back(snapshot.item(i)->format());
        return out;
    }

    std::string caption() const { return snapshotCaption(snapshot).text(); }

    // The readable formats of a clipboard, in its order, as the snapshot sees them.
    static std::vector<UINT> capturable(const std::vector<ClipboardEntry>& entries) {
        std::vector<UINT> out;
        for (const ClipboardEntry& entry : entries)
            if (!isSkippedFormat(entry.format))
                out.push_back(entry.format);
        return out;
    }

    // The clipboard got blocks of its own, made to be shared.
    void expectSharedBlocksOnTheClipboard() {
        ASSERT_TRUE(openClipboardPatiently(window.get()));
        for (int i = 0; i < snapshot.count(); ++i) {
            const ClipFormatItem* item = snapshot.item(i);
            if (!item->hasData())
                continue;
            HANDLE handed = GetClipboardData(item->format());
            EXPECT_NE(handed, nullptr) << item->format();
            EXPECT_NE(handed, item->block());
            EXPECT_NE(GlobalFlags(handed) & GMEM_DDESHARE, 0u) << item->format();
            if (item->format() == CF_LOCALE) {
                EXPECT_EQ(GlobalSize(handed), sizeof(LCID));
            }
        }
        CloseClipboard();
    }

    // Restores and checks that another program reads every item's bytes back.
    void expectRestoredTwiceIdentically() {
        std::vector<std::string> kept;
        std::vector<HGLOBAL> handles;
        for (int i = 0; i < snapshot.count(); ++i) {
            kept.push_back(bytesOf(snapshot.item(i)->block()));
            handles.push_back(snapshot.item(i)->block());
        }
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            const DWORD before = GetClipboardSequenceNumber();
            restoreClipboard(window.get(), snapshot);
            EXPECT_NE(GetClipboardSequenceNumber(), before);
            EXPECT_EQ(GetClipboardOwner(), window.get());
            expectSharedBlocksOnTheClipboard();
            const std::vector<ClipboardEntry> back = readBack();
            EXPECT_EQ(capturable(back), formats()) << "the same formats, in the same order";
            for (int i = 0; i < snapshot.count(); ++i) {
                const ClipFormatItem* item = snapshot.item(i);
                const ClipboardEntry* entry = findEntry(back, item->format());
                ASSERT_NE(entry, nullptr) << item->format();
                if (item->format() == CF_LOCALE) {
                    ASSERT_EQ(entry->bytes.size(), sizeof(LCID));
                    EXPECT_EQ(*reinterpret_cast<const LCID*>(entry->bytes.data()), item->locale());
                } else {
                    EXPECT_EQ(entry->bytes, kept[i]) << item->format();
                }
                EXPECT_EQ(item->block(), handles[i]) << "the snapshot keeps its own blocks";
                EXPECT_EQ(bytesOf(item->block()), kept[i]);
            }
        }
    }

    ClipboardWindow window;
    ClipSnapshot snapshot;
};

TEST_F(Snapshot, TextIsCapturedAsTextUnicodeTextAndLocale) {
    OtherProgram other;
    captureFrom(other, "text=Hello,world");
    const std::vector<ClipboardEntry> offered = readBack();
    ASSERT_NE(findEntry(offered, CF_UNICODETEXT), nullptr) << "the system made up the other text forms";
    const std::string wide = findEntry(offered, CF_UNICODETEXT)->bytes;
    ASSERT_NE(findEntry(offered, CF_OEMTEXT), nullptr);
    const ClipboardEntry* locale = findEntry(offered, CF_LOCALE);
    ASSERT_NE(locale, nullptr);

    EXPECT_EQ(formats(), capturable(offered)) << "enumeration order";
    std::vector<UINT> sorted = formats();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<UINT>{CF_TEXT, CF_UNICODETEXT, CF_LOCALE})) << "OEM text is made up again";
    EXPECT_EQ(snapshot.contentKind(), ContentKind::Text);
    EXPECT_EQ(caption(), "Hello,world");
    for (int i = 0; i < snapshot.count(); ++i) {
        const ClipFormatItem* item = snapshot.item(i);
        if (item->format() == CF_LOCALE) {
            EXPECT_EQ(item->block(), nullptr) << "an identifier, not a block";
            EXPECT_EQ(item->locale(), *reinterpret_cast<const LCID*>(locale->bytes.data()));
            EXPECT_NE(item->locale(), 0u);
        } else if (item->format() == CF_UNICODETEXT) {
            EXPECT_EQ(bytesOf(item->block()), wide);
        } else {
            EXPECT_EQ(bytesOf(item->block()), std::string("Hello,world") + '\0');
        }
    }
    expectRestoredTwiceIdentically();
    EXPECT_EQ(clipboardText(), "Hello,world");
}

TEST_F(Snapshot, DeviceIndependentBitmapsKeepTheirBytesAndSize) {
    {
        OtherProgram other;
        captureFrom(other, "dib=640,480,24");
        EXPECT_EQ(snapshot.contentKind(), ContentKind::Picture);
        EXPECT_EQ(caption(), "640 x 480 (24 bit)");
        int deciding = -1;
        snapshot.contentKind(&deciding);
        ASSERT_GE(deciding, 0);
        EXPECT_EQ(snapshot.item(deciding)->format(), static_cast<UINT>(CF_DIB));
        EXPECT_EQ(bytesOf(snapshot.item(deciding)->block()), dibBytes(640, 480, 24));
        for (UINT format : formats())
            EXPECT_NE(format, static_cast<UINT>(CF_BITMAP)) << "the made-up bitmap handle is skipped";
        expectRestoredTwiceIdentically();
    }
    OtherProgram topDown;
    captureFrom(topDown, "dib=640,-480,24");
    EXPECT_EQ(caption(), "640 x -480 (24 bit)");
}

TEST_F(Snapshot, RegisteredFormatsAreCapturedButUnknown) {
    OtherProgram other;
    captureFrom(other, "reg=TolvaranTestFormat,000102fffe00");
    const UINT format = registeredFormat("TolvaranTestFormat");
    ASSERT_EQ(snapshot.count(), 1);
    EXPECT_EQ(snapshot.item(0)->format(), format);
    EXPECT_EQ(bytesOf(snapshot.item(0)->block()), std::string("\x00\x01\x02\xff\xfe\x00", 6));
    EXPECT_EQ(snapshot.contentKind(), ContentKind::Unknown);
    EXPECT_EQ(caption(), "Unknown format");
    expectRestoredTwiceIdentically();
}

TEST_F(Snapshot, DropListsAreFiles) {
    {
        OtherProgram other;
        captureFrom(other, "hdrop=C:\\folder\\one.txt|D:\\two");
        EXPECT_EQ(snapshot.contentKind(), ContentKind::Files);
        EXPECT_EQ(caption(), "one.txt;two");
        expectRestoredTwiceIdentically();
    }
    OtherProgram wide;
    captureFrom(wide, "hdropw=C:\\folder\\one.txt|D:\\two");
    EXPECT_EQ(caption(), "one.txt;two");
}

TEST_F(Snapshot, SkippedFormatsOnlyGiveAnEmptySnapshotThatRestoresNothing) {
    OtherProgram other;
    captureFrom(other, "num=0x200,0102 null=0x80 num=0x2FF,03");
    EXPECT_TRUE(snapshot.isEmpty());
    EXPECT_EQ(snapshot.contentKind(), ContentKind::Empty);
    EXPECT_EQ(caption(), "Clipboard is Empty");

    const DWORD before = GetClipboardSequenceNumber();
    const HWND owner = GetClipboardOwner();
    restoreClipboard(window.get(), snapshot);
    EXPECT_EQ(GetClipboardSequenceNumber(), before) << "not even emptied";
    EXPECT_EQ(GetClipboardOwner(), owner);
    EXPECT_TRUE(IsClipboardFormatAvailable(0x200));
}

// A zero-size block cannot be put on Wine's clipboard at all; the item's own
// handling of one is tested on its own.
TEST_F(Snapshot, FormatsWithoutDataAreKeptAndRestoredWithoutData) {
    OtherProgram other;
    captureFrom(other, "text=x null=TolvaranNull");
    const UINT never = registeredFormat("TolvaranNull");
    int found = -1;
    for (int i = 0; i < snapshot.count(); ++i)
        if (snapshot.item(i)->format() == never)
            found = i;
    ASSERT_GE(found, 0) << "listed formats are kept even without data";
    EXPECT_FALSE(snapshot.item(found)->hasData());
    EXPECT_EQ(snapshot.item(found)->block(), nullptr);
    EXPECT_EQ(caption(), "x");

    restoreClipboard(window.get(), snapshot);
    const std::vector<ClipboardEntry> back = readBack();
    const ClipboardEntry* entry = findEntry(back, never);
    ASSERT_NE(entry, nullptr) << "still offered";
    EXPECT_FALSE(entry->hasData) << "nobody renders it";
    EXPECT_EQ(clipboardText(), "x");
}

TEST_F(Snapshot, ALocaleWithoutIdentifierIsRestoredWithoutData) {
    GlobalMemory text = blockOf(std::string("x") + '\0');
    snapshot.append(newCopy(CF_TEXT, text.get()));
    snapshot.append(newCopy(CF_LOCALE, nullptr));
    restoreClipboard(window.get(), snapshot);
    const std::vector<ClipboardEntry> back = readBack();
    const ClipboardEntry* locale = findEntry(back, CF_LOCALE);
    ASSERT_NE(locale, nullptr);
    EXPECT_FALSE(locale->hasData);
    EXPECT_EQ(clipboardText(), "x");
}

TEST_F(Snapshot, ClipboardHeldOpenElsewhereChangesNothing) {
    OtherProgram first;
    captureFrom(first, "text=before");
    ASSERT_EQ(caption(), "before");
    std::vector<void*> items(snapshot.items(), snapshot.items() + snapshot.count());

    OtherProgram second;
    ASSERT_TRUE(second.put("text=after"));
    OtherProgram holder;
    ASSERT_TRUE(holder.hold());
    const DWORD before = GetClipboardSequenceNumber();
    EXPECT_EQ(captureClipboard(window.get(), snapshot), ClipboardResult::Busy);
    EXPECT_EQ(caption(), "before") << "the previous content stays";
    EXPECT_EQ(std::vector<void*>(snapshot.items(), snapshot.items() + snapshot.count()), items);
    SetLastError(0);
    EXPECT_EQ(restoreClipboard(window.get(), snapshot), ClipboardResult::Busy);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "it did try to open it";
    EXPECT_EQ(GetClipboardSequenceNumber(), before) << "restore changes nothing either";
}

TEST_F(Snapshot, EmptySnapshotLeavesTheClipboardAlone) {
    OtherProgram other;
    ASSERT_TRUE(other.put("text=untouched"));
    const DWORD before = GetClipboardSequenceNumber();
    ClipSnapshot empty;
    restoreClipboard(window.get(), empty);
    EXPECT_EQ(GetClipboardSequenceNumber(), before);
    EXPECT_EQ(clipboardText(), "untouched");
}

}  // namespace
