// Rectangles, points and start points from the wild: every combination of extreme, negative,
// zero, small and huge values. A capture either has the size the rules give, or, when that size
// has no pixels, is wider or higher than an image can say (65535) or too large for its 32-bit
// length fields, the failure value. Nothing crashes and nothing allocates what the rules refuse.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <string>

#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"
#include "tests/win32/reliability/reliability_checks.hpp"
#include "tests/win32/reliability/resource_use.hpp"

namespace {

using namespace capture_test;
using namespace reliability;
using tamblin::kNotFound;
using tamblin::识图1类;

constexpr std::int32_t kWild[] = {INT32_MIN, -100000, -1, 0, 1, 5, 100000, INT32_MAX};

bool fitsInt(std::int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

// The size an image of width x height at bytesPerPixel comes to, if it can be made at all.
bool makeable(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel) {
  if (width < 1 || height < 1 || width > 65535 || height > 65535) return false;
  const std::int64_t stride = (width * bytesPerPixel + 3) / 4 * 4;
  return 58 + stride * height <= 0xFFFFFFFFll;
}

std::string describe(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  return "(" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(width) + ", " +
         std::to_string(height) + ")";
}

// Runs check over every combination of four wild values and reports how many there were.
template <typename Check>
int everyRectangle(const char* what, Check check) {
  const auto start = std::chrono::steady_clock::now();
  int tried = 0;
  for (const std::int32_t x : kWild)
    for (const std::int32_t y : kWild)
      for (const std::int32_t width : kWild)
        for (const std::int32_t height : kWild) {
          check(x, y, width, height);
          ++tried;
          if (::testing::Test::HasFatalFailure()) return tried;
        }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%s: %d rectangles in %.1f s\n", what, tried, took.count());
  return tried;
}

class WildSizes : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window.waitUntilShown()); }

  识图1类 recognition;
  // Frameless, so the window's picture and its client area coincide.
  PatternWindow window{300, 200, 40, 30};
};

TEST_F(WildSizes, RegionCapturesHaveTheirSizeOrAreTheBarePrefix) {
  const std::int64_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const std::int64_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
  everyRectangle("captureRegion, screen mode", [&](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const std::int64_t width = w != 0 ? w : screenWidth - x;
    const std::int64_t height = h != 0 ? h : screenHeight - y;
    const ByteArray image = recognition.captureRegion(x, y, w, h);
    if (makeable(width, height, 3)) {
      ASSERT_TRUE(isWellFormedImage(image, 24, static_cast<int>(width), static_cast<int>(height))) << describe(x, y, w, h);
    } else {
      ASSERT_TRUE(isBarePrefix(image)) << describe(x, y, w, h) << ": " << image.size() << " bytes";
    }
  });

  const POINT origin = window.screenPoint(0, 0);
  everyRectangle("captureRegion, window mode", [&](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const std::int64_t width = w != 0 ? w : window.width() - static_cast<std::int64_t>(x);
    const std::int64_t height = h != 0 ? h : window.height() - static_cast<std::int64_t>(y);
    const bool placeable = fitsInt(std::int64_t{x} + origin.x) && fitsInt(std::int64_t{y} + origin.y);
    const ByteArray image = recognition.captureRegion(x, y, w, h, window.get());
    if (placeable && makeable(width, height, 3)) {
      ASSERT_TRUE(isWellFormedImage(image, 24, static_cast<int>(width), static_cast<int>(height))) << describe(x, y, w, h);
    } else {
      ASSERT_TRUE(isBarePrefix(image)) << describe(x, y, w, h) << ": " << image.size() << " bytes";
    }
  });
}

TEST_F(WildSizes, WindowCapturesHaveTheirSizeOrAreEmpty) {
  const int depth = recognition.getColourDepth();
  everyRectangle("captureWindow, client mode", [&](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const std::int64_t width = w >= 1 ? w : window.width();
    const std::int64_t height = h >= 1 ? h : window.height();
    const ByteArray image = recognition.captureWindow(window.get(), x, y, w, h);
    if (makeable(width, height, depth / 8)) {
      ASSERT_TRUE(isWellFormedImage(image, depth, static_cast<int>(width), static_cast<int>(height))) << describe(x, y, w, h);
    } else {
      ASSERT_TRUE(image.empty()) << describe(x, y, w, h) << ": " << image.size() << " bytes";
    }
  });
  everyRectangle("captureWindow, window mode", [&](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const ByteArray image = recognition.captureWindow(window.get(), x, y, w, h, 1);
    if (makeable(w, h, depth / 8)) {
      ASSERT_TRUE(isWellFormedImage(image, depth, w, h)) << describe(x, y, w, h);
    } else {
      ASSERT_TRUE(image.empty()) << describe(x, y, w, h) << ": " << image.size() << " bytes";
    }
  });
}

