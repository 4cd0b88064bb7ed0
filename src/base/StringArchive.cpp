// The stored form of a String, apart so that text alone needs no archive.
#include "base/Archive.h"
#include "base/String.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

bool String::serialize(Archive& archive) {
    if (archive.isStoring()) {
        const std::size_t length = std::strlen(mText);
        // A count is 32-bit; nothing longer is ever made, but a text must not
        // go out cut short.
        if (!Archive::fits32(length)) {
            archive.fail();
            return false;
        }
        archive.writeCount(static_cast<std::uint32_t>(length));
        archive.writeBytes(mText, static_cast<std::uint32_t>(length));
        return archive.ok();
    }
    const std::uint32_t length = archive.readCount(1);
    if (!archive.ok())
        return false;
    // length + 1 can only wrap where size_t is 32-bit, for a length no heap holds.
    const std::size_t bytes = static_cast<std::size_t>(length) + 1;
    char* buffer = bytes != 0 ? static_cast<char*>(std::malloc(bytes)) : nullptr;
    if (!buffer) {
        archive.fail();
        return false;
    }
    if (!archive.readBytes(buffer, length)) {
        std::free(buffer);
        return false;
    }
    buffer[length] = '\0';
    adopt(buffer);
    return true;
}
