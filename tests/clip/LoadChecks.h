// What every loader must do with arbitrary bytes, checked the same way by the
// fuzz targets and by the tests: never read, allocate or keep memory beyond
// what the input can justify, never leak, and whatever it makes of the input
// must store and load again, to the same bytes once registered names have
// settled.
//
// Memory is counted where the build lets it: global-memory blocks through
// the native stand-in, and the heap itself through the sanitizer's
// allocation hooks. Under Wine only the round trips are checked.
#pragma once

#include "base/Archive.h"
#include "base/GlobalMemory.h"
#include "base/MemoryStream.h"

#ifndef _WIN32
#include "base/MemoryBlockTesting.h"
#endif

#if defined(__has_include)
#if __has_include(<sanitizer/allocator_interface.h>) && (defined(__SANITIZE_ADDRESS__) || defined(__clang__))
#include <sanitizer/allocator_interface.h>
#define TOLVARAN_HEAP_HOOKS 1
#endif
#endif

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace loadcheck {

// Heap bytes a loader may hold per input byte (a one-byte String is a String,
// a malloc'd buffer and a slot), and beyond that whatever the limits allow
// for empty things.
constexpr std::size_t heapPerInputByte = 64;
constexpr std::size_t heapAllowance = 2 * 1024 * 1024;

#ifdef TOLVARAN_HEAP_HOOKS
// Live and peak heap bytes of the whole process while a check runs.
class HeapCounter {
public:
    static HeapCounter& instance() {
        static HeapCounter counter;
        return counter;
    }
    void startPeak() { mPeak = mLive.load(); }
    std::size_t live() const { return mLive.load(); }
    std::size_t peak() const { return mPeak.load(); }

private:
    HeapCounter() { __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree); }
    static void onMalloc(const volatile void* pointer, std::size_t size) {
        HeapCounter& self = instance();
        (void)pointer;
        const std::size_t now = self.mLive += size;
        std::size_t seen = self.mPeak.load();
        while (now > seen && !self.mPeak.compare_exchange_weak(seen, now)) {
        }
    }
    static void onFree(const volatile void* pointer) {
        if (pointer)
            instance().mLive -= __sanitizer_get_allocated_size(const_cast<const void*>(pointer));
    }
    std::atomic<std::size_t> mLive{0};
    std::atomic<std::size_t> mPeak{0};
};
#endif

// The input in a block of its own, as a received transfer or a file would be.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : mBlock(memoryblock::allocate(memoryblock::moveable, size)) {
        GlobalLockGuard lock(mBlock.get());
        if (lock.data())
            std::memcpy(lock.data(), data, size);
    }
    MemoryHandle block() const { return mBlock.get(); }

private:
    GlobalMemory mBlock;
};

template <typename Thing>
bool stored(Thing& thing, std::string& bytes) {
    MemoryStream stream;
    if (!stream.create(MemoryStream::defaultGrowStep, true))
        return false;
    Archive archive(stream, true);
    if (!thing.serialize(archive))
        return false;
    stream.close();
    GlobalLockGuard lock(stream.block());
    bytes = stream.position() ? std::string(static_cast<const char*>(lock.data()), stream.position()) : std::string();
    return true;
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

// Stores thing and loads the bytes into next; "" or what went wrong.
template <typename Thing>
std::string storeAndReload(Thing& thing, Thing& next, std::string& bytes) {
    if (!stored(thing, bytes))
        return "what loaded does not store";
    Input input(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (!loaded(next, input.block()))
        return "what loaded does not load again whole";
    return "";
}

// Loads the input into a Thing and checks it: "" when every rule holds,
// else the first rule broken.
template <typename Thing>
std::string problemLoading(const std::uint8_t* data, std::size_t size) {
#ifndef _WIN32
    const std::size_t blocksBefore = memoryblock::testing::liveBytes();
#endif
#ifdef TOLVARAN_HEAP_HOOKS
    HeapCounter& heap = HeapCounter::instance();
    const std::size_t heapBefore = heap.live();
#endif
    std::string problem;
    {
        Input input(data, size);
#ifndef _WIN32
        memoryblock::testing::resetPeak();
#endif
#ifdef TOLVARAN_HEAP_HOOKS
        heap.startPeak();
#endif
        Thing first;
        loaded(first, input.block());
#ifndef _WIN32
        // Every data block was checked against what was left of the input.
        if (memoryblock::testing::peakBytes() > blocksBefore + 2 * size)
            problem = "blocks beyond the input";
#endif
#ifdef TOLVARAN_HEAP_HOOKS
        if (problem.empty() && heap.peak() > heapBefore + heapAllowance + heapPerInputByte * size)
            problem = "heap beyond what the input justifies";
#endif
        // The first round may cut registered names to 99 characters and
        // renumber them; every later round gives the same bytes.
        Thing second;
        Thing third;
        Thing fourth;
        std::string once;
        std::string settled;
        std::string again;
        if (problem.empty())
            problem = storeAndReload(first, second, once);
        if (problem.empty())
            problem = storeAndReload(second, third, settled);
        if (problem.empty())
            problem = storeAndReload(third, fourth, again);
        if (problem.empty() && again != settled)
            problem = "storing and loading does not settle";
    }
#ifndef _WIN32
    if (problem.empty() && memoryblock::testing::liveBytes() != blocksBefore)
        problem = "blocks leaked";
#endif
    return problem;
}

}  // namespace loadcheck
