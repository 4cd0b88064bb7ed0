// The clear-stack dialog on stacks of the test's own, driven with the keys
// and buttons a user presses.
#include "ScriptedDialog.h"
#include "base/String.h"
#include "clip/ClipStack.h"
#include "clip/SnapshotCaption.h"
#include "driver/Clipboard.h"
#include "res/resource.h"
#include "ui/ClearStackDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

using ClearStack = Scripted<ClearStackDialog>;

ClipSnapshot* snapshotOf(const std::vector<std::pair<UINT, std::string>>& items) {
    auto* snapshot = new ClipSnapshot;
    for (const auto& [format, bytes] : items) {
        GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
        {
            GlobalLockGuard lock(block.get());
            std::memcpy(lock.data(), bytes.data(), bytes.size());
        }
        snapshot->append(ClipFormatItem::adopt(format, std::move(block)));
    }
    return snapshot;
}

ClipSnapshot* textSnapshot(const std::string& text) {
    return snapshotOf({{CF_TEXT, text + '\0'}});
}

// One of each kind, in the order Text, Picture, Files, Unknown, Empty.
void fillWithEveryKind(ClipStack& stack) {
    stack.append(textSnapshot("  first\r\n entry  "));
    stack.append(snapshotOf({{CF_DIB, dibBytes(4, 3, 24)}}));
    stack.append(snapshotOf({{CF_HDROP, dropFilesBytes({"C:\\one.txt", "D:\\two"}, false)}}));
    stack.append(snapshotOf({{registeredFormat("Tolvaran test format"), "x"}}));
    stack.append(new ClipSnapshot);
}

void fillWithTexts(ClipStack& stack, int n, const char* prefix) {
    for (int i = 0; i < n; ++i)
        stack.append(textSnapshot(prefix + std::to_string(i)));
}

std::vector<std::uint32_t> serialsOf(const ClipStack& stack) {
    std::vector<std::uint32_t> serials;
    for (int i = 0; i < stack.count(); ++i)
        serials.push_back(stack.entry(i)->serial());
    return serials;
}

std::string captionOf(const ClipSnapshot& snapshot) {
    return snapshotCaption(snapshot).text();
}

HWND listOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_SNAPSHOT_LIST);
}

struct Row {
    std::string text;
    int image;
    bool selected;
    LPARAM data;
};

std::vector<Row> rowsOf(HWND dialog) {
    HWND list = listOf(dialog);
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        LVITEMA details{};
        details.mask = LVIF_IMAGE | LVIF_PARAM;
        details.iItem = i;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&details));
        const auto state = SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED);
        rows.push_back({text, details.iImage, (state & LVIS_SELECTED) != 0, details.lParam});
    }
    return rows;
}

void setSelected(HWND dialog, int row, bool selected) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(listOf(dialog), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// What the user does: keys go to the list, where the selection is made.
void pressOnList(HWND dialog, WPARAM key) {
    SetFocus(listOf(dialog));
    pressKey(listOf(dialog), key);
}

TEST(ClearStackDialog, ListsEveryEntryInOrderWithCaptionAndGlyphAllSelected) {
    ClipStack stack(ClipStack::historyLimit);
    fillWithEveryKind(stack);
    HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::vector<Row> rows;
    HWND dialogOwner = nullptr;
    // Rows whose caption the list shows cut (its label narrower than the text).
    int cutRows = 0;
    int images = 0;
    LONG_PTR style = 0;
    ClearStack dialog({[&](HWND d) {
                       rows = rowsOf(d);
                       dialogOwner = GetWindow(d, GW_OWNER);
                       HWND list = listOf(d);
                       for (const Row& row : rows) {
                           RECT label{};
                           label.left = LVIR_LABEL;
                           SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(&row - rows.data()),
                                        reinterpret_cast<LPARAM>(&label));
                           const auto textWidth = SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                               reinterpret_cast<LPARAM>(row.text.c_str()));
                           cutRows += textWidth > label.right - label.left;
                       }
                       auto imageList = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
                       images = ImageList_GetImageCount(imageList);
                       style = GetWindowLongPtrA(list, GWL_STYLE);
                   },
                   [](HWND d) { pressOnList(d, VK_ESCAPE); }},
                  stack, owner);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    DestroyWindow(owner);
    EXPECT_FALSE(dialog.leftOpen);

    EXPECT_EQ(dialogOwner, owner);
    EXPECT_EQ(cutRows, 0) << "every caption is shown whole";
    EXPECT_EQ(images, 6) << "the whole glyph strip, 14 pixels a glyph";
    EXPECT_FALSE(style & LVS_SINGLESEL);
    ASSERT_EQ(rows.size(), 5u);
    const ContentKind kinds[] = {ContentKind::Text, ContentKind::Picture, ContentKind::Files, ContentKind::Unknown,
                                 ContentKind::Empty};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const ClipSnapshot& snapshot = *stack.entry(i);
        ASSERT_EQ(snapshot.contentKind(), kinds[i]);
        EXPECT_EQ(rows[i].text, captionOf(snapshot));
        EXPECT_EQ(rows[i].image, static_cast<int>(kinds[i]));
        EXPECT_TRUE(rows[i].selected);
        EXPECT_EQ(static_cast<std::uint32_t>(rows[i].data), snapshot.serial());
    }
    EXPECT_EQ(rows[0].text, " first entry");
    EXPECT_EQ(rows[2].text, "one.txt;two");
    EXPECT_EQ(stack.count(), 5) << "closing deletes nothing";
}

