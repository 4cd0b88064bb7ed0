// How a snapshot shows itself: its kind, its caption, its menu entry and
// the glyphs that mark it.
#include "ClipTestSupport.h"

#include "base/AppInstance.h"
#include "base/Gdi.h"
#include "base/String.h"
#include "clip/ClipSnapshot.h"
#include "clip/MenuGlyphs.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string sampleText = std::string("  Hello,\r\n\tworld  ") + '\0';

void add(ClipSnapshot& snapshot, UINT format, const std::string& bytes) {
    GlobalMemory block = blockOf(bytes);
    snapshot.append(new ClipFormatItem(format, block.get()));
}

void addWithoutData(ClipSnapshot& snapshot, UINT format) {
    snapshot.append(new ClipFormatItem(format, nullptr));
}

std::string captionOf(const ClipSnapshot& snapshot) {
    String caption;
    snapshot.caption(caption);
    return caption.text();
}

TEST(ContentKind, FirstTextOrFilesDecidesAndOtherwiseTheLastPicture) {
    const UINT registered = registeredFormat("TolvaranTestFormat");
    int deciding = -1;

    ClipSnapshot empty;
    EXPECT_EQ(empty.contentKind(&deciding), ContentKind::Empty);
    EXPECT_EQ(deciding, -1);
    EXPECT_EQ(captionOf(empty), "Clipboard is Empty");

    ClipSnapshot pictureThenText;
    add(pictureThenText, CF_DIB, dibBytes(640, 480, 24));
    add(pictureThenText, CF_TEXT, sampleText);
    EXPECT_EQ(pictureThenText.contentKind(&deciding), ContentKind::Text);
    EXPECT_EQ(deciding, 1);
    EXPECT_EQ(captionOf(pictureThenText), " Hello, world");

    ClipSnapshot filesThenText;
    add(filesThenText, registered, "x");
    add(filesThenText, CF_HDROP, dropFilesBytes({"C:\\folder\\one.txt", "D:\\two"}, false));
    add(filesThenText, CF_TEXT, sampleText);
    EXPECT_EQ(filesThenText.contentKind(&deciding), ContentKind::Files);
    EXPECT_EQ(deciding, 1);
    EXPECT_EQ(captionOf(filesThenText), "one.txt;two");

    ClipSnapshot twoPictures;
    add(twoPictures, CF_DIB, dibBytes(640, 480, 24));
    add(twoPictures, CF_DIB, dibBytes(2, -3, 1));
    add(twoPictures, registered, "x");
    EXPECT_EQ(twoPictures.contentKind(&deciding), ContentKind::Picture);
    EXPECT_EQ(deciding, 1) << "the last picture";
    EXPECT_EQ(captionOf(twoPictures), "2 x -3 (1 bit)");

    ClipSnapshot registeredOnly;
    add(registeredOnly, registered, "x");
    addWithoutData(registeredOnly, registeredFormat("TolvaranNull"));
    deciding = -1;
    EXPECT_EQ(registeredOnly.contentKind(&deciding), ContentKind::Unknown);
    EXPECT_EQ(deciding, -1) << "no deciding item";
    EXPECT_EQ(captionOf(registeredOnly), "Unknown format");
}

TEST(SnapshotCaption, ItemsWithoutDataOrWithOddBlocks) {
    ClipSnapshot text;
    addWithoutData(text, CF_TEXT);
    EXPECT_EQ(captionOf(text), "") << "text without data reads as empty text";

    ClipSnapshot picture;
    addWithoutData(picture, CF_DIB);
    EXPECT_EQ(captionOf(picture), "Picture");

    ClipSnapshot files;
    addWithoutData(files, CF_HDROP);
    EXPECT_EQ(captionOf(files), "");

    ClipSnapshot unterminated;
    add(unterminated, CF_TEXT, "no zero byte");
    EXPECT_EQ(captionOf(unterminated), "no zero byte");

    std::string v5 = dibBytes(640, 480, 24);
    v5[0] = 124;
    ClipSnapshot newerHeader;
    add(newerHeader, CF_DIB, v5);
    EXPECT_EQ(captionOf(newerHeader), "Picture");

    ClipSnapshot shortBitmap;
    add(shortBitmap, CF_DIB, dibBytes(640, 480, 24).substr(0, 39));
    EXPECT_EQ(captionOf(shortBitmap), "Picture");

    ClipSnapshot longNames;
    add(longNames, CF_HDROP,
        dropFilesBytes({"C:\\" + std::string(30, 'a'), "D:\\" + std::string(33, 'b'), "E:\\c"}, true));
    EXPECT_EQ(captionOf(longNames), std::string(30, 'a') + ";" + std::string(29, 'b') + "...");

    String kept("previous");
    ClipSnapshot hundred;
    add(hundred, CF_TEXT, std::string(100, 'z') + '\0');
    hundred.caption(kept);
    EXPECT_EQ(std::string(kept.text()), std::string(63, 'z'));
}

TEST(SnapshotCaption, WideFileNamesUseTheSystemCodePage) {
    // "Привет.txt" where the system code page has Cyrillic, '?' marks elsewhere.
    std::string wide = dropFilesBytes({}, true);
    wide.resize(wide.size() - 2);
    const wchar_t name[] = L"C:\\\x041f\x0440\x0438.txt";
    wide.append(reinterpret_cast<const char*>(name), sizeof name);
    wide.append(2, '\0');
    ClipSnapshot files;
    add(files, CF_HDROP, wide);
    char expected[32] = {};
    WideCharToMultiByte(CP_ACP, 0, name + 3, -1, expected, sizeof expected, nullptr, nullptr);
    EXPECT_EQ(captionOf(files), expected);
}

