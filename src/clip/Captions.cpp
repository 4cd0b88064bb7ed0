#include "clip/Captions.h"

#include "base/LittleEndian.h"
#include "base/NumberText.h"

#include <cstring>

namespace {

using littleendian::read16;
using littleendian::read32;

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
void bareName(const char* path, std::size_t length, const char*& name, std::size_t& nameLength) {
    std::size_t start = length >= 2 && path[1] == ':' ? 2 : 0;
    for (std::size_t i = start; i < length; ++i)
        if (path[i] == '\\' || path[i] == '/')
            start = i + 1;
    name = path + start;
    nameLength = length - start;
}

// The caption so far; one more path always fits before the cut.
class FileList {
public:
    // False once the caption is full and reading can stop.
    bool addPath(const char* path, std::size_t length) {
        if (length > maxPathLength)
            length = maxPathLength;
        const char* name;
        std::size_t nameLength;
        bareName(path, length, name, nameLength);
        if (mLength > 0)
            mText[mLength++] = ';';
        std::memcpy(mText + mLength, name, nameLength);
        mLength += nameLength;
        if (mLength <= static_cast<std::size_t>(maxCaptionLength))
            return true;
        std::memcpy(mText + 60, "...", 3);
        mLength = 63;
        return false;
    }

    String text() {
        mText[mLength] = '\0';
        return String(mText);
    }

private:
    char mText[maxCaptionLength + 1 + maxPathLength + 1];
    std::size_t mLength = 0;
};

void readAnsiNames(const unsigned char* bytes, std::size_t size, std::size_t at, FileList& list) {
    while (at < size) {
        const void* end = std::memchr(bytes + at, 0, size - at);
        if (!end)
            return;  // runs past the block
        const std::size_t length = static_cast<const unsigned char*>(end) - (bytes + at);
        if (length == 0 || !list.addPath(reinterpret_cast<const char*>(bytes + at), length))
            return;
        at += length + 1;
    }
}

void readWideNames(const unsigned char* bytes, std::size_t size, std::size_t at, WideToAnsi toAnsi,
                   FileList& list) {
    // Two code units per output byte at most matter: enough for a full path
    // in any code page, and the rest of a longer name is cut anyway.
    constexpr std::size_t maxUnits = 2 * maxPathLength + 2;
    std::uint16_t units[maxUnits];
    char path[maxPathLength];
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
        if (length == 0)
            return;
        const std::size_t converted =
            toAnsi(units, length < maxUnits ? length : maxUnits, path, sizeof path);
        if (!list.addPath(path, converted < sizeof path ? converted : sizeof path))
            return;
        at = end + 2;
    }
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
    FileList list;
    if (!bytes || size < dropHeaderSize)
        return list.text();
    const std::uint32_t listOffset = read32(bytes);
    if (listOffset < dropHeaderSize || listOffset >= size)
        return list.text();
    if (read32(bytes + wideOffset) != 0)
        readWideNames(bytes, size, listOffset, toAnsi ? toAnsi : asciiOnly, list);
    else
        readAnsiNames(bytes, size, listOffset, list);
    return list.text();
}
