#include "recognition/core/colour.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace tamblin {
namespace {

constexpr Colour kSample = 0x00336699;  // R 153, G 102, B 51

TEST(ColourArithmetic, SampleColour) {
  EXPECT_EQ(toGrey(kSample), 0x00666666);
  EXPECT_EQ(colourBrightness(kSample), 102);
  EXPECT_EQ(quantise565(kSample), 0x0031659C);
  EXPECT_EQ(colourSpread(kSample), 102);
  const std::int32_t components[] = {0, 153, 102, 51, 0};
  for (std::int32_t channel = 0; channel <= 4; ++channel) {
    EXPECT_EQ(colourComponent(kSample, channel), components[channel]) << "channel " << channel;
  }
  EXPECT_EQ(colourComponent(kSample, -1), 0);
  const std::int32_t differences[] = {153, 153, 102, 51, 306, 153};  // modes 0 to 5
  for (std::int32_t mode = 0; mode <= 5; ++mode) {
    EXPECT_EQ(colourDifference(kSample, 0, mode), differences[mode]) << "mode " << mode;
  }
}

TEST(ColourArithmetic, HighByteIsIgnored) {
  const Colour withHighByte = static_cast<Colour>(0xFF336699u);
  EXPECT_EQ(toGrey(withHighByte), 0x00666666);
  EXPECT_EQ(quantise565(withHighByte), 0x0031659C);
  EXPECT_EQ(colourSpread(withHighByte), 102);
  EXPECT_EQ(colourBrightness(withHighByte), 102);
  EXPECT_EQ(colourComponent(withHighByte, 1), 153);
  EXPECT_EQ(colourDifference(withHighByte, kSample, 4), 0);
  EXPECT_EQ(toGrey(-1), 0x00FFFFFF);  // -1 is white
}

TEST(ColourArithmetic, GreyAndBrightnessTruncate) {
  struct Case {
    Colour colour;
    std::int32_t grey;
  };
  const Case cases[] = {{0x00000203, 1}, {0x00FFFEFF, 254}, {0x00FFFFFF, 255}, {0x00000000, 0}, {0x00000002, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(colourBrightness(c.colour), c.grey) << std::hex << c.colour;
    EXPECT_EQ(toGrey(c.colour), c.grey * 0x010101) << std::hex << c.colour;
  }
}

TEST(ColourArithmetic, Quantise565Cases) {
  EXPECT_EQ(quantise565(0x00000000), 0x00000000);
  EXPECT_EQ(quantise565(0x00FFFFFF), 0x00FFFFFF);
  EXPECT_EQ(quantise565(0x00808080), 0x00848284);
  EXPECT_EQ(quantise565(0x00010203), 0x00000000);
  EXPECT_EQ(quantise565(0x00000004), 0x00000000);  // red 4 -> 0
  EXPECT_EQ(quantise565(0x00040000), 0x00000000);  // blue 4 -> 0
  EXPECT_EQ(quantise565(0x00000400), 0x00000400);  // green 4 stays 4
}

// Every byte, in every channel, against the rounding of the exact quotients; and the outputs are
// exactly the 32 red/blue and 64 green levels.
TEST(ColourArithmetic, Quantise565MatchesRoundingForEveryByte) {
  std::set<std::int32_t> redLevels, greenLevels;
  for (std::int32_t v = 0; v <= 255; ++v) {
    const auto roundTrip = [](std::int32_t value, double levels) {
      const double quantised = std::round(value * levels / 255.0);
      return static_cast<std::int32_t>(std::round(quantised * 255.0 / levels));
    };
    const Colour out = quantise565(makeColour(v, v, v));
    EXPECT_EQ(redOf(out), roundTrip(v, 31)) << v;
    EXPECT_EQ(greenOf(out), roundTrip(v, 63)) << v;
    EXPECT_EQ(blueOf(out), roundTrip(v, 31)) << v;
    redLevels.insert(redOf(out));
    greenLevels.insert(greenOf(out));
  }
  EXPECT_EQ(redLevels.size(), 32u);
  EXPECT_EQ(greenLevels.size(), 64u);
  EXPECT_TRUE(redLevels.count(25) && redLevels.count(33) && redLevels.count(247));
  EXPECT_TRUE(greenLevels.count(12) && greenLevels.count(251));
}

// The default mode weighs red against green and green against blue, never red against blue.
TEST(ColourArithmetic, DifferenceDefaultModeTable) {
  struct Case {
    std::int32_t dR, dG, dB, expected;
  };
  const Case cases[] = {
      {5, 3, 10, 5},  // dR > dG wins although dB is larger
      {5, 5, 1, 5},   // equal: falls through to green vs blue
      {1, 2, 3, 3},   {3, 2, 1, 3}, {1, 3, 2, 3}, {2, 2, 2, 2}, {0, 0, 0, 0}, {0, 0, 255, 255},
  };
  for (const Case& c : cases) {
    const Colour a = makeColour(0, 255, 0);
    const Colour b = makeColour(c.dR, 255 - c.dG, c.dB);  // the sign of a difference does not matter
    EXPECT_EQ(colourDifference(a, b), c.expected) << c.dR << ' ' << c.dG << ' ' << c.dB;
    EXPECT_EQ(colourDifference(b, a, 7), c.expected);
    EXPECT_EQ(colourDifference(a, b, 4), c.dR + c.dG + c.dB);
  }
  EXPECT_EQ(colourDifference(0x000A0305, 0, 0), 5);
  EXPECT_EQ(colourDifference(0x000A0305, 0, 4), 18);
  for (std::int32_t mode = -1; mode <= 5; ++mode) EXPECT_EQ(colourDifference(kSample, kSample, mode), 0);
  EXPECT_EQ(colourDifference(0x00FFFFFF, 0, 4), 765);
}

TEST(ColourArithmetic, Spread) {
  EXPECT_EQ(colourSpread(0x00000000), 0);
  EXPECT_EQ(colourSpread(0x007F7F7F), 0);
  EXPECT_EQ(colourSpread(0x000000FF), 255);
  EXPECT_EQ(colourSpread(0x00FF0000), 255);
  EXPECT_EQ(colourSpread(0x00102030), 0x20);  // blue smallest
  EXPECT_EQ(colourSpread(0x00401030), 0x30);  // blue largest, green smallest
}

}  // namespace
}  // namespace tamblin
