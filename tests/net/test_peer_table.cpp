// What datagrams may teach about where computers are, and how much.
#include "NetFakes.h"
#include "net/PeerTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PeerTable, OnlyPlainNamesThatCannotLeadElsewhere) {
    for (const char* name : {"TVSIM1", "pc-7.lan", "a", "Ra\xC3\xA4"})
        EXPECT_TRUE(isPlainComputerName(name)) << name;
    for (const char* name : {"", ".", "..", "*", "a\\b", "a/b", "c:", "a b", "x\ty", "q?", "<", "|", "\"",
                             "\x7F"})
        EXPECT_FALSE(isPlainComputerName(name)) << name;
    EXPECT_TRUE(isPlainComputerName(std::string(maxComputerNameLength, 'N')));
    EXPECT_FALSE(isPlainComputerName(std::string(maxComputerNameLength + 1, 'N')));
}

TEST(PeerTable, SenderNameOnlyFromWellFormedMessages) {
    const Chunking acked = chunkedInto(3, 3);
    EXPECT_EQ("PC", senderComputerOf(acked.message(2))) << "every acknowledged message names it";
    Message beyond = acked.message(2);
    beyond.chunkIndex = 3;
    EXPECT_EQ("", senderComputerOf(beyond)) << "a chunk the transfer cannot have";
    beyond.chunkIndex = -1;
    EXPECT_EQ("", senderComputerOf(beyond));

    const Chunking plain = chunkedInto(2, 3);
    EXPECT_EQ("PC", senderComputerOf(plain.message(0)));
    EXPECT_EQ("", senderComputerOf(plain.message(1))) << "later data is payload, not a name";

    Message unterminated = acked.message(0);
    unterminated.data.fill('A');
    EXPECT_EQ("", senderComputerOf(unterminated));
    Message star = acked.message(0);
    star.data[0] = '*';
    star.data[1] = 0;
    EXPECT_EQ("", senderComputerOf(star)) << "never the every-computer host";
}

TEST(PeerTable, LatestAddressWinsAndTheLeastRecentlyHeardGoes) {
    PeerTable table(3);
    table.heard("alpha", 1);
    table.heard("BETA", 2);
    table.heard("gamma", 3);
    table.heard("Alpha", 11);  // heard again: now the most recent, at its new address
    table.heard("delta", 4);   // full: beta, heard least recently, makes room
    std::uint32_t address = 0;
    EXPECT_TRUE(table.find("ALPHA", address));
    EXPECT_EQ(11u, address);
    EXPECT_FALSE(table.find("beta", address));
    EXPECT_TRUE(table.find("Gamma", address));
    EXPECT_EQ(3u, address);
    EXPECT_TRUE(table.find("delta", address));
    EXPECT_EQ(3u, table.size());

    table.heard("bad\\name", 9);
    table.heard("", 9);
    EXPECT_EQ(3u, table.size());
    EXPECT_TRUE(table.find("gamma", address)) << "refused names push nothing out";
}

TEST(PeerTable, AFloodOfNamesStaysWithinTheBound) {
    PeerTable table;
    for (std::uint32_t i = 0; i < 20000; ++i)
        table.heard("H" + std::to_string(i), i);
    EXPECT_EQ(maxPeers, table.size());
    std::uint32_t address = 0;
    EXPECT_TRUE(table.find("H19999", address));
    EXPECT_FALSE(table.find("H0", address));
}

}  // namespace
