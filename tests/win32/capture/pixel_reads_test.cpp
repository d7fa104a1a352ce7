// getScreenPixel and getWindowPixel: screen points count from 0, image pixels from 1.
#include <gtest/gtest.h>

#include <vector>

#include "recognition/core/bitmap_layout.hpp"
#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::识图1类;

TEST(PixelReads, WindowPixelMatchesScreenPixelOfAnUncoveredWindow) {
  PatternWindow window(600, 300, 37, 23, knownPicture, WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(window.waitUntilShown());
  识图1类 recognition;
  const POINT origin = window.screenPoint(0, 0);
  const POINT points[] = {{0, 0}, {36, 22}, {36, 0}, {0, 22}, {21, 11}, {5, 18}, {17, 9}};
  for (const POINT& p : points) {
    SCOPED_TRACE(::testing::Message() << "client point (" << p.x << ", " << p.y << ")");
    const auto expected = static_cast<std::int32_t>(window.at(p.x, p.y));
    EXPECT_EQ(recognition.getWindowPixel(window.get(), p.x + 1, p.y + 1), expected);
    EXPECT_EQ(recognition.getScreenPixel(p.x, p.y, window.get(), 1), expected);
    EXPECT_EQ(recognition.getScreenPixel(origin.x + p.x, origin.y + p.y, nullptr, 0), expected);
    // Without clientCoordinates the window is not used.
    EXPECT_EQ(recognition.getScreenPixel(origin.x + p.x, origin.y + p.y, window.get(), 0), expected);
  }
}

TEST(PixelReads, PointsOutsideGiveMinusOne) {
  PatternWindow window(600, 300, 37, 23);
  ASSERT_TRUE(window.waitUntilShown());
  PatternWindow hidden(600, 300, 37, 23, knownPicture, WS_POPUP, nullptr, false);
  识图1类 recognition;
  const POINT outsideWindow[] = {{0, 1}, {1, 0}, {38, 1}, {1, 24}, {-5, 3}};
  for (const POINT& p : outsideWindow)
    EXPECT_EQ(recognition.getWindowPixel(window.get(), p.x, p.y), -1) << p.x << ", " << p.y;
  EXPECT_EQ(recognition.getWindowPixel(hidden.get(), 1, 1), -1);
  EXPECT_EQ(recognition.getWindowPixel(nullptr, 1, 1), -1);
  const POINT outsideScreen[] = {{-1, 0}, {0, -1}, {1920, 0}, {0, 1080}};
  for (const POINT& p : outsideScreen)
    EXPECT_EQ(recognition.getScreenPixel(p.x, p.y, nullptr, 0), -1) << p.x << ", " << p.y;
}

// A class whose window captures are prepared images, as a 24-bit display would deliver them.
class PreparedCapture : public 识图1类 {
 public:
  tamblin::ByteArray capture;
  tamblin::ByteArray captureWindow(HWND, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                   std::int32_t) override {
    return capture;
  }
};

TEST(PixelReads, WindowPixelReadsA24BitCaptureByItsOwnLayout) {
  PreparedCapture recognition;
  // Widths 2 and 5: one has rows as long as 4-byte rows would be, the other padded rows.
  for (const int width : {2, 5}) {
    const int height = 3;
    const auto stride = static_cast<std::size_t>(tamblin::rowStride(width, 3));
    std::vector<std::uint8_t> block(stride * height, 0xEE);
    const auto colourOf = [](int x, int y) { return static_cast<std::int32_t>(RGB(10 * x, 20 * y, 7 + x + y)); };
    for (int y = 1; y <= height; ++y)
      for (int x = 1; x <= width; ++x) {
        const std::size_t at = stride * (height - y) + 3 * (x - 1);
        const std::int32_t colour = colourOf(x, y);
        block[at] = GetBValue(colour);
        block[at + 1] = GetGValue(colour);
        block[at + 2] = GetRValue(colour);
      }
    recognition.capture = tamblin::makeBitmapImage(width, height, 24, block);
    for (int y = 1; y <= height; ++y)
      for (int x = 1; x <= width; ++x)
        EXPECT_EQ(recognition.getWindowPixel(nullptr, x, y), colourOf(x, y))
            << "width " << width << ", pixel (" << x << ", " << y << ")";
  }
}

TEST(PixelReads, WindowPixelOfATruncatedCaptureIsMinusOne) {
  PreparedCapture recognition;
  recognition.capture = tamblin::makeBitmapImage(4, 4, 32, std::vector<std::uint8_t>(64, 1));
  recognition.capture.resize(58 + 16);  // only the bottom row is left
  EXPECT_EQ(recognition.getWindowPixel(nullptr, 1, 4), static_cast<std::int32_t>(RGB(1, 1, 1)));
  EXPECT_EQ(recognition.getWindowPixel(nullptr, 1, 1), -1);
}

}  // namespace
