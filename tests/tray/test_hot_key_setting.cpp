// The hot key as it is kept and as the properties window's field holds it:
// whatever the registry holds, the program ends up with a combination it can
// register, or with none when the user cleared it.
#include "tray/HotKeySetting.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using HK = HotKeySetting;

TEST(HotKeySetting, StoredValuesComeBackAndDamagedOnesGiveTheStandard) {
    for (const HK kept : {HK{HK::alt | HK::shift, 'K'}, HK{HK::control | HK::win, 0x70 /* F1 */},
                          HK{HK::win, 0x2D /* Insert */}})
        EXPECT_EQ(HK::fromStored(true, kept.stored()), kept);
    // Cleared by the user: no hot key, and not the standard one again.
    EXPECT_TRUE(HK::fromStored(true, HK{}.stored()).isNone());
    EXPECT_EQ(HK::fromStored(false, 0), HK::standard()) << "nothing kept yet";
    const std::uint32_t damaged[] = {
        0xFFFFFFFFu,  // bits beyond the modifiers
        0x00001056u,  // an unknown modifier bit
        0x00000056u,  // V alone would take over typing
        0x00000456u,  // so would Shift+V
        0x00000300u,  // modifiers without a key
        0x00000112u,  // Alt with the Alt key itself
        0x000008A2u,  // Win with the left Ctrl key
        0x000001FFu,  // not a key
    };
    for (const std::uint32_t value : damaged)
        EXPECT_EQ(HK::fromStored(true, value), HK::standard()) << std::hex << value;
}

TEST(HotKeySetting, TheFieldAndItsWinBoxMakeTheCombination) {
    // The field: the key, then shift 1, control 2, alt 4, extended 8.
    EXPECT_EQ(HK::fromField(0x0400 | 'V', true), HK::standard());
    EXPECT_EQ(HK::standard().fieldValue(), 0x0400u | 'V') << "the Win key is the box's";
    EXPECT_EQ(HK::fromField(0x0500 | 'K', false), (HK{HK::alt | HK::shift, 'K'}));
    EXPECT_EQ(HK::fromField(0x0A00 | 0x2D, false), (HK{HK::control, 0x2D})) << "the extended flag is only for showing";
    EXPECT_EQ((HK{HK::control, 0x2D}).fieldValue(), 0x0A00u | 0x2D) << "Insert, not the pad's 0";
    EXPECT_TRUE(HK::fromField(0, true).isNone()) << "an emptied field clears the hot key";
    EXPECT_TRUE(HK::fromField(0x0600, false).isNone()) << "modifiers alone";
    EXPECT_TRUE(HK::fromField(0x0100 | 'V', false).isNone()) << "Shift+V would take over typing";
}

}  // namespace
