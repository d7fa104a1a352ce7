#pragma once
// Test windows that paint a known picture, for captures that must come back pixel for pixel.
// Each window paints the same picture for WM_PAINT and for WM_PRINTCLIENT (what PrintWindow
// leads to under Wine), so the screen and a print see the same.
//
// Wine's PrintWindow sends WM_PRINT, and its default handling paints neither the frame nor the
// client area at its place: the client lands at (0, 0) of the target. Windows renders the whole
// window, client at its offset. A framed test window therefore answers WM_PRINT itself the way
// Windows lays the picture out; a frameless one goes through Wine's own path.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <thread>
#include <vector>

namespace capture_test {

using Picture = std::function<COLORREF(int x, int y)>;

// A gradient that names every pixel (red = x, green = y) with two solid blocks in it.
inline constexpr RECT kRedBlock{20, 10, 28, 16};
inline constexpr RECT kBlueBlock{3, 17, 9, 21};
inline COLORREF knownPicture(int x, int y) {
  const auto inside = [x, y](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
  if (inside(kRedBlock)) return RGB(255, 0, 0);
  if (inside(kBlueBlock)) return RGB(0, 0, 255);
  return RGB(x & 0xFF, y & 0xFF, 0x80 | ((x >> 8) & 0x7F));
}
// What a framed test window prints for its frame.
inline constexpr COLORREF kFrameColour = RGB(0x40, 0x40, 0x40);

// Messages until the queue is empty, a few rounds apart, so that X has shown what Wine drew.
inline void pump(int rounds = 3) {
  for (int round = 0; round < rounds; ++round) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (round + 1 < rounds) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Pumps until done() holds or about five seconds have passed; tells whether it held.
template <typename Done>
bool pumpUntil(Done done) {
  for (int attempt = 0; attempt < 250; ++attempt) {
    pump(1);
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

class PatternWindow {
 public:
  // A top-level window whose client area, clientWidth x clientHeight at screen point (left, top),
  // shows picture. style WS_POPUP has no frame: window and client rectangles coincide.
  PatternWindow(int left, int top, int clientWidth, int clientHeight, Picture picture = knownPicture,
                DWORD style = WS_POPUP, HWND owner = nullptr, bool show = true)
      : width_(clientWidth), height_(clientHeight), picture_(std::move(picture)) {
    registerClass();
    RECT outer{left, top, left + clientWidth, top + clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    window_ = CreateWindowExA(0, kClassName, "capture test", style, outer.left, outer.top,
                              outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                              GetModuleHandleA(nullptr), this);
    // A captioned window has a minimum width; the picture covers whatever client area it got.
    RECT client{};
    GetClientRect(window_, &client);
    width_ = client.right;
    height_ = client.bottom;
    if (show) {
      ShowWindow(window_, SW_SHOWNOACTIVATE);
      SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      UpdateWindow(window_);
      pump();
    }
  }
  ~PatternWindow() { destroy(); }
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

  HWND get() const { return window_; }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF at(int x, int y) const { return picture_(x, y); }
  void destroy() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    pump(1);
  }
  // The screen position of client point (x, y).
  POINT screenPoint(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(window_, &point);
    return point;
  }
  // Pumps until the screen shows the picture's corners at the window's place.
  bool waitUntilShown() const {
    return pumpUntil([this] {
      HDC screen = GetDC(nullptr);
      const POINT first = screenPoint(0, 0);
      const POINT last = screenPoint(width_ - 1, height_ - 1);
      const bool shown = GetPixel(screen, first.x, first.y) == at(0, 0) &&
                         GetPixel(screen, last.x, last.y) == at(width_ - 1, height_ - 1);
      ReleaseDC(nullptr, screen);
      return shown;
    });
  }

 private:
  static constexpr const char* kClassName = "TamblinCaptureTestWindow";

  static void registerClass() {
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &PatternWindow::procedure;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
      windowClass.lpszClassName = kClassName;
      return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
  }

  void paint(HDC dc) const {
    // One DIB of the whole picture, copied in one go: painting pixel by pixel is too slow.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const COLORREF colour = picture_(x, y);
        pixels[static_cast<std::size_t>(y) * width_ + x] =
            (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
      }
    SetDIBitsToDevice(dc, 0, 0, width_, height_, 0, 0, 0, height_, pixels.data(), &info, DIB_RGB_COLORS);
  }

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        HDC dc = BeginPaint(window, &paintStruct);
        if (self != nullptr) self->paint(dc);
        EndPaint(window, &paintStruct);
        return 0;
      }
      case WM_PRINTCLIENT:
        if (self != nullptr) self->paint(reinterpret_cast<HDC>(wParam));
        return 0;
      case WM_PRINT: {
        RECT outer{};
        GetWindowRect(window, &outer);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        const int dx = origin.x - outer.left;
        const int dy = origin.y - outer.top;
        if (dx == 0 && dy == 0) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        if ((lParam & PRF_NONCLIENT) != 0) {
          const RECT frame{0, 0, outer.right - outer.left, outer.bottom - outer.top};
          HBRUSH brush = CreateSolidBrush(kFrameColour);
          FillRect(dc, &frame, brush);
          DeleteObject(brush);
        }
        if ((lParam & PRF_CLIENT) != 0) {
          POINT previous;
          OffsetViewportOrgEx(dc, dx, dy, &previous);
          SendMessageA(window, WM_PRINTCLIENT, wParam, PRF_CLIENT);
          SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
        }
        return 0;
      }
      case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  int width_;
  int height_;
  Picture picture_;
};

// Readers of the bytes, written here rather than borrowed from the code under test.
inline std::uint32_t u16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}
inline std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return u16(bytes, at) | (u16(bytes, at + 2) << 16);
}
inline std::int32_t s32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(u32(bytes, at));
}
// The colour of column x, row y (from 0 at the top-left) by the header's own width, height and
// bit count.
inline COLORREF pixelOf(std::span<const std::uint8_t> image, int x, int y) {
  const std::size_t width = u32(image, 18);
  const std::size_t height = u32(image, 22);
  const std::size_t bytes = u16(image, 28) / 8;
  const std::size_t stride = (width * bytes + 3) / 4 * 4;
  const std::size_t at = 58 + stride * (height - 1 - y) + bytes * x;
  return RGB(image[at + 2], image[at + 1], image[at]);
}

}  // namespace capture_test
