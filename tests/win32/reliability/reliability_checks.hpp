#pragma once
// What counts as a sound answer from an operation handed something hostile: its failure value, or
// a result that hangs together.
#include <gtest/gtest.h>

#include <cstdint>

#include "recognition/core/types.hpp"
#include "tests/win32/capture/pattern_window.hpp"

namespace reliability {

using capture_test::u16;
using capture_test::u32;
using tamblin::ByteArray;
using tamblin::ImagePoint;

inline constexpr std::uint8_t kBarePrefix[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 58, 0, 0, 0, 44};

inline bool isBarePrefix(const ByteArray& image) {
  return image.size() == 58 && std::equal(image.begin(), image.end(), std::begin(kBarePrefix));
}

// A whole bitmap image of the system's layout: header fields that agree with its length and
// with each other, at one of the given depths.
inline ::testing::AssertionResult isWellFormedImage(const ByteArray& image, int bits, int width = -1,
                                                    int height = -1) {
  if (image.size() <= 58) return ::testing::AssertionFailure() << image.size() << " bytes";
  const std::int64_t w = static_cast<std::int32_t>(u32(image, 18));
  const std::int64_t h = static_cast<std::int32_t>(u32(image, 22));
  const std::int64_t stride = (w * (bits / 8) + 3) / 4 * 4;
  const bool fits = image[0] == 'B' && image[1] == 'M' && u32(image, 2) == image.size() && u32(image, 10) == 58 &&
                    u32(image, 14) == 44 && u16(image, 28) == static_cast<std::uint32_t>(bits) && w >= 1 &&
                    w <= 65535 && h >= 1 && h <= 65535 && u32(image, 34) == stride * h &&
                    image.size() == static_cast<std::size_t>(58 + stride * h) && (width < 0 || w == width) &&
                    (height < 0 || h == height);
  if (fits) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << image.size() << " bytes claiming " << w << " x " << h << " at "
                                       << u16(image, 28) << " bits; wanted " << width << " x " << height << " at "
                                       << bits;
}

inline bool isColourValue(std::int32_t colour) { return colour >= 0 && colour <= 0xFFFFFF; }

// (-1, -1), or a pixel position counted from 1.
inline bool isSoundPoint(const ImagePoint& point) {
  return point == tamblin::kNotFound || (point.x >= 1 && point.y >= 1 && point.x <= 65535 && point.y <= 65535);
}

}  // namespace reliability
