// Tray icon faces, read back pixel by pixel from the icon's colour bitmap.
#include "base/AppInstance.h"
#include "base/Gdi.h"
#include "driver/GdiCount.h"
#include "res/resource.h"
#include "tray/TrayIcon.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Pixel = std::pair<int, int>;  // x, y
using Pixels = std::set<Pixel>;

const COLORREF faceColour = RGB(10, 200, 30);
const COLORREF accentColour = RGB(200, 10, 150);

// Top-down 32-bit pixels of a bitmap, as COLORREFs.
std::vector<COLORREF> readBitmap(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> raw(static_cast<size_t>(width * height));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (DWORD bgr : raw)
        pixels.push_back(RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
    return pixels;
}

struct Face {
    std::vector<COLORREF> colour;
    std::vector<COLORREF> mask;
    COLORREF at(int x, int y) const { return colour[y * 16 + x]; }
    Pixels where(COLORREF wanted) const {
        Pixels found;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (at(x, y) == wanted)
                    found.insert({x, y});
        return found;
    }
};

Face paint(int kind, bool pressed, bool shared, COLORREF face = faceColour, COLORREF accent = accentColour) {
    HICON icon = paintTrayIcon({face, accent, kind, pressed, shared});
    EXPECT_NE(icon, nullptr);
    ICONINFO info{};
    GetIconInfo(icon, &info);
    Face result{readBitmap(info.hbmColor, 16, 16), readBitmap(info.hbmMask, 16, 16)};
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return result;
}

// The black pixels of one 14 x 14 cell of the glyph strip, placed at offset.
Pixels glyphCell(int cell, int offset) {
    Bitmap strip(LoadBitmapA(appInstance(), MAKEINTRESOURCEA(IDB_GLYPHS)));
    std::vector<COLORREF> pixels = readBitmap(strip.get(), 84, 14);
    Pixels black;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x)
            if (pixels[y * 84 + cell * 14 + x] == RGB(0, 0, 0) && x + offset < 16 && y + offset < 16)
                black.insert({x + offset, y + offset});
    return black;
}

Pixels minus(const Pixels& a, const Pixels& b) {
    Pixels rest;
    for (const Pixel& p : a)
        if (!b.count(p))
            rest.insert(p);
    return rest;
}

TEST(TrayIcon, EmptyRaisedFaceIsKeyCapAndTriangleOnly) {
    Face face = paint(0, false, false);
    EXPECT_EQ(face.where(faceColour), glyphCell(0, 1));
    EXPECT_TRUE(face.where(accentColour).empty()) << "no glyph when empty";
    for (COLORREF m : face.mask)
        EXPECT_EQ(m, RGB(0, 0, 0)) << "every pixel opaque";
}

TEST(TrayIcon, EachKindShowsItsGlyphInTheAccentColourOverTheTriangle) {
    for (int kind = 1; kind <= 4; ++kind) {
        SCOPED_TRACE(kind);
        Face face = paint(kind, false, false);
        const Pixels glyph = glyphCell(kind, 1);
        ASSERT_FALSE(glyph.empty());
        EXPECT_EQ(face.where(accentColour), glyph);
        EXPECT_EQ(face.where(faceColour), minus(glyphCell(0, 1), glyph));
    }
}

TEST(TrayIcon, PressedFaceIsTheRaisedOneShiftedByOnePixel) {
    Face raised = paint(1, false, false);
    Face pressed = paint(1, true, false);
    Pixels shifted;
    for (const Pixel& p : raised.where(accentColour))
        shifted.insert({p.first + 1, p.second + 1});
    EXPECT_EQ(pressed.where(accentColour), shifted);
    EXPECT_EQ(pressed.where(faceColour), minus(glyphCell(0, 2), glyphCell(1, 2)));
    // The key caps differ: the pressed one is drawn sunken.
    EXPECT_NE(raised.at(0, 0), pressed.at(0, 0));
}

TEST(TrayIcon, ShareMarkSitsInTheLowerRightCorner) {
    for (bool pressed : {false, true}) {
        SCOPED_TRACE(pressed);
        Face face = paint(0, pressed, true);
        const int first = pressed ? 11 : 10;
        const int last = first + 3;
        for (int y = first; y <= last; ++y)
            for (int x = first; x <= last; ++x) {
                const bool frame = x == first || x == last || y == first || y == last;
                EXPECT_EQ(face.at(x, y), frame ? RGB(255, 0, 0) : RGB(255, 255, 0)) << x << "," << y;
            }
        Face unshared = paint(0, pressed, false);
        EXPECT_NE(unshared.at(first + 1, first + 1), RGB(255, 255, 0));
    }
}

TEST(TrayIcon, EqualFaceAndAccentStillShowTheGlyphOutsideTheTriangle) {
    const COLORREF maroon = RGB(128, 0, 0);
    Face face = paint(1, false, false, maroon, maroon);
    const Pixels painted = face.where(maroon);
    const Pixels glyph = glyphCell(1, 1);
    for (const Pixel& p : glyph)
        EXPECT_TRUE(painted.count(p));
    EXPECT_FALSE(minus(glyph, glyphCell(0, 1)).empty()) << "part of the glyph lies off the triangle";
}

TEST(TrayIcon, RepaintingLeavesNoGdiObjectBehind) {
    DestroyIcon(paintTrayIcon({faceColour, accentColour, 2, true, true}));  // the system's own first-use objects
    const int before = liveGdiObjects();
    if (before < 0)
        GTEST_SKIP() << "this system has no count of GDI objects for a 32-bit process";
    for (int i = 0; i < 1000; ++i)
        DestroyIcon(paintTrayIcon({faceColour, accentColour, i % 5, i % 2 == 0, i % 3 == 0}));
    EXPECT_EQ(liveGdiObjects(), before);
}

}  // namespace
