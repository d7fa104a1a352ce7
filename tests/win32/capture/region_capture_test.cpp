// captureRegion against windows of known content on the virtual desktop.
#include <gtest/gtest.h>

#include <string>

#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::ByteArray;
using tamblin::识图1类;

TEST(CaptureRegion, ReturnsTheShownPixelsInScreenAndWindowMode) {
  PatternWindow window(300, 200, 37, 23);
  ASSERT_TRUE(window.waitUntilShown());
  识图1类 recognition;
  const POINT origin = window.screenPoint(0, 0);

  struct Case {
    std::string name;
    ByteArray image;
    int dx, dy, width, height;
  };
  // Widths 31, 37 and 32 give rows ending in 3, 1 and 0 padding bytes.
  const Case cases[] = {
      {"screen mode", recognition.captureRegion(origin.x + 3, origin.y + 2, 31, 17), 3, 2, 31, 17},
      {"window mode", recognition.captureRegion(3, 2, 31, 17, window.get()), 3, 2, 31, 17},
      {"window mode, whole client", recognition.captureRegion(0, 0, 0, 0, window.get()), 0, 0, 37, 23},
      {"window mode, client from an offset", recognition.captureRegion(5, 4, 0, 0, window.get()), 5, 4, 32, 19},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectHeader(c.image, c.width, c.height, 24);
    expectPicture(c.image, window, c.dx, c.dy);
  }
}

TEST(CaptureRegion, DefaultsReachTheScreenEdges) {
  PatternWindow window(300, 200, 37, 23);
  ASSERT_TRUE(window.waitUntilShown());
  识图1类 recognition;
  const POINT origin = window.screenPoint(0, 0);

  const ByteArray whole = recognition.captureRegion();
  EXPECT_EQ(whole.size(), 6'220'858u);
  expectHeader(whole, 1920, 1080, 24);
  EXPECT_EQ(pixelOf(whole, origin.x + 21, origin.y + 11), RGB(255, 0, 0));
  EXPECT_EQ(pixelOf(whole, origin.x + 36, origin.y + 22), window.at(36, 22));

  const ByteArray rest = recognition.captureRegion(100, 50);
  EXPECT_EQ(rest.size(), 5'623'858u);
  expectHeader(rest, 1820, 1030, 24);
  EXPECT_EQ(pixelOf(rest, origin.x - 100 + 36, origin.y - 50 + 22), window.at(36, 22));
}

TEST(CaptureRegion, TinyRegionsArePadded) {
  PatternWindow window(300, 200, 37, 23);
  ASSERT_TRUE(window.waitUntilShown());
  识图1类 recognition;
  const POINT origin = window.screenPoint(0, 0);

  const ByteArray row = recognition.captureRegion(origin.x + 30, origin.y + 7, 5, 1);
  expectHeader(row, 5, 1, 24);
  EXPECT_EQ(row.size(), 74u);
  expectPicture(row, window, 30, 7);

  const ByteArray one = recognition.captureRegion(origin.x + 30, origin.y + 7, 1, 1);
  ASSERT_EQ(one.size(), 62u);
  const COLORREF expected = window.at(30, 7);
  EXPECT_EQ(one[58], GetBValue(expected));
  EXPECT_EQ(one[59], GetGValue(expected));
  EXPECT_EQ(one[60], GetRValue(expected));
}

TEST(CaptureRegion, RegionsWithoutPixelsGiveTheBarePrefix) {
  识图1类 recognition;
  struct Case {
    std::string name;
    ByteArray image;
  };
  const Case cases[] = {
      {"negative width", recognition.captureRegion(0, 0, -10, 5)},
      {"null window and no size", recognition.captureRegion(0, 0, 0, 0, HWND{nullptr})},
      {"null window from x 10", recognition.captureRegion(10, 0, 0, 5, HWND{nullptr})},
      {"negative height", recognition.captureRegion(0, 0, 5, -3)},
      {"below the bottom edge", recognition.captureRegion(0, 2000)},
      {"beyond the right edge", recognition.captureRegion(2000, 0)},
      {"too large for 32-bit sizes", recognition.captureRegion(0, 0, 60000, 60000)},
      {"extreme coordinates", recognition.captureRegion(INT32_MIN, INT32_MIN)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectBarePrefix(c.image);
  }
}

TEST(CaptureRegion, NullWindowTakesTheRectangleInScreenTerms) {
  PatternWindow window(300, 200, 37, 23);
  ASSERT_TRUE(window.waitUntilShown());
  识图1类 recognition;
  const POINT origin = window.screenPoint(0, 0);
  const ByteArray image = recognition.captureRegion(origin.x + 2, origin.y + 3, 9, 4, HWND{nullptr});
  expectHeader(image, 9, 4, 24);
  expectPicture(image, window, 2, 3);
}

}  // namespace
