#pragma once
// The bitmap image layout as this system writes it: a 14-byte file header, a 44-byte info block
// (a 40-byte BITMAPINFOHEADER and one zero RGBQUAD), then the pixel block, rows bottom-up.
#include <cstddef>
#include <cstdint>
#include <span>

#include "recognition/core/types.hpp"

namespace tamblin {

inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::size_t kInfoBlockSize = 44;
inline constexpr std::size_t kPrefixSize = kFileHeaderSize + kInfoBlockSize;  // 58

// Bytes per stored row: width x bytesPerPixel rounded up to a multiple of 4, in 64 bits.
constexpr std::int64_t rowStride(std::int64_t width, std::int64_t bytesPerPixel) {
  return (width * bytesPerPixel + 3) / 4 * 4;
}

// "BM", bfSize = 14 + infoSize + sizeImage, reserved 0, bfOffBits = 14 + infoSize.
void writeFileHeader(std::span<std::uint8_t, kFileHeaderSize> out, std::uint32_t infoSize,
                     std::uint32_t sizeImage);

// File header + the given info block + the pixel block, in that order.
ByteArray assembleBitmapImage(std::span<const std::uint8_t, kInfoBlockSize> infoBlock, ByteView pixelBlock);

// The info block of an uncompressed bottom-up image: biSize 44, planes 1, biSizeImage = stride x height.
void writeInfoBlock(std::span<std::uint8_t, kInfoBlockSize> out, std::int32_t width, std::int32_t height,
                    std::uint16_t bitCount);

// A whole bitmap image of width x height pixels at 24 or 32 bits from a pixel block laid out as
// stored (bottom-up, padded rows); the block's length becomes biSizeImage.
ByteArray makeBitmapImage(std::int32_t width, std::int32_t height, std::uint16_t bitCount, ByteView pixelBlock);

}  // namespace tamblin
