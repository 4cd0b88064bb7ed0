// Owner of a common-controls image list.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { ImageList_Destroy(handle); }
};

using ImageList = UniqueHandle<ImageListTraits>;

// A strip bitmap from the resources cut into images of the given width;
// pixels of the mask colour are transparent.
inline ImageList loadImageStrip(HINSTANCE instance, int bitmapId, int width, COLORREF mask) {
    return ImageList(ImageList_LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), width, 0, mask, IMAGE_BITMAP, 0));
}
