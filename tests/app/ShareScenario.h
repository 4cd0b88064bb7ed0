// Three computers that share clipboards, as the sharing tests set them up:
// A (TVSIM1, user Anna) fetches; B (TVSIM2, user Bert) shares a picture
// with Anna alone and a text with nobody; C (TVSIM3, user Cole) shares a
// text and an empty clipboard with everybody.
#pragma once

#include <string>

namespace scenario {

constexpr const char* anna = "Anna";
constexpr const char* bert = "Bert";
constexpr const char* cole = "Cole";

// About 5 MB: a 1280 x 1000 picture of 32 bits; with big, about 10 MB
// (1600 x 1600), for the benchmark.
std::string picture(bool big = false);
constexpr const char* pictureCaption = "1280 x 1000 (32 bit)";
constexpr const char* bertsSecret = "Bert shares this with nobody";
constexpr const char* colesText = "Cole's text for everybody";
// Anna allows Dora on her button, so the share dialog starts with a checked row.
constexpr const char* dora = "Dora";
constexpr const char* dorasComputer = "DORA-PC";

// Writes the stack file and "Set" of that user on this computer; "Bert10"
// is Bert sharing the big picture, and a text with everybody.
bool writeState(const std::string& user);

}  // namespace scenario
