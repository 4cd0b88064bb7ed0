// The byte streams everything the program stores or sends goes through.
#pragma once

#include <cstdint>

class Stream {
public:
    // What remaining() says when the stream cannot tell (a pipe, a mailslot).
    static constexpr std::uint64_t unknownRemaining = UINT64_MAX;

    Stream() = default;
    virtual ~Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // All or nothing: true only when every one of count bytes went out or
    // came in. A read that cannot be served whole fails; a memory stream then
    // has not moved, a file may have been read up to its end.
    virtual bool write(const void* bytes, std::uint32_t count) {
        (void)bytes;
        (void)count;
        return false;
    }
    virtual bool read(void* buffer, std::uint32_t count) {
        (void)buffer;
        (void)count;
        return false;
    }
    virtual void close() {}

    // Bytes a reader can still get. Loaders check every count and size
    // against it before they allocate, so damaged input cannot make them
    // allocate more than the input could hold.
    virtual std::uint64_t remaining() const { return 0; }

    bool isOpen() const { return mIsOpen; }

protected:
    bool mIsOpen = false;
};
