#pragma once
// Building bitmap images for tests: from pictures of colour values, or from random bytes.
#include <cstdint>
#include <random>
#include <vector>

#include "recognition/core/bitmap_layout.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/types.hpp"

namespace tamblin::test {

// Colour values by column and row, both from 1 at the top-left.
struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<Colour> colours;

  Picture(std::int32_t w, std::int32_t h, Colour fill = 0)
      : width(w), height(h), colours(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
  Colour& at(std::int32_t x, std::int32_t y) {
    return colours[static_cast<std::size_t>(y - 1) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x - 1)];
  }
  Colour at(std::int32_t x, std::int32_t y) const { return const_cast<Picture&>(*this).at(x, y); }
};

// Offset, within the pixel block, of pixel (x, y).
inline std::int64_t blockOffset(std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel, std::int32_t x,
                                std::int32_t y) {
  return rowStride(width, bytesPerPixel) * (height - y) + std::int64_t{bytesPerPixel} * (x - 1);
}

// The bitmap image of a picture at 3 or 4 bytes per pixel, as a capture lays it out. fourth fills
// the fourth byte of 4-byte pixels, padding the row padding.
inline ByteArray imageOf(const Picture& picture, std::int32_t bytesPerPixel, std::uint8_t fourth = 0,
                         std::uint8_t padding = 0) {
  const std::int64_t stride = rowStride(picture.width, bytesPerPixel);
  ByteArray block(static_cast<std::size_t>(stride * picture.height), padding);
  for (std::int32_t y = 1; y <= picture.height; ++y) {
    for (std::int32_t x = 1; x <= picture.width; ++x) {
      const auto at = static_cast<std::size_t>(blockOffset(picture.width, picture.height, bytesPerPixel, x, y));
      const Colour colour = picture.at(x, y);
      block[at] = static_cast<std::uint8_t>(blueOf(colour));
      block[at + 1] = static_cast<std::uint8_t>(greenOf(colour));
      block[at + 2] = static_cast<std::uint8_t>(redOf(colour));
      if (bytesPerPixel == 4) block[at + 3] = fourth;
    }
  }
  return makeBitmapImage(picture.width, picture.height, static_cast<std::uint16_t>(bytesPerPixel * 8), block);
}

inline ByteView pixelBlock(const ByteArray& image) { return ByteView(image).subspan(kPrefixSize); }

// Overwrites biBitCount, e.g. with 0 so that readers fall back on the length rule.
inline void setBitCount(ByteArray& image, std::uint16_t bitCount) {
  image[28] = static_cast<std::uint8_t>(bitCount);
  image[29] = static_cast<std::uint8_t>(bitCount >> 8);
}
inline void setWidthHeight(ByteArray& image, std::uint16_t width, std::uint16_t height) {
  image[18] = static_cast<std::uint8_t>(width);
  image[19] = static_cast<std::uint8_t>(width >> 8);
  image[22] = static_cast<std::uint8_t>(height);
  image[23] = static_cast<std::uint8_t>(height >> 8);
}

// Random bytes drawn from few values, so that random needles do occur.
inline std::uint8_t randomByte(std::mt19937& rng, int distinctValues) {
  return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, distinctValues - 1)(rng) * 3);
}

inline ByteArray randomBlockImage(std::mt19937& rng, std::int32_t width, std::int32_t height,
                                  std::int32_t bytesPerPixel, int distinctValues) {
  ByteArray block(static_cast<std::size_t>(rowStride(width, bytesPerPixel) * height));
  for (std::uint8_t& byte : block) byte = randomByte(rng, distinctValues);
  return makeBitmapImage(width, height, static_cast<std::uint16_t>(bytesPerPixel * 8), block);
}

inline int randomInt(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

}  // namespace tamblin::test
