#include "recognition/core/bitmap_image.hpp"

#include <limits>

namespace tamblin {

namespace {

std::int32_t read16(ByteView bytes, std::size_t at) {
  if (bytes.size() < at + 2) return 0;
  return bytes[at] + 256 * bytes[at + 1];
}

std::int64_t length(ByteView image) { return static_cast<std::int64_t>(image.size()); }

// The threshold of the length rule, 4 x W x H + 54.
std::int64_t fourBytePixelThreshold(std::int64_t width, std::int64_t height) { return 4 * width * height + 54; }

}  // namespace

std::int32_t headerWidth(ByteView image) { return read16(image, 18); }
std::int32_t headerHeight(ByteView image) { return read16(image, 22); }
std::int32_t headerBitCount(ByteView image) { return read16(image, 28); }

std::optional<std::int32_t> declaredBytesPerPixel(ByteView image) {
  const std::int32_t bitCount = headerBitCount(image);
  if (bitCount != 24 && bitCount != 32) return std::nullopt;
  const std::int64_t bytesPerPixel = bitCount / 8;
  const std::int64_t expected =
      static_cast<std::int64_t>(kPrefixSize) + rowStride(headerWidth(image), bytesPerPixel) * headerHeight(image);
  if (length(image) != expected) return std::nullopt;
  return static_cast<std::int32_t>(bytesPerPixel);
}

ImageInfo getImageInfo(ByteView image) {
  ImageInfo info;
  if (image.size() <= kPrefixSize) return info;
  const std::int32_t width = headerWidth(image);
  const std::int32_t height = headerHeight(image);
  if (width < 1 || height < 1) return info;
  info.width = width;
  info.height = height;
  // Arrays past 2 GiB cannot occur in a 32-bit process; the field saturates rather than wraps.
  info.size = length(image) > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                                         : static_cast<std::int32_t>(image.size());
  const std::optional<std::int32_t> declared = declaredBytesPerPixel(image);
  if (declared) {
    info.bytesPerPixel = *declared;
  } else {
    info.bytesPerPixel = length(image) >= fourBytePixelThreshold(width, height) ? 4 : 3;
  }
  info.bitsPerPixel = info.bytesPerPixel * 8;
  return info;
}

std::int32_t getImagePixel(ByteView image, std::int32_t x, std::int32_t y) {
  if (image.size() < kPrefixSize) return -1;
  const std::int64_t width = headerWidth(image);
  const std::int64_t height = headerHeight(image);
  if (x < 1 || y < 1 || x > width || y > height) return -1;
  const std::optional<std::int32_t> declared = declaredBytesPerPixel(image);
  const std::int64_t bytesPerPixel =
      declared ? *declared : (length(image) > fourBytePixelThreshold(width, height) ? 4 : 3);
  const std::int64_t offset = static_cast<std::int64_t>(kPrefixSize) +
                              rowStride(width, bytesPerPixel) * (height - y) + bytesPerPixel * (x - 1);
  if (offset + bytesPerPixel > length(image)) return -1;
  const auto at = static_cast<std::size_t>(offset);
  return image[at + 2] + 256 * image[at + 1] + 65536 * image[at];
}

std::int64_t ImageFigures::startOffset(const ImagePoint& start) const {
  if (start.x < 1 || start.y < 1) return 0;
  const std::int64_t offset = stride * (height - start.y) + bytesPerPixel * start.x;
  return offset < 0 ? 0 : offset;
}

bool ImageFigures::inPicturePixel(std::int64_t offset) const {
  if (offset < 0 || offset >= claimedBlockSize()) return false;
  const std::int64_t inRow = offset % stride;
  if (inRow >= width * bytesPerPixel) return false;
  const std::int64_t pixelStart = offset - inRow % bytesPerPixel;
  return pixelStart + bytesPerPixel <= static_cast<std::int64_t>(pixels.size());
}

bool ImageFigures::beginsPicturePixel(std::int64_t offset) const {
  return inPicturePixel(offset) && offset % stride % bytesPerPixel == 0;
}

ImagePoint ImageFigures::pointAt(std::int64_t offset) const {
  return {static_cast<std::int32_t>(offset % stride / bytesPerPixel + 1),
          static_cast<std::int32_t>(height - offset / stride)};
}

std::optional<ImageFigures> imageFigures(ByteView image) {
  const ImageInfo info = getImageInfo(image);
  if (info.bitsPerPixel == 0) return std::nullopt;
  ImageFigures figures;
  figures.width = info.width;
  figures.height = info.height;
  figures.bytesPerPixel = info.bytesPerPixel;
  figures.stride = rowStride(info.width, info.bytesPerPixel);
  figures.pixels = image.subspan(kPrefixSize);
  return figures;
}

}  // namespace tamblin
