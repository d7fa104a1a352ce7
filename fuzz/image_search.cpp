// findImage over arbitrary big and small arrays: agrees with its reference, answers inside the
// picture, and never reads outside either array.
#include "fuzz/fuzz_input.hpp"
#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/image_search.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamblin;
  fuzz::Input input(data, size);
  const auto tolerance = static_cast<std::int32_t>(input.take<std::int16_t>());
  const ImagePoint start{input.take<std::int16_t>(), input.take<std::int16_t>()};
  const ByteView small = input.takeBytes(input.take<std::uint16_t>());
  const ByteView big = input.rest();

  const ImagePoint answer = findImage(big, small, tolerance, start);
  FUZZ_CHECK(answer == findImageReference(big, small, tolerance, start));
  if (answer != kNotFound) {
    const ImageInfo info = getImageInfo(big);
    FUZZ_CHECK(answer.x >= 1 && answer.x <= info.width && answer.y >= 1 && answer.y <= info.height);
    // Walking on from the answer moves forward.
    const ImagePoint next = findImage(big, small, tolerance, answer);
    FUZZ_CHECK(next == kNotFound || next.y < answer.y || (next.y == answer.y && next.x > answer.x));
  }
  return 0;
}
