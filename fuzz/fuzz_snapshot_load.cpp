// Arbitrary bytes as a serialized snapshot, as a fetch from another
// computer delivers them.
#include "LoadChecks.h"

#include "clip/ClipSnapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::checkLoad<ClipSnapshot>(data, size);
    return 0;
}
