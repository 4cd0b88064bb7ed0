// A stream and a direction: every persistent class has one serialize
// operation that writes when the archive stores and reads when it loads,
// field by field in the same order, so each layout is written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Stream;

// Integers go out little-endian whatever the machine. Counts use one byte
// below 255, else the byte 0xFF and four bytes.
//
// Failure is sticky: from the first write or read that fails (or the first
// damage a serializer reports with fail()) on, every call does nothing and
// reads deliver nothing, so a serializer can run to its end and check ok()
// once. Loaders check every count and size against remaining() before they
// allocate for it.
class Archive {
public:
    Archive(Stream& stream, bool storing) : mStream(stream), mStoring(storing) {}
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    Stream& stream() const { return mStream; }
    bool isStoring() const { return mStoring; }
    bool isLoading() const { return !mStoring; }

    // Whether a length fits the layouts' 32-bit counts and sizes.
    static bool fits32(std::uint64_t length) { return length <= UINT32_MAX; }

    bool ok() const { return mOk; }
    void fail() { mOk = false; }
    // Loading: the input held more than the loader keeps (beyond a limit on
    // the number of things), read past rather than failed. The input is
    // then not to be taken for whole.
    void markCut() { mCut = true; }
    bool wasCut() const { return mCut; }
    // What the stream still holds for reading; 0 once failed.
    std::uint64_t remaining() const;
    // Whether count things of at least minBytes each can still be read;
    // fails the archive when not.
    bool holds(std::uint64_t count, std::uint32_t minBytes);

    // One way.
    void writeBytes(const void* bytes, std::uint32_t count);
    bool readBytes(void* buffer, std::uint32_t count);
    void writeU32(std::uint32_t value);
    std::uint32_t readU32();  // 0 on failure
    void writeCount(std::uint32_t count);
    // A count of things each at least minBytes long in the stream; 0, and
    // the archive failed, when the stream cannot hold that many. 0 for
    // minBytes takes any count.
    std::uint32_t readCount(std::uint32_t minBytes = 1);

    // Both ways: written when storing, read when loading. A failed read
    // leaves the value as it was.
    void field(std::uint32_t& value);
    // One byte, 1 or 0; any other byte reads as true.
    void field(bool& value);
    void count(std::uint32_t& count, std::uint32_t minBytes = 1);

    // Loading: whether a name may be taken in. Names of registered clipboard
    // formats go into a table the whole session shares, and which holds
    // only some thousands: one load takes at most maxDistinctNames different
    // ones (letter case counts); the caller drops the rest and marks the
    // archive cut.
    static constexpr std::size_t maxDistinctNames = 256;
    bool admitName(const char* name);

private:
    Stream& mStream;
    bool mStoring;
    bool mOk = true;
    bool mCut = false;
    std::vector<std::string> mNames;
};
