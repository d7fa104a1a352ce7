#pragma once
// Checks of captured bytes, shared by the capture tests.
#include <gtest/gtest.h>

#include "recognition/core/types.hpp"
#include "tests/win32/capture/pattern_window.hpp"

namespace capture_test {

using tamblin::ByteArray;

// The 58-byte prefix of an image of width x height at bits per pixel, field by field.
inline void expectHeader(const ByteArray& image, int width, int height, int bits) {
  const std::size_t stride = (static_cast<std::size_t>(width) * (bits / 8) + 3) / 4 * 4;
  ASSERT_EQ(image.size(), 58 + stride * height);
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  EXPECT_EQ(u32(image, 2), image.size());
  EXPECT_EQ(u32(image, 6), 0u);
  EXPECT_EQ(u32(image, 10), 58u);
  EXPECT_EQ(u32(image, 14), 44u);
  EXPECT_EQ(s32(image, 18), width);
  EXPECT_EQ(s32(image, 22), height);
  EXPECT_EQ(u16(image, 26), 1u);
  EXPECT_EQ(u16(image, 28), static_cast<std::uint32_t>(bits));
  EXPECT_EQ(u32(image, 30), 0u);
  EXPECT_EQ(u32(image, 34), stride * height);
  EXPECT_EQ(u32(image, 54), 0u);
}

inline void expectBarePrefix(const ByteArray& image) {
  ASSERT_EQ(image.size(), 58u);
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  EXPECT_EQ(u32(image, 2), 58u);
  EXPECT_EQ(u32(image, 10), 58u);
  EXPECT_EQ(u32(image, 14), 44u);
  for (std::size_t at = 18; at < 58; ++at) EXPECT_EQ(image[at], 0) << "byte " << at;
}

// Every pixel of image (or of its first width x height) equals the window's picture from client
// point (dx, dy) on.
inline void expectPicture(const ByteArray& image, const PatternWindow& window, int dx, int dy, int width = -1,
                          int height = -1) {
  if (width < 0) width = s32(image, 18);
  if (height < 0) height = s32(image, 22);
  int wrong = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (pixelOf(image, x, y) != window.at(dx + x, dy + y) && ++wrong <= 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << pixelOf(image, x, y)
                      << ", expected 0x" << window.at(dx + x, dy + y);
  EXPECT_EQ(wrong, 0);
}

}  // namespace capture_test
