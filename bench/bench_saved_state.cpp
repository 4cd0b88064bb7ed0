// Saving and loading a state of 15 static entries of 4 MiB each through the
// archive and the file stream, against writing and reading the same bytes
// with plain file calls, one call per block. Times itself and prints the
// ratios; run it by hand, it asserts nothing.
#include "base/Archive.h"
#include "clip/ClipFormats.h"
#include "clip/FileStream.h"
#include "clip/SavedState.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int rounds = 9;
constexpr int entries = 15;
constexpr SIZE_T entryBytes = 4u << 20;

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Step>
double timed(Step step) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    step();
    QueryPerformanceCounter(&end);
    return seconds(start, end);
}

// The fastest round of each of two steps, taken in turn so that both see the
// file system in the same state; tidy (untimed) runs after every pair.
template <typename First, typename Second, typename Tidy>
void race(First first, Second second, Tidy tidy, double& firstBest, double& secondBest) {
    firstBest = secondBest = 1e30;
    for (int i = 0; i < rounds; ++i) {
        firstBest = std::min(firstBest, timed(first));
        secondBest = std::min(secondBest, timed(second));
        tidy();
    }
}

void removeFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

HGLOBAL patternBlock(int seed) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, entryBytes);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    for (SIZE_T i = 0; i < entryBytes; ++i)
        bytes[i] = static_cast<unsigned char>(i * 31 + static_cast<SIZE_T>(seed));
    GlobalUnlock(block);
    return block;
}

}  // namespace

int main() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string recordPath = std::string(folder) + "tolvaran-bench.Tolvaran";
    const std::string plainPath = std::string(folder) + "tolvaran-bench.plain";

    // The live state: pinned snapshots the saved state only borrows.
    std::vector<ClipSnapshot*> pinned;
    for (int i = 0; i < entries; ++i) {
        auto* snapshot = new ClipSnapshot;
        snapshot->append(ClipFormatItem::adopt(clipformat::dib, GlobalMemory(patternBlock(i))));
        pinned.push_back(snapshot);
    }
    SavedState live;
    for (ClipSnapshot* snapshot : pinned)
        live.staticEntries.borrow(*snapshot);
    live.buttons.addButton()->wasActive = true;
    live.userName.assign("bench");

    bool ok = true;
    const auto save = [&] {
        FileStream file;
        ok &= file.open(recordPath.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN);
        Archive archive(file, true);
        ok &= storeSavedState(archive, live);
    };
    const auto plainWrite = [&] {
        HANDLE file = CreateFileA(plainPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                                  nullptr);
        for (ClipSnapshot* snapshot : pinned) {
            HGLOBAL block = snapshot->item(0)->block();
            DWORD written = 0;
            ok &= WriteFile(file, GlobalLock(block), static_cast<DWORD>(GlobalSize(block)), &written, nullptr) != 0;
            GlobalUnlock(block);
        }
        CloseHandle(file);
    };
    double saveTime, plainWriteTime;
    race(save, plainWrite,
         [&] {
             removeFile(recordPath);
             removeFile(plainPath);
         },
         saveTime, plainWriteTime);
    save();
    plainWrite();

    SavedState loaded;
    std::vector<HGLOBAL> read;
    const auto load = [&] {
        FileStream file;
        ok &= file.open(recordPath.c_str(), GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN);
        Archive archive(file, false);
        ok &= loadSavedState(archive, loaded);
    };
    const auto plainRead = [&] {
        HANDLE file = CreateFileA(plainPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN,
                                  nullptr);
        for (int i = 0; i < entries; ++i) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, entryBytes);
            DWORD got = 0;
            ok &= ReadFile(file, GlobalLock(block), static_cast<DWORD>(entryBytes), &got, nullptr) != 0;
            GlobalUnlock(block);
            read.push_back(block);
        }
        CloseHandle(file);
    };
    double loadTime, plainReadTime;
    race(load, plainRead,
         [&] {
             ok &= loaded.staticEntries.count() == entries;
             loaded.clear();
             for (HGLOBAL block : read)
                 GlobalFree(block);
             read.clear();
         },
         loadTime, plainReadTime);

    WIN32_FILE_ATTRIBUTE_DATA record{};
    GetFileAttributesExA(recordPath.c_str(), GetFileExInfoStandard, &record);
    std::printf("%d entries of %u bytes; record file %lu bytes%s\n", entries, static_cast<unsigned>(entryBytes),
                static_cast<unsigned long>(record.nFileSizeLow), ok ? "" : " (SOMETHING FAILED)");
    std::printf("save:        %8.1f ms    plain write: %8.1f ms    ratio %.2f\n", saveTime * 1000,
                plainWriteTime * 1000, saveTime / plainWriteTime);
    std::printf("load:        %8.1f ms    plain read:  %8.1f ms    ratio %.2f\n", loadTime * 1000,
                plainReadTime * 1000, loadTime / plainReadTime);
    std::printf("(fastest of %d rounds each)\n", rounds);

    live.clear();
    for (ClipSnapshot* snapshot : pinned)
        delete snapshot;
    removeFile(recordPath);
    removeFile(plainPath);
    return ok ? 0 : 1;
}
