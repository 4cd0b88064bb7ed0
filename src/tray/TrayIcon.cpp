#include "tray/TrayIcon.h"

#include "base/AppInstance.h"
#include "base/Gdi.h"
#include "base/ImageList.h"
#include "res/resource.h"

namespace {
const int iconSize = 16;
const int cell = 14;
const int glyphCells = 5;
// Paints the brush where the source is black and keeps the destination where
// it is white: a monochrome stencil in the selected brush's colour.
const DWORD brushThroughBlack = 0xB8074A;

enum KeyCap { raisedCap = 0, pressedCap = 1, shareMark = 2 };

void stencil(HDC target, HDC glyphs, int cellIndex, int offset, HBRUSH brush) {
    SelectedObject selectBrush(target, brush);
    BitBlt(target, offset, offset, cell, cell, glyphs, cell * cellIndex, 0, brushThroughBlack);
}
}  // namespace

HICON paintTrayIcon(const IconFace& face) {
    const int a = face.pressed ? 1 : 0;
    Brush faceBrush(CreateSolidBrush(face.colour));
    Brush accentBrush(CreateSolidBrush(face.accentColour));
    Bitmap mask(CreateBitmap(iconSize, iconSize, 1, 1, nullptr));
    Bitmap glyphStrip(LoadBitmapA(appInstance(), MAKEINTRESOURCEA(IDB_GLYPHS)));
    ImageList caps = loadImageStrip(appInstance(), IDB_KEYCAPS, iconSize, RGB(255, 0, 255));
    MemoryDc draw(CreateCompatibleDC(nullptr));
    MemoryDc glyphs(CreateCompatibleDC(nullptr));
    Bitmap colour;
    {
        WindowDc screen(GetDesktopWindow(), true);
        colour.reset(CreateCompatibleBitmap(screen.get(), iconSize, iconSize));
    }
    if (!faceBrush || !accentBrush || !mask || !glyphStrip || !caps || !draw || !glyphs || !colour)
        return nullptr;

    {
        // Every pixel of the icon is opaque.
        SelectedObject selectMask(draw.get(), mask.get());
        PatBlt(draw.get(), 0, 0, iconSize, iconSize, BLACKNESS);
    }
    {
        SelectedObject selectColour(draw.get(), colour.get());
        SelectedObject selectGlyphs(glyphs.get(), glyphStrip.get());
        ImageList_Draw(caps.get(), face.pressed ? pressedCap : raisedCap, draw.get(), 0, 0, ILD_NORMAL);
        stencil(draw.get(), glyphs.get(), 0, a + 1, faceBrush.get());
        // The strip holds glyphCells cells: the triangle, then one glyph for
        // each kind of content from Text (1) to Unknown (4). An empty button
        // shows none, and a kind the strip lacks draws nothing rather than
        // bits from beyond the strip.
        if (face.contentKind > 0 && face.contentKind < glyphCells)
            stencil(draw.get(), glyphs.get(), face.contentKind, a + 1, accentBrush.get());
        if (face.shared)
            ImageList_Draw(caps.get(), shareMark, draw.get(), a, a, ILD_NORMAL);
    }

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask.get();
    info.hbmColor = colour.get();
    return CreateIconIndirect(&info);
}
