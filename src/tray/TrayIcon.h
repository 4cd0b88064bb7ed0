// Paints a tray button's face: the raised or pressed key cap, the half-tone
// triangle in the face colour, the content glyph in the accent colour and,
// for a shared button, the share mark. The face is drawn at 16 x 16 pixels;
// larger notification icons get it scaled up, in whole pixels wherever the
// size allows, in 32-bit colour.
#pragma once

#include <windows.h>

struct IconFace {
    COLORREF colour;
    COLORREF accentColour;
    int contentKind;  // 1 to 4 draw their glyph; 0 (empty) and anything else none
    bool pressed;     // the active button
    bool shared;
};

// The side in pixels the shell gives a notification icon now: 16 at 100%,
// 32 at 200%.
int trayIconSize();

// A new icon of size x size pixels (16 to 256) that the caller owns; null
// if the system refused a resource.
HICON paintTrayIcon(const IconFace& face, int size);
