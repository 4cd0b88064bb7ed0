#include "base/String.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(StringConstruction, DefaultIsEmptyTextInItsOwnBuffer) {
    String a;
    String b;
    ASSERT_NE(a.text(), nullptr);
    EXPECT_STREQ(a.text(), "");
    EXPECT_EQ(a.length(), 0);
    // Each String owns its buffer, even an empty one.
    EXPECT_NE(a.text(), b.text());
}

TEST(StringConstruction, FromTextTakesACopy) {
    char source[] = "clip";
    String s(source);
    source[0] = 'X';
    EXPECT_STREQ(s.text(), "clip");
    EXPECT_EQ(s.length(), 4);
}

TEST(StringConstruction, NullTextIsEmpty) {
    String s(nullptr);
    ASSERT_NE(s.text(), nullptr);
    EXPECT_STREQ(s.text(), "");
}

TEST(StringConstruction, CopiesAreIndependent) {
    String original("alpha");
    String copy(original);
    EXPECT_NE(copy.text(), original.text());
    copy.append("beta");
    EXPECT_STREQ(original.text(), "alpha");
    EXPECT_STREQ(copy.text(), "alphabeta");
}

TEST(StringConstruction, MovedFromStringIsEmptyAndUsable) {
    String source("payload");
    const char* buffer = source.text();
    String target(std::move(source));
    EXPECT_EQ(target.text(), buffer);
    EXPECT_STREQ(source.text(), "");  // NOLINT(bugprone-use-after-move)
    source.append("again");
    EXPECT_STREQ(source.text(), "again");

    String other("other");
    other = std::move(target);
    EXPECT_STREQ(other.text(), "payload");
    // Both ends still own a buffer each; the sanitizer checks they are freed
    // exactly once.
}

TEST(StringAssign, ReplacesText) {
    String s("old text");
    s.assign("new");
    EXPECT_STREQ(s.text(), "new");
    s.assign(nullptr);
    EXPECT_STREQ(s.text(), "");
}

TEST(StringAssign, SelfAssignmentKeepsText) {
    String s("same");
    s.assign(s.text());
    EXPECT_STREQ(s.text(), "same");
    String& alias = s;
    s = alias;
    EXPECT_STREQ(s.text(), "same");
}

TEST(StringAssign, FromOwnSubstring) {
    String s("abcdef");
    s.assign(s.text() + 2);
    EXPECT_STREQ(s.text(), "cdef");
    EXPECT_EQ(s.length(), 4);
}

TEST(StringAssign, CopyAssignmentDuplicates) {
    String a("first");
    String b("second, longer");
    a = b;
    EXPECT_STREQ(a.text(), "second, longer");
    EXPECT_NE(a.text(), b.text());
    b.assign("x");
    EXPECT_STREQ(a.text(), "second, longer");
}

TEST(StringAppend, GrowsOneCharacterAtATime) {
    String s;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        const char piece[2] = {static_cast<char>('a' + i % 26), '\0'};
        s.append(piece);
        expected += piece;
        ASSERT_EQ(s.length(), i + 1);
    }
    EXPECT_EQ(expected, s.text());
}

TEST(StringAppend, OwnTextAndOwnSuffix) {
    String s("ab");
    s.append(s.text());
    EXPECT_STREQ(s.text(), "abab");
    s.append(s.text() + 3);
    EXPECT_STREQ(s.text(), "ababb");
}

TEST(StringAppend, EmptyOrNullLeavesTextAlone) {
    String s("keep");
    s.append("");
    s.append(nullptr);
    EXPECT_STREQ(s.text(), "keep");
}

TEST(StringAppendPath, InsertsSeparatorOnlyWhenMissing) {
    String folder("D:\\Docs");
    folder.appendPath("x");
    EXPECT_STREQ(folder.text(), "D:\\Docs\\x");

    String rooted("D:\\Docs\\");
    rooted.appendPath("x");
    EXPECT_STREQ(rooted.text(), "D:\\Docs\\x");
}

TEST(StringAppendPath, BuildsNestedPaths) {
    String path("C:\\");
    path.appendPath("Users");
    path.appendPath("me.Tolvaran");
    EXPECT_STREQ(path.text(), "C:\\Users\\me.Tolvaran");
}

TEST(StringAppendPath, EmptyTextStillGetsSeparator) {
    String s;
    s.appendPath("name");
    EXPECT_STREQ(s.text(), "\\name");
}

TEST(StringTruncate, OnlyShortensLongerTexts) {
    String shortText("abc");
    shortText.truncate(5);
    EXPECT_STREQ(shortText.text(), "abc");

    String longText("abcdef");
    longText.truncate(5);
    EXPECT_STREQ(longText.text(), "abcde");

    String exact("abc");
    exact.truncate(3);
    EXPECT_STREQ(exact.text(), "abc");
}

TEST(StringTruncate, ToZeroGivesEmptyText) {
    String s("abc");
    s.truncate(0);
    EXPECT_STREQ(s.text(), "");
    EXPECT_EQ(s.length(), 0);
}

TEST(StringTruncate, NegativeLengthIsIgnored) {
    String s("abc");
    s.truncate(-1);
    EXPECT_STREQ(s.text(), "abc");
}

TEST(StringTruncate, LaterAppendStartsAtTheCut) {
    String s("abcdef");
    s.truncate(2);
    s.append("Z");
    EXPECT_STREQ(s.text(), "abZ");
    EXPECT_EQ(s.length(), 3);
}

}  // namespace
