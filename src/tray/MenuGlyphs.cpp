#include "tray/MenuGlyphs.h"

#include "base/AppInstance.h"
#include "base/ImageList.h"
#include "res/resource.h"

#include <algorithm>
#include <utility>

namespace {
// Strip images are 14 by 14; image k + 1 is the glyph of kind k + 1.
constexpr int imageSize = 14;

// The glyph's side in a check mark of that side: the 14 pixels drawn, grown
// in whole pixels where the mark holds a multiple (a cell's blank edge may
// be cut), else blended to the mark's size.
int glyphSide(int mark) {
    const int whole = imageSize * std::max(1, (mark + 2) / imageSize);
    return whole >= mark - 3 ? whole : mark;
}

// Fills target with the menu colour (its selected brush) and draws the
// 14-pixel glyph of cell onto it, centred, side pixels large.
void drawScaled(HDC target, HDC cell, int width, int height, int side) {
    PatBlt(target, 0, 0, width, height, PATCOPY);
    SetStretchBltMode(target, side % imageSize == 0 ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, width / 2 - side / 2, height / 2 - side / 2, side, side, cell, 0, 0, imageSize, imageSize,
               SRCCOPY);
}
}  // namespace

MenuGlyphs::MenuGlyphs() {
    ImageList strip = loadImageStrip(appInstance(), IDB_GLYPHS, imageSize, RGB(255, 255, 255));
    const LONG checkMark = GetMenuCheckMarkDimensions();
    const int width = LOWORD(checkMark);
    const int height = HIWORD(checkMark);
    const int side = glyphSide(std::min(width, height));
    WindowDc screen(GetDesktopWindow());
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    MemoryDc glyphDc(CreateCompatibleDC(screen.get()));
    Brush menuColour(CreateSolidBrush(GetSysColor(COLOR_MENU)));
    Bitmap single(CreateCompatibleBitmap(screen.get(), imageSize, imageSize));
    if (!strip || !screen.get() || !dc || !glyphDc || !menuColour || !single)
        return;
    SelectedObject brush(dc.get(), menuColour.get());
    SelectedObject glyphBrush(glyphDc.get(), menuColour.get());
    SelectedObject glyphTarget(glyphDc.get(), single.get());
    for (int k = 0; k < count; ++k) {
        Bitmap glyph(CreateCompatibleBitmap(screen.get(), width, height));
        if (!glyph)
            continue;
        PatBlt(glyphDc.get(), 0, 0, imageSize, imageSize, PATCOPY);
        ImageList_Draw(strip.get(), k + 1, glyphDc.get(), 0, 0, ILD_NORMAL);
        {
            // Selected only while drawing: a menu cannot show a selected bitmap.
            SelectedObject target(dc.get(), glyph.get());
            if (!target.ok())
                continue;
            drawScaled(dc.get(), glyphDc.get(), width, height, side);
        }
        mGlyphs[k] = std::move(glyph);
    }
}

HBITMAP MenuGlyphs::at(int index) const {
    return index >= 0 && index < count ? mGlyphs[index].get() : nullptr;
}
