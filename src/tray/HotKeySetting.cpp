#include "tray/HotKeySetting.h"

namespace {

constexpr unsigned allModifiers = HotKeySetting::alt | HotKeySetting::control | HotKeySetting::shift |
                                  HotKeySetting::win;

// The field's own modifier flags.
constexpr unsigned fieldShift = 0x1;
constexpr unsigned fieldControl = 0x2;
constexpr unsigned fieldAlt = 0x4;
constexpr unsigned fieldExtended = 0x8;

// Virtual keys that are modifiers themselves: Shift, Ctrl, Alt, the Win
// keys, and their left and right forms.
bool isModifierKey(unsigned key) {
    return (key >= 0x10 && key <= 0x12) || key == 0x5B || key == 0x5C || (key >= 0xA0 && key <= 0xA5);
}

}  // namespace

HotKeySetting HotKeySetting::standard() {
    return {win | alt, 'V'};
}

bool HotKeySetting::hasExtendedKey() const {
    // Page Up to Down arrow, Insert, Delete, the pad's divide, Num Lock.
    return (key >= 0x21 && key <= 0x28) || key == 0x2D || key == 0x2E || key == 0x6F || key == 0x90;
}

bool HotKeySetting::isUsable() const {
    return key >= 0x01 && key <= 0xFE && !isModifierKey(key) && (modifiers & ~allModifiers) == 0 &&
           (modifiers & (win | control | alt)) != 0;
}

std::uint32_t HotKeySetting::stored() const {
    return isNone() ? 0 : (modifiers << 8) | key;
}

HotKeySetting HotKeySetting::fromStored(bool present, std::uint32_t value) {
    if (!present)
        return standard();
    if (value == 0)
        return {};
    const HotKeySetting setting{value >> 8, value & 0xFF};
    return setting.isUsable() ? setting : standard();
}

HotKeySetting HotKeySetting::fromField(unsigned fieldValue, bool winBox) {
    const unsigned flags = (fieldValue >> 8) & 0xFF;
    HotKeySetting setting{winBox ? win : 0u, fieldValue & 0xFF};
    if (flags & fieldShift)
        setting.modifiers |= shift;
    if (flags & fieldControl)
        setting.modifiers |= control;
    if (flags & fieldAlt)
        setting.modifiers |= alt;
    return setting.isUsable() ? setting : HotKeySetting{};
}

unsigned HotKeySetting::fieldValue() const {
    if (isNone())
        return 0;
    // Without the flag the field names the numeric-pad twin of the key.
    unsigned flags = hasExtendedKey() ? fieldExtended : 0;
    if (modifiers & shift)
        flags |= fieldShift;
    if (modifiers & control)
        flags |= fieldControl;
    if (modifiers & alt)
        flags |= fieldAlt;
    return (flags << 8) | key;
}
