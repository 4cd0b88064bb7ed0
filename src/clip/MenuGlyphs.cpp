#include "clip/MenuGlyphs.h"

#include "base/AppInstance.h"
#include "res/resource.h"

#include <commctrl.h>

#include <utility>

namespace {

// Strip images are 14 by 14; image k + 1 is the glyph of kind k + 1.
constexpr int imageSize = 14;

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { ImageList_Destroy(handle); }
};
using ImageList = UniqueHandle<ImageListTraits>;

// The screen's device context, given back on scope end.
class ScreenDc {
public:
    ScreenDc() : mWindow(GetDesktopWindow()), mDc(GetDC(mWindow)) {}
    ~ScreenDc() {
        if (mDc)
            ReleaseDC(mWindow, mDc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return mDc; }

private:
    HWND mWindow;
    HDC mDc;
};

}  // namespace

MenuGlyphs::MenuGlyphs() {
    ImageList strip(ImageList_LoadImageA(appInstance(), MAKEINTRESOURCEA(IDB_GLYPHS), imageSize, 0,
                                         RGB(255, 255, 255), IMAGE_BITMAP, 0));
    const LONG checkMark = GetMenuCheckMarkDimensions();
    const int width = LOWORD(checkMark);
    const int height = HIWORD(checkMark);
    ScreenDc screen;
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    Brush menuColour(CreateSolidBrush(GetSysColor(COLOR_MENU)));
    if (!strip || !screen.get() || !dc || !menuColour)
        return;
    SelectedObject brush(dc.get(), menuColour.get());
    for (int k = 0; k < count; ++k) {
        Bitmap glyph(CreateCompatibleBitmap(screen.get(), width, height));
        if (!glyph)
            continue;
        {
            // Selected only while drawing: a menu cannot show a selected bitmap.
            SelectedObject target(dc.get(), glyph.get());
            if (!target.ok())
                continue;
            PatBlt(dc.get(), 0, 0, width, height, PATCOPY);
            ImageList_Draw(strip.get(), k + 1, dc.get(), width / 2 - imageSize / 2, height / 2 - imageSize / 2,
                           ILD_NORMAL);
        }
        mGlyphs[k] = std::move(glyph);
    }
}

HBITMAP MenuGlyphs::at(int index) const {
    return index >= 0 && index < count ? mGlyphs[index].get() : nullptr;
}