class MenuEntry : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(menu, nullptr); }
    void TearDown() override { DestroyMenu(menu); }

    MENUITEMINFOA info(UINT id) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE | MIIM_CHECKMARKS | MIIM_FTYPE | MIIM_STRING;
        textBuffer[0] = '\0';
        item.dwTypeData = textBuffer;
        item.cch = sizeof textBuffer;
        EXPECT_TRUE(GetMenuItemInfoA(menu, id, FALSE, &item));
        return item;
    }

    HMENU menu = CreatePopupMenu();
    MenuGlyphs glyphs;
    char textBuffer[128];
};

TEST_F(MenuEntry, EmptySnapshotIsUncheckedWithoutGlyph) {
    ClipSnapshot empty;
    empty.appendMenuItem(menu, 105, glyphs, false);
    const MENUITEMINFOA item = info(105);
    EXPECT_STREQ(textBuffer, "Clipboard is Empty");
    EXPECT_EQ(item.fState & MFS_CHECKED, 0u);
    EXPECT_EQ(item.hbmpChecked, nullptr);
    EXPECT_EQ(item.hbmpUnchecked, nullptr);
    EXPECT_EQ(item.fType & MFT_MENUBARBREAK, 0u);
}

TEST_F(MenuEntry, EachKindIsCheckedWithItsGlyph) {
    ClipSnapshot text;
    add(text, CF_TEXT, std::string("words") + '\0');
    ClipSnapshot picture;
    add(picture, CF_DIB, dibBytes(640, 480, 24));
    ClipSnapshot files;
    add(files, CF_HDROP, dropFilesBytes({"C:\\one.txt"}, false));
    ClipSnapshot unknown;
    add(unknown, registeredFormat("TolvaranTestFormat"), "x");
    const ClipSnapshot* snapshots[] = {&text, &picture, &files, &unknown};
    const char* captions[] = {"words", "640 x 480 (24 bit)", "one.txt", "Unknown format"};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const UINT id = 206 + k;
        snapshots[k]->appendMenuItem(menu, id, glyphs, k == 2);
        const MENUITEMINFOA item = info(id);
        EXPECT_STREQ(textBuffer, captions[k]);
        EXPECT_NE(item.fState & MFS_CHECKED, 0u);
        EXPECT_EQ(item.hbmpUnchecked, glyphs.at(0)) << "the text glyph, never seen";
        EXPECT_EQ(item.hbmpChecked, glyphs.at(k)) << "the glyph of the kind";
        EXPECT_EQ((item.fType & MFT_MENUBARBREAK) != 0, k == 2);
    }
    EXPECT_EQ(GetMenuItemCount(menu), 4);
}

// The strip as the resource holds it: true where a glyph pixel is drawn.
class Strip {
public:
    Strip()
        : mBitmap(static_cast<HBITMAP>(
              LoadImageA(appInstance(), MAKEINTRESOURCEA(IDB_GLYPHS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {}
    bool loaded() const { return static_cast<bool>(mBitmap); }
    bool drawn(HDC dc, int image, int x, int y) const {
        SelectedObject select(dc, mBitmap.get());
        return GetPixel(dc, image * 14 + x, y) == RGB(0, 0, 0);
    }

private:
    Bitmap mBitmap;
};

TEST(Glyphs, EachIsItsStripImageOnTheMenuColour) {
    const LONG checkMark = GetMenuCheckMarkDimensions();
    const int width = LOWORD(checkMark);
    const int height = HIWORD(checkMark);
    const int left = width / 2 - 7;
    const int top = height / 2 - 7;
    Strip strip;
    ASSERT_TRUE(strip.loaded());
    HDC screen = GetDC(nullptr);
    MemoryDc stripDc(CreateCompatibleDC(screen));
    MemoryDc glyphDc(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    const COLORREF menuColour = GetNearestColor(glyphDc.get(), GetSysColor(COLOR_MENU));

    HBITMAP made[MenuGlyphs::count];
    {
        MenuGlyphs glyphs;
        for (int k = 0; k < MenuGlyphs::count; ++k) {
            SCOPED_TRACE(k);
            made[k] = glyphs.at(k);
            ASSERT_NE(made[k], nullptr);
            BITMAP info{};
            ASSERT_EQ(GetObjectA(made[k], sizeof info, &info), static_cast<int>(sizeof info));
            EXPECT_EQ(info.bmWidth, width);
            EXPECT_EQ(info.bmHeight, height);
            int drawnPixels = 0;
            int mismatches = 0;
            SelectedObject select(glyphDc.get(), made[k]);
            ASSERT_TRUE(select.ok()) << "not left selected anywhere";
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const int sx = x - left;
                    const int sy = y - top;
                    const bool inImage = sx >= 0 && sx < 14 && sy >= 0 && sy < 14;
                    const bool drawn = inImage && strip.drawn(stripDc.get(), k + 1, sx, sy);
                    const COLORREF pixel = GetPixel(glyphDc.get(), x, y);
                    drawnPixels += drawn;
                    mismatches += pixel != (drawn ? RGB(0, 0, 0) : menuColour);
                }
            }
            EXPECT_GT(drawnPixels, 5) << "the glyph shows";
            EXPECT_EQ(mismatches, 0);
        }
        EXPECT_EQ(glyphs.at(-1), nullptr);
        EXPECT_EQ(glyphs.at(4), nullptr);
        EXPECT_EQ(glyphs.forKind(ContentKind::Empty), nullptr);
        EXPECT_EQ(glyphs.forKind(ContentKind::Unknown), made[3]);
    }
    for (HBITMAP bitmap : made)
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "deleted with their owner";
}

}  // namespace
