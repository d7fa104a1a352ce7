// Exhausted resources: a GDI handle table with no room left (or only a few slots), and memory
// that refuses the pixel block. Every operation gives its failure value or a sound result, what
// it acquired before the failure is given back, and it works again once room is made.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "recognition/win32/recognition_object.hpp"
#include "recognition/win32/saved_windows.hpp"
#include "tests/win32/capture/capture_checks.hpp"
#include "tests/win32/reliability/reliability_checks.hpp"
#include "tests/win32/reliability/resource_use.hpp"

namespace {
// Allocations above this many bytes fail while a test asks for it.
std::atomic<std::size_t> refuseAbove{static_cast<std::size_t>(-1)};
}  // namespace

void* operator new(std::size_t size) {
  if (size > refuseAbove.load()) throw std::bad_alloc();
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
// GCC takes the replaced pair for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop

namespace {

using namespace capture_test;
using namespace reliability;
using tamblin::kNotFound;
using tamblin::识图1类;

class Exhausted : public ::testing::Test {
 protected:
  void SetUp() override {
    tamblin::createSavedWindows();
    ASSERT_TRUE(window.waitUntilShown());
    origin = window.screenPoint(0, 0);
  }
  void TearDown() override { tamblin::releaseSavedWindows(); }

  // Each operation once; true for each that gave its full, right answer.
  struct Answers {
    bool region, windowCapture, windowPixel, screenPixel, regionSearch, windowSearch, prepared;
  };
  Answers runAll() {
    const int depth = recognition.getColourDepth();
    Answers answers{};
    const ByteArray region = recognition.captureRegion(origin.x, origin.y, 40, 30);
    EXPECT_TRUE(isBarePrefix(region) || isWellFormedImage(region, 24, 40, 30)) << region.size();
    answers.region = region.size() > 58 && pixelOf(region, 21, 11) == RGB(255, 0, 0);

    const ByteArray capture = recognition.captureWindow(window.get());
    EXPECT_TRUE(capture.empty() || isWellFormedImage(capture, depth, 40, 30)) << capture.size();
    answers.windowCapture = !capture.empty() && pixelOf(capture, 21, 11) == RGB(255, 0, 0);

    const std::int32_t windowPixel = recognition.getWindowPixel(window.get(), 22, 12);
    EXPECT_TRUE(windowPixel == -1 || isColourValue(windowPixel)) << windowPixel;
    answers.windowPixel = windowPixel == static_cast<std::int32_t>(RGB(255, 0, 0));

    const std::int32_t screenPixel = recognition.getScreenPixel(21, 11, window.get(), 1);
    EXPECT_TRUE(screenPixel == -1 || isColourValue(screenPixel)) << screenPixel;
    answers.screenPixel = screenPixel == static_cast<std::int32_t>(RGB(255, 0, 0));

    const ImagePoint inRegion = recognition.findColourInRegion(RGB(0, 0, 255), origin.x, origin.y, 40, 30);
    EXPECT_TRUE(inRegion == kNotFound || inRegion == (ImagePoint{4, 21})) << inRegion;
    answers.regionSearch = inRegion == (ImagePoint{4, 21});

    const ImagePoint inWindow = recognition.findColourInWindow(window.get(), RGB(0, 0, 255));
    EXPECT_TRUE(inWindow == kNotFound || inWindow == (ImagePoint{4, 21})) << inWindow;
    answers.windowSearch = inWindow == (ImagePoint{4, 21});

    recognition.drawText(nullptr, origin.x + 45, origin.y, "\xA1\xF6", RGB(0, 0, 255), 20);
    recognition.drawText(window.get(), 45, 0, "x");

    const std::int32_t prepared = recognition.prepareWindow(hidden.get());
    const std::int32_t restored = recognition.prepareWindow(hidden.get(), 1);
    EXPECT_TRUE(tamblin::savedWindows().empty());
    answers.prepared = prepared == 1 && restored == 1;
    return answers;
  }

  识图1类 recognition;
  PatternWindow window{400, 300, 40, 30};
  PatternWindow hidden{500, 300, 10, 10, knownPicture, WS_POPUP, nullptr, false};
  POINT origin{};
};

TEST_F(Exhausted, GdiTableWithNoRoomOrAFewSlotsLeft) {
  fillDcCache();
  const Answers normal = runAll();
  ASSERT_TRUE(normal.region && normal.windowCapture && normal.windowPixel && normal.screenPixel &&
              normal.regionSearch && normal.windowSearch && normal.prepared);
  const GdiObjects before = gdiObjects();

  // How many free slots each operation needed to give its full answer.
  int firstRegion = -1, firstWindowCapture = -1, firstWindowPixel = -1, firstScreenPixel = -1;
  for (int spare = 0; spare <= 8; ++spare) {
    SCOPED_TRACE("free GDI slots: " + std::to_string(spare));
    Answers answers{};
    {
      GdiFiller filler(static_cast<std::size_t>(spare));
      ASSERT_TRUE(filler.reachedTheLimit()) << filler.held() << " objects made without reaching the limit";
      answers = runAll();
    }
    const auto note = [spare](bool full, int& first) {
      if (full && first < 0) first = spare;
    };
    note(answers.region, firstRegion);
    note(answers.windowCapture, firstWindowCapture);
    note(answers.windowPixel, firstWindowPixel);
    note(answers.screenPixel, firstScreenPixel);
    if (spare == 0) {
      EXPECT_FALSE(answers.region || answers.windowCapture || answers.windowPixel || answers.regionSearch ||
                   answers.windowSearch)
          << "with no slot left nothing can be captured";
    }
    EXPECT_EQ(gdiObjects().withoutRegions(), before.withoutRegions()) << "a failure path kept an object";
  }
  // Room again: everything works as before.
  const Answers again = runAll();
  EXPECT_TRUE(again.region && again.windowCapture && again.windowPixel && again.screenPixel && again.regionSearch &&
              again.windowSearch && again.prepared);
  EXPECT_EQ(gdiObjects().withoutRegions(), before.withoutRegions());
  std::printf("free GDI slots needed for a full answer: captureRegion %d, captureWindow %d, getWindowPixel %d, "
              "getScreenPixel %d (-1: more than 8)\n",
              firstRegion, firstWindowCapture, firstWindowPixel, firstScreenPixel);
}

TEST_F(Exhausted, MemoryThatRefusesThePixelBlock) {
  fillDcCache();
  runAll();
  const GdiObjects before = gdiObjects();
  // The 58-byte prefix still fits; a pixel block of 40 x 30 pixels does not.
  refuseAbove = 1000;
  const ByteArray region = recognition.captureRegion(origin.x, origin.y, 40, 30);
  const ByteArray capture = recognition.captureWindow(window.get());
  const std::int32_t windowPixel = recognition.getWindowPixel(window.get(), 22, 12);
  const ImagePoint inRegion = recognition.findColourInRegion(RGB(0, 0, 255), origin.x, origin.y, 40, 30);
  const ImagePoint inWindow = recognition.findColourInWindow(window.get(), RGB(0, 0, 255));
  const ImagePoint imageInWindow = recognition.findImageInWindow(window.get(), recognition.captureRegion(0, 0, 2, 1));
  refuseAbove = static_cast<std::size_t>(-1);

  EXPECT_TRUE(isBarePrefix(region)) << region.size();
  EXPECT_TRUE(capture.empty()) << capture.size();
  EXPECT_EQ(windowPixel, -1);
  EXPECT_EQ(inRegion, kNotFound);
  EXPECT_EQ(inWindow, kNotFound);
  EXPECT_EQ(imageInWindow, kNotFound);
  // Nothing was kept on the way out.
  EXPECT_EQ(gdiObjects().withoutRegions(), before.withoutRegions());
  EXPECT_TRUE(isWellFormedImage(recognition.captureRegion(origin.x, origin.y, 40, 30), 24, 40, 30));
}

}  // namespace
