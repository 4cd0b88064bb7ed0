// The key combination that opens the stack menu from whichever program is in
// front: as the registry keeps it and as the properties window's field
// shows it. Platform-free.
#pragma once

#include <cstdint>

struct HotKeySetting {
    // Modifier bits, with the values RegisterHotKey takes.
    static constexpr unsigned alt = 0x1;
    static constexpr unsigned control = 0x2;
    static constexpr unsigned shift = 0x4;
    static constexpr unsigned win = 0x8;

    unsigned modifiers = 0;
    unsigned key = 0;  // a virtual-key code; 0 when there is no hot key

    // Win+Alt+V. Ctrl+Shift+V is paste-as-text in browsers and terminals,
    // and Ctrl+Alt+letter types a character on AltGr keyboards.
    static HotKeySetting standard();
    bool isNone() const { return key == 0; }

    // The registry's value: the key in bits 0 to 7, the modifiers in bits 8
    // to 11; 0 when the user cleared the hot key.
    std::uint32_t stored() const;
    // What a stored value names. A missing value, and one that is damaged or
    // names a combination nobody should use, give the standard one.
    static HotKeySetting fromStored(bool present, std::uint32_t value);

    // The hot-key field's value (the key in the low byte, then its own flags:
    // shift 1, control 2, alt 4, extended key 8), which knows no Win key:
    // a box beside it adds that. A field left empty, or holding only
    // modifiers, gives no hot key.
    static HotKeySetting fromField(unsigned fieldValue, bool winBox);
    unsigned fieldValue() const;

    bool operator==(const HotKeySetting& other) const {
        return modifiers == other.modifiers && key == other.key;
    }

    // A combination that can be registered without taking over typing: a
    // real key with Win, Ctrl or Alt.
    bool isUsable() const;
    // Whether the key is one the keyboard reports as extended (Insert, the
    // arrows...), which is how the system tells it from its numeric-pad twin.
    bool hasExtendedKey() const;
};
