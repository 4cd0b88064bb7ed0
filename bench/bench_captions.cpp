// The longest caption scans: a block of blanks without a 0 byte, and a drop
// list of empty names, both read to their end, against memchr over the same
// bytes.
#include "clip/Captions.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t blockSize = 64 << 20;

const std::vector<unsigned char>& blanks() {
    static const std::vector<unsigned char> block(blockSize, ' ');
    return block;
}

// A DROPFILES header and then "\\" names, which add nothing to a caption.
const std::vector<unsigned char>& emptyNames() {
    static const std::vector<unsigned char> block = [] {
        std::vector<unsigned char> bytes(blockSize);
        bytes[0] = 20;
        for (std::size_t i = 20; i + 1 < bytes.size(); i += 2) {
            bytes[i] = '\\';
            bytes[i + 1] = 0;
        }
        return bytes;
    }();
    return block;
}

void textOfBlanks(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(textCaption(blanks().data(), blanks().size()));
    state.SetBytesProcessed(static_cast<long long>(state.iterations() * blockSize));
}

void filesOfEmptyNames(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(fileCaption(emptyNames().data(), emptyNames().size()));
    state.SetBytesProcessed(static_cast<long long>(state.iterations() * blockSize));
}

void memchrBaseline(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(blanks().data(), 0, blanks().size()));
    state.SetBytesProcessed(static_cast<long long>(state.iterations() * blockSize));
}

}  // namespace

BENCHMARK(textOfBlanks)->Unit(benchmark::kMillisecond);
BENCHMARK(filesOfEmptyNames)->Unit(benchmark::kMillisecond);
BENCHMARK(memchrBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
