#include "recognition/core/image_search.hpp"

#include <gtest/gtest.h>

#include <random>

#include "recognition/core/bitmap_image.hpp"
#include "tests/core/support/search_oracles.hpp"
#include "tests/core/support/test_images.hpp"

namespace tamblin {
namespace {

using test::Picture;

// Every pixel its own colour.
Picture distinctPicture(std::int32_t width, std::int32_t height) {
  Picture picture(width, height);
  for (std::int32_t y = 1; y <= height; ++y) {
    for (std::int32_t x = 1; x <= width; ++x) picture.at(x, y) = makeColour(x, y, 0x40);
  }
  return picture;
}

Picture cut(const Picture& from, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  Picture part(width, height);
  for (std::int32_t y = 1; y <= height; ++y) {
    for (std::int32_t x = 1; x <= width; ++x) part.at(x, y) = from.at(left + x - 1, top + y - 1);
  }
  return part;
}

ImagePoint find(const ByteArray& big, const ByteArray& small, std::int32_t tolerance = 0, ImagePoint start = {}) {
  const ImagePoint answer = findImage(big, small, tolerance, start);
  EXPECT_EQ(answer, findImageReference(big, small, tolerance, start));
  return answer;
}

class FindImageAtBothDepths : public testing::TestWithParam<std::int32_t> {};

TEST_P(FindImageAtBothDepths, WhereTheSmallImageLies) {
  const std::int32_t depth = GetParam();
  const Picture big = distinctPicture(13, 15);
  const ByteArray bigImage = test::imageOf(big, depth);
  EXPECT_EQ(find(bigImage, bigImage), (ImagePoint{1, 15}));  // itself: the bottom-left pixel
  EXPECT_EQ(find(bigImage, test::imageOf(cut(big, 5, 10, 3, 3), depth)), (ImagePoint{5, 12}));
  EXPECT_EQ(find(bigImage, test::imageOf(cut(big, 13, 1, 1, 1), depth)), (ImagePoint{13, 1}));  // top-right
  EXPECT_EQ(find(bigImage, test::imageOf(cut(big, 1, 1, 13, 1), depth)), (ImagePoint{1, 1}));   // the top row
  EXPECT_EQ(find(bigImage, test::imageOf(Picture(2, 1, 0x00FFFFFF), depth)), kNotFound);

  // Only the bottom row is compared.
  Picture other = cut(big, 5, 10, 3, 3);
  other.at(1, 1) = other.at(3, 2) = 0x00ABCDEF;
  EXPECT_EQ(find(bigImage, test::imageOf(other, depth)), (ImagePoint{5, 12}));
}

TEST_P(FindImageAtBothDepths, TieBreaksAndStartPoints) {
  const std::int32_t depth = GetParam();
  Picture big(9, 6, 0x00101010);
  const Picture needle(2, 1, 0x00C0FFEE);
  for (auto [x, y] : {std::pair{6, 4}, {2, 4}, {3, 2}, {8, 6}}) big.at(x, y) = big.at(x + 1, y) = needle.at(1, 1);
  const ByteArray bigImage = test::imageOf(big, depth);
  const ByteArray small = test::imageOf(needle, depth);

  EXPECT_EQ(find(bigImage, small), (ImagePoint{8, 6}));  // the lowest row first
  EXPECT_EQ(find(bigImage, small, 0, {8, 6}), (ImagePoint{2, 4}));  // then, in a row, the leftmost
  EXPECT_EQ(find(bigImage, small, 0, {2, 4}), (ImagePoint{6, 4}));
  EXPECT_EQ(find(bigImage, small, 0, {6, 4}), (ImagePoint{3, 2}));
  EXPECT_EQ(find(bigImage, small, 0, {3, 2}), kNotFound);
  EXPECT_EQ(find(bigImage, small, 0, {1, 4}), (ImagePoint{2, 4}));  // at the pixel after the start
  EXPECT_EQ(find(bigImage, small, 0, {2, 5}), (ImagePoint{2, 4}));
  // Start points that do not count, or whose offset comes out negative, start from the beginning.
  for (ImagePoint start : {ImagePoint{0, 0}, ImagePoint{0, 3}, ImagePoint{3, 0}, ImagePoint{-4, 2}, ImagePoint{1, 7},
                           ImagePoint{1, 1000}}) {
    EXPECT_EQ(find(bigImage, small, 0, start), (ImagePoint{8, 6})) << start;
  }
  EXPECT_EQ(find(bigImage, small, 0, {9, 1}), kNotFound);  // past the top row's last pixel
  EXPECT_EQ(find(bigImage, small, 0, {INT32_MAX, INT32_MAX}), (ImagePoint{8, 6}));  // far below: negative
  EXPECT_EQ(find(bigImage, small, 0, {INT32_MAX, 1}), kNotFound);
}

TEST_P(FindImageAtBothDepths, Tolerance) {
  const std::int32_t depth = GetParam();
  Picture big(6, 3, 0x00000000);
  big.at(3, 2) = 0x00646464;
  const ByteArray bigImage = test::imageOf(big, depth);
  const ByteArray near = test::imageOf(Picture(1, 1, 0x005F6469), depth);  // -5, 0, +5
  EXPECT_EQ(find(bigImage, near, 0), kNotFound);
  EXPECT_EQ(find(bigImage, near, -5), kNotFound);  // a negative tolerance is an exact search
  EXPECT_EQ(find(bigImage, near, 4), kNotFound);
  EXPECT_EQ(find(bigImage, near, 5), (ImagePoint{3, 2}));
  EXPECT_EQ(find(bigImage, near, 255), (ImagePoint{1, 3}));  // everything matches at the start
}

INSTANTIATE_TEST_SUITE_P(Depths, FindImageAtBothDepths, testing::Values(3, 4),
                         [](const auto& info) { return std::to_string(info.param * 8) + "bit"; });

TEST(FindImage, FourthByteTakesPart) {
  Picture picture(4, 3);
  for (std::int32_t y = 1; y <= 3; ++y) {
    for (std::int32_t x = 1; x <= 4; ++x) picture.at(x, y) = makeColour(50 * x, 60 * y, 0x40);  // far apart
  }
  const ByteArray big = test::imageOf(picture, 4, 0);
  const ByteArray small = test::imageOf(cut(picture, 2, 2, 2, 1), 4, 7);
  EXPECT_EQ(find(big, small), kNotFound);
  EXPECT_EQ(find(big, small, 6), kNotFound);
  EXPECT_EQ(find(big, small, 7), (ImagePoint{2, 2}));
}

TEST(FindImage, DifferentDepthsAreComparedByteForByte) {
  const Picture picture = distinctPicture(8, 4);
  EXPECT_EQ(find(test::imageOf(picture, 4), test::imageOf(cut(picture, 3, 2, 3, 2), 3)), kNotFound);
  EXPECT_EQ(find(test::imageOf(picture, 3), test::imageOf(cut(picture, 3, 2, 3, 2), 4)), kNotFound);
}

// A hit may begin inside a pixel, and may run on across stored rows.
TEST(FindImage, HitsNeedNotKeepToPixelsOrRows) {
  // 32-bit rows have no padding, so a row wider than the picture runs into the row above.
  const Picture picture = distinctPicture(3, 4);
  const ByteArray big = test::imageOf(picture, 4);
  Picture wide(5, 1);
  for (std::int32_t x = 1; x <= 3; ++x) wide.at(x, 1) = picture.at(x, 3);
  wide.at(4, 1) = picture.at(1, 2);
  wide.at(5, 1) = picture.at(2, 2);
  EXPECT_EQ(find(big, test::imageOf(wide, 4)), (ImagePoint{1, 3}));

  // A 3-byte needle whose bytes straddle two 3-byte pixels of a 24-bit image: reported at the
  // pixel it begins in.
  Picture row(4, 1, 0);
  row.at(2, 1) = 0x00010203;  // bytes 01 02 03 (blue, green, red)
  row.at(3, 1) = 0x00040506;  // bytes 04 05 06
  const ByteArray bigRow = test::imageOf(row, 3);
  EXPECT_EQ(find(bigRow, test::imageOf(Picture(1, 1, 0x00020304), 3)), (ImagePoint{2, 1}));  // 02 03 04
  EXPECT_EQ(find(bigRow, test::imageOf(Picture(1, 1, 0x00030405), 3)), (ImagePoint{2, 1}));  // 03 04 05
  EXPECT_EQ(find(bigRow, test::imageOf(Picture(1, 1, 0x00040506), 3)), (ImagePoint{3, 1}));
}

// With 3 bytes per pixel a match may begin in the row padding; it belongs to no pixel, and the
// search goes on behind it.
TEST(FindImage, HitBeginningInRowPaddingIsPassedOver) {
  Picture picture(5, 3, 0);  // stride 16: 15 bytes of pixels and one of padding
  picture.at(1, 2) = 0x00000B0A;  // blue 00, green 0B, red 0A
  const ByteArray big = test::imageOf(picture, 3, 0, /*padding=*/0x42);
  const ByteArray small = test::imageOf(Picture(1, 1, 0x0042000B), 3);  // bytes 42 00 0B: padding, then (1, 2)
  ASSERT_EQ(findImage(big, test::imageOf(Picture(1, 1, 0x000B0A00), 3)), (ImagePoint{1, 2}));
  EXPECT_EQ(find(big, small), kNotFound);

  // The same bytes at a pixel further on are still found.
  picture.at(4, 1) = 0x0042000B;
  EXPECT_EQ(find(test::imageOf(picture, 3, 0, 0x42), small), (ImagePoint{4, 1}));
}

// The 24-bit captures of the region capture hold needles 1 to 3 pixels wide as 24-bit images too;
// their bit count says so although their length fits 4 bytes per pixel as well.
TEST(FindImage, NarrowTwentyFourBitNeedles) {
  const Picture picture = distinctPicture(11, 7);
  const ByteArray big = test::imageOf(picture, 3);
  for (std::int32_t width = 1; width <= 7; ++width) {
    for (std::int32_t height : {1, 2}) {
      EXPECT_EQ(find(big, test::imageOf(cut(picture, 4, 3, width, height), 3)), (ImagePoint{4, 3 + height - 1}))
          << width << 'x' << height;
    }
  }
}

TEST(FindImage, NotAnImage) {
  const ByteArray big = test::imageOf(distinctPicture(4, 4), 3);
  ByteArray bare(big.begin(), big.begin() + 58);
  EXPECT_EQ(find(bare, big), kNotFound);
  EXPECT_EQ(find(big, bare), kNotFound);
  EXPECT_EQ(find(ByteArray{}, big), kNotFound);
  EXPECT_EQ(find(big, ByteArray{}), kNotFound);
  ByteArray zeroWidth = big;
  test::setWidthHeight(zeroWidth, 0, 4);
  EXPECT_EQ(find(zeroWidth, big), kNotFound);
  EXPECT_EQ(find(big, zeroWidth), kNotFound);
  // A small image whose bottom row is not all there.
  ByteArray cutShort(big.begin(), big.begin() + 62);
  EXPECT_EQ(find(big, cutShort), kNotFound);
  // A pattern longer than the whole search data.
  EXPECT_EQ(find(test::imageOf(distinctPicture(2, 2), 3), test::imageOf(distinctPicture(9, 1), 3)), kNotFound);
}

// Bytes past the header's rows belong to no pixel; headers that claim more than the array holds
// are searched only where the bytes are.
TEST(FindImage, LyingLengths) {
  const Picture picture = distinctPicture(4, 2);
  ByteArray big = test::imageOf(picture, 4);
  const ByteArray small = test::imageOf(Picture(1, 1, 0x00777777), 4);
  big.insert(big.end(), {0x77, 0x77, 0x77, 0x00, 0x77, 0x77, 0x77, 0x00});
  EXPECT_EQ(find(big, small), kNotFound);

  ByteArray huge = test::imageOf(picture, 4);
  test::setWidthHeight(huge, 65535, 65535);
  const ImagePoint found = find(huge, test::imageOf(cut(picture, 2, 2, 1, 1), 4));
  // 3 bytes per pixel by length: offset 4 of the block is column 2 of the claimed bottom row.
  EXPECT_EQ(found, (ImagePoint{2, 65535}));
  EXPECT_EQ(find(huge, test::imageOf(cut(picture, 2, 2, 1, 1), 4), 0, {2, 65535}), kNotFound);
  EXPECT_EQ(find(huge, huge), kNotFound);  // its claimed bottom row is longer than the data
}

ByteArray randomImage(std::mt19937& rng, std::int32_t bytesPerPixel, int distinct) {
  const std::int32_t width = test::randomInt(rng, 1, 9);
  const std::int32_t height = test::randomInt(rng, 1, 5);
  ByteArray image = test::randomBlockImage(rng, width, height, bytesPerPixel, distinct);
  switch (test::randomInt(rng, 0, 9)) {
    case 0: image.resize(image.size() - static_cast<std::size_t>(test::randomInt(rng, 1, static_cast<int>(image.size()) - 58))); break;
    case 1: image.resize(image.size() + static_cast<std::size_t>(test::randomInt(rng, 1, 9)), 0); break;
    case 2: test::setBitCount(image, 0); break;  // the length rule decides
    default: break;
  }
  return image;
}

// A small image whose bottom row is copied from somewhere in the big image's block (often across
// pixels and rows), then nudged.
ByteArray needleFrom(std::mt19937& rng, const ByteArray& big, std::int32_t bytesPerPixel, int distinct) {
  const std::int32_t width = test::randomInt(rng, 1, 4);
  const std::int32_t height = test::randomInt(rng, 1, 3);
  ByteArray small = test::randomBlockImage(rng, width, height, bytesPerPixel, distinct);
  const std::size_t length = static_cast<std::size_t>(width * bytesPerPixel);
  if (big.size() >= 58 + length && test::randomInt(rng, 0, 3) > 0) {
    const std::size_t at = 58 + static_cast<std::size_t>(test::randomInt(rng, 0, static_cast<int>(big.size() - 58 - length)));
    std::copy(big.begin() + static_cast<std::ptrdiff_t>(at), big.begin() + static_cast<std::ptrdiff_t>(at + length), small.begin() + 58);
    if (test::randomInt(rng, 0, 2) == 0) {
      std::uint8_t& byte = small[58 + static_cast<std::size_t>(test::randomInt(rng, 0, static_cast<int>(length) - 1))];
      byte = static_cast<std::uint8_t>(byte + test::randomInt(rng, 1, 4));
    }
  }
  return small;
}

TEST(FindImage, AgreesWithItsGuaranteeOnRandomImages) {
  std::mt19937 rng(7041);
  const std::int32_t tolerances[] = {-3, 0, 0, 1, 2, 3, 5, 255};
  for (int round = 0; round < 30000; ++round) {
    const int distinct = test::randomInt(rng, 1, 3);
    const std::int32_t bigDepth = test::randomInt(rng, 3, 4);
    const std::int32_t smallDepth = test::randomInt(rng, 0, 9) == 0 ? 7 - bigDepth : bigDepth;
    const ByteArray big = randomImage(rng, bigDepth, distinct);
    const ByteArray small = needleFrom(rng, big, smallDepth, distinct);
    const std::int32_t tolerance = tolerances[test::randomInt(rng, 0, 7)];
    const std::int32_t width = getImageInfo(big).width, height = getImageInfo(big).height;
    const ImagePoint start{test::randomInt(rng, -1, width + 1), test::randomInt(rng, -1, height + 2)};
    ASSERT_EQ(findImageReference(big, small, tolerance, start), test::oracleFindImage(big, small, tolerance, start))
        << "round " << round << ", tolerance " << tolerance << ", start " << start;
    ASSERT_EQ(findImage(big, small, tolerance, start), findImageReference(big, small, tolerance, start));
  }
}

// Feeding each answer back visits every pixel where the bottom row begins, in stored order.
TEST(FindImage, WalkingThroughEveryOccurrence) {
  std::mt19937 rng(99);
  for (int round = 0; round < 2000; ++round) {
    const std::int32_t depth = test::randomInt(rng, 3, 4);
    const ByteArray big = randomImage(rng, depth, 2);
    const ByteArray small = needleFrom(rng, big, depth, 2);
    const std::int32_t tolerance = test::randomInt(rng, 0, 1) * 3;
    const auto walked = test::walk([&](ImagePoint start) { return findImage(big, small, tolerance, start); });
    const auto expected = test::walk([&](ImagePoint start) { return test::oracleFindImage(big, small, tolerance, start); });
    ASSERT_EQ(walked, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace tamblin
