// captureWindow: PrintWindow renders the window itself, covered or not.
#include <gtest/gtest.h>

#include <string>

#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::识图1类;

TEST(CaptureWindow, ClientAndWindowModeReturnTheWindowsPixels) {
  PatternWindow window(400, 300, 141, 27, knownPicture, WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(window.waitUntilShown());
  识图1类 recognition;
  const int depth = recognition.getColourDepth();
  ASSERT_TRUE(depth == 24 || depth == 32) << depth;
  RECT outer;
  GetWindowRect(window.get(), &outer);
  const POINT origin = window.screenPoint(0, 0);
  const int frameX = origin.x - outer.left;
  const int frameY = origin.y - outer.top;
  ASSERT_GT(frameY, 0) << "the test window should have a caption";

  const ByteArray whole = recognition.captureWindow(window.get());
  {
    SCOPED_TRACE("whole client area");
    expectHeader(whole, 141, 27, depth);
    expectPicture(whole, window, 0, 0);
  }
  const ByteArray part = recognition.captureWindow(window.get(), 4, 3, 13, 9);
  {
    SCOPED_TRACE("part of the client area");
    expectHeader(part, 13, 9, depth);
    expectPicture(part, window, 4, 3);
  }
  {
    SCOPED_TRACE("an offset with the client size");
    const ByteArray shifted = recognition.captureWindow(window.get(), 4, 3, 0, -1);
    expectHeader(shifted, 141, 27, depth);
    expectPicture(shifted, window, 4, 3, 141 - 4, 27 - 3);
  }
  {
    SCOPED_TRACE("window coordinates");
    EXPECT_EQ(recognition.captureWindow(window.get(), frameX + 4, frameY + 3, 13, 9, 1), part);
  }
  {
    SCOPED_TRACE("whole window, frame included");
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;
    const ByteArray framed = recognition.captureWindow(window.get(), 0, 0, outerWidth, outerHeight, 1);
    expectHeader(framed, outerWidth, outerHeight, depth);
    for (int y = 0; y < 27; ++y)
      for (int x = 0; x < 141; ++x)
        ASSERT_EQ(pixelOf(framed, frameX + x, frameY + y), window.at(x, y)) << x << ", " << y;
  }
}

TEST(CaptureWindow, CoveredWindowStillGivesItsOwnPicture) {
  PatternWindow lower(500, 400, 40, 30);
  ASSERT_TRUE(lower.waitUntilShown());
  PatternWindow upper(490, 390, 60, 50, [](int, int) { return RGB(0, 200, 0); });
  ASSERT_TRUE(upper.waitUntilShown());
  识图1类 recognition;

  const ByteArray onScreen = recognition.captureRegion(0, 0, 0, 0, lower.get());
  ASSERT_EQ(onScreen.size(), 58u + 120 * 30);
  EXPECT_EQ(pixelOf(onScreen, 5, 5), RGB(0, 200, 0)) << "the upper window should cover the lower one";

  const ByteArray printed = recognition.captureWindow(lower.get());
  expectHeader(printed, 40, 30, recognition.getColourDepth());
  expectPicture(printed, lower, 0, 0);
}

// A class whose display reports a depth below 24, as a 16-bit display would.
class SixteenBitDisplay : public 识图1类 {
 public:
  std::int32_t getColourDepth() override { return 16; }
};

TEST(CaptureWindow, RefusesWhatItCannotCapture) {
  PatternWindow shown(450, 350, 20, 20);
  ASSERT_TRUE(shown.waitUntilShown());
  PatternWindow hidden(450, 350, 20, 20, knownPicture, WS_POPUP, nullptr, false);
  HWND destroyed;
  {
    PatternWindow gone(450, 350, 20, 20);
    destroyed = gone.get();
  }
  识图1类 recognition;
  SixteenBitDisplay sixteenBits;
  struct Case {
    std::string name;
    ByteArray image;
  };
  const Case cases[] = {
      {"destroyed window", recognition.captureWindow(destroyed)},
      {"null window", recognition.captureWindow(nullptr)},
      {"hidden window", recognition.captureWindow(hidden.get())},
      {"display below 24 bits", sixteenBits.captureWindow(shown.get())},
      {"window mode without a width", recognition.captureWindow(shown.get(), 0, 0, 0, 10, 1)},
      {"window mode with a negative height", recognition.captureWindow(shown.get(), 0, 0, 10, -1, 1)},
      {"too large for 32-bit sizes", recognition.captureWindow(shown.get(), 0, 0, 60000, 60000)},
  };
  for (const Case& c : cases) EXPECT_TRUE(c.image.empty()) << c.name << ": " << c.image.size() << " bytes";
}

TEST(CaptureWindow, MinimisedWindowHasNoClientAreaToCapture) {
  PatternWindow window(450, 350, 141, 20, knownPicture, WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(window.waitUntilShown());
  ShowWindow(window.get(), SW_MINIMIZE);
  pump();
  ASSERT_TRUE(IsIconic(window.get()));
  RECT client;
  GetClientRect(window.get(), &client);
  ASSERT_EQ(client.right, 0);
  ASSERT_EQ(client.bottom, 0);
  识图1类 recognition;
  const ByteArray image = recognition.captureWindow(window.get());
  EXPECT_TRUE(image.empty()) << image.size() << " bytes";
}

}  // namespace
