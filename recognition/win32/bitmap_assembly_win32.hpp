#pragma once
// Turning a platform bitmap into a bitmap image: shared by the screen and the window capture.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "recognition/core/types.hpp"

namespace tamblin {

// The 58-byte image with no pixels: "BM", bfSize 58, bfOffBits 58, biSize 44, all else 0.
ByteArray barePrefixImage();

// Reads `bitmap`, which must not be selected into any DC, into a bitmap image: its own format
// (24 or 32 bits, rows bottom-up) with the pixel rows fetched straight into the image at offset
// 58. A bitmap GDI cannot describe gives the bare prefix. nullopt when the pixel block cannot be
// held: too large for the 32-bit size fields, or out of memory.
std::optional<ByteArray> readBitmapImage(HDC dc, HBITMAP bitmap, std::int32_t lines);

// Whether an image of width x height at bytesPerPixel keeps each side within the 16 bits the
// readers take and its length within the 32-bit bfSize.
bool imageSizeFits(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel);

}  // namespace tamblin
