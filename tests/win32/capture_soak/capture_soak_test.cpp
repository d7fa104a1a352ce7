// Many small captures in one process. Wine's GDI handle table holds about 65,000 objects, so a
// capture that leaks one handle per call stops working before the loop ends.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::识图1类;

constexpr int kCalls = 70'000;

class Soak : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window.waitUntilShown()); }
  // Reports how long the loop took, for the record.
  template <typename Call>
  void run(const char* what, Call call) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i) {
      if (!call()) {
        ADD_FAILURE() << what << " stopped working at call " << i;
        return;
      }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%d calls of %s: %.1f s\n", kCalls, what, took.count());
  }
  PatternWindow window{200, 150, 4, 4};
  识图1类 recognition;
};

TEST_F(Soak, CaptureRegion) {
  const POINT origin = window.screenPoint(0, 0);
  run("captureRegion 4x4", [&] { return recognition.captureRegion(origin.x, origin.y, 4, 4).size() == 58 + 12 * 4; });
  const ByteArray last = recognition.captureRegion(origin.x, origin.y, 4, 4);
  expectHeader(last, 4, 4, 24);
  expectPicture(last, window, 0, 0);
}

TEST_F(Soak, CaptureWindow) {
  run("captureWindow 4x4", [&] { return recognition.captureWindow(window.get()).size() == 58 + 16 * 4; });
  const ByteArray last = recognition.captureWindow(window.get());
  expectHeader(last, 4, 4, recognition.getColourDepth());
  expectPicture(last, window, 0, 0);
}

TEST_F(Soak, PixelReads) {
  const auto expected = static_cast<std::int32_t>(window.at(3, 2));
  run("getScreenPixel", [&] { return recognition.getScreenPixel(3, 2, window.get(), 1) == expected; });
  run("getWindowPixel", [&] { return recognition.getWindowPixel(window.get(), 4, 3) == expected; });
}

}  // namespace
