#include "recognition/core/colour_search.hpp"

#include <array>
#include <cstdlib>
#include <optional>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/kernels/dispatch.hpp"

namespace tamblin {

namespace {

bool within(std::uint8_t byte, std::int32_t component, std::int32_t tolerance) {
  return std::abs(int{byte} - component) <= tolerance;
}

ImagePoint scanTolerant(const ImageFigures& image, Colour colour, std::int32_t tolerance, std::int64_t from) {
  const std::int32_t red = redOf(colour);
  const std::int32_t green = greenOf(colour);
  const std::int32_t blue = blueOf(colour);
  const auto blockSize = static_cast<std::int64_t>(image.pixels.size());
  // Begin with the first pixel at or after from: its row, then the first column whose start is not
  // before from (a column past W moves on to the next row).
  std::int64_t row = from / image.stride;
  std::int64_t column = (from % image.stride + image.bytesPerPixel - 1) / image.bytesPerPixel;
  for (; row < image.height; ++row, column = 0) {
    for (; column < image.width; ++column) {
      const std::int64_t offset = row * image.stride + column * image.bytesPerPixel;
      if (offset + image.bytesPerPixel > blockSize) return kNotFound;
      const auto at = static_cast<std::size_t>(offset);
      if (within(image.pixels[at + 2], red, tolerance) && within(image.pixels[at + 1], green, tolerance) &&
          within(image.pixels[at], blue, tolerance)) {
        return image.pointAt(offset);
      }
    }
  }
  return kNotFound;
}

ImagePoint searchExact(const ImageFigures& image, Colour colour, std::int64_t from) {
  const std::array<std::uint8_t, 3> sequence{static_cast<std::uint8_t>(blueOf(colour)),
                                             static_cast<std::uint8_t>(greenOf(colour)),
                                             static_cast<std::uint8_t>(redOf(colour))};
  while (true) {
    const std::int64_t hit = findBytesExactReference(image.pixels, sequence, from);
    if (hit < 0 || hit >= image.claimedBlockSize()) return kNotFound;
    // A hit straddling two pixels, or starting in padding, is no pixel of this colour.
    if (image.beginsPicturePixel(hit)) return image.pointAt(hit);
    from = hit + 1;
  }
}

}  // namespace

ImagePoint findColour(ByteView image, Colour colour, std::int32_t tolerance, ImagePoint start) {
  return kernels::findColourFast(image, colour, tolerance, start);
}

ImagePoint findColourReference(ByteView image, Colour colour, std::int32_t tolerance, ImagePoint start) {
  const std::optional<ImageFigures> figures = imageFigures(image);
  if (!figures) return kNotFound;
  const std::int64_t from = figures->startOffset(start);
  return tolerance > 0 ? scanTolerant(*figures, colour, tolerance, from) : searchExact(*figures, colour, from);
}

}  // namespace tamblin
