#include "recognition/core/colour_search.hpp"

#include <gtest/gtest.h>

#include <random>

#include "recognition/core/bitmap_image.hpp"
#include "tests/core/support/search_oracles.hpp"
#include "tests/core/support/test_images.hpp"

namespace tamblin {
namespace {

using test::Picture;

constexpr Colour kBackground = 0x00203040;
constexpr Colour kTarget = 0x00C08040;

ImagePoint find(const ByteArray& image, Colour colour, std::int32_t tolerance = 0, ImagePoint start = {}) {
  const ImagePoint answer = findColour(image, colour, tolerance, start);
  EXPECT_EQ(answer, findColourReference(image, colour, tolerance, start));
  return answer;
}

// Both methods: the exact search (tolerance 0) and the tolerant scan (tolerance 1, which no
// background pixel comes near).
class FindColourCases : public testing::TestWithParam<std::tuple<std::int32_t, std::int32_t>> {
 protected:
  std::int32_t depth() const { return std::get<0>(GetParam()); }
  std::int32_t tolerance() const { return std::get<1>(GetParam()); }
  ImagePoint findIn(const Picture& picture, ImagePoint start = {}) {
    return find(test::imageOf(picture, depth()), kTarget, tolerance(), start);
  }
};

TEST_P(FindColourCases, CornersAndRowEnds) {
  for (auto [x, y] : {std::pair{1, 6}, {7, 1}, {7, 3}, {1, 1}, {4, 4}}) {
    Picture picture(7, 6, kBackground);
    picture.at(x, y) = kTarget;
    EXPECT_EQ(findIn(picture), (ImagePoint{x, y}));
  }
  EXPECT_EQ(findIn(Picture(7, 6, kBackground)), kNotFound);
  EXPECT_EQ(find(test::imageOf(Picture(7, 6, kBackground), depth()), 0x00000000, tolerance()), kNotFound);
}

TEST_P(FindColourCases, LowestRowThenLeftmost) {
  Picture picture(9, 6, kBackground);
  picture.at(2, 5) = picture.at(7, 5) = picture.at(7, 3) = kTarget;
  EXPECT_EQ(findIn(picture), (ImagePoint{2, 5}));
  picture.at(2, 5) = kBackground;
  EXPECT_EQ(findIn(picture), (ImagePoint{7, 5}));
}

TEST_P(FindColourCases, StartPoints) {
  Picture picture(9, 6, kBackground);
  picture.at(2, 5) = picture.at(7, 5) = picture.at(9, 3) = picture.at(1, 2) = kTarget;
  EXPECT_EQ(findIn(picture, {2, 5}), (ImagePoint{7, 5}));
  EXPECT_EQ(findIn(picture, {7, 5}), (ImagePoint{9, 3}));
  EXPECT_EQ(findIn(picture, {9, 3}), (ImagePoint{1, 2}));  // from the last of a row: the row above
  EXPECT_EQ(findIn(picture, {1, 2}), kNotFound);
  EXPECT_EQ(findIn(picture, {1, 5}), (ImagePoint{2, 5}));
  EXPECT_EQ(findIn(picture, {8, 3}), (ImagePoint{9, 3}));
  for (ImagePoint start : {ImagePoint{0, 0}, ImagePoint{0, 4}, ImagePoint{4, -1}, ImagePoint{1, 7}, ImagePoint{1, 100000}}) {
    EXPECT_EQ(findIn(picture, start), (ImagePoint{2, 5})) << start;
  }
  EXPECT_EQ(findIn(picture, {9, 1}), kNotFound);  // at or past the end of the block
  EXPECT_EQ(findIn(picture, {INT32_MAX, 1}), kNotFound);
  EXPECT_EQ(findIn(picture, {INT32_MAX, INT32_MAX}), (ImagePoint{2, 5}));
  EXPECT_EQ(test::walk([&](ImagePoint start) { return findIn(picture, start); }),
            (std::vector<ImagePoint>{{2, 5}, {7, 5}, {9, 3}, {1, 2}}));
}

TEST_P(FindColourCases, HighByteOfTheColourIsIgnored) {
  Picture picture(5, 5, kBackground);
  picture.at(3, 3) = kTarget;
  picture.at(4, 4) = 0x00FFFFFF;
  const ByteArray image = test::imageOf(picture, depth(), 0xFF);
  EXPECT_EQ(find(image, static_cast<Colour>(0xFF000000u | kTarget), tolerance()), (ImagePoint{3, 3}));
  EXPECT_EQ(find(image, -1, tolerance()), (ImagePoint{4, 4}));  // -1 is white
}

INSTANTIATE_TEST_SUITE_P(DepthsAndMethods, FindColourCases,
                         testing::Combine(testing::Values(3, 4), testing::Values(0, 1)), [](const auto& info) {
                           return std::to_string(std::get<0>(info.param) * 8) + "bit" +
                                  (std::get<1>(info.param) > 0 ? "Tolerant" : "Exact");
                         });

TEST(FindColour, ExactSearchSkipsBytesThatStraddlePixels) {
  Picture picture(4, 2, kBackground);
  // In memory (2, 2) is 11 40 80 and (3, 2) is C0 22 33: 40 80 C0 straddles them.
  picture.at(2, 2) = makeColour(0x80, 0x40, 0x11);
  picture.at(3, 2) = makeColour(0x33, 0x22, 0xC0);
  const ByteArray image = test::imageOf(picture, 3);
  EXPECT_EQ(find(image, makeColour(0xC0, 0x80, 0x40)), kNotFound);
  EXPECT_EQ(find(image, makeColour(0x80, 0x40, 0x11)), (ImagePoint{2, 2}));
  EXPECT_EQ(find(image, makeColour(0x33, 0x22, 0xC0)), (ImagePoint{3, 2}));
}

TEST(FindColour, RowPaddingIsNoPixel) {
  Picture picture(5, 2, kBackground);  // 24-bit: stride 16, one padding byte
  const ByteArray image = test::imageOf(picture, 3, 0, /*padding=*/0xC0);
  // Pixels are 20 30 40 in memory: a row ends 30 40 C0, and C0 20 30 runs into the next row.
  EXPECT_EQ(find(image, makeColour(0xC0, 0x40, 0x30)), kNotFound);
  EXPECT_EQ(find(image, makeColour(0x30, 0x20, 0xC0)), kNotFound);
  EXPECT_EQ(find(image, makeColour(0x30, 0x20, 0xC0), 1), kNotFound);
}

TEST(FindColour, FourthByteTakesNoPart) {
  Picture picture(3, 3, kBackground);
  picture.at(2, 2) = kTarget;
  const ByteArray image = test::imageOf(picture, 4, 0x99);
  EXPECT_EQ(find(image, kTarget), (ImagePoint{2, 2}));
  EXPECT_EQ(find(image, kTarget, 3), (ImagePoint{2, 2}));
}

TEST(FindColour, Tolerance) {
  const Colour base = makeColour(100, 100, 100);
  struct Case {
    Colour pixel;
    std::int32_t tolerance;
    bool found;
  };
  const Case cases[] = {
      {makeColour(110, 100, 90), 10, true},  {makeColour(90, 110, 110), 10, true},
      {makeColour(111, 100, 100), 10, false}, {makeColour(100, 89, 100), 10, false},
      {makeColour(100, 100, 111), 10, false}, {makeColour(101, 100, 100), 0, false},
      {makeColour(101, 100, 100), -5, false}, {makeColour(100, 100, 100), -5, true},
      {makeColour(100, 101, 99), 1, true},
  };
  for (const Case& c : cases) {
    Picture picture(4, 4, makeColour(0, 255, 0));
    picture.at(3, 2) = c.pixel;
    for (std::int32_t depth : {3, 4}) {
      EXPECT_EQ(find(test::imageOf(picture, depth), base, c.tolerance), (c.found ? ImagePoint{3, 2} : kNotFound))
          << std::hex << c.pixel << std::dec << " tolerance " << c.tolerance << " depth " << depth;
    }
  }
}

// The 24-bit captures of the region capture are 24-bit also when only 1 to 3 pixels wide.
TEST(FindColour, NarrowTwentyFourBitImages) {
  for (std::int32_t width = 1; width <= 7; ++width) {
    Picture picture(width, 2, kBackground);
    picture.at(width, 1) = kTarget;
    for (std::int32_t tolerance : {0, 2}) {
      EXPECT_EQ(find(test::imageOf(picture, 3), kTarget, tolerance), (ImagePoint{width, 1})) << width;
    }
  }
}

// Only the header's rows count; a header claiming more than the array holds is searched where
// the bytes are.
TEST(FindColour, LyingLengths) {
  ByteArray image = test::imageOf(Picture(4, 2, kBackground), 4);
  image.insert(image.end(), {0xC0, 0x80, 0x40, 0x00, 0xC0, 0x80, 0x40, 0x00});  // a stray row of the colour
  EXPECT_EQ(find(image, kTarget), kNotFound);
  EXPECT_EQ(find(image, kTarget, 5), kNotFound);

  Picture picture(4, 2, kBackground);
  picture.at(2, 2) = kTarget;
  ByteArray huge = test::imageOf(picture, 3);
  test::setWidthHeight(huge, 65535, 65535);
  EXPECT_EQ(find(huge, kTarget), (ImagePoint{2, 65535}));
  EXPECT_EQ(find(huge, kTarget, 1), (ImagePoint{2, 65535}));
  EXPECT_EQ(find(huge, kBackground, 0, {65535, 65535}), kNotFound);
  EXPECT_EQ(find(huge, kBackground, 1, {65535, 65535}), kNotFound);

  // The last pixel without its fourth byte is not all there.
  Picture last(2, 1, kBackground);
  last.at(2, 1) = kTarget;
  ByteArray cut = test::imageOf(last, 4);
  cut.pop_back();
  ASSERT_EQ(getImageInfo(cut).bytesPerPixel, 4);
  EXPECT_EQ(find(cut, kTarget), kNotFound);
  EXPECT_EQ(find(cut, kTarget, 1), kNotFound);
}

TEST(FindColour, NotAnImage) {
  ByteArray image = test::imageOf(Picture(3, 3, kTarget), 3);
  EXPECT_EQ(find(ByteArray(image.begin(), image.begin() + 58), kTarget), kNotFound);
  EXPECT_EQ(find(ByteArray{}, kTarget, 5), kNotFound);
  test::setWidthHeight(image, 3, 0);
  EXPECT_EQ(find(image, kTarget), kNotFound);
}

TEST(FindColour, AgreesWithItsGuaranteeOnRandomImages) {
  std::mt19937 rng(5150);
  const std::int32_t tolerances[] = {-1, 0, 0, 1, 2, 3, 4, 7, 300};
  for (int round = 0; round < 40000; ++round) {
    const std::int32_t depth = test::randomInt(rng, 3, 4);
    const std::int32_t width = test::randomInt(rng, 1, 9);
    const std::int32_t height = test::randomInt(rng, 1, 5);
    ByteArray image = test::randomBlockImage(rng, width, height, depth, test::randomInt(rng, 1, 3));
    switch (test::randomInt(rng, 0, 9)) {
      case 0: image.resize(image.size() - static_cast<std::size_t>(test::randomInt(rng, 1, static_cast<int>(image.size()) - 58))); break;
      case 1: image.resize(image.size() + static_cast<std::size_t>(test::randomInt(rng, 1, 9)), 0); break;
      case 2: test::setBitCount(image, 0); break;
      default: break;
    }
    // Mostly a colour taken from a random place in the block, so that straddling hits occur.
    Colour colour = makeColour(test::randomInt(rng, 0, 6), test::randomInt(rng, 0, 6), test::randomInt(rng, 0, 6));
    if (image.size() >= 61 && test::randomInt(rng, 0, 3) > 0) {
      const std::size_t at = 58 + static_cast<std::size_t>(test::randomInt(rng, 0, static_cast<int>(image.size()) - 61));
      colour = makeColour(image[at + 2], image[at + 1], image[at]) | (test::randomInt(rng, 0, 1) << 24);
    }
    const std::int32_t tolerance = tolerances[test::randomInt(rng, 0, 8)];
    const ImagePoint start{test::randomInt(rng, -1, width + 1), test::randomInt(rng, -1, height + 2)};
    ASSERT_EQ(findColourReference(image, colour, tolerance, start), test::oracleFindColour(image, colour, tolerance, start))
        << "round " << round << ", tolerance " << tolerance << ", start " << start;
    ASSERT_EQ(findColour(image, colour, tolerance, start), findColourReference(image, colour, tolerance, start));
  }
}

// Feeding each answer back visits every pixel of the colour, in stored order, and nothing else.
TEST(FindColour, WalkingVisitsEveryPixelOfTheColour) {
  std::mt19937 rng(77);
  for (int round = 0; round < 5000; ++round) {
    const std::int32_t depth = test::randomInt(rng, 3, 4);
    const ByteArray image = test::randomBlockImage(rng, test::randomInt(rng, 1, 9), test::randomInt(rng, 1, 5), depth, 2);
    const Colour colour = makeColour(3 * test::randomInt(rng, 0, 1), 3 * test::randomInt(rng, 0, 1), 0);
    const auto exact = test::walk([&](ImagePoint start) { return findColour(image, colour, 0, start); });
    const auto oracle = test::walk([&](ImagePoint start) { return test::oracleFindColour(image, colour, 0, start); });
    ASSERT_EQ(exact, oracle) << "round " << round;
  }
}

}  // namespace
}  // namespace tamblin
