#include "recognition/core/image_search.hpp"

#include <optional>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/kernels/dispatch.hpp"

namespace tamblin {

ImagePoint findImage(ByteView bigImage, ByteView smallImage, std::int32_t tolerance, ImagePoint start) {
  return kernels::findImageFast(bigImage, smallImage, tolerance, start);
}

ImagePoint findImageReference(ByteView bigImage, ByteView smallImage, std::int32_t tolerance, ImagePoint start) {
  const std::optional<ImageFigures> big = imageFigures(bigImage);
  if (!big) return kNotFound;
  const std::optional<ImageFigures> small = imageFigures(smallImage);
  if (!small) return kNotFound;

  const std::optional<ByteView> bottomRow = small->bottomRow();
  if (!bottomRow) return kNotFound;
  const ByteView pattern = *bottomRow;
  const ByteView data = big->pixels;

  std::int64_t from = big->startOffset(start);
  while (true) {
    const std::int64_t hit = tolerance > 0 ? findBytesTolerantFromReference(data, pattern, from, tolerance)
                                           : findBytesExactReference(data, pattern, from);
    if (hit < 0 || hit >= big->claimedBlockSize()) return kNotFound;
    if (big->inPicturePixel(hit)) return big->pointAt(hit);
    from = hit + 1;
  }
}

}  // namespace tamblin
