// Paints a tray button's 16 x 16 face: the raised or pressed key cap, the
// half-tone triangle in the face colour, the content glyph in the accent
// colour and, for a shared button, the share mark.
#pragma once

#include <windows.h>

struct IconFace {
    COLORREF colour;
    COLORREF accentColour;
    int contentKind;  // 1 to 4 draw their glyph; 0 (empty) and anything else none
    bool pressed;     // the active button
    bool shared;
};

// A new icon the caller owns; null if the system refused a resource.
HICON paintTrayIcon(const IconFace& face);
