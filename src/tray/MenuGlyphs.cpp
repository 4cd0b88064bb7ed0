#include "tray/MenuGlyphs.h"

#include "base/AppInstance.h"
#include "base/ImageList.h"
#include "res/resource.h"

#include <utility>

namespace {
// Strip images are 14 by 14; image k + 1 is the glyph of kind k + 1.
constexpr int imageSize = 14;
}  // namespace

MenuGlyphs::MenuGlyphs() {
    ImageList strip = loadImageStrip(appInstance(), IDB_GLYPHS, imageSize, RGB(255, 255, 255));
    const LONG checkMark = GetMenuCheckMarkDimensions();
    const int width = LOWORD(checkMark);
    const int height = HIWORD(checkMark);
    WindowDc screen(GetDesktopWindow());
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
