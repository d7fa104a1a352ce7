#pragma once
// Finding a small bitmap image inside a larger one.
//
// Only the small image's bottom row (its first stored row, without padding) is looked for, as a
// byte sequence in the large image's whole pixel block, row padding included: exactly when
// tolerance <= 0, else with every byte within tolerance. The first hit in byte order from the start
// point's offset wins, so the lowest row of the picture, then the leftmost place. A hit may begin
// inside a pixel (reported at that pixel) and may run on across stored rows. A hit that begins in
// row padding, past the header's rows, or in a pixel that is not all in the array belongs to no
// pixel and is passed over.
//
// Answer: the large image's pixel under the small image's bottom-left pixel, or (-1, -1) when
// there is no hit or either array holds no image (or the small one lacks its bottom row's bytes).
#include <cstdint>

#include "recognition/core/types.hpp"

namespace tamblin {

ImagePoint findImage(ByteView bigImage, ByteView smallImage, std::int32_t tolerance = 0, ImagePoint start = {});
ImagePoint findImageReference(ByteView bigImage, ByteView smallImage, std::int32_t tolerance = 0,
                              ImagePoint start = {});

}  // namespace tamblin
