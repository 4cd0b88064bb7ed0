#include "tray/Sharing.h"
#include "base/StringList.h"

#include <gtest/gtest.h>

namespace {

// Who a request says it is, against the pairs the share dialog stored.
TEST(Sharing, ChosenUsersMatchByUserAndComputer) {
    StringList allowed;
    for (const char* name : {"anna", "ANNA-PC", "boris", "BORIS-PC"})
        allowed.add(name);
    struct Asker {
        const char* user;
        const char* computer;
        bool served;
        const char* why;
    };
    for (const Asker& asker : {
             Asker{"anna", "ANNA-PC", true, "a stored pair"},
             Asker{"boris", "boris-pc", true, "computer names whatever the case"},
             Asker{"Anna", "ANNA-PC", false, "user names with their case"},
             Asker{"anna", "BORIS-PC", false, "the user on another computer is somebody else"},
             Asker{"anna", "EVE", false, "nor on a computer of nobody's"},
             Asker{"ANNA-PC", "anna", false, "a pair is not read backwards"},
             Asker{"ann", "ANNA-PC", false, "whole names"},
             Asker{nullptr, "ANNA-PC", false, "no name"},
         }) {
        EXPECT_EQ(asker.served, isSharedWith(true, false, allowed, asker.user, asker.computer)) << asker.why;
        EXPECT_FALSE(isSharedWith(false, false, allowed, asker.user, asker.computer)) << "not shared at all";
        EXPECT_TRUE(isSharedWith(true, true, allowed, asker.user, asker.computer)) << "all users";
    }
    StringList odd;
    odd.add("anna");
    EXPECT_FALSE(isSharedWith(true, false, odd, "anna", "")) << "a user without a computer matches nobody";
}

}  // namespace
