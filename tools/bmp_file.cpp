#include "tools/bmp_file.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "recognition/core/bitmap_layout.hpp"

namespace tamblin::tool {

namespace {

std::uint32_t read32(ByteView bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}
std::uint32_t read16(ByteView bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

LoadedFile unsupported(std::string error) { return {FileKind::Unsupported, {}, std::move(error)}; }
LoadedFile unchanged(FileKind kind, ByteView file) { return {kind, ByteArray(file.begin(), file.end()), {}}; }

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::int64_t kMaxSide = 65535;  // the readers see 16 bits of width and height

// Info header sizes that Windows and OS/2 programs write.
bool knownInfoSize(std::uint32_t size) {
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

}  // namespace

LoadedFile toSystemLayout(ByteView file) {
  if (file.size() < 18 || file[0] != 'B' || file[1] != 'M') return unchanged(FileKind::OtherBytes, file);
  const std::uint32_t infoSize = read32(file, 14);
  if (infoSize == kInfoBlockSize) return unchanged(FileKind::SystemLayout, file);
  if (!knownInfoSize(infoSize)) return unchanged(FileKind::OtherBytes, file);
  if (infoSize < 40) return unsupported("OS/2 BMP with a 12-byte header is not supported");
  if (file.size() < kFileHeaderSize + infoSize) return unsupported("BMP header is cut short");

  const auto width = static_cast<std::int64_t>(static_cast<std::int32_t>(read32(file, 18)));
  const auto signedHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(read32(file, 22)));
  const std::uint32_t bitCount = read16(file, 28);
  const std::uint32_t compression = read32(file, 30);
  const std::uint32_t pixelOffset = read32(file, 10);

  if (bitCount != 24 && bitCount != 32) {
    return unsupported("BMP of " + std::to_string(bitCount) + " bits per pixel: only 24 and 32 are supported");
  }
  if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
    // Bit fields that merely restate blue, green, red in byte order are no compression at all.
    // Their masks sit at offset 54 both inside a long header and right after a 40-byte one.
    if (bitCount != 32 || file.size() < 66 || read32(file, 54) != 0x00FF0000u || read32(file, 58) != 0x0000FF00u ||
        read32(file, 62) != 0x000000FFu) {
      return unsupported("BMP with colour masks other than 8-8-8 blue, green, red is not supported");
    }
  } else if (compression != kBiRgb) {
    return unsupported("compressed BMP (compression " + std::to_string(compression) + ") is not supported");
  }
  const std::int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
  if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) {
    return unsupported("BMP of " + std::to_string(width) + " x " + std::to_string(signedHeight) +
                       " pixels: each side must be 1 to 65535");
  }
  if (pixelOffset < kFileHeaderSize + infoSize) return unsupported("BMP pixel offset lies inside its header");

  const std::int64_t stride = rowStride(width, bitCount / 8);
  const std::int64_t blockSize = stride * height;
  if (static_cast<std::int64_t>(pixelOffset) + blockSize > static_cast<std::int64_t>(file.size())) {
    return unsupported("BMP pixel data is cut short: " + std::to_string(blockSize) + " bytes from offset " +
                       std::to_string(pixelOffset) + " in a file of " + std::to_string(file.size()));
  }

  // Rows bottom-up as this system stores them; padding zeroed, as the platform's bitmap reads give it.
  ByteArray block(static_cast<std::size_t>(blockSize), 0);
  const auto rowBytes = static_cast<std::size_t>(width * (bitCount / 8));
  for (std::int64_t stored = 0; stored < height; ++stored) {
    const std::int64_t sourceRow = signedHeight > 0 ? stored : height - 1 - stored;
    const auto source = static_cast<std::size_t>(pixelOffset + sourceRow * stride);
    std::memcpy(block.data() + stored * stride, file.data() + source, rowBytes);
  }
  return {FileKind::Converted,
          makeBitmapImage(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                          static_cast<std::uint16_t>(bitCount), block),
          {}};
}

}  // namespace tamblin::tool
