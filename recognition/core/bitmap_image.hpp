#pragma once
// Reading bitmap images (the layout of bitmap_layout.hpp): their figures, single pixels, and the
// geometry the searches share.
//
// Readers take width and height from the low 16 bits at offsets 18 and 22 and nothing else of the
// header, except that a biBitCount of 24 or 32 decides the bytes per pixel when the length is
// exactly that of such an image; otherwise the bytes per pixel are guessed from the length. Nothing
// here reads outside the byte array, whatever the header claims.
#include <cstdint>
#include <optional>

#include "recognition/core/bitmap_layout.hpp"
#include "recognition/core/types.hpp"

namespace tamblin {

// Header fields as the readers see them (0 when the array is too short to hold them).
std::int32_t headerWidth(ByteView image);     // bytes 18-19
std::int32_t headerHeight(ByteView image);    // bytes 22-23
std::int32_t headerBitCount(ByteView image);  // bytes 28-29

// 3 or 4 when biBitCount is 24 or 32 and the length is exactly 58 + stride x height at that depth.
// The length alone cannot tell a 24-bit image 1 to 3 pixels wide from a 32-bit one.
std::optional<std::int32_t> declaredBytesPerPixel(ByteView image);

// (width, height, 32 or 24, length, 4 or 3), or all zero when the array holds no image (58 bytes
// or fewer, width or height 0). Without a declared depth, 4 bytes per pixel from a length of
// 4 x W x H + 54 upwards.
ImageInfo getImageInfo(ByteView image);

// Colour value of pixel (x, y), counted from 1 at the top-left, or -1 for a point outside the
// picture, an array under 58 bytes, or a pixel whose bytes are not all in the array. Without a
// declared depth, 4 bytes per pixel only above a length of 4 x W x H + 54.
std::int32_t getImagePixel(ByteView image, std::int32_t x, std::int32_t y);

// The figures a search works with, all in 64 bits: a header may claim 65535 x 65535 pixels.
struct ImageFigures {
  std::int64_t width = 0;          // W
  std::int64_t height = 0;         // H
  std::int64_t bytesPerPixel = 0;  // B, 3 or 4
  std::int64_t stride = 0;         // S: W x B rounded up to a multiple of 4
  ByteView pixels;                 // the pixel block: byte 58 to the end of the array

  // Bytes of the rows the header claims, S x H; the block may be shorter or longer.
  std::int64_t claimedBlockSize() const { return stride * height; }

  // Offset in the pixel block where a search resumes for a start point: the pixel after (x, y) in
  // stored order, S x (H - y) + B x x, when x and y are both at least 1; otherwise, or when that
  // comes out negative, 0.
  std::int64_t startOffset(const ImagePoint& start) const;

  // Whether the byte at offset lies in a pixel of the picture (one of the header's rows, not row
  // padding) whose bytes are all in the block.
  bool inPicturePixel(std::int64_t offset) const;
  // Whether offset is the first byte of such a pixel.
  bool beginsPicturePixel(std::int64_t offset) const;
  // The pixel holding the byte at offset: column (o mod S) div B + 1, row H - o div S.
  ImagePoint pointAt(std::int64_t offset) const;

  // The first stored row (the picture's bottom row) without its padding, W x B bytes, or nullopt
  // when the block does not hold all of them: what the image search looks for.
  std::optional<ByteView> bottomRow() const {
    const std::int64_t length = width * bytesPerPixel;
    if (static_cast<std::int64_t>(pixels.size()) < length) return std::nullopt;
    return pixels.first(static_cast<std::size_t>(length));
  }
};

// The figures of an image by getImageInfo, or nullopt when it holds no image.
std::optional<ImageFigures> imageFigures(ByteView image);

}  // namespace tamblin
