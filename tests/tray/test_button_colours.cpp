#include "tray/ButtonColours.h"

#include <gtest/gtest.h>

namespace {

TEST(ButtonColours, FacesGoRoundTheTableAndEachRoundTakesTheNextAccent) {
    EXPECT_EQ(buttonColoursFor(0).face, rgb(0, 0, 255));
    EXPECT_EQ(buttonColoursFor(0).accent, rgb(128, 0, 0));  // maroon for the first round
    EXPECT_EQ(buttonColoursFor(5).face, rgb(128, 0, 0));    // maroon on maroon
    EXPECT_EQ(buttonColoursFor(13).face, rgb(255, 255, 255));
    EXPECT_EQ(buttonColoursFor(13).accent, rgb(128, 0, 0));
    EXPECT_EQ(buttonColoursFor(14).face, rgb(0, 0, 255));  // blue again...
    EXPECT_EQ(buttonColoursFor(14).accent, rgb(0, 255, 255));  // ...with aqua
    EXPECT_EQ(buttonColoursFor(14 * 9).accent, rgb(0, 0, 255));  // accents wrap too
    EXPECT_EQ(buttonColoursFor(0xFFFFFFFFu).face, buttonColoursFor(0xFFFFFFFFu % 14).face);
}

}  // namespace
