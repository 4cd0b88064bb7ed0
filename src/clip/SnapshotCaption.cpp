#include "base/AppInstance.h"
#include "base/GlobalMemory.h"
#include "base/String.h"
#include "clip/Captions.h"
#include "clip/ClipSnapshot.h"
#include "clip/SnapshotCaption.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 captions pass to the wide calls as they are");

namespace {

// File names as the system's drop-list reader gives them to ANSI programs.
std::size_t systemCodePage(const std::uint16_t* name, std::size_t length, char* out, std::size_t outSize) {
    const auto* wide = reinterpret_cast<const wchar_t*>(name);
    const int units = static_cast<int>(length);
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return 0;
    if (static_cast<std::size_t>(needed) <= outSize)
        return static_cast<std::size_t>(
            WideCharToMultiByte(CP_ACP, 0, wide, units, out, static_cast<int>(outSize), nullptr, nullptr));
    // The system refuses a buffer that is too small: convert whole, keep the start.
    std::vector<char> whole(static_cast<std::size_t>(needed));
    const int written = WideCharToMultiByte(CP_ACP, 0, wide, units, whole.data(), needed, nullptr, nullptr);
    const std::size_t kept = written > 0 && static_cast<std::size_t>(written) < outSize
                                 ? static_cast<std::size_t>(written)
                                 : outSize;
    std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept), out);
    return kept;
}

// 8-bit file names as the system's code page reads them.
std::size_t fromSystemCodePage(const char* name, std::size_t length, char16_t* out, std::size_t outSize) {
    if (length == 0 || outSize == 0)
        return 0;
    std::vector<wchar_t> wide(length);
    const int units = MultiByteToWideChar(CP_ACP, 0, name, static_cast<int>(length), wide.data(),
                                          static_cast<int>(length));
    const std::size_t kept = units > 0 ? std::min(static_cast<std::size_t>(units), outSize) : 0;
    std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(kept), out);
    return kept;
}

std::wstring wideFileCaption(const ClipFormatItem& item) {
    GlobalLockGuard lock(item.block());
    const std::u16string caption =
        unicodeFileCaption(static_cast<const unsigned char*>(lock.data()), lock.size(), fromSystemCodePage);
    return std::wstring(caption.begin(), caption.end());
}

// The size of the deciding picture item, a bitmap or a PNG block.
bool sizeOfPicture(const ClipFormatItem& item, PictureSize& picture) {
    GlobalLockGuard lock(item.block());
    const auto* bytes = static_cast<const unsigned char*>(lock.data());
    return item.format() == clipformat::dib ? pictureSize(bytes, lock.size(), picture)
                                            : pngSize(bytes, lock.size(), picture);
}

std::wstring converted(const char* text, UINT codePage) {
    const int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 1)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], units);
    wide.resize(static_cast<std::size_t>(units - 1));
    return wide;
}

std::string utf8(const std::wstring& wide) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return std::string();
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &text[0], bytes, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(bytes - 1));
    return text;
}

// A string of the resources in the user interface's language, whatever the
// ANSI code page can show; empty when it cannot be loaded.
std::wstring wideString(int id) {
    wchar_t buffer[260];
    const int units = LoadStringW(appInstance(), static_cast<UINT>(id), buffer, 260);
    return std::wstring(buffer, units > 0 ? static_cast<std::size_t>(units) : 0);
}

// The first Unicode text of the snapshot that holds data; null when none does.
const ClipFormatItem* unicodeText(const ClipSnapshot& snapshot) {
    for (int i = 0; i < snapshot.count(); ++i)
        if (snapshot.item(i)->format() == clipformat::unicodeText && snapshot.item(i)->block())
            return snapshot.item(i);
    return nullptr;
}

std::wstring unicodeCaption(const ClipFormatItem& item) {
    GlobalLockGuard lock(item.block());
    const std::u16string caption =
        unicodeTextCaption(static_cast<const unsigned char*>(lock.data()), lock.size());
    return std::wstring(caption.begin(), caption.end());
}

// The size format is filled in as UTF-8, which passes through untouched.
std::wstring widePictureCaption(const ClipFormatItem& item) {
    PictureSize picture;
    if (!sizeOfPicture(item, picture))
        return wideString(IDS_PICTURE);
    const std::string sizeFormat = utf8(wideString(IDS_PICTURE_SIZE));
    return converted(pictureSizeText(picture, sizeFormat.c_str()).text(), CP_UTF8);
}

}  // namespace

String snapshotCaption(const ClipSnapshot& snapshot) {
    String out;
    int index = 0;
    const ContentKind kind = snapshot.contentKind(&index);
    if (kind == ContentKind::Empty) {
        out.loadString(IDS_CLIPBOARD_EMPTY);
        return out;
    }
    if (kind == ContentKind::Unknown) {
        out.loadString(IDS_UNKNOWN_FORMAT);
        return out;
    }
    const ClipFormatItem& item = *snapshot.item(index);
    if (kind == ContentKind::Picture) {
        PictureSize picture;
        if (!sizeOfPicture(item, picture)) {
            out.loadString(IDS_PICTURE);
            return out;
        }
        String sizeFormat("");
        sizeFormat.loadString(IDS_PICTURE_SIZE);
        if (sizeFormat.length() > 0)
            out = pictureSizeText(picture, sizeFormat.text());
        return out;
    }
    // An item without data reads as an empty block: an empty text or file caption.
    GlobalLockGuard lock(item.block());
    const auto* bytes = static_cast<const unsigned char*>(lock.data());
    if (kind == ContentKind::Text)
        out = textCaption(bytes, lock.size());
    else
        out = fileCaption(bytes, lock.size(), systemCodePage);
    return out;
}

std::wstring displayCaption(const ClipSnapshot& snapshot) {
    int index = 0;
    switch (snapshot.contentKind(&index)) {
    case ContentKind::Empty:
        return wideString(IDS_CLIPBOARD_EMPTY);
    case ContentKind::Unknown:
        return wideString(IDS_UNKNOWN_FORMAT);
    case ContentKind::Picture:
        return widePictureCaption(*snapshot.item(index));
    case ContentKind::Files:
        return wideFileCaption(*snapshot.item(index));
    case ContentKind::Text:
        if (const ClipFormatItem* unicode = unicodeText(snapshot))
            return unicodeCaption(*unicode);
        break;
    }
    return converted(snapshotCaption(snapshot).text(), CP_ACP);
}
