#include "recognition/win32/bitmap_assembly_win32.hpp"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <span>

#include "recognition/core/bitmap_layout.hpp"

namespace tamblin {

namespace {

// The info block as GDI fills it, with room behind the one colour entry the image keeps: GDI
// writes a colour table for depths below 16, and a stray one must land here, not on the stack.
struct InfoBuffer {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};
static_assert(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) == kInfoBlockSize);

constexpr std::int64_t kLargestImage = std::numeric_limits<std::uint32_t>::max();

void writeHeaderAndInfo(ByteArray& image, const InfoBuffer& info, std::uint32_t sizeImage) {
  writeFileHeader(std::span<std::uint8_t, kFileHeaderSize>(image.data(), kFileHeaderSize),
                  static_cast<std::uint32_t>(kInfoBlockSize), sizeImage);
  std::memcpy(image.data() + kFileHeaderSize, &info, kInfoBlockSize);
}

}  // namespace

bool imageSizeFits(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel) {
  // The readers take width and height from 16 bits: a wider or higher image would be misread.
  constexpr std::int64_t kLargestSide = 65535;
  if (width < 0 || height < 0 || width > kLargestSide || height > kLargestSide) return false;
  const std::int64_t stride = rowStride(width, bytesPerPixel);
  return height == 0 || stride <= (kLargestImage - static_cast<std::int64_t>(kPrefixSize)) / height;
}

ByteArray barePrefixImage() {
  InfoBuffer info{};
  info.header.biSize = kInfoBlockSize;
  ByteArray image(kPrefixSize);
  writeHeaderAndInfo(image, info, 0);
  return image;
}

std::optional<ByteArray> readBitmapImage(HDC dc, HBITMAP bitmap, std::int32_t lines) {
  InfoBuffer info{};
  info.header.biSize = kInfoBlockSize;
  auto* bitmapInfo = reinterpret_cast<BITMAPINFO*>(&info);
  // Bit count 0 and no buffer: GDI describes the bitmap in its own format.
  GetDIBits(dc, bitmap, 0, 0, nullptr, bitmapInfo, DIB_RGB_COLORS);

  BITMAPINFOHEADER& header = info.header;
  header.biSize = kInfoBlockSize;
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biBitCount == 0) return barePrefixImage();
  // A top-down source is asked for bottom-up rows, the only order the readers know.
  if (header.biHeight < 0) header.biHeight = -header.biHeight;
  const std::int64_t stride = (static_cast<std::int64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const std::int64_t rows = header.biHeight;
  if (stride > (kLargestImage - static_cast<std::int64_t>(kPrefixSize)) / rows) return std::nullopt;
  // The layout needs biSizeImage = stride x height; GDI may leave it 0 for uncompressed bitmaps.
  const auto sizeImage = static_cast<std::uint32_t>(stride * rows);
  header.biSizeImage = sizeImage;
  // The query may report bit fields for 32 bits; plain BGRx rows carry no masks.
  header.biCompression = BI_RGB;

  ByteArray image;
  try {
    image.resize(kPrefixSize + static_cast<std::size_t>(sizeImage));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const UINT lineCount = lines < 0 ? 0u : static_cast<UINT>(lines < rows ? lines : rows);
  GetDIBits(dc, bitmap, 0, lineCount, image.data() + kPrefixSize, bitmapInfo, DIB_RGB_COLORS);
  // Whatever GDI wrote back, the image describes the block it actually carries.
  header.biSize = kInfoBlockSize;
  header.biSizeImage = sizeImage;
  writeHeaderAndInfo(image, info, sizeImage);
  return image;
}

}  // namespace tamblin