TEST_F(WildSizes, CutOutsInsideThePictureStillMatchIt) {
  // Next to the wild ones, a cut-out that reaches past the window's edge keeps the pixels that
  // lie inside it where they belong.
  const ByteArray image = recognition.captureWindow(window.get(), 30, 20, 100, 50);
  ASSERT_TRUE(isWellFormedImage(image, recognition.getColourDepth(), 100, 50));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(pixelOf(image, x, y), window.at(30 + x, 20 + y)) << x << ", " << y;
}

TEST_F(WildSizes, AHugeWindowIsRenderedOnlyAsFarAsTheCutOutReaches) {
  // 20000 x 20000 pixels: 1.6 GB at 32 bits, were the whole window rendered for a few pixels.
  const HWND huge = CreateWindowExA(0, "STATIC", "huge", WS_POPUP | WS_VISIBLE, 0, 0, 20000, 20000, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(huge, nullptr);
  RECT outer{};
  GetWindowRect(huge, &outer);
  const std::size_t before = memoryUse().peakWorkingSet;
  const ByteArray corner = recognition.captureWindow(huge, 0, 0, 10, 10);
  const ImagePoint none = recognition.findColourInWindow(huge, RGB(1, 2, 3), 5, 5, 10, 10);
  const std::size_t after = memoryUse().peakWorkingSet;
  DestroyWindow(huge);
  pump();
  EXPECT_TRUE(isWellFormedImage(corner, recognition.getColourDepth(), 10, 10));
  EXPECT_EQ(none, kNotFound);
  EXPECT_LT(after - before, std::size_t{100} << 20) << "peak working set " << (before >> 20) << " MB before, "
                                                     << (after >> 20) << " MB after";
  std::printf("a %ld x %ld window: 10 x 10 cut-outs raised the peak working set from %zu MB to %zu MB\n",
              outer.right - outer.left, outer.bottom - outer.top, before >> 20, after >> 20);
}

TEST_F(WildSizes, PointsFromTheWildReadNothingOrTheRightPixel) {
  const POINT origin = window.screenPoint(0, 0);
  int tried = 0;
  for (const std::int32_t x : kWild)
    for (const std::int32_t y : kWild) {
      SCOPED_TRACE(describe(x, y, 0, 0));
      const bool inWindow = x >= 1 && y >= 1 && x <= window.width() && y <= window.height();
      const std::int32_t windowPixel = recognition.getWindowPixel(window.get(), x, y);
      EXPECT_EQ(windowPixel, inWindow ? static_cast<std::int32_t>(window.at(x - 1, y - 1)) : -1);

      const std::int64_t screenX = std::int64_t{x} + origin.x;
      const std::int64_t screenY = std::int64_t{y} + origin.y;
      const bool onScreen = screenX >= 0 && screenY >= 0 && screenX < GetSystemMetrics(SM_CXSCREEN) &&
                            screenY < GetSystemMetrics(SM_CYSCREEN);
      const std::int32_t screenPixel = recognition.getScreenPixel(x, y, window.get(), 1);
      if (onScreen) {
        EXPECT_TRUE(isColourValue(screenPixel)) << screenPixel;
      } else {
        EXPECT_EQ(screenPixel, -1);
      }
      const bool plainOnScreen = x >= 0 && y >= 0 && x < GetSystemMetrics(SM_CXSCREEN) && y < GetSystemMetrics(SM_CYSCREEN);
      if (!plainOnScreen) {
        EXPECT_EQ(recognition.getScreenPixel(x, y, nullptr, 0), -1);
      }
      tried += 3;
    }
  std::printf("pixel reads: %d points\n", tried);
}

TEST_F(WildSizes, SearchesOverWildRectanglesAndStartPointsAnswerSoundly) {
  const tamblin::Colour red = RGB(255, 0, 0);
  ByteArray needle = recognition.captureWindow(window.get(), kRedBlock.left, kRedBlock.top, 3, 2);
  ASSERT_FALSE(needle.empty());
  int tried = 0;
  for (const std::int32_t x : kWild)
    for (const std::int32_t w : kWild) {
      SCOPED_TRACE(describe(x, x, w, w));
      for (const ImagePoint start : {ImagePoint{}, ImagePoint{INT32_MIN, INT32_MIN}, ImagePoint{INT32_MAX, 1},
                                     ImagePoint{1, INT32_MAX}, ImagePoint{INT32_MAX, INT32_MAX}}) {
        EXPECT_TRUE(isSoundPoint(recognition.findColourInWindow(window.get(), red, x, x, w, w, 0, start)));
        EXPECT_TRUE(isSoundPoint(recognition.findColourInWindow(window.get(), red, x, x, w, w, INT32_MAX, start)));
        EXPECT_TRUE(isSoundPoint(recognition.findImageInWindow(window.get(), needle, x, x, w, w, INT32_MIN, start)));
        EXPECT_TRUE(isSoundPoint(recognition.findColourInRegion(red, x, x, w, w, 1, start)));
        EXPECT_TRUE(isSoundPoint(recognition.findImageInRegion(needle, x, x, w, w, 0, start, window.get())));
        tried += 5;
      }
    }
  // The block is found from the start and from start points whose offset comes out negative,
  // and not from one past the end.
  EXPECT_EQ(recognition.findColourInWindow(window.get(), red), (ImagePoint{kRedBlock.left + 1, kRedBlock.bottom}));
  EXPECT_EQ(recognition.findColourInWindow(window.get(), red, 0, 0, 0, 0, 0, {INT32_MIN, INT32_MIN}),
            (ImagePoint{kRedBlock.left + 1, kRedBlock.bottom}));
  EXPECT_EQ(recognition.findColourInWindow(window.get(), red, 0, 0, 0, 0, 0, {1, INT32_MAX}),
            (ImagePoint{kRedBlock.left + 1, kRedBlock.bottom}));
  EXPECT_EQ(recognition.findColourInWindow(window.get(), red, 0, 0, 0, 0, 0, {INT32_MAX, 1}), kNotFound);
  std::printf("searches: %d wild rectangles and start points\n", tried);
}

TEST_F(WildSizes, DrawTextTakesWildArgumentsAndKeepsNothing) {
  const std::string longLatin(100000, 'W');
  std::string longChinese;
  for (int i = 0; i < 50000; ++i) longChinese += "\xA1\xF6";  // ■
  const std::string unfinished = "\xA1\xF6\xA1";            // ends in a lead byte
  const std::string withZero("\xA1\xF6\0\xA1\xF6", 5);
  const std::string longFace(300, 'F');
  fillDcCache();
  recognition.drawText(nullptr, 0, 0, "warm", 0, 20);
  const GdiObjects before = gdiObjects();
  int tried = 0;
  const std::string* const texts[] = {&longLatin, &longChinese, &unfinished, &withZero};
  for (const std::string* text : texts) {
    for (const std::int32_t size : {INT32_MIN, -1, 0, 20, INT32_MAX}) {
      recognition.drawText(nullptr, 10, 10, *text, RGB(0, 0, 255), size, longFace, 1, -1, INT32_MIN);
      recognition.drawText(window.get(), -5, 3, *text, static_cast<tamblin::Colour>(0xFF000000), size, "", 1, size,
                           size);
      tried += 2;
    }
    for (const std::int32_t x : {INT32_MIN, -100000, 100000, INT32_MAX}) {
      recognition.drawText(nullptr, x, -x, *text);
      ++tried;
    }
  }
  const GdiObjects after = gdiObjects();
  EXPECT_EQ(after.withoutRegions(), before.withoutRegions());
  std::printf("drawText: %d calls with wild arguments; GDI objects %d before, %d after\n", tried, before.all, after.all);
}

TEST_F(WildSizes, AVeryLongTextDoesNotTakeTheProcessDown) {
  // Under Wine a TextOutA of some 22,000 glyphs loses the X connection, which ends the process.
  std::string squares;
  for (int i = 0; i < 50000; ++i) squares += "\xA1\xF6";  // ■
  const POINT at = window.screenPoint(0, 0);
  recognition.drawText(nullptr, at.x, at.y, squares, RGB(255, 0, 255), 16);
  recognition.drawText(nullptr, at.x, at.y, std::string(100000, 'W'), RGB(255, 0, 255), 1);
  recognition.drawText(GetDesktopWindow(), at.x, at.y, squares, RGB(255, 0, 255), 16);
  // Still connected: a short text draws.
  recognition.drawText(nullptr, at.x, at.y, "\xA1\xF6", RGB(255, 0, 255), 16);
  EXPECT_TRUE(pumpUntil([&] {
    return recognition.findColourInRegion(RGB(255, 0, 255), at.x, at.y, 16, 16, 0, {}, nullptr) != kNotFound;
  }));
}

}  // namespace
