#include "ClipTestSupport.h"

#include "driver/Wait.h"

#include <cstring>

namespace {

DWORD processOf(HWND window) {
    DWORD id = 0;
    if (window)
        GetWindowThreadProcessId(window, &id);
    return id;
}

}  // namespace

ClipboardWindow::ClipboardWindow()
    : mWindow(CreateWindowA("STATIC", "clip test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}

ClipboardWindow::~ClipboardWindow() {
    DestroyWindow(mWindow);
}

GlobalMemory blockOf(const std::string& bytes, UINT flags) {
    GlobalMemory block(GlobalAlloc(flags, bytes.size()));
    if (block && !bytes.empty()) {
        GlobalLockGuard lock(block.get());
        std::memcpy(lock.data(), bytes.data(), bytes.size());
    }
    return block;
}

std::string bytesOf(HGLOBAL block) {
    GlobalLockGuard lock(block);
    if (!lock.data())
        return {};
    return std::string(static_cast<const char*>(lock.data()), lock.size());
}

bool isLiveBlock(HGLOBAL block) {
    return GlobalFlags(block) != GMEM_INVALID_HANDLE;
}

bool clipboardSettled() {
    return waitUntil([] { return GetOpenClipboardWindow() == nullptr; });
}

bool OtherProgram::put(const std::string& items) {
    // It stays until someone takes the clipboard over; the test ends it anyway.
    if (!mProcess.start("put 60000 " + items))
        return false;
    return waitUntil([this] {
        return processOf(GetClipboardOwner()) == mProcess.id() && GetOpenClipboardWindow() == nullptr;
    }, 15000);
}

bool OtherProgram::hold() {
    if (!mProcess.start("hold 60000"))
        return false;
    return waitUntil([this] { return processOf(GetOpenClipboardWindow()) == mProcess.id(); }, 15000);
}

std::vector<ClipboardEntry> readBack() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "tv-clip-readback.txt";
    DeleteFileA(path.c_str());
    AppProcess reader("tvclip.exe");
    DWORD code = 1;
    if (!reader.start("dump \"" + path + "\"") || !reader.waitExit(15000, &code) || code != 0)
        return {};
    std::vector<ClipboardEntry> entries = loadEntries(path);
    DeleteFileA(path.c_str());
    return entries;
}

const ClipboardEntry* findEntry(const std::vector<ClipboardEntry>& entries, UINT format) {
    for (const ClipboardEntry& entry : entries)
        if (entry.format == format)
            return &entry;
    return nullptr;
}
