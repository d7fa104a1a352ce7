// The ticker: timer identifiers, the point of a tick, and what one tick draws from the controls.
#include <gtest/gtest.h>
#include <windows.h>

#include "../text_drawing/import_spy.hpp"
#include "../text_drawing/pixels.hpp"
#include "app/colour_chooser.hpp"
#include "app_support.hpp"

namespace tamblin {
namespace {

using test::Call;
using test::MainWindowTest;
using test::runLoopFor;
using test::PlatformSpy;

constexpr char kSimSun[] = "\xCB\xCE\xCC\xE5";  // 宋体

// The screens this test is registered on; any other screen (a native Windows run) by halving.
app::CrosshairPoint expectedCentre() {
  struct Case {
    int width, height;
    app::CrosshairPoint centre;
  } const cases[] = {{1920, 1080, {960, 540}}, {1366, 768, {683, 384}}, {1365, 768, {682, 384}}};
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  for (const Case& c : cases) {
    if (c.width == width && c.height == height) return c.centre;
  }
  return {width / 2, height / 2};
}

TEST(CrosshairPoint, HalvesTheScreenTruncatingTowardZero) {
  struct Case {
    int width, height;
    app::CrosshairPoint point;
  } const cases[] = {{1920, 1080, {960, 540}}, {1366, 768, {683, 384}}, {1365, 767, {682, 383}},
                     {1, 1, {0, 0}},          {0, 0, {0, 0}},          {-3, -5, {-1, -2}}};
  for (const Case& c : cases) EXPECT_EQ(app::crosshairPoint(c.width, c.height), c.point) << c.width << "x" << c.height;
}

TEST(StartTimer, CountsIdentifiersFrom1001) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  app::nextTimerId() = 0;
  // A timer of a window keeps the identifier it is given, which shows what was passed.
  EXPECT_EQ(app::startTimer(window, 60000, nullptr), 1001u);
  EXPECT_EQ(app::startTimer(window, 60000, nullptr), 1002u);
  EXPECT_EQ(app::nextTimerId(), 1002);
  DestroyWindow(window);
}

TEST(StartTimer, StartsAThreadTimerWhoseCallbackRunsFromTheLoop) {
  static int ticks;
  ticks = 0;
  const UINT_PTR timer = app::startTimer(nullptr, 1, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  ASSERT_NE(timer, 0u);
  runLoopFor(nullptr, 200);
  KillTimer(nullptr, timer);
  // Periods below 10 ms are raised to 10 ms: about 12 to 20 ticks in 200 ms.
  EXPECT_GE(ticks, 5);
}

struct TickCase {
  const char* name;
  void (*prepare)(const app::MainWindow&);
  std::string text;
  Colour colour;
};

void PrintTo(const TickCase& c, std::ostream* out) { *out << c.name; }

class TickTest : public MainWindowTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(TickTest, DrawsTheListTextInTheChosenColourAtTheCentre) {
  const TickCase& c = GetParam();
  if (c.prepare != nullptr) c.prepare(main_);
  const app::CrosshairPoint centre = expectedCentre();
  std::vector<Call> calls;
  {
    PlatformSpy spy;
    app::onCrosshairTick(nullptr, WM_TIMER, 0, 0);
    calls = PlatformSpy::calls();
  }
  ASSERT_EQ(calls.size(), 11u) << ::testing::PrintToString(calls);
  EXPECT_EQ(calls[0], (Call{"GetDC", {0}, calls[0].result})) << "the whole screen";
  EXPECT_EQ(PlatformSpy::lastFont().lfHeight, 20);
  EXPECT_STREQ(PlatformSpy::lastFont().lfFaceName, kSimSun);
  EXPECT_EQ(calls[4].args.at(1), static_cast<std::uintptr_t>(static_cast<std::uint32_t>(c.colour)));
  const std::uintptr_t dc = calls[0].result;
  EXPECT_EQ(calls[5], (Call{"TextOutA",
                            {dc, static_cast<std::uintptr_t>(centre.x), static_cast<std::uintptr_t>(centre.y),
                             c.text.size()},
                            calls[5].result}));
  EXPECT_EQ(PlatformSpy::lastText(), c.text);
}

void setListText(HWND list, const char* text) { SendMessageA(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

INSTANTIATE_TEST_SUITE_P(
    Controls, TickTest,
    ::testing::Values(
        TickCase{"Initial", nullptr, "\xA1\xD1", 255},
        TickCase{"PickedItem", [](const app::MainWindow& m) { SendMessageA(m.组合框1, CB_SETCURSEL, 5, 0); },
                 "\xA1\xF0", 255},
        TickCase{"TypedPlus", [](const app::MainWindow& m) { setListText(m.组合框1, "+"); }, "+", 255},
        TickCase{"TypedLonger", [](const app::MainWindow& m) { setListText(m.组合框1, "[ + ]"); }, "[ + ]", 255},
        TickCase{"Emptied", [](const app::MainWindow& m) { setListText(m.组合框1, ""); }, "", 255},
        TickCase{"Transparent",
                 [](const app::MainWindow& m) { app::setColourChooserColour(m.颜色选择器1, kTransparentColour); },
                 "\xA1\xD1", kTransparentColour},
        TickCase{"OtherColour", [](const app::MainWindow& m) { app::setColourChooserColour(m.颜色选择器1, 0x123456); },
                 "\xA1\xD1", 0x123456}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TickPaintsRedJustBelowAndRightOfTheCentre) {
  // The window opens over the centre; move it out of the way so only the tick paints there.
  SetWindowPos(main_.window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  runLoopFor(main_.window, 50);
  const app::CrosshairPoint centre = expectedCentre();
  const RECT area{centre.x - 10, centre.y - 10, centre.x + 40, centre.y + 40};
  HDC screen = GetDC(nullptr);
  FillRect(screen, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SendMessageA(main_.组合框1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\xA1\xF6"));  // ■
  app::onCrosshairTick(nullptr, WM_TIMER, 0, 0);
  const test::Pixels::Found drawn = test::Pixels(screen, area).find(RGB(255, 0, 0));
  ReleaseDC(nullptr, screen);
  EXPECT_GT(drawn.count, 50);
  EXPECT_GE(drawn.box.left, centre.x);
  EXPECT_GE(drawn.box.top, centre.y);
  EXPECT_LE(drawn.box.right, centre.x + 21);
  EXPECT_LE(drawn.box.bottom, centre.y + 21);
}

std::vector<Call> timersStarted(const std::vector<Call>& calls) {
  std::vector<Call> started;
  for (const Call& call : calls) {
    if (call.name == "SetTimer") started.push_back(call);
  }
  return started;
}

TEST_F(MainWindowTest, EachClickStartsOneMoreOneMillisecondThreadTimer) {
  app::nextTimerId() = 0;
  std::vector<Call> started;
  {
    PlatformSpy spy;
    SendMessageA(main_.按钮1, BM_CLICK, 0, 0);
    SendMessageA(main_.按钮1, BM_CLICK, 0, 0);
    started = timersStarted(PlatformSpy::calls());
  }
  const auto tick = reinterpret_cast<std::uintptr_t>(&app::onCrosshairTick);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0], (Call{"SetTimer", {0, 1001, 1, tick}, started[0].result}));
  EXPECT_EQ(started[1], (Call{"SetTimer", {0, 1002, 1, tick}, started[1].result}));
  EXPECT_NE(started[0].result, 0u);
  EXPECT_NE(started[1].result, started[0].result);
  for (const Call& timer : started) KillTimer(nullptr, timer.result);
}

TEST_F(MainWindowTest, AClickStartsTicksThatDraw) {
  std::size_t drawn = 0;
  std::vector<Call> started;
  {
    PlatformSpy spy;
    SendMessageA(main_.按钮1, BM_CLICK, 0, 0);
    runLoopFor(main_.window, 200);
    for (const Call& call : PlatformSpy::calls()) drawn += call.name == "TextOutA";
    started = timersStarted(PlatformSpy::calls());
  }
  for (const Call& timer : started) KillTimer(nullptr, timer.result);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_GE(drawn, 5u);
}

}  // namespace
}  // namespace tamblin
