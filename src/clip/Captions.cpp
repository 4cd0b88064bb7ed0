#include "clip/Captions.h"

#include "base/LittleEndian.h"
#include "base/NumberText.h"

#include <algorithm>
#include <cstring>

namespace {

using littleendian::read16;
using littleendian::read32;

std::uint32_t readU32BigEndian(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) << 24 | static_cast<std::uint32_t>(at[1]) << 16 |
           static_cast<std::uint32_t>(at[2]) << 8 | static_cast<std::uint32_t>(at[3]);
}

// Wraps like the 32-bit arithmetic the values come from (65535 planes times
// 65535 bits prints negative, as it always has) without signed overflow.
std::int32_t asInt32(std::uint32_t value) {
    std::int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

// The system's drop-list reader fills a 260-character buffer.
constexpr std::size_t maxPathLength = 259;

// DROPFILES: the list's offset, a POINT, and the two BOOLs fNC and fWide.
constexpr std::size_t dropHeaderSize = 20;
constexpr std::size_t wideOffset = 16;

// Name and extension: what follows the last separator, or the drive.
template <typename Char>
void bareName(const Char* path, std::size_t length, const Char*& name, std::size_t& nameLength) {
    std::size_t start = length >= 2 && path[1] == Char(':') ? 2 : 0;
    for (std::size_t i = start; i < length; ++i)
        if (path[i] == Char('\\') || path[i] == Char('/'))
            start = i + 1;
    name = path + start;
    nameLength = length - start;
}

// The caption so far, in 8-bit characters or UTF-16 code units; one more
// path always fits before the cut.
template <typename Char>
class FileList {
public:
    // False once the caption is full and reading can stop.
    bool addPath(const Char* path, std::size_t length) {
        if (length > maxPathLength)
            length = maxPathLength;
        const Char* name;
        std::size_t nameLength;
        bareName(path, length, name, nameLength);
        if (mLength > 0)
            mText[mLength++] = Char(';');
        std::copy(name, name + nameLength, mText + mLength);
        mLength += nameLength;
        if (mLength <= static_cast<std::size_t>(maxCaptionLength))
            return true;
        std::size_t cut = 60;
        // A surrogate pair is never cut in two.
        if constexpr (sizeof(Char) == 2) {
            if (mText[cut - 1] >= 0xD800 && mText[cut - 1] <= 0xDBFF)
                --cut;
        }
        std::copy(dots, dots + 3, mText + cut);
        mLength = cut + 3;
        return false;
    }

    std::basic_string<Char> text() const { return std::basic_string<Char>(mText, mLength); }

private:
    static constexpr Char dots[3] = {Char('.'), Char('.'), Char('.')};
    Char mText[maxCaptionLength + 1 + maxPathLength + 1];
    std::size_t mLength = 0;
};

// Each name of an 8-bit list to addPath(name, length), until it returns false.
template <typename AddPath>
void readAnsiNames(const unsigned char* bytes, std::size_t size, std::size_t at, AddPath addPath) {
    while (at < size) {
        const void* end = std::memchr(bytes + at, 0, size - at);
        if (!end)
            return;  // runs past the block
        const std::size_t length = static_cast<const unsigned char*>(end) - (bytes + at);
        if (length == 0 || !addPath(reinterpret_cast<const char*>(bytes + at), length))
            return;
        at += length + 1;
    }
}

// Each name of a UTF-16 list to addPath(units, length), until it returns false.
template <typename AddPath>
void readWideNames(const unsigned char* bytes, std::size_t size, std::size_t at, AddPath addPath) {
    // Two code units per output byte at most matter: enough for a full path
    // in any code page, and the rest of a longer name is cut anyway.
    constexpr std::size_t maxUnits = 2 * maxPathLength + 2;
    std::uint16_t units[maxUnits];
    while (size - at >= 2) {
        std::size_t length = 0;
        std::size_t end = at;
        while (size - end >= 2 && read16(bytes + end) != 0) {
            if (length < maxUnits)
                units[length] = read16(bytes + end);
            ++length;
            end += 2;
        }
        if (size - end < 2)
            return;  // runs past the block
        if (length == 0 || !addPath(units, length < maxUnits ? length : maxUnits))
            return;
        at = end + 2;
    }
}

// The caption of a drop list: names of 8-bit lists go to addAnsi(list,
// name, length), those of UTF-16 lists to addWide(list, units, length).
template <typename Char, typename AddAnsi, typename AddWide>
std::basic_string<Char> dropListCaption(const unsigned char* bytes, std::size_t size, AddAnsi addAnsi,
                                        AddWide addWide) {
    FileList<Char> list;
    if (!bytes || size < dropHeaderSize)
        return list.text();
    const std::uint32_t listOffset = read32(bytes);
    if (listOffset < dropHeaderSize || listOffset >= size)
        return list.text();
    if (read32(bytes + wideOffset) != 0)
        readWideNames(bytes, size, listOffset,
                      [&](const std::uint16_t* units, std::size_t length) { return addWide(list, units, length); });
    else
        readAnsiNames(bytes, size, listOffset,
                      [&](const char* name, std::size_t length) { return addAnsi(list, name, length); });
    return list.text();
}

}  // namespace

