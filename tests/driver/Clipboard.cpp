#include "driver/Clipboard.h"

#include "driver/Wait.h"

#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <sstream>

bool openClipboardPatiently(HWND owner, DWORD timeoutMs) {
    return waitUntil([owner] { return OpenClipboard(owner) != FALSE; }, timeoutMs);
}

bool putClipboardText(HWND owner, const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!openClipboardPatiently(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!taken)
        GlobalFree(block);
    CloseClipboard();
    return taken;
}

std::string clipboardText() {
    std::string text;
    if (!openClipboardPatiently(nullptr))
        return text;
    if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        const char* data = static_cast<const char*>(GlobalLock(block));
        if (data) {
            text.assign(data, strnlen(data, GlobalSize(block)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

namespace {

// Formats whose handle is a GDI object, not a memory block.
bool isGdiHandle(UINT format) {
    return format == CF_BITMAP || format == CF_PALETTE || format == CF_ENHMETAFILE || format == CF_DSPBITMAP ||
           format == CF_DSPENHMETAFILE || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
}

HGLOBAL blockOf(const ClipboardFormat& entry) {
    if (entry.data == ClipboardFormat::Data::Null)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, entry.bytes.size());
    if (block && !entry.bytes.empty()) {
        std::memcpy(GlobalLock(block), entry.bytes.data(), entry.bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

}  // namespace

bool putClipboard(HWND owner, const std::vector<ClipboardFormat>& formats) {
    if (!openClipboardPatiently(owner))
        return false;
    EmptyClipboard();
    bool allTaken = true;
    for (const ClipboardFormat& entry : formats) {
        HGLOBAL block = blockOf(entry);
        if (entry.data != ClipboardFormat::Data::Null && !block) {
            allTaken = false;
            continue;
        }
        if (!SetClipboardData(entry.format, block) && block) {
            GlobalFree(block);
            allTaken = false;
        }
    }
    CloseClipboard();
    return allTaken;
}

std::vector<ClipboardEntry> readClipboard(HWND owner) {
    std::vector<ClipboardEntry> entries;
    if (!openClipboardPatiently(owner))
        return entries;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        ClipboardEntry entry{format, false, {}};
        HANDLE handle = GetClipboardData(format);
        entry.hasData = handle != nullptr;
        if (handle && !isGdiHandle(format)) {
            if (const void* data = GlobalLock(handle)) {
                entry.bytes.assign(static_cast<const char*>(data), GlobalSize(handle));
                GlobalUnlock(handle);
            }
        }
        entries.push_back(entry);
    }
    CloseClipboard();
    return entries;
}

UINT registeredFormat(const char* name) {
    return RegisterClipboardFormatA(name);
}

std::string dibBytes(int width, int height, int bitsPerPixel) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    const int absHeight = height < 0 ? -height : height;
    const size_t stride = ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
    header.biSizeImage = static_cast<DWORD>(stride * absHeight);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.resize(sizeof header + header.biSizeImage);
    for (size_t i = sizeof header; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7) & 0xFF);
    return bytes;
}

std::string dropFilesBytes(const std::vector<std::string>& paths, bool wide) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = wide;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    const size_t unit = wide ? 2 : 1;
    for (const std::string& path : paths) {
        for (char c : path) {
            bytes += c;
            if (wide)
                bytes += '\0';
        }
        bytes.append(unit, '\0');
    }
    bytes.append(unit, '\0');
    return bytes;
}

bool saveEntries(const std::string& path, const std::vector<ClipboardEntry>& entries) {
    std::ofstream out(path, std::ios::binary);
    for (const ClipboardEntry& entry : entries) {
        out << entry.format << ' ' << entry.hasData << ' ';
        static const char digits[] = "0123456789abcdef";
        for (unsigned char c : entry.bytes)
            out << digits[c >> 4] << digits[c & 15];
        out << "\n";
    }
    return static_cast<bool>(out);
}

std::vector<ClipboardEntry> loadEntries(const std::string& path) {
    std::vector<ClipboardEntry> entries;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ClipboardEntry entry{0, false, {}};
        std::string hex;
        fields >> entry.format >> entry.hasData >> hex;
        auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
        entry.bytes.reserve(hex.size() / 2);
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            entry.bytes += static_cast<char>(nibble(hex[i]) << 4 | nibble(hex[i + 1]));
        entries.push_back(entry);
    }
    return entries;
}
