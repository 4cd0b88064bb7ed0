#include "base/String.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Stands in for a buffer when the heap could not supply one. Only ever read:
// adopt never frees it and truncate never writes to an empty text.
char sNoBuffer[1] = {'\0'};

const char* orEmpty(const char* text) { return text ? text : ""; }

}  // namespace

char* String::join(const char* first, const char* second, const char* third) {
    const std::size_t firstLength = std::strlen(first);
    const std::size_t secondLength = std::strlen(second);
    const std::size_t thirdLength = std::strlen(third);
    char* buffer = static_cast<char*>(
        std::malloc(firstLength + secondLength + thirdLength + 1));
    if (!buffer)
        return nullptr;
    std::memcpy(buffer, first, firstLength);
    std::memcpy(buffer + firstLength, second, secondLength);
    std::memcpy(buffer + firstLength + secondLength, third, thirdLength);
    buffer[firstLength + secondLength + thirdLength] = '\0';
    return buffer;
}

void String::adopt(char* buffer) {
    if (mText != sNoBuffer)
        std::free(mText);
    mText = buffer;
}

String::String() : String("") {}

String::String(const char* text) : mText(sNoBuffer) {
    if (char* buffer = join(orEmpty(text)))
        mText = buffer;
}

String::String(const String& other) : String(other.mText) {}

String::String(String&& other) noexcept : mText(other.mText) {
    other.mText = sNoBuffer;
}

String::~String() { adopt(nullptr); }

String& String::operator=(const String& other) {
    assign(other.mText);
    return *this;
}

String& String::operator=(String&& other) noexcept {
    std::swap(mText, other.mText);
    return *this;
}

int String::length() const { return static_cast<int>(std::strlen(mText)); }

// In all three the new buffer is complete before the old one is freed, which
// is what makes arguments pointing into our own text safe.

void String::assign(const char* text) {
    if (char* buffer = join(orEmpty(text)))
        adopt(buffer);
}

void String::append(const char* text) {
    if (char* buffer = join(mText, orEmpty(text)))
        adopt(buffer);
}

void String::appendPath(const char* name) {
    const std::size_t length = std::strlen(mText);
    const bool hasSeparator = length > 0 && mText[length - 1] == '\\';
    if (char* buffer = join(mText, hasSeparator ? "" : "\\", orEmpty(name)))
        adopt(buffer);
}

void String::truncate(int length) {
    if (length < 0)
        return;
    // Cut in place; the bytes after the new terminator are simply unused.
    if (std::strlen(mText) > static_cast<std::size_t>(length))
        mText[length] = '\0';
}
