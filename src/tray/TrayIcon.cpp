#include "tray/TrayIcon.h"

#include "base/AppInstance.h"
#include "base/Gdi.h"
#include "base/ImageList.h"
#include "res/resource.h"

namespace {
const int iconSize = 16;
const int cell = 14;
const int lastKindGlyph = 4;
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
        // Cells 1 to 4 of the strip are the glyphs of Text to Unknown. An
        // empty button (0) shows none, and any other value draws nothing
        // rather than the strip's blank cell or bits from beyond it.
        if (face.contentKind >= 1 && face.contentKind <= lastKindGlyph)
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
