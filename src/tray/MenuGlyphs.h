// The four check-mark glyphs that mark snapshots in menus by their kind,
// drawn from the glyph strip on the menu colour of the moment.
#pragma once

#include "base/Gdi.h"
#include "clip/ClipFormats.h"

#include <windows.h>

class MenuGlyphs {
public:
    static constexpr int count = 4;

    // Each glyph is the size of a menu check mark. A glyph that cannot be
    // made stays null; menus then show the system's mark in its place.
    MenuGlyphs();

    // Index 0 to 3: Text, Picture, Files, Unknown. Null outside that range.
    HBITMAP at(int index) const;
    // Null for Empty.
    HBITMAP forKind(ContentKind kind) const { return at(static_cast<int>(kind) - 1); }

private:
    Bitmap mGlyphs[count];
};
