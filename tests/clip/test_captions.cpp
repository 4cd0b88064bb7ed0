// Captions from raw blocks, hostile ones included. Every block lives in a
// heap buffer of exactly its size, so the sanitizers catch a read past it.
#include "clip/Captions.h"
#include "clip/ClipFormats.h"
#include "clip/ClipSnapshot.h"
#include "clip/FormatNames.h"
#include "ItemCopies.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

class Block {
public:
    explicit Block(const std::string& bytes) : mSize(bytes.size()), mBytes(new unsigned char[bytes.size()]) {
        std::memcpy(mBytes.get(), bytes.data(), bytes.size());
    }
    const unsigned char* bytes() const { return mBytes.get(); }
    std::size_t size() const { return mSize; }

private:
    std::size_t mSize;
    std::unique_ptr<unsigned char[]> mBytes;
};

std::string text(const std::string& bytes) {
    Block block(bytes);
    return textCaption(block.bytes(), block.size()).text();
}

void putU16(std::string& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>(value >> 8);
}

void putU32(std::string& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

std::string infoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint16_t planes = 1) {
    std::string header(40, '\0');
    putU32(header, 0, 40);
    putU32(header, 4, static_cast<std::uint32_t>(width));
    putU32(header, 8, static_cast<std::uint32_t>(height));
    putU16(header, 12, planes);
    putU16(header, 14, bits);
    return header;
}

std::string coreHeader(std::uint16_t width, std::uint16_t height, std::uint16_t bits, std::uint16_t planes = 1) {
    std::string header(12, '\0');
    putU32(header, 0, 12);
    putU16(header, 4, width);
    putU16(header, 6, height);
    putU16(header, 8, planes);
    putU16(header, 10, bits);
    return header;
}

const char* const sizeFormat = "%d x %d (%d bit)";

// The caption a picture item gets: its size, or the word when it has none.
std::string picture(const std::string& bytes, const char* format = sizeFormat) {
    Block block(bytes);
    PictureSize size;
    if (!pictureSize(block.bytes(), block.size(), size))
        return "Picture";
    return pictureSizeText(size, format).text();
}

// UTF-16 little-endian bytes of a text given as UTF-16 code units.
std::string utf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

std::u16string unicodeText(const std::string& bytes) {
    Block block(bytes);
    return unicodeTextCaption(block.bytes(), block.size());
}

// The signature and a header chunk (its checksum left 0: it is not read).
std::string pngHeader(std::uint32_t width, std::uint32_t height, unsigned depth, unsigned colourType) {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            png += static_cast<char>(value >> shift & 0xFF);
    return png + static_cast<char>(depth) + static_cast<char>(colourType) + std::string(7, '\0');
}

std::string png(const std::string& bytes) {
    Block block(bytes);
    PictureSize size{};
    return pngSize(block.bytes(), block.size(), size) ? pictureSizeText(size, sizeFormat).text() : "Picture";
}

std::string dropHeader(bool wide, std::uint32_t listOffset = 20) {
    std::string header(20, '\0');
    putU32(header, 0, listOffset);
    putU32(header, 16, wide ? 1 : 0);
    return header;
}

// A well-formed list: every name terminated, then the empty name.
std::string dropList(const std::vector<std::string>& paths, bool wide = false) {
    std::string block = dropHeader(wide);
    for (const std::string& path : paths) {
        for (char c : path) {
            block += c;
            if (wide)
                block += '\0';
        }
        block += wide ? std::string(2, '\0') : std::string(1, '\0');
    }
    block += wide ? std::string(2, '\0') : std::string(1, '\0');
    return block;
}

std::string files(const std::string& bytes, WideToAnsi toAnsi = asciiOnly) {
    Block block(bytes);
    return fileCaption(block.bytes(), block.size(), toAnsi).text();
}

std::string letters(int n, char first = 'a') {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += static_cast<char>(first + i % 26);
    return out;
}

TEST(TextCaption, BlankRunsBecomeOneSpaceAndTheLastIsDropped) {
    EXPECT_EQ(text(std::string("  Hello,\r\n\tworld  ") + '\0'), " Hello, world");
    EXPECT_EQ(text(std::string("a\x01\x1f b", 5) + '\0'), "a b") << "control characters are blanks";
    EXPECT_EQ(text(std::string("\x7f\x80\xe9\xff", 4) + '\0'), "\x7f\x80\xe9\xff") << "33 to 255 are kept";
    EXPECT_EQ(text(std::string("   ") + '\0'), "");
    EXPECT_EQ(text(std::string(1, '\0')), "");
}

