#pragma once
// Shared value types of the recognition class. Portable: no <windows.h> here.
#include <cstdint>
#include <iosfwd>
#include <span>
#include <vector>

namespace tamblin {

// A counted byte sequence that owns its storage; captures return one.
using ByteArray = std::vector<std::uint8_t>;
// Read-only view of a byte array; inspections and searches take one and never change it.
using ByteView = std::span<const std::uint8_t>;

// Colour value 0x00BBGGRR: red in the low byte. Only the three low bytes are read.
using Colour = std::int32_t;
inline constexpr Colour kTransparentColour = static_cast<Colour>(0xFF000000u);

// A pixel inside a bitmap image, column x and row y counted from 1 at the top-left.
struct ImagePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};
inline constexpr ImagePoint kNotFound{-1, -1};

struct ImageInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;
  std::int32_t size = 0;
  std::int32_t bytesPerPixel = 0;
  friend bool operator==(const ImageInfo&, const ImageInfo&) = default;
};

std::ostream& operator<<(std::ostream& out, const ImagePoint& point);
std::ostream& operator<<(std::ostream& out, const ImageInfo& info);

}  // namespace tamblin
