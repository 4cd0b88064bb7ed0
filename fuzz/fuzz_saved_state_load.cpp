// Arbitrary bytes as a stack file.
#include "LoadChecks.h"

#include "clip/SavedState.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!loadcheck::problemLoading<SavedState>(data, size).empty())
        std::abort();
    return 0;
}
