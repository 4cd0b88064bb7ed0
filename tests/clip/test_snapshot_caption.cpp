// How a snapshot reads: its kind, and its caption from the resources and the
// system's code page (the rules over bytes are tested with the captions).
#include "ClipTestSupport.h"

#include "base/String.h"
#include "clip/ClipSnapshot.h"
#include "clip/SnapshotCaption.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string sampleText = std::string("  Hello,\r\n\tworld  ") + '\0';

void add(ClipSnapshot& snapshot, UINT format, const std::string& bytes) {
    GlobalMemory block = blockOf(bytes);
    snapshot.append(newCopy(format, block.get()));
}

void addWithoutData(ClipSnapshot& snapshot, UINT format) {
    snapshot.append(newCopy(format, nullptr));
}

std::string captionOf(const ClipSnapshot& snapshot) {
    return snapshotCaption(snapshot).text();
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

TEST(SnapshotCaption, ItemsWithoutDataReadAsEmptyBlocks) {
    ClipSnapshot text;
    addWithoutData(text, CF_TEXT);
    EXPECT_EQ(captionOf(text), "") << "text without data reads as empty text";

    ClipSnapshot picture;
    addWithoutData(picture, CF_DIB);
    EXPECT_EQ(captionOf(picture), "Picture");

    ClipSnapshot files;
    addWithoutData(files, CF_HDROP);
    EXPECT_EQ(captionOf(files), "");
}

// For other computers the system code page; for the user the names as written.
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
    EXPECT_EQ(displayCaption(files), name + 3);
}

}  // namespace
