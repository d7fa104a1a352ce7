// findColour over arbitrary arrays: agrees with its reference, and its answer is a pixel of the
// colour inside the picture.
#include <cstdlib>

#include "fuzz/fuzz_input.hpp"
#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/colour_search.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamblin;
  fuzz::Input input(data, size);
  const auto tolerance = static_cast<std::int32_t>(input.take<std::int16_t>());
  const ImagePoint start{input.take<std::int16_t>(), input.take<std::int16_t>()};
  const auto colour = input.take<std::int32_t>();
  const ByteView image = input.rest();

  const ImagePoint answer = findColour(image, colour, tolerance, start);
  FUZZ_CHECK(answer == findColourReference(image, colour, tolerance, start));
  if (answer != kNotFound) {
    const std::optional<ImageFigures> figures = imageFigures(image);
    FUZZ_CHECK(figures);
    FUZZ_CHECK(answer.x >= 1 && answer.x <= figures->width && answer.y >= 1 && answer.y <= figures->height);
    const std::int64_t offset =
        figures->stride * (figures->height - answer.y) + figures->bytesPerPixel * (answer.x - 1);
    FUZZ_CHECK(offset >= figures->startOffset(start) && figures->beginsPicturePixel(offset));
    const auto at = static_cast<std::size_t>(offset);
    const Colour found = makeColour(figures->pixels[at + 2], figures->pixels[at + 1], figures->pixels[at]);
    const std::int32_t limit = tolerance > 0 ? tolerance : 0;
    for (std::int32_t channel = 1; channel <= 3; ++channel) FUZZ_CHECK(colourDifference(found, colour, channel) <= limit);
  }
  return 0;
}
