// The searches and readers with the extreme 32-bit values the fuzzers do not reach (they draw
// 16-bit start points and tolerances, and at most 16 KB of input): INT32_MIN and INT32_MAX start
// points, tolerances and colours, over arrays of a hundred kilobytes and more whose headers claim
// more than they hold. Every kernel gives the reference's answer and the answer is a pixel of the
// picture; under the sanitizers, nothing reads outside the arrays and no arithmetic overflows.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/colour_search.hpp"
#include "recognition/core/image_search.hpp"
#include "recognition/core/kernels/dispatch.hpp"
#include "tests/core/support/test_images.hpp"

namespace tamblin {
namespace {

using kernels::Kernel;

constexpr std::int32_t kTolerances[] = {INT32_MIN, -1, 0, 1, 255, 256, INT32_MAX};

struct Hostile {
  std::string name;
  ByteArray bytes;
};

std::vector<Hostile> hostileImages() {
  std::mt19937 rng(20241211u);
  std::vector<Hostile> images;
  images.push_back({"300 x 200 at 24 bits", test::randomBlockImage(rng, 300, 200, 3, 3)});
  images.push_back({"128 x 128 at 32 bits", test::randomBlockImage(rng, 128, 128, 4, 3)});
  images.push_back({"3 x 5000 at 24 bits, rows as long as 32-bit ones", test::randomBlockImage(rng, 3, 5000, 3, 3)});
  ByteArray claims = test::randomBlockImage(rng, 300, 200, 3, 3);
  test::setWidthHeight(claims, 65535, 65535);
  images.push_back({"claims 65535 x 65535, holds 180 KB", claims});
  ByteArray wide(300000, 0);
  std::copy_n(test::randomBlockImage(rng, 1, 1, 3, 3).begin(), kPrefixSize, wide.begin());
  test::setWidthHeight(wide, 65535, 1);
  test::setBitCount(wide, 0);
  images.push_back({"claims 65535 x 1, 300 KB of zeros", wide});
  ByteArray cut = test::randomBlockImage(rng, 300, 200, 3, 3);
  cut.resize(cut.size() - 451);
  images.push_back({"300 x 200 cut in the middle of a row", cut});
  ByteArray bare = test::randomBlockImage(rng, 1, 1, 3, 3);
  bare.resize(kPrefixSize);
  images.push_back({"bare prefix", bare});
  return images;
}

std::vector<ImagePoint> startPoints(ByteView image) {
  const std::int32_t w = headerWidth(image);
  const std::int32_t h = headerHeight(image);
  return {{0, 0},       {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {1, INT32_MAX}, {INT32_MAX, 1},
          {1, INT32_MIN}, {w, h},               {w, 1},                 {1, h + 1}};
}

std::vector<Kernel> availableKernels() {
  std::vector<Kernel> all;
  for (const Kernel kernel : {Kernel::Scalar, Kernel::Sse2, Kernel::Avx2})
    if (kernels::kernelAvailable(kernel)) all.push_back(kernel);
  return all;
}

bool inPicture(ByteView image, ImagePoint point) {
  return point.x >= 1 && point.y >= 1 && point.x <= headerWidth(image) && point.y <= headerHeight(image);
}

TEST(Extremes, ColourSearch) {
  int tried = 0;
  for (const Hostile& image : hostileImages()) {
    SCOPED_TRACE(image.name);
    const std::int32_t present = getImagePixel(image.bytes, 2, headerHeight(image.bytes));
    for (const Colour colour : {Colour{0}, Colour{-1}, Colour{INT32_MIN}, present}) {
      for (const std::int32_t tolerance : kTolerances) {
        for (const ImagePoint start : startPoints(image.bytes)) {
          const ImagePoint expected = findColourReference(image.bytes, colour, tolerance, start);
          ASSERT_TRUE(expected == kNotFound || inPicture(image.bytes, expected)) << expected;
          for (const Kernel kernel : availableKernels()) {
            ASSERT_EQ(kernels::findColourWith(kernel, image.bytes, colour, tolerance, start), expected)
                << kernels::kernelName(kernel) << " colour " << colour << " tolerance " << tolerance << " start "
                << start;
          }
          ASSERT_EQ(findColour(image.bytes, colour, tolerance, start), expected);
          ++tried;
        }
      }
    }
  }
  std::printf("findColour: %d extreme cases, each on every kernel\n", tried);
}

TEST(Extremes, ImageSearch) {
  std::mt19937 rng(7u);
  const std::vector<Hostile> bigs = hostileImages();
  std::vector<Hostile> smalls = {
      {"1 x 1", test::randomBlockImage(rng, 1, 1, 3, 3)},
      {"4 x 2 at 32 bits", test::randomBlockImage(rng, 4, 2, 4, 3)},
      {"claims 65535 wide, holds 2 pixels", test::randomBlockImage(rng, 2, 1, 3, 3)},
  };
  test::setWidthHeight(smalls[2].bytes, 65535, 1);
  // A needle cut from the first big image's bottom row, so that some searches do find it.
  ByteArray cut = test::randomBlockImage(rng, 5, 1, 3, 3);
  std::copy_n(test::pixelBlock(bigs[0].bytes).begin() + 30, 15, cut.begin() + kPrefixSize);
  smalls.push_back({"5 x 1 from the first big image", cut});
  int tried = 0;
  for (const Hostile& big : bigs) {
    for (const Hostile& small : smalls) {
      SCOPED_TRACE(big.name + " / " + small.name);
      for (const std::int32_t tolerance : kTolerances) {
        for (const ImagePoint start : startPoints(big.bytes)) {
          const ImagePoint expected = findImageReference(big.bytes, small.bytes, tolerance, start);
          ASSERT_TRUE(expected == kNotFound || inPicture(big.bytes, expected)) << expected;
          for (const Kernel kernel : availableKernels()) {
            ASSERT_EQ(kernels::findImageWith(kernel, big.bytes, small.bytes, tolerance, start), expected)
                << kernels::kernelName(kernel) << " tolerance " << tolerance << " start " << start;
          }
          ++tried;
        }
      }
    }
  }
  // The cut needle is found where it was cut from: column 11 of the bottom row.
  EXPECT_EQ(findImage(bigs[0].bytes, smalls[3].bytes), (ImagePoint{11, 200}));
  std::printf("findImage: %d extreme cases, each on every kernel\n", tried);
}

TEST(Extremes, ByteSearch) {
  std::mt19937 rng(11u);
  ByteArray random(100 * 1024);
  for (std::uint8_t& byte : random) byte = test::randomByte(rng, 4);
  const ByteArray zeros(256 * 1024, 0);
  int tried = 0;
  const ByteArray* const haystacks[] = {&random, &zeros};
  for (const ByteArray* haystack : haystacks) {
    const auto h = static_cast<std::int32_t>(haystack->size());
    for (const std::size_t n : {0u, 1u, 2u, 16u, 17u, 31u, 32u, 33u, 64u, 65u}) {
      // Taken from near the end, so that a hit, if any, lies far in.
      const ByteView needle = ByteView(*haystack).subspan(haystack->size() - n - 5, n);
      for (const std::int32_t tolerance : kTolerances) {
        for (const std::int32_t start : {INT32_MIN, -1, 0, 1, 2, h - static_cast<std::int32_t>(n) + 1,
                                         h - static_cast<std::int32_t>(n) + 2, INT32_MAX}) {
          const std::int32_t expected = findBytesTolerantReference(*haystack, needle, start, tolerance);
          ASSERT_TRUE(expected == -1 || (expected >= 1 && expected <= h)) << expected;
          for (const Kernel kernel : availableKernels()) {
            ASSERT_EQ(kernels::findBytesTolerantWith(kernel, *haystack, needle, start, tolerance), expected)
                << kernels::kernelName(kernel) << " needle " << n << " start " << start << " tolerance " << tolerance;
          }
          ASSERT_EQ(findBytesTolerant(*haystack, needle, start, tolerance), expected);
          ++tried;
        }
        for (const std::int64_t from : {std::int64_t{INT64_MIN}, std::int64_t{-1}, std::int64_t{INT32_MAX},
                                        std::int64_t{INT64_MAX}}) {
          const std::int64_t expected = findBytesExactReference(*haystack, needle, from);
          for (const Kernel kernel : availableKernels()) {
            ASSERT_EQ(kernels::findBytesExactWith(kernel, *haystack, needle, from), expected)
                << kernels::kernelName(kernel) << " needle " << n << " from " << from;
            ASSERT_EQ(kernels::findBytesTolerantFromWith(kernel, *haystack, needle, from, tolerance),
                      findBytesTolerantFromReference(*haystack, needle, from, tolerance))
                << kernels::kernelName(kernel) << " needle " << n << " from " << from << " tolerance " << tolerance;
          }
          ++tried;
        }
      }
    }
  }
  std::printf("findBytesTolerant and the exact search: %d extreme cases, each on every kernel\n", tried);
}

TEST(Extremes, Readers) {
  int tried = 0;
  for (const Hostile& image : hostileImages()) {
    SCOPED_TRACE(image.name);
    const ImageInfo info = getImageInfo(image.bytes);
    EXPECT_TRUE(info == ImageInfo{} || (info.width >= 1 && info.height >= 1 && info.size == static_cast<std::int32_t>(
                                                                                               image.bytes.size())));
    for (const std::int32_t x : {INT32_MIN, -1, 0, 1, 2, 65535, 65536, INT32_MAX})
      for (const std::int32_t y : {INT32_MIN, -1, 0, 1, 2, 65535, 65536, INT32_MAX}) {
        const std::int32_t colour = getImagePixel(image.bytes, x, y);
        EXPECT_TRUE(colour == -1 || (colour >= 0 && colour <= 0xFFFFFF)) << x << ", " << y;
        if (!inPicture(image.bytes, {x, y})) {
          EXPECT_EQ(colour, -1) << x << ", " << y;
        }
        ++tried;
      }
  }
  std::printf("getImagePixel: %d extreme points\n", tried);
}

}  // namespace
}  // namespace tamblin
