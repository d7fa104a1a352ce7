#pragma once
// What the image and colour searches guarantee, written pixel by pixel rather than as a byte scan,
// to check the searches against. Slow and plain.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/types.hpp"

namespace tamblin::test {

struct OracleFigures {
  bool image = false;
  std::int64_t width = 0, height = 0, bytesPerPixel = 0, stride = 0, blockSize = 0;
};

inline OracleFigures oracleFigures(ByteView image) {
  const ImageInfo info = getImageInfo(image);
  OracleFigures figures;
  if (info.bitsPerPixel == 0) return figures;
  figures.image = true;
  figures.width = info.width;
  figures.height = info.height;
  figures.bytesPerPixel = info.bytesPerPixel;
  figures.stride = (figures.width * figures.bytesPerPixel + 3) / 4 * 4;
  figures.blockSize = static_cast<std::int64_t>(image.size()) - 58;
  return figures;
}

inline std::int64_t oracleStart(const OracleFigures& f, ImagePoint start) {
  if (start.x < 1 || start.y < 1) return 0;
  const std::int64_t offset = f.stride * (f.height - start.y) + f.bytesPerPixel * start.x;
  return offset < 0 ? 0 : offset;
}

// Every pixel of the picture in stored order (bottom row first, left to right) whose bytes are all
// in the array, and each byte of it at or after the start, is a candidate beginning for the small
// image's bottom row; the first that matches names its pixel.
inline ImagePoint oracleFindImage(ByteView big, ByteView small, std::int32_t tolerance, ImagePoint start) {
  const OracleFigures b = oracleFigures(big);
  const OracleFigures s = oracleFigures(small);
  if (!b.image || !s.image) return kNotFound;
  const std::int64_t patternLength = s.width * s.bytesPerPixel;
  if (s.blockSize < patternLength) return kNotFound;
  const std::int64_t from = oracleStart(b, start);
  for (std::int64_t row = 0; row < b.height; ++row) {
    for (std::int64_t column = 0; column < b.width; ++column) {
      const std::int64_t pixel = row * b.stride + column * b.bytesPerPixel;
      if (pixel + b.bytesPerPixel > b.blockSize) return kNotFound;
      for (std::int64_t inPixel = 0; inPixel < b.bytesPerPixel; ++inPixel) {
        const std::int64_t offset = pixel + inPixel;
        if (offset < from || offset + patternLength > b.blockSize) continue;
        bool matches = true;
        for (std::int64_t k = 0; k < patternLength && matches; ++k) {
          const int d = std::abs(big[static_cast<std::size_t>(58 + offset + k)] - small[static_cast<std::size_t>(58 + k)]);
          matches = tolerance > 0 ? d <= tolerance : d == 0;
        }
        if (matches) {
          return {static_cast<std::int32_t>(column + 1), static_cast<std::int32_t>(b.height - row)};
        }
      }
    }
  }
  return kNotFound;
}

// The first pixel in stored order, beginning at or after the start and wholly in the array, whose
// red, green and blue are each within tolerance (equal for tolerance <= 0).
inline ImagePoint oracleFindColour(ByteView image, Colour colour, std::int32_t tolerance, ImagePoint start) {
  const OracleFigures f = oracleFigures(image);
  if (!f.image) return kNotFound;
  const std::int64_t from = oracleStart(f, start);
  const std::int32_t limit = tolerance > 0 ? tolerance : 0;
  for (std::int64_t row = 0; row < f.height; ++row) {
    for (std::int64_t column = 0; column < f.width; ++column) {
      const std::int64_t offset = row * f.stride + column * f.bytesPerPixel;
      if (offset + f.bytesPerPixel > f.blockSize) return kNotFound;
      if (offset < from) continue;
      const auto at = static_cast<std::size_t>(58 + offset);
      const Colour pixel = makeColour(image[at + 2], image[at + 1], image[at]);
      if (colourDifference(pixel, colour, 1) <= limit && colourDifference(pixel, colour, 2) <= limit &&
          colourDifference(pixel, colour, 3) <= limit) {
        return {static_cast<std::int32_t>(column + 1), static_cast<std::int32_t>(f.height - row)};
      }
    }
  }
  return kNotFound;
}

// Every answer a caller collects by feeding each answer back as the next start point.
template <typename Search>
std::vector<ImagePoint> walk(Search search, std::size_t limit = 100000) {
  std::vector<ImagePoint> answers;
  ImagePoint start{};
  for (ImagePoint answer = search(start); answer != kNotFound && answers.size() < limit; answer = search(start)) {
    answers.push_back(answer);
    start = answer;
  }
  return answers;
}

}  // namespace tamblin::test