String textCaption(const unsigned char* bytes, std::size_t size) {
    char caption[maxCaptionLength + 1];
    int length = 0;
    bool spacePending = false;
    for (std::size_t i = 0; bytes && i < size && bytes[i] != 0; ++i) {
        if (bytes[i] <= 32) {
            if (length == maxCaptionLength - 1)
                break;
            spacePending = true;
            continue;
        }
        if (spacePending) {
            caption[length++] = ' ';
            spacePending = false;
        }
        caption[length++] = static_cast<char>(bytes[i]);
        if (length == maxCaptionLength)
            break;
    }
    caption[length] = '\0';
    return String(caption);
}

std::u16string unicodeTextCaption(const unsigned char* bytes, std::size_t size) {
    std::u16string caption;
    bool spacePending = false;
    for (std::size_t i = 0; bytes && size - i >= 2; i += 2) {
        const char16_t unit = read16(bytes + i);
        if (unit == 0)
            break;
        if (unit <= 32) {
            if (caption.size() == static_cast<std::size_t>(maxCaptionLength - 1))
                break;
            spacePending = true;
            continue;
        }
        const bool opensPair = unit >= 0xD800 && unit <= 0xDBFF;
        const std::size_t needed = (spacePending ? 1 : 0) + (opensPair ? 2 : 1);
        if (caption.size() + needed > static_cast<std::size_t>(maxCaptionLength))
            break;
        if (spacePending) {
            caption += u' ';
            spacePending = false;
        }
        caption += unit;
        if (opensPair && size - (i + 2) >= 2) {
            // The pair's second half goes with it; a lone half is kept as it came.
            const char16_t next = read16(bytes + i + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                caption += next;
                i += 2;
            }
        }
        if (caption.size() == static_cast<std::size_t>(maxCaptionLength))
            break;
    }
    return caption;
}

bool pictureSize(const unsigned char* bytes, std::size_t size, PictureSize& out) {
    if (!bytes || size < 4)
        return false;
    const std::uint32_t headerSize = read32(bytes);
    if (headerSize == 12 && size >= 12) {  // BITMAPCOREHEADER
        out.width = read16(bytes + 4);
        out.height = read16(bytes + 6);
        out.bitsPerPixel = asInt32(std::uint32_t{read16(bytes + 10)} * read16(bytes + 8));
        return true;
    }
    if (headerSize == 40 && size >= 40) {  // BITMAPINFOHEADER
        out.width = asInt32(read32(bytes + 4));
        out.height = asInt32(read32(bytes + 8));
        out.bitsPerPixel = asInt32(std::uint32_t{read16(bytes + 14)} * read16(bytes + 12));
        return true;
    }
    return false;
}

