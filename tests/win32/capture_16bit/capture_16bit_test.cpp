// A display of 16 bits per pixel: window captures are refused, screen captures stay 24-bit.
#include <gtest/gtest.h>

#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::kNotFound;
using tamblin::识图1类;

// Pure colours survive 5-6-5 unchanged, so the screen shows them exactly.
COLORREF pureBlocks(int x, int y) {
  static constexpr COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  return colours[(x / 8 + y / 8) % 4];
}

TEST(SixteenBitDisplay, WindowCapturesAreRefusedAndScreenCapturesStay24Bit) {
  识图1类 recognition;
  ASSERT_EQ(recognition.getColourDepth(), 16);
  PatternWindow window(300, 200, 37, 23, pureBlocks);
  ASSERT_TRUE(window.waitUntilShown());

  EXPECT_TRUE(recognition.captureWindow(window.get()).empty());
  EXPECT_TRUE(recognition.captureWindow(window.get(), 0, 0, 10, 10, 1).empty());
  EXPECT_EQ(recognition.getWindowPixel(window.get(), 1, 1), -1);
  EXPECT_EQ(recognition.findColourInWindow(window.get(), 0x000000FF), kNotFound);

  const ByteArray whole = recognition.captureRegion();
  expectHeader(whole, 1920, 1080, 24);
  const ByteArray client = recognition.captureRegion(0, 0, 0, 0, window.get());
  expectHeader(client, 37, 23, 24);
  expectPicture(client, window, 0, 0);
  // The bottom row starts in blue.
  EXPECT_EQ(recognition.findColourInRegion(0x00FF0000, 0, 0, 37, 23, 0, {}, window.get()),
            (tamblin::ImagePoint{1, 23}));
}

}  // namespace
