// The find-in wrappers: a capture through the object's own slot, then a search of it.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "recognition/core/bitmap_layout.hpp"
#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::ImagePoint;
using tamblin::kNotFound;
using tamblin::识图1类;

constexpr tamblin::Colour kRed = 0x000000FF;
constexpr tamblin::Colour kBlue = 0x00FF0000;

class FindIn : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window.waitUntilShown()); }
  PatternWindow window{700, 500, 37, 23, knownPicture, WS_OVERLAPPEDWINDOW};
  识图1类 recognition;
};

TEST_F(FindIn, ImageInRegionAndInWindowFindTheDrawnPattern) {
  const POINT origin = window.screenPoint(0, 0);
  // Needles 6 x 3 from client point (5, 4): their bottom-left pixel is column 6, row 7.
  const ByteArray needle24 = recognition.captureRegion(5, 4, 6, 3, window.get());
  const ByteArray needle32 = recognition.captureWindow(window.get(), 5, 4, 6, 3);
  ASSERT_EQ(needle24.size(), 58u + 20 * 3);
  ASSERT_FALSE(needle32.empty());

  EXPECT_EQ(recognition.findImageInRegion(needle24, origin.x, origin.y, 37, 23), (ImagePoint{6, 7}));
  EXPECT_EQ(recognition.findImageInRegion(needle24, 0, 0, 37, 23, 0, {}, window.get()), (ImagePoint{6, 7}));
  EXPECT_EQ(recognition.findImageInRegion(needle24, origin.x + 2, origin.y + 1, 30, 20), (ImagePoint{4, 6}));
  EXPECT_EQ(recognition.findImageInWindow(window.get(), needle32), (ImagePoint{6, 7}));
  EXPECT_EQ(recognition.findImageInWindow(window.get(), needle32, 2, 1), (ImagePoint{4, 6}));
  // Past the only occurrence there is none.
  EXPECT_EQ(recognition.findImageInWindow(window.get(), needle32, 0, 0, 0, 0, 0, {6, 7}), kNotFound);
}

TEST_F(FindIn, ColourInRegionAndInWindowFindTheSolidBlocks) {
  const POINT origin = window.screenPoint(0, 0);
  // The lowest row of a block first, its leftmost pixel; rows and columns count from 1.
  const ImagePoint redCorner{kRedBlock.left + 1, kRedBlock.bottom};
  const ImagePoint blueCorner{kBlueBlock.left + 1, kBlueBlock.bottom};
  EXPECT_EQ(recognition.findColourInRegion(kRed, origin.x, origin.y, 37, 23), redCorner);
  EXPECT_EQ(recognition.findColourInRegion(kBlue, 0, 0, 37, 23, 0, {}, window.get()), blueCorner);
  EXPECT_EQ(recognition.findColourInWindow(window.get(), kRed), redCorner);
  EXPECT_EQ(recognition.findColourInWindow(window.get(), kBlue), blueCorner);
  // The next one behind a hit, and a tolerant match of a near colour.
  EXPECT_EQ(recognition.findColourInWindow(window.get(), kRed, 0, 0, 0, 0, 0, redCorner),
            (ImagePoint{redCorner.x + 1, redCorner.y}));
  EXPECT_EQ(recognition.findColourInWindow(window.get(), 0x000505F8, 0, 0, 0, 0, 8), redCorner);
  EXPECT_EQ(recognition.findColourInWindow(window.get(), 0x000505F8), kNotFound);
}

TEST_F(FindIn, NoCaptureMeansNotFound) {
  PatternWindow hidden(700, 500, 37, 23, knownPicture, WS_POPUP, nullptr, false);
  const ByteArray needle = recognition.captureWindow(window.get(), 5, 4, 6, 3);
  ASSERT_FALSE(needle.empty());
  EXPECT_EQ(recognition.findImageInWindow(hidden.get(), needle), kNotFound);
  EXPECT_EQ(recognition.findColourInWindow(hidden.get(), kRed), kNotFound);
  // No window and no size: the null handle gives a region of width -x, so no pixels.
  EXPECT_EQ(recognition.findImageInRegion(needle), kNotFound);
  EXPECT_EQ(recognition.findColourInRegion(kRed), kNotFound);
  EXPECT_EQ(recognition.findColourInRegion(kRed, 0, 0, 0, 100), kNotFound);
}

// Records how the wrappers call the captures and hands back a prepared picture.
class RecordingCaptures : public 识图1类 {
 public:
  struct RegionCall {
    std::int32_t x, y, width, height;
    std::optional<HWND> window;
  };
  std::vector<RegionCall> regionCalls;
  std::vector<std::vector<std::int32_t>> windowCalls;
  ByteArray picture;

  ByteArray captureRegion(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::optional<HWND> window) override {
    regionCalls.push_back({x, y, width, height, window});
    return picture;
  }
  ByteArray captureWindow(HWND window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::int32_t windowCoordinates) override {
    windowCalls.push_back({static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)), x, y, width, height,
                           windowCoordinates});
    return picture;
  }
};

TEST(FindInWrappers, CaptureThroughTheObjectAndHandTheWindowOn) {
  RecordingCaptures recognition;
  // 2 x 2 at 32 bits, bottom row blue then red, top row green then red.
  const std::vector<std::uint8_t> block{0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
  recognition.picture = tamblin::makeBitmapImage(2, 2, 32, block);
  const ByteArray needle = tamblin::makeBitmapImage(1, 1, 32, std::vector<std::uint8_t>{0, 0, 0xFF, 0});

  EXPECT_EQ(recognition.findImageInRegion(needle, 1, 2, 3, 4), (ImagePoint{2, 2}));
  EXPECT_EQ(recognition.findColourInRegion(kRed, 5, 6, 7, 8, 0, {}, reinterpret_cast<HWND>(0x1234)),
            (ImagePoint{2, 2}));
  ASSERT_EQ(recognition.regionCalls.size(), 2u);
  const auto& first = recognition.regionCalls[0];
  EXPECT_EQ((std::vector{first.x, first.y, first.width, first.height}), (std::vector{1, 2, 3, 4}));
  ASSERT_TRUE(first.window.has_value()) << "an omitted window is handed on as given";
  EXPECT_EQ(*first.window, nullptr);
  ASSERT_TRUE(recognition.regionCalls[1].window.has_value());
  EXPECT_EQ(*recognition.regionCalls[1].window, reinterpret_cast<HWND>(0x1234));

  EXPECT_EQ(recognition.findImageInWindow(reinterpret_cast<HWND>(0x42), needle, 1, 2, 3, 4, 0, {2, 2}),
            (ImagePoint{2, 1}));
  EXPECT_EQ(recognition.findColourInWindow(reinterpret_cast<HWND>(0x43), kRed, 5, 6, 7, 8), (ImagePoint{2, 2}));
  ASSERT_EQ(recognition.windowCalls.size(), 2u);
  EXPECT_EQ(recognition.windowCalls[0], (std::vector{0x42, 1, 2, 3, 4, 0}));
  EXPECT_EQ(recognition.windowCalls[1], (std::vector{0x43, 5, 6, 7, 8, 0}));
}

}  // namespace
