#include "base/GlobalMemory.h"
#include "base/String.h"
#include "clip/Captions.h"
#include "clip/ClipSnapshot.h"
#include "clip/SnapshotCaption.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <vector>

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
    // An item without data reads as an empty block: an empty text or file
    // caption, and "Picture".
    GlobalLockGuard lock(snapshot.item(index)->block());
    const auto* bytes = static_cast<const unsigned char*>(lock.data());
    const std::size_t size = lock.size();
    if (kind == ContentKind::Text) {
        out = textCaption(bytes, size);
    } else if (kind == ContentKind::Files) {
        out = fileCaption(bytes, size, systemCodePage);
    } else {
        PictureSize picture;
        if (!pictureSize(bytes, size, picture)) {
            out.loadString(IDS_PICTURE);
            return out;
        }
        String sizeFormat("");
        sizeFormat.loadString(IDS_PICTURE_SIZE);
        if (sizeFormat.length() > 0)
            out = pictureSizeText(picture, sizeFormat.text());
    }
    return out;
}
