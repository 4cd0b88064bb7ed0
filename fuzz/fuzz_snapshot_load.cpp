// Arbitrary bytes as a serialized snapshot, as a fetch from another
// computer delivers them.
#include "LoadChecks.h"

#include "clip/ClipSnapshot.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!loadcheck::problemLoading<ClipSnapshot>(data, size).empty())
        std::abort();
    return 0;
}
