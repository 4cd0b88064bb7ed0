// Tray icon faces, read back pixel by pixel from the icon's colour bitmap,
// at 16 pixels and at the larger sizes of higher scales.
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
    HICON icon = paintTrayIcon({face, accent, kind, pressed, shared}, 16);
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

// An icon at a size: its colour bitmap's raw 32-bit pixels (alpha kept),
// its mask as colours, and the colour bitmap's own dimensions.
struct LargeFace {
    int width = 0, height = 0;
    std::vector<DWORD> raw;
    std::vector<COLORREF> mask;
    COLORREF at(int x, int y) const {
        const DWORD bgr = raw[static_cast<size_t>(y * width + x)];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }
};

LargeFace paintAt(int size, int kind, bool pressed, bool shared) {
    LargeFace result;
    HICON icon = paintTrayIcon({faceColour, accentColour, kind, pressed, shared}, size);
    EXPECT_NE(icon, nullptr);
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return result;
    BITMAP shape{};
    GetObject(info.hbmColor, sizeof shape, &shape);
    result.width = shape.bmWidth;
    result.height = shape.bmHeight;
    if (result.width == size && result.height == size) {
        BITMAPINFO request{};
        request.bmiHeader = {sizeof request.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        result.raw.resize(static_cast<size_t>(size * size));
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, info.hbmColor, 0, size, result.raw.data(), &request, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        result.mask = readBitmap(info.hbmMask, size, size);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return result;
}

TEST(TrayIcon, FacesAtWholeMultiplesAreTheSixteenPixelFaceInBigPixels) {
    for (int size : {32, 48, 64}) {
        SCOPED_TRACE(size);
        for (int kind : {0, 1, 2}) {
            const Face small = paint(kind, kind == 1, kind == 2);
            const LargeFace large = paintAt(size, kind, kind == 1, kind == 2);
            ASSERT_EQ(large.width, size);
            ASSERT_EQ(large.height, size);
            const int scale = size / 16;
            int wrong = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    wrong += large.at(x, y) != small.at(x / scale, y / scale);
            EXPECT_EQ(wrong, 0) << "pixels that differ from the 16-pixel face, kind " << kind;
        }
    }
}

TEST(TrayIcon, FacesAtEverySizeTheShellAsksForAreOpaqueIn32BitColour) {
    // 100% to 300% of the 16-pixel notification icon.
    for (int size : {16, 20, 24, 28, 32, 40, 48}) {
        SCOPED_TRACE(size);
        const LargeFace face = paintAt(size, 3, true, true);
        ASSERT_EQ(face.width, size);
        ASSERT_EQ(face.height, size);
        for (COLORREF m : face.mask)
            ASSERT_EQ(m, RGB(0, 0, 0)) << "every pixel opaque";
        if (size == 16)
            continue;  // the 16-pixel face keeps the screen's format, without alpha
        for (DWORD pixel : face.raw)
            ASSERT_EQ(pixel >> 24, 0xFFu) << "alpha";
        // The share mark's yellow still shows near the lower right corner.
        const int at = size * 12 / 16;
        EXPECT_EQ(face.at(at, at), RGB(255, 255, 0));
    }
    EXPECT_EQ(paintTrayIcon({faceColour, accentColour, 1, false, false}, 15), nullptr);
    EXPECT_EQ(paintTrayIcon({faceColour, accentColour, 1, false, false}, 257), nullptr);
}

TEST(TrayIcon, RepaintingLeavesNoGdiObjectBehind) {
    DestroyIcon(paintTrayIcon({faceColour, accentColour, 2, true, true}, 16));  // the system's own first-use objects
    const int before = liveGdiObjects();
    if (before < 0)
        GTEST_SKIP() << "this system has no count of GDI objects for a 32-bit process";
    for (int i = 0; i < 1000; ++i)
        DestroyIcon(paintTrayIcon({faceColour, accentColour, i % 5, i % 2 == 0, i % 3 == 0}, 16 + 8 * (i % 3)));
    EXPECT_EQ(liveGdiObjects(), before);
}

}  // namespace
