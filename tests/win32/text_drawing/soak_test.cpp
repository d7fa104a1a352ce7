// drawText releases everything it takes: Wine's GDI handle table fills at about 65,000
// objects, so one font or device context kept per call would stop the drawing below.
#include <gtest/gtest.h>
#include <windows.h>

#include "pixels.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {
namespace {

constexpr char kSquare[] = "\xA1\xF6";  // ■

TEST(DrawTextSoak, SeventyThousandCallsStillDrawWithTheirOwnFont) {
  startRecognition();
  HDC screen = GetDC(nullptr);
  const RECT area{400, 300, 460, 360};
  const auto drawFresh = [&] {
    FillRect(screen, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    recognitionObject()->drawText(nullptr, 410, 310, kSquare, RGB(255, 0, 0), 40);
    return test::Pixels(screen, area).find(RGB(255, 0, 0));
  };
  const test::Pixels::Found first = drawFresh();
  for (int i = 0; i < 70000; ++i) recognitionObject()->drawText(nullptr, 410, 310, kSquare, RGB(0, 0, 255), 40);
  const test::Pixels::Found last = drawFresh();
  ReleaseDC(nullptr, screen);
  stopRecognition();

  ASSERT_GT(first.count, 200);
  // Still drawn, and in the 40-pixel font it asked for rather than the DC's own small font.
  EXPECT_EQ(last.count, first.count);
  EXPECT_EQ(last.box.right - last.box.left, first.box.right - first.box.left);
  EXPECT_EQ(last.box.bottom - last.box.top, first.box.bottom - first.box.top);
}

}  // namespace
}  // namespace tamblin
