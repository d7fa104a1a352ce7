#include "recognition/core/bitmap_layout.hpp"

#include <algorithm>

namespace tamblin {

namespace {
void put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::uint8_t* at, std::uint32_t value) {
  put16(at, value);
  put16(at + 2, value >> 16);
}
}  // namespace

void writeFileHeader(std::span<std::uint8_t, kFileHeaderSize> out, std::uint32_t infoSize,
                     std::uint32_t sizeImage) {
  const std::uint32_t offBits = static_cast<std::uint32_t>(kFileHeaderSize) + infoSize;
  out[0] = 'B';
  out[1] = 'M';
  put32(&out[2], offBits + sizeImage);
  put32(&out[6], 0);
  put32(&out[10], offBits);
}

ByteArray assembleBitmapImage(std::span<const std::uint8_t, kInfoBlockSize> infoBlock, ByteView pixelBlock) {
  ByteArray image(kPrefixSize + pixelBlock.size());
  writeFileHeader(std::span<std::uint8_t, kFileHeaderSize>(image.data(), kFileHeaderSize),
                  static_cast<std::uint32_t>(kInfoBlockSize), static_cast<std::uint32_t>(pixelBlock.size()));
  std::copy(infoBlock.begin(), infoBlock.end(), image.begin() + kFileHeaderSize);
  std::copy(pixelBlock.begin(), pixelBlock.end(), image.begin() + kPrefixSize);
  return image;
}

void writeInfoBlock(std::span<std::uint8_t, kInfoBlockSize> out, std::int32_t width, std::int32_t height,
                    std::uint16_t bitCount) {
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  put32(&out[0], static_cast<std::uint32_t>(kInfoBlockSize));
  put32(&out[4], static_cast<std::uint32_t>(width));
  put32(&out[8], static_cast<std::uint32_t>(height));
  put16(&out[12], 1);
  put16(&out[14], bitCount);
  const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  put32(&out[20], static_cast<std::uint32_t>(rowStride(width < 0 ? 0 : width, bitCount / 8) * rows));
}

ByteArray makeBitmapImage(std::int32_t width, std::int32_t height, std::uint16_t bitCount, ByteView pixelBlock) {
  std::uint8_t info[kInfoBlockSize];
  writeInfoBlock(std::span<std::uint8_t, kInfoBlockSize>(info), width, height, bitCount);
  put32(&info[20], static_cast<std::uint32_t>(pixelBlock.size()));
  return assembleBitmapImage(std::span<const std::uint8_t, kInfoBlockSize>(info), pixelBlock);
}

}  // namespace tamblin
