// getImagePixel at a chosen point and at the corners: -1 or a colour value, never a read outside.
#include "fuzz/fuzz_input.hpp"
#include "recognition/core/bitmap_image.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamblin;
  fuzz::Input input(data, size);
  const auto x = input.take<std::int16_t>();
  const auto y = input.take<std::int16_t>();
  const ByteView image = input.rest();
  const std::int32_t width = headerWidth(image);
  const std::int32_t height = headerHeight(image);
  const std::int32_t points[][2] = {{x, y}, {1, 1}, {width, height}, {width, 1}, {1, height}, {width + 1, height}};
  for (const auto& point : points) {
    const std::int32_t colour = getImagePixel(image, point[0], point[1]);
    FUZZ_CHECK(colour == -1 || (colour >= 0 && colour <= 0xFFFFFF));
    if (point[0] < 1 || point[1] < 1 || point[0] > width || point[1] > height) FUZZ_CHECK(colour == -1);
  }
  return 0;
}
