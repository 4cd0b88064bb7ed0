#pragma once

class Archive;

// The program's one text type: an owned, NUL-terminated 8-bit ANSI buffer.
// No length or capacity is stored; every length is found by scanning, and
// every operation that replaces or lengthens the text builds a fresh
// exact-size buffer. Texts are short (names, captions, paths), so the
// simplicity is worth more than the speed.
//
// Null text arguments are taken as the empty text.
//
// Out of memory: an operation whose allocation fails leaves the previous text
// untouched. text() never returns null: a String that could not get even its
// first buffer points at a shared static empty text, which is never written
// to or freed, and is replaced by the next operation that succeeds.
class String {
public:
    String();
    String(const char* text);  // implicit on purpose: "abc" is a String
    String(const String& other);
    String(String&& other) noexcept;  // other is left empty
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;  // swaps the buffers

    // Never null; callers hand it straight to Win32 calls.
    const char* text() const { return mText; }
    int length() const;

    // These three build the new buffer before freeing the old one, so their
    // argument may point into this String's own text.
    void assign(const char* text);
    void append(const char* text);
    // Adds one backslash before name unless the text already ends with one.
    void appendPath(const char* name);
    // Cuts the text to length characters if it is at least that long.
    // A negative length is ignored.
    void truncate(int length);

    // Stores or loads the text: a count, then the characters without the
    // terminator. A load that fails (short or damaged input, no memory)
    // keeps the previous text; the archive tells which.
    bool serialize(Archive& archive);

    // Windows only, defined next to the other Win32 code.
    // String resource id of the program's module, at most 259 characters;
    // the text is kept when the resource is missing or empty.
    void loadString(int id);
    // The local computer's network name from the registry; empty on failure.
    void assignComputerName();
    // The name the user logged on with; empty on failure.
    void assignLogonName();

private:
    // A new malloc'd buffer holding the three texts one after the other, or
    // null when the heap is exhausted.
    static char* join(const char* first, const char* second = "",
                      const char* third = "");
    // Takes ownership of a malloc'd, terminated buffer (or null, only on the
    // way out) and frees the old one.
    void adopt(char* buffer);

    char* mText;
};
