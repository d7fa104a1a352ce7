#pragma once
// Colour arithmetic over colour values 0x00BBGGRR. Only the three low bytes are read; every colour
// value computed here has a high byte of 0.
#include <cstdint>

#include "recognition/core/types.hpp"

namespace tamblin {

constexpr std::int32_t redOf(Colour colour) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(colour) & 0xFFu); }
constexpr std::int32_t greenOf(Colour colour) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(colour) >> 8) & 0xFFu);
}
constexpr std::int32_t blueOf(Colour colour) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(colour) >> 16) & 0xFFu);
}
constexpr Colour makeColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
  return red + 256 * green + 65536 * blue;
}

// (R + G + B) / 3 in all three components.
Colour toGrey(Colour colour);
// Each component through 5-6-5 bits and back, rounded to nearest both ways.
Colour quantise565(Colour colour);
// Mode 1, 2, 3: |dR|, |dG|, |dB|; mode 4: their sum. Any other mode: dR if dR > dG, else dG if
// dG > dB, else dB. That last rule never weighs red against blue, so (5, 3, 10) gives 5: kept, as
// callers have come to rely on it.
std::int32_t colourDifference(Colour colour1, Colour colour2, std::int32_t mode = 0);
// Channel 1 red, 2 green, 3 blue; 0 for any other channel.
std::int32_t colourComponent(Colour colour, std::int32_t channel);
// Largest component minus smallest.
std::int32_t colourSpread(Colour colour);
// (R + G + B) / 3, truncated.
std::int32_t colourBrightness(Colour colour);

}  // namespace tamblin
