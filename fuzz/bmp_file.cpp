// The BMP loader over arbitrary files: whatever it converts is a well-formed image of this
// system's layout with the file's own figures; whatever it leaves is left byte for byte.
#include <cstring>

#include "fuzz/fuzz_input.hpp"
#include "recognition/core/bitmap_image.hpp"
#include "tools/bmp_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamblin;
  const ByteView file(data, size);
  const tool::LoadedFile loaded = tool::toSystemLayout(file);
  switch (loaded.kind) {
    case tool::FileKind::Converted: {
      std::int32_t width = 0, height = 0;
      std::uint16_t bitCount = 0;
      std::memcpy(&width, data + 18, 4);
      std::memcpy(&height, data + 22, 4);
      std::memcpy(&bitCount, data + 28, 2);
      if (height < 0) height = -height;
      const ImageInfo info = getImageInfo(loaded.bytes);
      FUZZ_CHECK(info.width == width && info.height == height && info.bitsPerPixel == bitCount);
      FUZZ_CHECK(loaded.bytes.size() == kPrefixSize + static_cast<std::size_t>(rowStride(width, bitCount / 8) * height));
      FUZZ_CHECK(loaded.bytes.size() <= size + kPrefixSize);
      FUZZ_CHECK(getImagePixel(loaded.bytes, width, 1) != -1 && getImagePixel(loaded.bytes, 1, height) != -1);
      FUZZ_CHECK(loaded.error.empty());
      break;
    }
    case tool::FileKind::Unsupported:
      FUZZ_CHECK(loaded.bytes.empty() && !loaded.error.empty());
      break;
    default:
      FUZZ_CHECK(loaded.bytes.size() == size && (size == 0 || std::memcmp(loaded.bytes.data(), data, size) == 0));
      break;
  }
  return 0;
}
