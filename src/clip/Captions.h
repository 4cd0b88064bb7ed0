// The one-line captions of clipboard content, built from the bytes of one
// format's block. No Windows headers, so the rules run and are tested
// anywhere.
//
// Blocks come from other programs and other computers: every read stays
// inside [bytes, bytes + size), whatever the block claims. A null bytes
// pointer is taken as an empty block.
#pragma once

#include "base/String.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Longest caption in characters; callers copy captions into 64-byte fields.
constexpr int maxCaptionLength = 63;

// 8-bit text up to its first 0 byte, or up to the block's end when it has
// none. Every run of bytes up to 32 (blanks, line breaks, control characters)
// becomes one space, one at the very end is dropped, and at most 63
// characters are kept; a blank run after the 62nd character ends the caption.
String textCaption(const unsigned char* bytes, std::size_t size);

// The same rule over UTF-16 text (a CF_UNICODETEXT block, little-endian) up
// to its first 0 unit or the block's end, so text outside the ANSI code
// page reads as written. At most 63 code units, like the 64-unit fields it
// is copied into; a surrogate pair is never cut in two.
std::u16string unicodeTextCaption(const unsigned char* bytes, std::size_t size);

struct PictureSize {
    std::int32_t width;
    std::int32_t height;  // negative for a top-down bitmap
    std::int32_t bitsPerPixel;  // bit count times planes
};

// Reads the size of a device-independent bitmap from its core (12-byte) or
// information (40-byte) header. False for any other header size and for a
// block shorter than the header it claims.
bool pictureSize(const unsigned char* bytes, std::size_t size, PictureSize& out);

// Reads the size of a PNG picture from its header chunk (IHDR), which the
// format puts right after the signature: width, height, and bit depth times
// the channels of its colour type. False for a block too short for it, a
// missing signature or chunk, and values the format does not allow.
bool pngSize(const unsigned char* bytes, std::size_t size, PictureSize& out);

// "640 x 480 (24 bit)" from sizeFormat "%d x %d (%d bit)": width, height and
// depth in that order (withNumbers).
String pictureSizeText(const PictureSize& picture, const char* sizeFormat);

// Writes up to outSize 8-bit bytes for a UTF-16 file name of length code
// units, as the system's code page would, and returns how many it wrote.
using WideToAnsi = std::size_t (*)(const std::uint16_t* name, std::size_t length, char* out,
                                   std::size_t outSize);
// Keeps 7-bit characters and writes '?' for every other code unit.
std::size_t asciiOnly(const std::uint16_t* name, std::size_t length, char* out, std::size_t outSize);

// The bare names (name and extension) of the files of a drop list (a
// DROPFILES block), joined with ';'. At 64 characters or more it is cut to
// 60 and "..." is added. The list ends at its first empty name or at the
// block's end; a name that runs past the end is not listed. A block too short
// for the header, or whose list starts outside it, gives an empty caption.
// Like the system's own drop-list reader, a path is cut to 259 characters
// before its name is taken.
String fileCaption(const unsigned char* bytes, std::size_t size, WideToAnsi toAnsi = asciiOnly);

// Writes up to outSize UTF-16 code units for an 8-bit file name of length
// bytes, as the system's code page reads it, and returns how many it wrote.
using AnsiToWide = std::size_t (*)(const char* name, std::size_t length, char16_t* out, std::size_t outSize);
// Keeps 7-bit characters and writes '?' for every other byte.
std::size_t asciiWide(const char* name, std::size_t length, char16_t* out, std::size_t outSize);

// The same caption with the names as they were written: UTF-16 names as they
// are, 8-bit ones through toWide. At most 63 code units; a surrogate pair is
// never cut in two.
std::u16string unicodeFileCaption(const unsigned char* bytes, std::size_t size, AnsiToWide toWide = asciiWide);
