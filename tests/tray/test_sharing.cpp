#include "tray/Sharing.h"
#include "base/StringList.h"

#include <gtest/gtest.h>

namespace {

TEST(Sharing, OnlyListedUserNamesOfASharedButtonMatchExactly) {
    StringList allowed;
    allowed.add("anna");
    allowed.add("ANNA-PC");
    allowed.add("boris");
    allowed.add("BORIS-PC");
    EXPECT_TRUE(isSharedWith(true, false, allowed, "anna"));
    EXPECT_TRUE(isSharedWith(true, false, allowed, "boris"));
    EXPECT_FALSE(isSharedWith(true, false, allowed, "Anna")) << "letter case counts";
    EXPECT_FALSE(isSharedWith(true, false, allowed, "ANNA-PC")) << "computer names are not user names";
    EXPECT_FALSE(isSharedWith(true, false, allowed, "ann"));
    EXPECT_FALSE(isSharedWith(true, false, allowed, nullptr));
    EXPECT_FALSE(isSharedWith(false, false, allowed, "anna")) << "not shared at all";
    EXPECT_FALSE(isSharedWith(false, true, allowed, "anna"));
    EXPECT_TRUE(isSharedWith(true, true, allowed, "anyone"));
    EXPECT_TRUE(isSharedWith(true, true, StringList(), "anyone"));
}

}  // namespace
