// Capture plus restore of a 64 MB CF_DIB, against one plain memcpy of the
// same bytes in the same process. Times itself (no benchmark library for
// MinGW) and prints the ratio; run it by hand, it asserts nothing.
#include "DibOnClipboard.h"
#include "clip/ClipSnapshot.h"
#include "clip/ClipboardTransfer.h"
#include "ui/Dialog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int rounds = 5;
constexpr LONG side = 4096;  // 4096 x 4096 x 32 bit: 64 MiB of pixels

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Step>
double fastest(Step step) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        step();
        QueryPerformanceCounter(&end);
        best = std::min(best, seconds(start, end));
    }
    return best;
}

bool putPicture(const std::vector<char>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return putDibBlock(mainWindow, block);
}

}  // namespace

int main() {
    mainWindow = CreateWindowA("STATIC", "bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = side;
    header.biHeight = side;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biSizeImage = static_cast<DWORD>(side * side * 4);
    std::vector<char> picture(sizeof header + header.biSizeImage);
    std::memcpy(picture.data(), &header, sizeof header);
    for (size_t i = sizeof header; i < picture.size(); i += 4096)
        picture[i] = static_cast<char>(i >> 12);
    if (!putPicture(picture)) {
        std::printf("could not put the picture on the clipboard\n");
        return 1;
    }

    ClipSnapshot snapshot;
    const double snapshotTime = fastest([&snapshot] {
        captureClipboard(mainWindow, snapshot);
        restoreClipboard(mainWindow, snapshot);
    });
    size_t captured = 0;
    for (int i = 0; i < snapshot.count(); ++i)
        if (HGLOBAL block = snapshot.item(i)->block())
            captured += GlobalSize(block);

    std::vector<char> target(picture.size());
    const double copyTime = fastest([&] {
        std::memcpy(target.data(), picture.data(), picture.size());
        // Keeps the copy from being optimised away.
        picture[sizeof header] = static_cast<char>(target[picture.size() - 1] + 1);
    });

    std::printf("picture: %zu bytes; captured %d formats, %zu bytes\n", picture.size(), snapshot.count(),
                captured);
    std::printf("capture + restore: %.1f ms (fastest of %d)\n", snapshotTime * 1000, rounds);
    std::printf("memcpy:            %.1f ms (fastest of %d)\n", copyTime * 1000, rounds);
    std::printf("ratio: %.1f\n", snapshotTime / copyTime);
    DestroyWindow(mainWindow);
    return 0;
}
