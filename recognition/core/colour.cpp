#include "recognition/core/colour.hpp"

#include <cstdlib>

namespace tamblin {

namespace {
// round(value * to / from) for non-negative values; no quotient here is ever exactly a half.
std::int32_t rescale(std::int32_t value, std::int32_t to, std::int32_t from) {
  return (value * to + from / 2) / from;
}
}  // namespace

Colour toGrey(Colour colour) {
  const std::int32_t grey = colourBrightness(colour);
  return makeColour(grey, grey, grey);
}

Colour quantise565(Colour colour) {
  const std::int32_t r5 = rescale(redOf(colour), 31, 255);
  const std::int32_t g6 = rescale(greenOf(colour), 63, 255);
  const std::int32_t b5 = rescale(blueOf(colour), 31, 255);
  return makeColour(rescale(r5, 255, 31), rescale(g6, 255, 63), rescale(b5, 255, 31));
}

std::int32_t colourDifference(Colour colour1, Colour colour2, std::int32_t mode) {
  const std::int32_t dR = std::abs(redOf(colour1) - redOf(colour2));
  const std::int32_t dG = std::abs(greenOf(colour1) - greenOf(colour2));
  const std::int32_t dB = std::abs(blueOf(colour1) - blueOf(colour2));
  switch (mode) {
    case 1: return dR;
    case 2: return dG;
    case 3: return dB;
    case 4: return dR + dG + dB;
    default:
      if (dR > dG) return dR;
      if (dG > dB) return dG;
      return dB;
  }
}

std::int32_t colourComponent(Colour colour, std::int32_t channel) {
  switch (channel) {
    case 1: return redOf(colour);
    case 2: return greenOf(colour);
    case 3: return blueOf(colour);
    default: return 0;
  }
}

std::int32_t colourSpread(Colour colour) {
  const std::int32_t red = redOf(colour);
  const std::int32_t green = greenOf(colour);
  const std::int32_t blue = blueOf(colour);
  std::int32_t maximum = red > green ? red : green;
  std::int32_t minimum = red > green ? green : red;
  if (blue > maximum) maximum = blue;
  if (blue < minimum) minimum = blue;
  return maximum - minimum;
}

std::int32_t colourBrightness(Colour colour) { return (redOf(colour) + greenOf(colour) + blueOf(colour)) / 3; }

}  // namespace tamblin
