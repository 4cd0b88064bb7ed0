// What every loader must do with arbitrary bytes: never read or allocate
// beyond them, never leak, and whatever it makes of them must store and
// load again, to the same bytes once registered names are settled.
#pragma once

#include "base/Archive.h"
#include "base/GlobalMemory.h"
#include "base/MemoryBlockTesting.h"
#include "base/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fuzzing {

inline void check(bool holds) {
    if (!holds)
        std::abort();
}

// The input in a block of its own, as a received transfer or a file would be.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : mBlock(memoryblock::allocate(memoryblock::moveable, size)) {
        GlobalLockGuard lock(mBlock.get());
        if (lock.data())
            std::memcpy(lock.data(), data, size);
    }
    MemoryHandle block() const { return mBlock.get(); }

private:
    GlobalMemory mBlock;
};

template <typename Thing>
std::string stored(Thing& thing) {
    MemoryStream stream;
    check(stream.create(MemoryStream::defaultGrowStep, true));
    Archive archive(stream, true);
    check(thing.serialize(archive));
    stream.close();
    GlobalLockGuard lock(stream.block());
    return stream.position() ? std::string(static_cast<const char*>(lock.data()), stream.position()) : std::string();
}

template <typename Thing>
bool loaded(Thing& thing, MemoryHandle block) {
    MemoryStream stream;
    stream.attach(block);
    Archive archive(stream, false);
    const bool whole = thing.serialize(archive);
    stream.close();
    return whole;
}

// Stores thing and loads the bytes into next, which must load whole.
template <typename Thing>
std::string storeAndReload(Thing& thing, Thing& next) {
    const std::string bytes = stored(thing);
    Input input(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    check(loaded(next, input.block()));
    return bytes;
}

// Loads the input into a Thing, then checks the memory it took and that
// storing and loading settle: the first round may cut registered names to
// 99 characters and renumber them, every later round gives the same bytes.
template <typename Thing>
void checkLoad(const std::uint8_t* data, std::size_t size) {
    const std::size_t before = memoryblock::testing::liveBytes();
    {
        Input input(data, size);
        memoryblock::testing::resetPeak();
        Thing first;
        loaded(first, input.block());
        // Every data block was checked against what was left of the input.
        check(memoryblock::testing::peakBytes() <= before + 2 * size);

        Thing second;
        Thing third;
        Thing fourth;
        storeAndReload(first, second);
        const std::string settled = storeAndReload(second, third);
        check(storeAndReload(third, fourth) == settled);
    }
    check(memoryblock::testing::liveBytes() == before);
}

}  // namespace fuzzing
