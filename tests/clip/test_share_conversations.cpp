// What the network may put into a conversation of this copy's, as the
// network's threads do: only answers to what was asked, from whom it was
// asked, while the asking dialog is open.
#include "clip/ShareConversations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const Origin bravo{Origin::Kind::Udp, 0x0AD50102, 3001};
const Origin bravoAgain{Origin::Kind::Udp, 0x0AD50102, 3002};
const Origin eve{Origin::Kind::Udp, 0x0AD50103, 3001};

TEST(ShareConversations, AFetchTakesTheAskedComputersFirstTransferAlone) {
    int wakes = 0;
    FetchAsked fetch(bravo, [&] { ++wakes; });
    const std::vector<std::uint8_t> forged{'e', 'v', 'e'}, real{'b', 'r', 'a', 'v', 'o'};

    EXPECT_FALSE(fetch.admit(eve, 0x91)) << "a stranger's transfer, whatever it claims";
    fetch.failed(eve, 0x91);
    fetch.arrived(eve, 0x91, forged.data(), 3);
    EXPECT_EQ(0, wakes) << "nothing of the stranger's reaches the dialog";

    EXPECT_TRUE(fetch.admit(bravoAgain, 0x19)) << "the computer asked, from the port its answer sends from";
    EXPECT_FALSE(fetch.admit(bravo, 0x29)) << "one answer per request";
    fetch.started(bravoAgain, 0x19, 4200);
    fetch.progress(bravo, 0x19, 420, 0);
    fetch.failed(bravoAgain, 0x29);
    EXPECT_TRUE(fetch.awaits(bravoAgain, 0x19));
    EXPECT_FALSE(fetch.awaits(bravoAgain, 0x29));
    FetchAsked::Progress seen = fetch.take();
    EXPECT_EQ(1, wakes) << "one wake-up until the dialog looks";
    EXPECT_EQ(4200u, seen.totalBytes);
    EXPECT_EQ(0u, seen.receivedBytes) << "another port is another sender";
    EXPECT_FALSE(seen.failed);

    // Progress crosses to the dialog a few times a second, however fast it comes.
    for (std::uint32_t now = 1000; now < 2000; now += 10) {
        fetch.progress(bravoAgain, 0x19, now, now);
        fetch.take();
    }
    EXPECT_EQ(11, wakes);
    fetch.arrived(bravoAgain, 0x19, real.data(), 5);
    seen = fetch.take();
    ASSERT_TRUE(seen.arrived);
    GlobalLockGuard body(seen.data.get());
    ASSERT_NE(body.data(), nullptr);
    EXPECT_EQ(real, std::vector<std::uint8_t>(static_cast<const std::uint8_t*>(body.data()),
                                              static_cast<const std::uint8_t*>(body.data()) + body.size()));
    EXPECT_FALSE(fetch.take().data) << "the data is handed over once";
    EXPECT_FALSE(fetch.awaits(bravoAgain, 0x19)) << "done";

    FetchAsked cancelled(bravo, [&] { ++wakes; });
    cancelled.close();
    EXPECT_FALSE(cancelled.admit(bravo, 0x39)) << "nothing after Cancel";

    FetchAsked byMailslot(Origin{}, nullptr);
    EXPECT_FALSE(byMailslot.admit(bravo, 0x49)) << "asked by mailslot, answered by mailslot";
    EXPECT_TRUE(byMailslot.admit(Origin{}, 0x49));
}

TEST(ShareConversations, QueriesKeepEachAnswererOnceWithinBounds) {
    int wakes = 0;
    UsersAsked users([&] { ++wakes; });
    users.add({"bob", "BRAVO", bravo});
    users.add({"bob", "BRAVO", bravoAgain});
    users.add({"bob", "EVE", eve});
    users.add({std::string(400, 'b'), "BRAVO", bravo});
    std::vector<Answerer> taken = users.take();
    ASSERT_EQ(3u, taken.size()) << "one per user and computer, whatever the lengths";
    EXPECT_EQ(1, wakes);
    for (int i = 0; i < 5000; ++i)
        users.add({"u" + std::to_string(i), "PC", eve});
    EXPECT_EQ(UsersAsked::maxAnswers - 3, users.take().size());
    users.close();
    users.add({"late", "PC", eve});
    EXPECT_TRUE(users.take().empty()) << "nothing once the dialog is gone";

    ClipsAsked lists(nullptr);
    lists.add({{"bob", "BRAVO", bravo}, std::vector<ClipListRecord>(180000)});
    EXPECT_EQ(ClipsAsked::maxRecords, lists.take().at(0).records.size()) << "no more than a copy can share";

    Conversations open;
    auto clips = std::make_shared<ClipsAsked>(nullptr);
    open.setClips(clips);
    EXPECT_EQ(clips, open.clips());
    EXPECT_EQ(nullptr, open.users());
    clips->close();
    EXPECT_EQ(nullptr, open.clips()) << "a closed one is no longer open";
    auto again = std::make_shared<ClipsAsked>(nullptr);
    open.setClips(again);
    again.reset();
    EXPECT_EQ(nullptr, open.clips()) << "held weakly: the dialog owns it";
}

}  // namespace