bool pngSize(const unsigned char* bytes, std::size_t size, PictureSize& out) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Signature, chunk length and type, then 13 bytes of header data.
    constexpr std::size_t headerEnd = 8 + 8 + 13;
    if (!bytes || size < headerEnd || std::memcmp(bytes, signature, sizeof signature) != 0)
        return false;
    if (readU32BigEndian(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return false;
    const std::uint32_t width = readU32BigEndian(bytes + 16);
    const std::uint32_t height = readU32BigEndian(bytes + 20);
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX)
        return false;
    const unsigned depth = bytes[24];
    int channels = 0;
    bool depthAllowed = false;
    switch (bytes[25]) {  // colour type
    case 0:  // grey
        channels = 1;
        depthAllowed = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        break;
    case 3:  // palette
        channels = 1;
        depthAllowed = depth == 1 || depth == 2 || depth == 4 || depth == 8;
        break;
    case 2:  // red, green, blue
    case 4:  // grey and alpha
    case 6:  // red, green, blue and alpha
        channels = bytes[25] == 2 ? 3 : bytes[25] == 4 ? 2 : 4;
        depthAllowed = depth == 8 || depth == 16;
        break;
    default:
        return false;
    }
    if (!depthAllowed)
        return false;
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    out.bitsPerPixel = static_cast<std::int32_t>(depth) * channels;
    return true;
}

String pictureSizeText(const PictureSize& picture, const char* sizeFormat) {
    const std::int32_t numbers[] = {picture.width, picture.height, picture.bitsPerPixel};
    return withNumbers(sizeFormat, numbers, 3);
}

std::size_t asciiOnly(const std::uint16_t* name, std::size_t length, char* out, std::size_t outSize) {
    std::size_t written = 0;
    for (; written < length && written < outSize; ++written)
        out[written] = name[written] < 0x80 ? static_cast<char>(name[written]) : '?';
    return written;
}

String fileCaption(const unsigned char* bytes, std::size_t size, WideToAnsi toAnsi) {
    const WideToAnsi convert = toAnsi ? toAnsi : asciiOnly;
    const std::string caption = dropListCaption<char>(
        bytes, size,
        [](FileList<char>& list, const char* name, std::size_t length) { return list.addPath(name, length); },
        [&](FileList<char>& list, const std::uint16_t* units, std::size_t length) {
            char path[maxPathLength];
            const std::size_t converted = convert(units, length, path, sizeof path);
            return list.addPath(path, converted < sizeof path ? converted : sizeof path);
        });
    return String(caption.c_str());
}

std::size_t asciiWide(const char* name, std::size_t length, char16_t* out, std::size_t outSize) {
    std::size_t written = 0;
    for (; written < length && written < outSize; ++written) {
        const auto byte = static_cast<unsigned char>(name[written]);
        out[written] = byte < 0x80 ? byte : u'?';
    }
    return written;
}

std::u16string unicodeFileCaption(const unsigned char* bytes, std::size_t size, AnsiToWide toWide) {
    const AnsiToWide convert = toWide ? toWide : asciiWide;
    using List = FileList<char16_t>;
    return dropListCaption<char16_t>(
        bytes, size,
        [&](List& list, const char* name, std::size_t length) {
            char16_t path[maxPathLength];
            const std::size_t converted = convert(name, length < maxPathLength ? length : maxPathLength, path,
                                                  maxPathLength);
            return list.addPath(path, converted < maxPathLength ? converted : maxPathLength);
        },
        [](List& list, const std::uint16_t* units, std::size_t length) {
            char16_t path[maxPathLength];
            const std::size_t kept = length < maxPathLength ? length : maxPathLength;
            std::copy(units, units + kept, path);
            return list.addPath(path, kept);
        });
}
