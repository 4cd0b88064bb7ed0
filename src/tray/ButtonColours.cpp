#include "tray/ButtonColours.h"

namespace {
constexpr Colour buttonColours[14] = {
    rgb(0, 0, 255),   rgb(0, 0, 128),   rgb(0, 255, 0),     rgb(0, 128, 0),  rgb(255, 0, 0),
    rgb(128, 0, 0),   rgb(0, 255, 255), rgb(0, 128, 128),   rgb(255, 255, 0), rgb(128, 128, 0),
    rgb(255, 0, 255), rgb(128, 0, 128), rgb(0, 0, 0),       rgb(255, 255, 255),
};
constexpr std::uint32_t colourCount = 14;
}  // namespace

ButtonColours buttonColoursFor(std::uint32_t n) {
    return {buttonColours[n % colourCount], buttonColours[(n / colourCount + 5) % colourCount]};
}
