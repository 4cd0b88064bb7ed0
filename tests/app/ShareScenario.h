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

// About 5 MB: a 1280 x 1000 picture of 32 bits.
std::string picture();
constexpr const char* pictureCaption = "1280 x 1000 (32 bit)";
constexpr const char* bertsSecret = "Bert shares this with nobody";
constexpr const char* colesText = "Cole's text for everybody";
// Anna allows Dora on her button, so the share dialog starts with a checked row.
constexpr const char* dora = "Dora";
constexpr const char* dorasComputer = "DORA-PC";

// A screenshot as the system puts it on the clipboard, less the bitmap
// handle no snapshot keeps: CF_DIB, then CF_DIBV5 of the same 32-bit pixels.
struct Screen {
    int width;
    int height;
    const char* caption;
};
// About 16.6 MB and 66 MB serialized: more messages than one transfer of
// the plain protocol can number.
constexpr Screen fullHd{1920, 1080, "1920 x 1080 (32 bit)"};
constexpr Screen ultraHd{3840, 2160, "3840 x 2160 (32 bit)"};
// About 10.4 MB: what a copy speaking the plain protocol serves, as Pia.
constexpr Screen served{1440, 900, "1440 x 900 (32 bit)"};
// Pia's second entry (nettool serve), whose fetch stops part-way.
constexpr const char* stopsPartWay = "Stops part-way";
constexpr const char* pia = "Pia";
std::string screenshotDib(const Screen& screen);
std::string screenshotDibV5(const Screen& screen);

// Writes the stack file and "Set" of that user on this computer. "Bert1080"
// and "Bert4K" are Bert sharing a screenshot of that size with Anna besides
// his picture, and a text with everybody.
bool writeState(const std::string& user);

// Writes the serialized snapshot that a fetch of it carries to path, and
// its caption to caption: "picture" (Bert's), or "served" (Pia's).
bool writeSnapshot(const std::string& name, const std::string& path, std::string& caption);

}  // namespace scenario
