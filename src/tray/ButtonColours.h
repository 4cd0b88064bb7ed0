// The face and glyph colours of tray buttons, chosen in turn from a fixed
// table so that neighbouring buttons tell apart.
#pragma once

#include <cstdint>

// Laid out as a Windows COLORREF: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgb(unsigned red, unsigned green, unsigned blue) {
    return red | (green << 8) | (blue << 16);
}

struct ButtonColours {
    Colour face;
    Colour accent;
};

// The colours of the button made when the counter stood at n: the faces go
// round the table; each round uses the next accent.
ButtonColours buttonColoursFor(std::uint32_t n);
