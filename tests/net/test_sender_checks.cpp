// How far a datagram is believed: where it may come from, and which names
// it may claim from there.
#include "net/SenderChecks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SenderChecks, OnlyPlainNamesThatCannotLeadElsewhere) {
    for (const char* name : {"TVSIM1", "pc-7.lan", "a", "Ra\xC3\xA4"})
        EXPECT_TRUE(isPlainComputerName(name)) << name;
    for (const char* name : {"", ".", "..", "*", "a\\b", "a/b", "c:", "a b", "x\ty", "q?", "<", "|", "\"",
                             "\x7F"})
        EXPECT_FALSE(isPlainComputerName(name)) << name;
    EXPECT_TRUE(isPlainComputerName(std::string(maxComputerNameLength, 'N')));
    EXPECT_FALSE(isPlainComputerName(std::string(maxComputerNameLength + 1, 'N')));
    EXPECT_TRUE(sameComputerName("TVSIM1", "tvsim1"));
    EXPECT_FALSE(sameComputerName("TVSIM1", "TVSIM11"));
    EXPECT_FALSE(sameComputerName("\xC4", "\xE4")) << "only ASCII letters are folded";
}

TEST(SenderChecks, DatagramsCountOnlyFromThisComputersNetworks) {
    const std::vector<LocalNetwork> networks{{0x0AD50101, 0xFFFFFF00}, {0xC0A80005, 0xFFFF0000},
                                             {0x08080808, 0}};
    struct Source {
        std::uint32_t address;
        bool local;
        const char* why;
    };
    for (const Source& source : {
             Source{0x0AD50102, true, "a neighbour of the first network"},
             Source{0x0AD50101, true, "this computer itself"},
             Source{0xC0A8FF01, true, "anywhere in a /16"},
             Source{0x0AD60103, false, "another network on the same link"},
             Source{0x08080809, false, "a network without a mask is no network"},
             Source{0x7F000001, true, "loopback: only this computer sends from it"},
             Source{0x01020304, false, "the internet"},
         })
        EXPECT_EQ(source.local, isLocalSource(source.address, networks)) << source.why;
    EXPECT_FALSE(isLocalSource(0x0AD50102, {})) << "no networks known: only loopback";
}

TEST(SenderChecks, AClaimedNameHoldsOnlyFromAnAddressItResolvesTo) {
    EXPECT_TRUE(claimFitsAddress(true, {0x0AD50102, 0x0AD50202}, 0x0AD50202)) << "any of its addresses";
    EXPECT_FALSE(claimFitsAddress(true, {0x0AD50102}, 0x0AD50103)) << "a stranger claiming the name";
    EXPECT_FALSE(claimFitsAddress(true, {}, 0x0AD50103));
    EXPECT_TRUE(claimFitsAddress(false, {}, 0x0AD50103)) << "a name nobody resolves is the network's own";
}

}  // namespace
