// The owning list of Strings behind a button's allowed users.
#include "base/StringList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string joined(const StringList& list) {
    std::string all;
    for (int i = 0; i < list.count(); ++i)
        all += std::string(list.at(i).text()) + "|";
    return all;
}

TEST(StringList, AddCopiesTheText) {
    StringList list;
    char name[] = "anna";
    list.add(name);
    name[0] = 'X';
    list.add("ANNA-PC");
    EXPECT_EQ(joined(list), "anna|ANNA-PC|");
}

TEST(StringList, SetCountFillsWithEmptyStringsAndDeletesBeyond) {
    StringList list;
    list.add("a");
    ASSERT_TRUE(list.setCount(12));  // across the growth step
    EXPECT_EQ(joined(list), "a" + std::string(12, '|'));
    ASSERT_TRUE(list.setCount(1));
    EXPECT_EQ(joined(list), "a|");
    ASSERT_TRUE(list.setCount(0));
    EXPECT_EQ(list.count(), 0);
}

// The array's own moves must not reach the list's setCount: that would delete
// moved items twice (removeAt, removeAll) or leak the Strings it puts into
// slots that add then overwrites. The sanitizers see either.
TEST(StringList, RemovingAndAddingNeverDoubleDeletesOrLeaks) {
    StringList list;
    for (int i = 0; i < 25; ++i)
        list.add(std::to_string(i).c_str());
    list.removeAt(0, 1);
    list.removeAt(10, 3);
    EXPECT_EQ(list.count(), 21);
    EXPECT_STREQ(list.at(0).text(), "1");
    EXPECT_STREQ(list.at(10).text(), "14");
    EXPECT_STREQ(list.at(20).text(), "24");
    list.removeAll();
    EXPECT_EQ(list.count(), 0);
    list.add("again");
    EXPECT_EQ(joined(list), "again|");
}

}  // namespace
