#include <algorithm>
#include <cstdint>
#include <limits>

#include "recognition/win32/bitmap_assembly_win32.hpp"
#include "recognition/win32/gdi.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

namespace {
bool fitsInt(std::int64_t value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}
}  // namespace

ByteArray 识图1类::captureRegion(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                              std::optional<HWND> window) {
  // Worked in 64 bits: an edge minus an extreme x must not wrap into a plausible size.
  std::int64_t left = x;
  std::int64_t top = y;
  std::int64_t w = width;
  std::int64_t h = height;
  if (!window) {
    if (width == 0) w = GetSystemMetrics(SM_CXSCREEN) - static_cast<std::int64_t>(x);
    if (height == 0) h = GetSystemMetrics(SM_CYSCREEN) - static_cast<std::int64_t>(y);
  } else {
    // A handle that names no window leaves both zeroed: the rectangle is then in screen terms.
    POINT origin{0, 0};
    ClientToScreen(*window, &origin);
    left += origin.x;
    top += origin.y;
    RECT client{0, 0, 0, 0};
    GetClientRect(*window, &client);
    if (width == 0) w = client.right - static_cast<std::int64_t>(x);
    if (height == 0) h = client.bottom - static_cast<std::int64_t>(y);
  }
  // A negative height would make a top-down section, which no reader can interpret.
  if (w <= 0 || h <= 0 || !fitsInt(left) || !fitsInt(top) || !imageSizeFits(w, h, 3))
    return barePrefixImage();

  gdi::WindowDc screen(nullptr);
  gdi::MemoryDc memory(screen.get());
  BITMAPINFO sectionInfo{};
  sectionInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  sectionInfo.bmiHeader.biWidth = static_cast<LONG>(w);
  sectionInfo.bmiHeader.biHeight = static_cast<LONG>(h);
  sectionInfo.bmiHeader.biPlanes = 1;
  sectionInfo.bmiHeader.biBitCount = 24;
  sectionInfo.bmiHeader.biCompression = BI_RGB;
  gdi::Bitmap section(CreateDIBSection(memory.get(), &sectionInfo, DIB_RGB_COLORS, nullptr, nullptr, 0));
  if (section.get() == nullptr) return barePrefixImage();
  gdi::Selection selected(memory.get(), section.get());
  // Only the part that lies on the screen is copied; the section starts zeroed, so the rest is
  // black. Wine on X copies through a pixmap of the whole source rectangle and loses its X
  // connection, and with it the process, for a side above 32767.
  const std::int64_t screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const std::int64_t screenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const std::int64_t fromX = std::max(left, screenLeft);
  const std::int64_t fromY = std::max(top, screenTop);
  const std::int64_t toX = std::min(left + w, screenLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN));
  const std::int64_t toY = std::min(top + h, screenTop + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  if (fromX < toX && fromY < toY) {
    BitBlt(memory.get(), static_cast<int>(fromX - left), static_cast<int>(fromY - top), static_cast<int>(toX - fromX),
           static_cast<int>(toY - fromY), screen.get(), static_cast<int>(fromX), static_cast<int>(fromY), SRCCOPY);
  }
  selected.restore();

  BITMAP described{};
  GetObjectA(section.get(), sizeof(described), &described);
  std::optional<ByteArray> image = readBitmapImage(memory.get(), section.get(), described.bmHeight);
  // Released in reverse: section, memory context, screen context.
  if (!image) return barePrefixImage();
  return std::move(*image);
}

}  // namespace tamblin
