#include "tray/TrayIcon.h"

#include "base/AppInstance.h"
#include "base/Dpi.h"
#include "base/Gdi.h"
#include "base/ImageList.h"
#include "res/resource.h"

#include <cstdint>

namespace {
const int faceSize = 16;
const int largestSize = 256;
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

// The 16 x 16 face in the screen's format.
Bitmap paintFace(const IconFace& face) {
    const int a = face.pressed ? 1 : 0;
    Brush faceBrush(CreateSolidBrush(face.colour));
    Brush accentBrush(CreateSolidBrush(face.accentColour));
    Bitmap glyphStrip(LoadBitmapA(appInstance(), MAKEINTRESOURCEA(IDB_GLYPHS)));
    ImageList caps = loadImageStrip(appInstance(), IDB_KEYCAPS, faceSize, RGB(255, 0, 255));
    MemoryDc draw(CreateCompatibleDC(nullptr));
    MemoryDc glyphs(CreateCompatibleDC(nullptr));
    Bitmap colour;
    {
        WindowDc screen(GetDesktopWindow(), true);
        colour.reset(CreateCompatibleBitmap(screen.get(), faceSize, faceSize));
    }
    if (!faceBrush || !accentBrush || !glyphStrip || !caps || !draw || !glyphs || !colour)
        return Bitmap();

    SelectedObject selectColour(draw.get(), colour.get());
    SelectedObject selectGlyphs(glyphs.get(), glyphStrip.get());
    ImageList_Draw(caps.get(), face.pressed ? pressedCap : raisedCap, draw.get(), 0, 0, ILD_NORMAL);
    stencil(draw.get(), glyphs.get(), 0, a + 1, faceBrush.get());
    if (face.contentKind > 0 && face.contentKind < 5)
        stencil(draw.get(), glyphs.get(), face.contentKind, a + 1, accentBrush.get());
    if (face.shared)
        ImageList_Draw(caps.get(), shareMark, draw.get(), a, a, ILD_NORMAL);
    return colour;
}

// A top-down 32-bit bitmap of size x size whose pixels the caller may write.
Bitmap pixelBitmap(int size, std::uint32_t** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    *pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

// Copies from into a new size x size bitmap: whole pixels when the size is a
// multiple of the source's, otherwise blended. Null when the system refused.
Bitmap stretched(HBITMAP from, int fromSize, int size, std::uint32_t** pixels) {
    Bitmap to = pixelBitmap(size, pixels);
    MemoryDc source(CreateCompatibleDC(nullptr));
    MemoryDc target(CreateCompatibleDC(nullptr));
    if (!to || !source || !target)
        return Bitmap();
    SelectedObject selectSource(source.get(), from);
    SelectedObject selectTarget(target.get(), to.get());
    SetStretchBltMode(target.get(), size % fromSize == 0 ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(target.get(), 0, 0, nullptr);
    if (!StretchBlt(target.get(), 0, 0, size, size, source.get(), 0, 0, fromSize, fromSize, SRCCOPY))
        return Bitmap();
    return to;
}

// The face at size: first blown up in whole pixels to the next multiple of
// 16, then, for the sizes between (20, 24, 40, 48), blended down, which
// keeps its edges sharper than blending from 16 would.
Bitmap scaledFace(HBITMAP face, int size) {
    const int whole = (size + faceSize - 1) / faceSize * faceSize;
    std::uint32_t* pixels = nullptr;
    Bitmap large = stretched(face, faceSize, whole, &pixels);
    if (large && whole != size)
        large = stretched(large.get(), whole, size, &pixels);
    if (!large)
        return large;
    GdiFlush();
    // Every pixel opaque: an icon whose alpha is all zero would be taken for one without alpha.
    for (int i = 0; i < size * size; ++i)
        pixels[i] |= 0xFF000000u;
    return large;
}

// A mask that leaves every pixel of the icon opaque.
Bitmap opaqueMask(int size) {
    Bitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
    MemoryDc draw(CreateCompatibleDC(nullptr));
    if (!mask || !draw)
        return Bitmap();
    SelectedObject selectMask(draw.get(), mask.get());
    PatBlt(draw.get(), 0, 0, size, size, BLACKNESS);
    return mask;
}
}  // namespace

int trayIconSize() {
    return metricForDpi(SM_CXSMICON, trayDpi());
}

HICON paintTrayIcon(const IconFace& face, int size) {
    if (size < faceSize || size > largestSize)
        return nullptr;
    Bitmap colour = paintFace(face);
    if (colour && size != faceSize)
        colour = scaledFace(colour.get(), size);
    Bitmap mask = opaqueMask(size);
    if (!colour || !mask)
        return nullptr;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask.get();
    info.hbmColor = colour.get();
    return CreateIconIndirect(&info);
}