TEST(TextCaption, KeepsAtMost63Characters) {
    const std::string hundred = letters(100);
    EXPECT_EQ(text(hundred + '\0'), hundred.substr(0, 63));
    EXPECT_EQ(text(letters(63) + "\r\n" + '\0'), letters(63));
    EXPECT_EQ(text(letters(62) + "\r\nmore" + '\0'), letters(62)) << "no room for a space and a letter";
    EXPECT_EQ(text(letters(61) + " xyz" + '\0'), letters(61) + " x");
    EXPECT_EQ(text(letters(60) + " ab cd" + '\0'), letters(60) + " ab");
}

TEST(TextCaption, StopsAtTheFirstZeroOrTheBlockEnd) {
    EXPECT_EQ(text(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(text("no terminator"), "no terminator");
    EXPECT_EQ(text(std::string(100000, ' ')), "") << "a block of blanks without a 0 byte";
    EXPECT_EQ(text("a   "), "a");
    EXPECT_STREQ(textCaption(nullptr, 0).text(), "");
    EXPECT_STREQ(textCaption(nullptr, 100).text(), "") << "an item without data";
}

TEST(PictureCaption, StandardHeaderGivesSignedSize) {
    EXPECT_EQ(picture(infoHeader(640, 480, 24)), "640 x 480 (24 bit)");
    EXPECT_EQ(picture(infoHeader(640, -480, 24)), "640 x -480 (24 bit)") << "top-down";
    EXPECT_EQ(picture(infoHeader(-3, 2, 4, 2)), "-3 x 2 (8 bit)") << "bits times planes";
    EXPECT_EQ(picture(infoHeader(1, 1, 0xFFFF, 0xFFFF)), "1 x 1 (-131071 bit)") << "32-bit wrap";
    EXPECT_EQ(picture(infoHeader(640, 480, 24) + std::string(921600, '\x7f')), "640 x 480 (24 bit)");
}

TEST(PictureCaption, CoreHeaderGivesUnsignedSize) {
    EXPECT_EQ(picture(coreHeader(65535, 40000, 8)), "65535 x 40000 (8 bit)");
    EXPECT_EQ(picture(coreHeader(16, 16, 4, 2)), "16 x 16 (8 bit)");
}

TEST(PictureCaption, OtherHeadersAndShortBlocksArePicture) {
    std::string v5 = infoHeader(640, 480, 24) + std::string(84, '\0');
    putU32(v5, 0, 124);
    EXPECT_EQ(picture(v5), "Picture");
    putU32(v5, 0, 108);
    EXPECT_EQ(picture(v5), "Picture");
    EXPECT_EQ(picture(infoHeader(640, 480, 24).substr(0, 39)), "Picture") << "shorter than its header";
    EXPECT_EQ(picture(coreHeader(1, 1, 1).substr(0, 11)), "Picture");
    EXPECT_EQ(picture(std::string("\x28\0\0", 3)), "Picture") << "no whole header size";
    EXPECT_EQ(picture(""), "Picture");
    PictureSize none;
    EXPECT_FALSE(pictureSize(nullptr, 0, none)) << "an item without data";
}

TEST(PictureCaption, FormatIsTakenFromTheResourcesSafely) {
    EXPECT_EQ(picture(infoHeader(640, 480, 24), "%d x %d (%d \xe1\xe8\xf2)"), "640 x 480 (24 \xe1\xe8\xf2)");
    EXPECT_EQ(picture(infoHeader(640, 480, 24), "%s %d%% %d %d %d %"), "%s 640% 480 24 %d %")
        << "only three numbers and %%; everything else is copied";
    EXPECT_EQ(picture(infoHeader(640, 480, 24), ""), "");
    const std::string longFormat(5000, 'x');
    EXPECT_EQ(picture(infoHeader(1, 1, 1), longFormat.c_str()).size(), 1023u);
}

TEST(FileCaption, BareNamesJoinedWithSemicolons) {
    EXPECT_EQ(files(dropList({"C:\\folder\\one.txt", "D:\\two"})), "one.txt;two");
    EXPECT_EQ(files(dropList({"C:\\folder\\one.txt", "D:\\two"}, true)), "one.txt;two") << "wide names";
    EXPECT_EQ(files(dropList({"/tmp/a.b.c", "C:name.txt", "plain", "\\\\server\\share\\x.y"})),
              "a.b.c;name.txt;plain;x.y");
    EXPECT_EQ(files(dropList({"C:\\dir\\", "C:\\dir\\", "e.f"})), "e.f") << "empty names add nothing yet";
    EXPECT_EQ(files(dropList({"e.f", "C:\\dir\\", "g"})), "e.f;;g");
}

TEST(FileCaption, ReachingSixtyFourIsCutToSixtyAndDots) {
    const std::string a = letters(30, 'a');
    const std::string b = letters(32, 'A');
    EXPECT_EQ(files(dropList({"C:\\" + a, "D:\\" + b})), a + ";" + b) << "63: kept whole";
    const std::string c = letters(33, 'A');
    const std::string cut = files(dropList({"C:\\" + a, "D:\\" + c, "E:\\more"}));
    EXPECT_EQ(cut, (a + ";" + c).substr(0, 60) + "...");
    EXPECT_EQ(cut.size(), 63u);
    EXPECT_EQ(files(dropList({"C:\\" + letters(200)})), letters(60) + "...");
}

TEST(FileCaption, PathsAreCutTo259CharactersFirst) {
    const std::string folder = "C:\\" + std::string(250, 'd');  // 253 characters
    EXPECT_EQ(files(dropList({folder + "\\name.txt"})), "name.") << "as the 260-byte buffer cuts it";
    EXPECT_EQ(files(dropList({folder + "\\name.txt"}, true)), "name.");
}

TEST(FileCaption, EmptyListsAndBadHeadersGiveNothing) {
    EXPECT_EQ(files(dropList({})), "");
    EXPECT_EQ(files(dropList({}, true)), "");
    EXPECT_EQ(files(""), "");
    EXPECT_EQ(files(dropList({"one.txt"}).substr(0, 19)), "") << "shorter than the header";
    std::string outside = dropList({"one.txt"});
    putU32(outside, 0, static_cast<std::uint32_t>(outside.size()));
    EXPECT_EQ(files(outside), "") << "list offset at the block end";
    putU32(outside, 0, 0xFFFFFFF0u);
    EXPECT_EQ(files(outside), "") << "list offset far outside";
    putU32(outside, 0, 4);
    EXPECT_EQ(files(outside), "") << "list offset inside the header";
    EXPECT_STREQ(fileCaption(nullptr, 0).text(), "") << "an item without data";
}

TEST(FileCaption, NamesRunningPastTheEndAreLeftOut) {
    const std::string list = dropList({"C:\\one.txt", "C:\\two.txt"});
    // Cut inside the second name: only the first is whole.
    EXPECT_EQ(files(list.substr(0, list.size() - 4)), "one.txt");
    EXPECT_EQ(files(list.substr(0, list.size() - 1)), "one.txt;two.txt") << "no final empty name";
    const std::string wide = dropList({"C:\\one.txt", "C:\\two.txt"}, true);
    EXPECT_EQ(files(wide.substr(0, wide.size() - 5)), "one.txt") << "odd end inside the second name";
    EXPECT_EQ(files(wide.substr(0, wide.size() - 3)), "one.txt") << "half a terminator";
    EXPECT_EQ(files(wide.substr(0, wide.size() - 2)), "one.txt;two.txt") << "no final empty name";
    EXPECT_EQ(files(wide.substr(0, 21)), "") << "half a code unit";
    std::string unterminated = dropHeader(false) + std::string(100000, 'x');
    EXPECT_EQ(files(unterminated), "");
}

TEST(FileCaption, WideNamesGoThroughTheConverter) {
    std::string wide = dropHeader(true);
    for (std::uint16_t unit : {0x0439, 0x002E, 0x0074, 0x0000, 0x0000}) {  // "й.t"
        wide += static_cast<char>(unit & 0xFF);
        wide += static_cast<char>(unit >> 8);
    }
    EXPECT_EQ(files(wide), "?.t");
    auto upper = [](const std::uint16_t* name, std::size_t length, char* out, std::size_t outSize) {
        std::size_t n = 0;
        for (; n < length && n < outSize; ++n)
            out[n] = name[n] == 0x0439 ? '\xe9' : static_cast<char>(name[n] - 32);
        return n;
    };
    EXPECT_EQ(files(wide, upper), "\xe9\x0eT");
    const std::string odd = dropHeader(true, 21) + "-" + dropList({"C:\\a.b"}, true).substr(20);
    EXPECT_EQ(files(odd), "a.b") << "a list at an odd offset";
}

// Text outside the ANSI code page keeps every character, by the same rule
// as 8-bit text; a character beyond the 16-bit range is never halved.
TEST(UnicodeTextCaption, KeepsTheTextAsWrittenUnderTheSameRule) {
    EXPECT_EQ(unicodeText(utf16(u"  Z\u00fcrich\r\n\t\u6771\u4eac  \u0451\u043b\u043a\u0430  ")),
              u" Z\u00fcrich \u6771\u4eac \u0451\u043b\u043a\u0430");
    EXPECT_EQ(unicodeText(utf16(u"one\u0000two")), u"one");
    EXPECT_EQ(unicodeText(utf16(u"ab") + "c"), u"ab") << "an odd last byte is no character";
    const std::u16string sixtyTwo(62, u'x');
    EXPECT_EQ(unicodeText(utf16(sixtyTwo + u"\U0001D11E")), sixtyTwo) << "the pair does not fit whole";
    EXPECT_EQ(unicodeText(utf16(std::u16string(100, u'\u0451'))), std::u16string(63, u'\u0451'));
}

TEST(PngCaption, SizeAndDepthComeFromTheHeaderAndDamageGivesPicture) {
    EXPECT_EQ(png(pngHeader(1920, 1080, 16, 2)), "1920 x 1080 (48 bit)");
    EXPECT_EQ(png(pngHeader(16, 16, 4, 3)), "16 x 16 (4 bit)");
    const std::string good = pngHeader(4, 3, 8, 6);
    for (std::size_t cut = 0; cut < 29; ++cut)
        EXPECT_EQ(png(good.substr(0, cut)), "Picture") << cut;
    for (std::size_t at : {1, 11, 12}) {  // signature, chunk length, chunk type
        std::string bad = good;
        bad[at] ^= 0x20;
        EXPECT_EQ(png(bad), "Picture") << at;
    }
    EXPECT_EQ(png(pngHeader(0, 3, 8, 6)), "Picture");
    EXPECT_EQ(png(pngHeader(4, 0x80000000u, 8, 6)), "Picture");
    EXPECT_EQ(png(pngHeader(4, 3, 16, 3)), "Picture") << "no 16-bit palette";
    EXPECT_EQ(png(pngHeader(4, 3, 8, 5)), "Picture") << "no colour type 5";
    EXPECT_EQ(png(good), "4 x 3 (32 bit)");
}

// A PNG block is the picture only where no bitmap is; text still comes first.
TEST(ContentKind, APngBlockIsAPictureWhereNoBitmapIs) {
    const unsigned pngFormat = registerFormatName("PNG");
    const unsigned other = registerFormatName("Rich Text Format");
    auto kindOf = [](std::initializer_list<unsigned> formats, int& index) {
        ClipSnapshot snapshot;
        for (unsigned format : formats) {
            GlobalMemory block(memoryblock::allocate(memoryblock::moveable, 4));
            snapshot.append(newCopy(format, block.get()));
        }
        return snapshot.contentKind(&index);
    };
    int index = -1;
    EXPECT_EQ(kindOf({other, pngFormat}, index), ContentKind::Picture);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(kindOf({pngFormat, clipformat::dib}, index), ContentKind::Picture);
    EXPECT_EQ(index, 1) << "the bitmap decides";
    EXPECT_EQ(kindOf({pngFormat, clipformat::text}, index), ContentKind::Text);
    EXPECT_EQ(kindOf({registerFormatName("PNG+")}, index), ContentKind::Unknown);
    EXPECT_TRUE(isPngFormat(registerFormatName("png"))) << "names match whatever their case";
}

}  // namespace
