#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "recognition/win32/bitmap_assembly_win32.hpp"
#include "recognition/win32/gdi.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

namespace {

// A memory context holding a compatible bitmap; members release in reverse: the selection is put
// back, the bitmap deleted, then the context.
struct MemoryBitmap {
  MemoryBitmap(HDC screen, int width, int height)
      : dc(screen), bitmap(CreateCompatibleBitmap(screen, width, height)), selected(dc.get(), bitmap.get()) {}
  gdi::MemoryDc dc;
  gdi::Bitmap bitmap;
  gdi::Selection selected;
};

bool fitsInt(std::int64_t value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

}  // namespace

ByteArray 识图1类::captureWindow(HWND window, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height, std::int32_t windowCoordinates) {
  if (IsWindow(window) == 0) return {};
  if ((IsWindowVisible(window) & 1) == 0) return {};
  if (this->getColourDepth() < 24) return {};

  RECT outer{0, 0, 0, 0};
  GetWindowRect(window, &outer);

  std::int64_t cutX = x;
  std::int64_t cutY = y;
  std::int64_t cutW = width;
  std::int64_t cutH = height;
  if (windowCoordinates == 0) {
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    cutX = static_cast<std::int64_t>(origin.x) - outer.left + x;
    cutY = static_cast<std::int64_t>(origin.y) - outer.top + y;
    cutW = width >= 1 ? width : client.right;
    cutH = height >= 1 ? height : client.bottom;
  }
  // Below 1 x 1 (or too large to hold) there is no picture to return.
  if (cutW < 1 || cutH < 1 || !fitsInt(cutX) || !fitsInt(cutY) || !imageSizeFits(cutW, cutH, 4)) return {};

  // The window is rendered only as far to the right and down as the cut-out reaches: a window of
  // 20000 x 20000 pixels would otherwise take 1.6 GB for a cut-out of a few pixels.
  const auto rendered = [](std::int64_t outerSize, std::int64_t cutEnd) {
    return static_cast<int>(std::clamp<std::int64_t>(cutEnd, 1, std::max<std::int64_t>(outerSize, 1)));
  };
  gdi::WindowDc screen(nullptr);
  std::optional<MemoryBitmap> whole(std::in_place, screen.get(), rendered(outer.right - outer.left, cutX + cutW),
                                    rendered(outer.bottom - outer.top, cutY + cutH));
  if ((PrintWindow(window, whole->dc.get(), 0) & 1) == 0) return {};

  gdi::MemoryDc cutDc(screen.get());
  gdi::Bitmap cutBitmap(CreateCompatibleBitmap(screen.get(), static_cast<int>(cutW), static_cast<int>(cutH)));
  if (cutBitmap.get() == nullptr) return {};
  gdi::Selection cutSelected(cutDc.get(), cutBitmap.get());
  BitBlt(cutDc.get(), 0, 0, static_cast<int>(cutW), static_cast<int>(cutH), whole->dc.get(),
         static_cast<int>(cutX), static_cast<int>(cutY), SRCCOPY);
  // The whole-window picture is done with before any row is fetched.
  whole.reset();
  // GetDIBits wants the bitmap out of every DC.
  cutSelected.restore();

  BITMAP described{};
  GetObjectA(cutBitmap.get(), sizeof(described), &described);
  std::optional<ByteArray> image = readBitmapImage(cutDc.get(), cutBitmap.get(), described.bmHeight);
  // Released in reverse: cut-out bitmap, cut-out context, screen context.
  if (!image) return {};
  return std::move(*image);
}

}  // namespace tamblin
