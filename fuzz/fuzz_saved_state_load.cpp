// Arbitrary bytes as a stack file.
#include "LoadChecks.h"

#include "clip/SavedState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::checkLoad<SavedState>(data, size);
    return 0;
}
