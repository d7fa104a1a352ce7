// getImageInfo over arbitrary bytes: never reads outside them, and its figures hang together.
#include "fuzz/fuzz_input.hpp"
#include "recognition/core/bitmap_image.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamblin;
  const ByteView image(data, size);
  const ImageInfo info = getImageInfo(image);
  const std::optional<ImageFigures> figures = imageFigures(image);
  if (info.bitsPerPixel == 0) {
    FUZZ_CHECK(info == ImageInfo{});
    FUZZ_CHECK(!figures);
    return 0;
  }
  FUZZ_CHECK(size > kPrefixSize);
  FUZZ_CHECK(info.width >= 1 && info.width <= 65535 && info.height >= 1 && info.height <= 65535);
  FUZZ_CHECK(info.size == static_cast<std::int32_t>(size));
  FUZZ_CHECK(info.bytesPerPixel == 3 || info.bytesPerPixel == 4);
  FUZZ_CHECK(info.bitsPerPixel == 8 * info.bytesPerPixel);
  FUZZ_CHECK(figures && figures->pixels.size() == size - kPrefixSize);
  FUZZ_CHECK(figures->stride % 4 == 0 && figures->stride >= figures->width * figures->bytesPerPixel);
  return 0;
}
