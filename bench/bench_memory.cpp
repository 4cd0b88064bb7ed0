// Memory of big copies: fifteen 4096 x 3200 pictures, then two of
// 7680 x 4320, then three of 8192 x 8192, each put on the clipboard and
// taken in the way a clipboard change is, through the tray and its history.
// Prints, per copy, what the program keeps against its budget and what the
// process holds (its committed memory); at the end the most of each. Run it by hand, it asserts
// nothing.
#include "DibOnClipboard.h"
#include "base/AppInstance.h"
#include "clip/ClipStack.h"
#include "clip/MemoryBudget.h"
#include "tray/Tray.h"
#include "tray/TrayButtons.h"
#include "ui/Dialog.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr double mebibyte = 1024.0 * 1024.0;

struct Picture {
    int width;
    int height;
};

// A 32-bit bitmap whose pixels differ from copy to copy, so none is taken
// for a repeat of the one before.
bool putPicture(const Picture& picture, int copy) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biSizeImage = static_cast<DWORD>(picture.width) * static_cast<DWORD>(picture.height) * 4;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof header + header.biSizeImage);
    if (!block)
        return false;
    auto* bytes = static_cast<char*>(GlobalLock(block));
    std::memcpy(bytes, &header, sizeof header);
    for (DWORD i = 0; i < header.biSizeImage; i += 4096)
        bytes[sizeof header + i] = static_cast<char>(copy + (i >> 12));
    GlobalUnlock(block);
    return putDibBlock(mainWindow, block);
}

PROCESS_MEMORY_COUNTERS_EX processMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters;
}

int withoutData(const ClipStack& stack) {
    int missing = 0;
    for (int i = 0; i < stack.count(); ++i)
        for (int k = 0; k < stack.entry(i)->count(); ++k)
            missing += stack.entry(i)->item(k)->hasData() ? 0 : 1;
    return missing;
}

const char* resultName(ClipboardResult result) {
    switch (result) {
    case ClipboardResult::Done:
        return "kept";
    case ClipboardResult::Busy:
        return "busy";
    default:
        return "turned down";
    }
}

}  // namespace

int main() {
    setAppInstance(GetModuleHandleA(nullptr));
    mainWindow = CreateWindowA("STATIC", "bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    TrayButtons buttons;
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    Tray tray(mainWindow, buttons);
    ClipboardResult result = ClipboardResult::Done;
    if (!tray.addButton(result)) {
        std::printf("no tray button\n");
        return 1;
    }
    std::vector<Picture> copies(15, Picture{4096, 3200});
    copies.insert(copies.end(), 2, Picture{7680, 4320});
    copies.insert(copies.end(), 3, Picture{8192, 8192});

    std::printf("budget %.0f MB\n", memorybudget::snapshots / mebibyte);
    std::printf("copy  picture      offered MB  result       history  kept MB  process MB  no data\n");
    double mostKept = 0;
    double mostProcess = 0;
    for (std::size_t k = 0; k < copies.size(); ++k) {
        const Picture& picture = copies[k];
        if (!putPicture(picture, static_cast<int>(k))) {
            std::printf("%4zu  could not put %dx%d on the clipboard\n", k + 1, picture.width, picture.height);
            continue;
        }
        std::uint64_t offered = 0;
        result = tray.takeChange(history, statics, offered);
        const double kept = static_cast<double>(buttons.dataSize() + history.dataSize()) / mebibyte;
        const double processBytes = static_cast<double>(processMemory().PagefileUsage) / mebibyte;
        mostKept = std::max(mostKept, kept);
        mostProcess = std::max(mostProcess, processBytes);
        std::printf("%4zu  %4dx%-4d  %10.1f  %-11s  %7d  %7.1f  %10.1f  %7d\n", k + 1, picture.width,
                    picture.height, static_cast<double>(offered) / mebibyte, resultName(result), history.count(),
                    kept, processBytes, withoutData(history));
    }
    std::printf("most kept: %.1f MB of %.0f MB; process after a copy: at most %.1f MB, at its peak %.1f MB\n",
                mostKept, memorybudget::snapshots / mebibyte, mostProcess,
                static_cast<double>(processMemory().PeakPagefileUsage) / mebibyte);
    DestroyWindow(mainWindow);
    return 0;
}
