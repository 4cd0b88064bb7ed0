#include "driver/GdiCount.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace {

// One entry of the table the process environment block points at (64-bit layout).
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;  // 0: free slot
    std::uint8_t flags;
    std::uint64_t user;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entry layout");

const int gdiTableEntries = 0x10000;

int countSharedTable() {
#ifdef _WIN64
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    const char* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
    if (!table)
        return -1;
    int live = 0;
    for (int i = 0; i < gdiTableEntries; ++i)
        live += table[i].type != 0;
    return live;
#else
    return -1;
#endif
}

}  // namespace

int liveGdiObjects() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(count);
    return countSharedTable();
}
