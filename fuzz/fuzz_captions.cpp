// Arbitrary bytes as a text (8-bit and UTF-16), a bitmap, a PNG header and a
// drop-list block: every caption
// must stay within the block and within its own length limit.
#include "clip/Captions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(textCaption(data, size).length() <= maxCaptionLength);
    check(fileCaption(data, size).length() <= maxCaptionLength);
    PictureSize found;
    if (pictureSize(data, size, found)) {
        // The longest: three 11-character numbers in the format.
        const String picture = pictureSizeText(found, "%d x %d (%d bit)");
        check(picture.length() > 0 && picture.length() <= 43);
    }
    check(unicodeTextCaption(data, size).size() <= static_cast<std::size_t>(maxCaptionLength));
    check(unicodeFileCaption(data, size).size() <= static_cast<std::size_t>(maxCaptionLength));
    PictureSize png{};
    if (pngSize(data, size, png))
        check(png.width > 0 && png.height > 0 && png.bitsPerPixel >= 1 && png.bitsPerPixel <= 64);
    return 0;
}
