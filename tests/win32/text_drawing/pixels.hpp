#pragma once
// Reading back what was drawn: a rectangle of a device context copied into memory, and a
// window to draw on whose class owns its device context.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace tamblin::test {

class Pixels {
 public:
  // Copies rect of dc (in its coordinates) with BitBlt.
  Pixels(HDC dc, RECT rect) : left_(rect.left), top_(rect.top), width_(rect.right - rect.left),
                              height_(rect.bottom - rect.top) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, dc, left_, top_, SRCCOPY);
    GdiFlush();
    // With the GDI handle table full there is no bitmap to read into; nothing is found then.
    if (bits != nullptr) {
      const auto* words = static_cast<const std::uint32_t*>(bits);
      bgrx_.assign(words, words + static_cast<std::size_t>(width_) * height_);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }

  bool valid() const { return !bgrx_.empty(); }

  // The colour at (x, y) in the device context's coordinates, as a COLORREF.
  COLORREF at(int x, int y) const {
    if (!valid()) return CLR_INVALID;
    const std::uint32_t p = bgrx_[static_cast<std::size_t>(y - top_) * width_ + (x - left_)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  struct Found {
    int count = 0;
    RECT box{};  // right and bottom exclusive; empty when nothing was found
  };
  // The pixels that satisfy wanted, with their bounding box.
  Found find(const std::function<bool(COLORREF)>& wanted) const {
    Found found;
    if (!valid()) return found;
    found.box = RECT{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = top_; y < top_ + height_; ++y) {
      for (int x = left_; x < left_ + width_; ++x) {
        if (!wanted(at(x, y))) continue;
        ++found.count;
        found.box.left = std::min<LONG>(found.box.left, x);
        found.box.top = std::min<LONG>(found.box.top, y);
        found.box.right = std::max<LONG>(found.box.right, x + 1);
        found.box.bottom = std::max<LONG>(found.box.bottom, y + 1);
      }
    }
    if (found.count == 0) found.box = RECT{};
    return found;
  }
  Found find(COLORREF colour) const {
    return find([colour](COLORREF c) { return c == colour; });
  }

 private:
  int left_, top_, width_, height_;
  std::vector<std::uint32_t> bgrx_;
};

// A white top-level popup whose class has CS_OWNDC: GetDC hands out the same device context
// every time, so whatever a call leaves selected in it stays observable.
class OwnDcWindow {
 public:
  OwnDcWindow(int left, int top, int width, int height) : width_(width), height_(height) {
    static const ATOM registered = [] {
      WNDCLASSEXA windowClass{};
      windowClass.cbSize = sizeof windowClass;
      windowClass.style = CS_OWNDC;
      windowClass.lpfnWndProc = DefWindowProcA;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      windowClass.lpszClassName = "TamblinOwnDcWindow";
      return RegisterClassExA(&windowClass);
    }();
    (void)registered;
    window_ = CreateWindowExA(WS_EX_TOPMOST, "TamblinOwnDcWindow", "canvas", WS_POPUP | WS_VISIBLE, left, top,
                              width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    pump();
    clear();
  }
  ~OwnDcWindow() { DestroyWindow(window_); }
  OwnDcWindow(const OwnDcWindow&) = delete;
  OwnDcWindow& operator=(const OwnDcWindow&) = delete;

  HWND handle() const { return window_; }
  HDC dc() const { return GetDC(window_); }  // the class's own DC; releasing it is a no-op
  void clear() const {
    const RECT all{0, 0, width_, height_};
    FillRect(dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    GdiFlush();
  }
  Pixels pixels() const { return Pixels(dc(), RECT{0, 0, width_, height_}); }

  static void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

 private:
  HWND window_ = nullptr;
  int width_, height_;
};

}  // namespace tamblin::test
