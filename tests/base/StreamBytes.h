// Bytes in and out of archives for the stream and serializer tests: what a
// storing archive wrote, and a loading archive over given bytes.
#pragma once

#include "base/Archive.h"
#include "base/GlobalMemory.h"
#include "base/MemoryStream.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

// Every byte a storing archive got from store, as the stream's content.
template <typename Store>
std::string storedBytes(Store store) {
    MemoryStream stream;
    if (!stream.create(MemoryStream::defaultGrowStep, true))
        return "<no stream>";
    Archive archive(stream, true);
    store(archive);
    stream.close();
    if (!archive.ok())
        return "<failed>";
    GlobalLockGuard lock(stream.block());
    return std::string(static_cast<const char*>(lock.data()), stream.position());
}

// A loading archive over a private copy of bytes. An empty input gives a
// stream that is not open, as an attached empty block does.
class LoadingArchive {
public:
    explicit LoadingArchive(const std::string& bytes)
        : mBlock(memoryblock::allocate(memoryblock::moveable, bytes.size())) {
        {
            GlobalLockGuard lock(mBlock.get());
            if (lock.data())
                std::memcpy(lock.data(), bytes.data(), bytes.size());
        }
        mStream.attach(mBlock.get());
    }
    ~LoadingArchive() { mStream.close(); }

    Archive& get() { return mArchive; }
    MemoryStream& stream() { return mStream; }

private:
    GlobalMemory mBlock;
    MemoryStream mStream;
    Archive mArchive{mStream, false};
};

// A byte string written as numbers, for layouts spelled out byte by byte.
inline std::string byteString(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}
