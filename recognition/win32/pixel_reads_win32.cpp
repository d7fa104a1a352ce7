#include <cstdint>

#include "recognition/core/bitmap_layout.hpp"
#include "recognition/win32/gdi.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

std::int32_t 识图1类::getScreenPixel(std::int32_t x, std::int32_t y, HWND window, std::int32_t clientCoordinates) {
  POINT offset{0, 0};
  if (clientCoordinates != 0) ClientToScreen(window, &offset);
  gdi::WindowDc screen(nullptr);
  // CLR_INVALID for a point GetPixel cannot read comes back as -1.
  return static_cast<std::int32_t>(
      GetPixel(screen.get(), static_cast<int>(x + static_cast<std::int64_t>(offset.x)),
               static_cast<int>(y + static_cast<std::int64_t>(offset.y))));
}

std::int32_t 识图1类::getWindowPixel(HWND window, std::int32_t x, std::int32_t y) {
  const ByteArray capture = this->captureWindow(window);
  if (capture.size() < kPrefixSize) return -1;
  const std::int64_t width = capture[18] + 256 * capture[19];
  const std::int64_t height = capture[22] + 256 * capture[23];
  if (x < 1 || y < 1 || x > width || y > height) return -1;
  // The capture carries the display's depth: 3 bytes per pixel on a 24-bit display, not 4.
  const std::int64_t bytesPerPixel = (capture[28] + 256 * capture[29]) / 8;
  if (bytesPerPixel != 3 && bytesPerPixel != 4) return -1;
  const std::int64_t offset = static_cast<std::int64_t>(kPrefixSize) +
                              rowStride(width, bytesPerPixel) * (height - y) + bytesPerPixel * (x - 1);
  if (offset + 3 > static_cast<std::int64_t>(capture.size())) return -1;
  const auto at = static_cast<std::size_t>(offset);
  return capture[at + 2] + 256 * capture[at + 1] + 65536 * capture[at];
}

}  // namespace tamblin
