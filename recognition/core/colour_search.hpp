#pragma once
// Finding a pixel of a colour inside a bitmap image.
//
// Pixels are visited in stored order (bottom row first, each row left to right) from the first
// pixel that begins at or after the start point's offset. tolerance > 0: the first pixel whose red,
// green and blue each differ from the colour's by at most tolerance. Otherwise the colour's bytes
// blue, green, red are looked for as a sequence in the pixel block and a hit counts only where it
// begins a pixel of the picture; the two agree for tolerance 0. The fourth byte of 4-byte pixels
// takes no part. Only the header's rows count, and only pixels whose bytes are all in the array.
//
// Answer: that pixel, or (-1, -1) when there is none or the array holds no image.
#include <cstdint>

#include "recognition/core/types.hpp"

namespace tamblin {

ImagePoint findColour(ByteView image, Colour colour, std::int32_t tolerance = 0, ImagePoint start = {});
ImagePoint findColourReference(ByteView image, Colour colour, std::int32_t tolerance = 0, ImagePoint start = {});

}  // namespace tamblin
