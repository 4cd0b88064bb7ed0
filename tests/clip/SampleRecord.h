// The stack-file record the persistence tests, the Windows probe and the
// fuzz seeds are made of: three static entries, two buttons of which the
// second is active, and everything spelled out byte by byte.
#pragma once

#include "clip/ClipFormatItem.h"
#include "clip/ClipSnapshot.h"
#include "clip/SavedState.h"

#include <cstddef>
#include <string>

// An item holding exactly bytes; no bytes, no data.
ClipFormatItem* dataItem(unsigned format, const std::string& bytes);
// Every byte of an item's block; empty without one.
std::string dataOf(const ClipFormatItem& item);

// Static entries: CF_TEXT "AB\0"; CF_LOCALE 0x0419 and CF_TEXT "hello\0";
// an empty snapshot. Colour counter 0x01020304. Button 0: users anna and
// ANNA-PC, blue on navy, shared with those users only, holding a 4-byte
// CF_DIB and a CF_DIF without data. Button 1: no users, lime on green, not
// shared, active. Active index 1, user name Quill.
void fillSampleState(SavedState& state);

// The record as it must be written, and where its fields end.
std::string sampleRecordBytes();
struct SampleEnds {
    std::size_t statics[3];  // each static entry
    std::size_t colourCounter;
    std::size_t buttonCount;
    std::size_t settings[2];  // each button's settings
    std::size_t buttons[2];   // each whole button record
    std::size_t activeIndex;
    std::size_t userName;     // the whole record
};
SampleEnds sampleEnds();
