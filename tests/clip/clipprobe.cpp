// clipprobe capture-restore FORMAT STOP_FILE MAX_MS
// Waits until the clipboard offers FORMAT ("text", "files" or the name of a
// registered format), captures it with a snapshot, prints what it captured,
// empties the clipboard and restores the snapshot. Then it stays, serving
// the clipboard to other programs, until STOP_FILE exists or MAX_MS have
// passed: what a program put on the clipboard goes with it.
#include "base/String.h"
#include "clip/ClipSnapshot.h"
#include "clip/ClipboardTransfer.h"
#include "clip/SnapshotCaption.h"
#include "driver/Wait.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

UINT formatFor(const char* name) {
    if (std::strcmp(name, "text") == 0)
        return CF_TEXT;
    if (std::strcmp(name, "files") == 0)
        return CF_HDROP;
    return RegisterClipboardFormatA(name);
}

void printFormats(const ClipSnapshot& snapshot) {
    std::printf("formats");
    for (int i = 0; i < snapshot.count(); ++i) {
        const UINT format = snapshot.item(i)->format();
        char name[128] = {};
        if (GetClipboardFormatNameA(format, name, sizeof name) > 0)
            std::printf(" %s", name);
        else
            std::printf(" %u", format);
    }
    std::printf("\n");
}

bool fileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || std::strcmp(argv[1], "capture-restore") != 0)
        return 2;
    const UINT format = formatFor(argv[2]);
    const char* stopFile = argv[3];
    const DWORD maxMs = static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10));
    HWND window = CreateWindowA("STATIC", "clipprobe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    if (!waitUntil([format] { return IsClipboardFormatAvailable(format) != FALSE; }, 20000)) {
        std::printf("never offered\n");
        return 1;
    }
    ClipSnapshot snapshot;
    // Another program may have it open for a moment; capture itself never retries.
    waitUntil([&] {
        captureClipboard(window, snapshot);
        return !snapshot.isEmpty();
    }, 10000);
    const String caption = snapshotCaption(snapshot);
    printFormats(snapshot);
    std::printf("kind %d\ncaption %s\n", static_cast<int>(snapshot.contentKind()), caption.text());
    std::fflush(stdout);
    if (snapshot.isEmpty())
        return 1;

    if (!waitUntil([window] { return OpenClipboard(window) != FALSE; }, 10000))
        return 1;
    EmptyClipboard();
    CloseClipboard();
    pumpMessages(200);
    restoreClipboard(window, snapshot);
    std::printf("restored\n");
    std::fflush(stdout);

    waitUntil([stopFile] { return fileExists(stopFile); }, maxMs);
    DestroyWindow(window);
    return 0;
}
