// Clipboard format numbers the snapshot code treats specially, and the kinds
// of content a snapshot is shown as. No Windows headers: the numbers are the
// system's own, fixed for good.
#pragma once

namespace clipformat {
constexpr unsigned text = 1;          // CF_TEXT
constexpr unsigned dib = 8;           // CF_DIB
constexpr unsigned hdrop = 15;        // CF_HDROP
constexpr unsigned locale = 16;       // CF_LOCALE: a locale identifier, not a block
}  // namespace clipformat

// Formats a snapshot never captures, and never loads from a file or another
// computer: GDI handles and other data that is not a memory block (bitmaps,
// palettes, metafiles, private and GDI-object ranges), owner-display
// formats, and the OEM text the system makes up from CF_TEXT again anyway.
// Unicode text is kept: made up from CF_TEXT it would lose every character
// outside the ANSI code page.
bool isSkippedFormat(unsigned format);

// The values are stored and sent, and index the glyph strip: never renumber.
enum class ContentKind : int {
    Empty = 0,    // no items
    Text = 1,     // decided by a CF_TEXT item
    Picture = 2,  // decided by a CF_DIB item
    Files = 3,    // decided by a CF_HDROP item
    Unknown = 4,  // items, none of the three above
};