// A text outside the ANSI code page is listed as it was written.
TEST(ClearStackDialog, ListsUnicodeTextAsWritten) {
    ClipStack stack(ClipStack::historyLimit);
    const std::wstring written = L"\u6771\u4eac \u0451\u043b\u043a\u0430";
    std::string unicode(reinterpret_cast<const char*>(written.c_str()), (written.size() + 1) * sizeof(wchar_t));
    stack.append(snapshotOf({{CF_TEXT, std::string("?? ????") + '\0'}, {CF_UNICODETEXT, unicode}}));
    std::wstring listed;
    ClearStack dialog({[&](HWND d) {
                           wchar_t text[256] = {};
                           LVITEMW item{};
                           item.pszText = text;
                           item.cchTextMax = 256;
                           SendMessageW(listOf(d), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
                           listed = text;
                       },
                       [](HWND d) { pressOnList(d, VK_ESCAPE); }},
                      stack, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_EQ(listed, written);
    EXPECT_EQ(captionOf(*stack.entry(0)), "?? ????") << "what goes to other computers stays as it was";
}

TEST(ClearStackDialog, EnterRightAwayDeletesTheWholeHistoryAndCloses) {
    ClipStack history(ClipStack::historyLimit);
    ClipStack staticEntries(ClipStack::staticLimit);
    fillWithEveryKind(history);
    fillWithTexts(staticEntries, 2, "pinned ");
    const auto pinned = serialsOf(staticEntries);
    ClearStack dialog({[](HWND d) { pressOnList(d, VK_RETURN); }}, history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_FALSE(dialog.leftOpen);
    EXPECT_EQ(dialog.stepsRun, 1u);
    EXPECT_EQ(history.count(), 0);
    EXPECT_EQ(serialsOf(staticEntries), pinned);
}

TEST(ClearStackDialog, DeletingSomeRowsKeepsTheOthersUnselected) {
    ClipStack history(ClipStack::historyLimit);
    ClipStack staticEntries(ClipStack::staticLimit);
    fillWithTexts(history, 5, "entry ");
    fillWithTexts(staticEntries, 3, "pinned ");
    const auto pinned = serialsOf(staticEntries);
    const std::vector<std::uint32_t> kept = {history.entry(1)->serial(), history.entry(3)->serial()};
    std::vector<Row> after;
    std::vector<std::uint32_t> stackAfterDelete;
    ClearStack dialog({[](HWND d) {
                       setSelected(d, 1, false);
                       setSelected(d, 3, false);
                       clickButton(d, IDOK);
                   },
                   // Runs only if Delete left the dialog's loop going.
                   [&](HWND d) {
                       after = rowsOf(d);
                       stackAfterDelete = serialsOf(history);
                       pressOnList(d, VK_ESCAPE);
                   }},
                  history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 2u);
    EXPECT_FALSE(dialog.leftOpen);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].text, "entry 1");
    EXPECT_EQ(after[1].text, "entry 3");
    EXPECT_FALSE(after[0].selected);
    EXPECT_FALSE(after[1].selected);
    EXPECT_EQ(stackAfterDelete, kept);
    EXPECT_EQ(serialsOf(history), kept) << "Escape deletes nothing";
    EXPECT_EQ(serialsOf(staticEntries), pinned);
}

TEST(ClearStackDialog, DeleteWithNothingSelectedStaysOpen) {
    ClipStack history(ClipStack::historyLimit);
    fillWithTexts(history, 2, "entry ");
    const auto before = serialsOf(history);
    size_t rowsLeft = 0;
    ClearStack dialog({[](HWND d) {
                       setSelected(d, 0, false);
                       setSelected(d, 1, false);
                       clickButton(d, IDOK);
                   },
                   [&](HWND d) {
                       rowsLeft = rowsOf(d).size();
                       clickButton(d, IDCANCEL);
                   }},
                  history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 2u);
    EXPECT_EQ(rowsLeft, 2u);
    EXPECT_EQ(serialsOf(history), before);
}

TEST(ClearStackDialog, EmptyHistoryDeleteClosesAtOnce) {
    ClipStack history(ClipStack::historyLimit);
    size_t rows = 99;
    ClearStack dialog({[&](HWND d) {
                       rows = rowsOf(d).size();
                       clickButton(d, IDOK);
                   }},
                  history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_FALSE(dialog.leftOpen);
    EXPECT_EQ(rows, 0u);
}

TEST(ClearStackDialog, CloseAfterChangingTheSelectionDeletesNothing) {
    ClipStack history(ClipStack::historyLimit);
    fillWithTexts(history, 4, "entry ");
    const auto before = serialsOf(history);
    ClearStack dialog({[](HWND d) {
                       setSelected(d, 0, false);
                       setSelected(d, 2, false);
                   },
                   [](HWND d) { clickButton(d, IDCANCEL); }},
                  history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_FALSE(dialog.leftOpen);
    EXPECT_EQ(serialsOf(history), before);
}

// The history changes while the dialog is open: entry 1 leaves, and a newer
// snapshot takes its very memory. Returns the newer one, now entry 0.
ClipSnapshot* replaceInPlace(ClipStack& history, int index) {
    ClipSnapshot* old = history.entry(index);
    history.removeAt(index, 1);
    old->~ClipSnapshot();
    auto* newer = new (old) ClipSnapshot;
    GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, 6));
    {
        GlobalLockGuard lock(block.get());
        std::memcpy(lock.data(), "newer", 6);
    }
    newer->append(ClipFormatItem::adopt(CF_TEXT, std::move(block)));
    history.insertAt(0, newer);
    return newer;
}

TEST(ClearStackDialog, AStaleRowNeverDeletesANewerSnapshotAtTheSameAddress) {
    ClipStack history(ClipStack::historyLimit);
    fillWithTexts(history, 3, "entry ");
    const std::uint32_t first = history.entry(0)->serial();
    const std::uint32_t last = history.entry(2)->serial();
    ClipSnapshot* newer = nullptr;
    std::vector<Row> after;
    ClearStack dialog({[&](HWND d) {
                       newer = replaceInPlace(history, 1);
                       setSelected(d, 0, false);
                       setSelected(d, 2, false);
                       clickButton(d, IDOK);
                   },
                   [&](HWND d) {
                       after = rowsOf(d);
                       clickButton(d, IDCANCEL);
                   }},
                  history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_EQ(dialog.stepsRun, 2u);
    ASSERT_EQ(after.size(), 2u) << "the stale row is gone from the list";
    EXPECT_EQ(after[0].text, "entry 0");
    EXPECT_EQ(after[1].text, "entry 2");
    ASSERT_EQ(history.count(), 3);
    EXPECT_EQ(history.entry(0), newer);
    EXPECT_EQ(captionOf(*history.entry(0)), "newer");
    EXPECT_EQ(serialsOf(history), (std::vector<std::uint32_t>{newer->serial(), first, last}));
}

TEST(ClearStackDialog, DeletingEveryRowSparesWhatCameAfterwards) {
    ClipStack history(ClipStack::historyLimit);
    fillWithTexts(history, 3, "entry ");
    ClipSnapshot* newer = nullptr;
    ClearStack dialog({[&](HWND d) {
                       newer = replaceInPlace(history, 1);
                       pressOnList(d, VK_RETURN);
                   }},
                  history, nullptr);
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_FALSE(dialog.leftOpen);
    ASSERT_EQ(history.count(), 1);
    EXPECT_EQ(history.entry(0), newer);
    EXPECT_EQ(captionOf(*newer), "newer");
}

}  // namespace
