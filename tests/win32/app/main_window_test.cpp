// The main window and its controls as the program creates them: place, frame, texts, initial
// values, and the keyboard (Esc closes from anywhere, Tab moves between the controls).
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "../text_drawing/pixels.hpp"
#include "app/colour_chooser.hpp"
#include "app_support.hpp"

namespace tamblin {
namespace {

using test::MainWindowTest;
using test::pressKey;
using test::runLoopFor;
using test::text;

// ﹢ ¤ · ⊙ ◎ ○
const std::vector<std::string> kGlyphs{"\xA9\x80", "\xA1\xE8", "\xA1\xA4", "\xA1\xD1", "\xA1\xF2", "\xA1\xF0"};

struct ScreenCase {
  int width, height;
  POINT windowTopLeft;
};
// The screens this test is registered on.
const ScreenCase kScreens[] = {
    {1920, 1080, {869, 494}},
    {1366, 768, {592, 338}},
    {1365, 768, {591, 338}},
};

// The expectations for the screen this runs on: from the table, or for any other screen (a
// native Windows run) centred with the halves truncated toward zero.
ScreenCase thisScreen() {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  for (const ScreenCase& screen : kScreens) {
    if (screen.width == width && screen.height == height) return screen;
  }
  return {width, height, {static_cast<LONG>((width - 182) / 2.0), static_cast<LONG>((height - 91) / 2.0)}};
}

RECT clientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string className(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND editOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  return info.hwndItem;
}

TEST(MainWindowPosition, CentresWithHalvesTruncatedTowardZero) {
  struct Case {
    int width, height;
    LONG left, top;
  } const cases[] = {{1920, 1080, 869, 494}, {1366, 768, 592, 338}, {1365, 767, 591, 338}, {100, 50, -41, -20}};
  for (const Case& c : cases) {
    const POINT at = app::mainWindowPosition(c.width, c.height);
    EXPECT_EQ(at.x, c.left) << c.width << "x" << c.height;
    EXPECT_EQ(at.y, c.top) << c.width << "x" << c.height;
  }
}

TEST_F(MainWindowTest, HasItsTitleFrameAndPlace) {
  const ScreenCase screen = thisScreen();
  EXPECT_EQ(text(main_.window), "Orvane  Tamblin");

  RECT outer{};
  GetWindowRect(main_.window, &outer);
  EXPECT_EQ(outer.left, screen.windowTopLeft.x);
  EXPECT_EQ(outer.top, screen.windowTopLeft.y);
  EXPECT_EQ(outer.right - outer.left, 182);
  EXPECT_EQ(outer.bottom - outer.top, 91);

  const auto style = static_cast<DWORD>(GetWindowLongPtrA(main_.window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(main_.window, GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD | WS_POPUP));
  EXPECT_FALSE(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)) << "on top or kept out of the taskbar";
  EXPECT_EQ(GetWindow(main_.window, GW_OWNER), nullptr) << "an owned window has no taskbar button";

  // Movable by its title bar; its edges are a border, not a sizing frame.
  const int middle = (outer.left + outer.right) / 2;
  const int captionY = outer.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  EXPECT_EQ(SendMessageA(main_.window, WM_NCHITTEST, 0, MAKELPARAM(middle - 20, captionY)), HTCAPTION);
  EXPECT_EQ(SendMessageA(main_.window, WM_NCHITTEST, 0, MAKELPARAM(outer.left, (outer.top + outer.bottom) / 2)),
            HTBORDER);
  EXPECT_EQ(SendMessageA(main_.window, WM_NCHITTEST, 0, MAKELPARAM(outer.right - 1, outer.bottom - 1)), HTBORDER);
}

TEST_F(MainWindowTest, UsesTheButtonFaceAndTheExecutablesIcon) {
  EXPECT_EQ(GetClassLongPtrA(main_.window, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  const auto icon = reinterpret_cast<HICON>(GetClassLongPtrA(main_.window, GCLP_HICON));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon, LoadIconA(GetModuleHandleA(nullptr), "DEFAULT_ICON"));

  // A spot of the client area that no control covers.
  HDC dc = GetDC(main_.window);
  const COLORREF empty = test::Pixels(dc, RECT{84, 2, 92, 10}).at(88, 5);
  ReleaseDC(main_.window, dc);
  EXPECT_EQ(empty, GetSysColor(COLOR_BTNFACE));
}

TEST_F(MainWindowTest, ControlsSitWhereTheyShould) {
  struct Expected {
    HWND control;
    const char* className;
    RECT place;
  } const controls[] = {
      {main_.组合框1, "ComboBox", {0, 0, 80, 24}},
      {main_.颜色选择器1, app::kColourChooserClass, {0, 40, 80, 64}},
      {main_.按钮1, "Button", {96, 16, 176, 40}},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(e.className);
    ASSERT_NE(e.control, nullptr);
    EXPECT_EQ(GetParent(e.control), main_.window);
    EXPECT_EQ(className(e.control), e.className);
    const RECT place = clientRectOf(e.control);
    EXPECT_EQ(place.left, e.place.left);
    EXPECT_EQ(place.top, e.place.top);
    EXPECT_EQ(place.right, e.place.right);
    EXPECT_EQ(place.bottom, e.place.bottom);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(e.control, GWL_STYLE));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_TRUE(IsWindowEnabled(e.control));
  }
}

TEST_F(MainWindowTest, GlyphListStartsWithItsItemsAndTextButNoSelection) {
  HWND list = main_.组合框1;
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_STYLE));
  EXPECT_EQ(style & 3u, static_cast<DWORD>(CBS_DROPDOWN));
  EXPECT_FALSE(style & CBS_SORT);

  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 6);
  for (int i = 0; i < 6; ++i) {
    char item[16] = {};
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(item, kGlyphs[static_cast<std::size_t>(i)]) << "item " << i;
  }
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(text(list), "\xA1\xD1");
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
}

TEST_F(MainWindowTest, GlyphListDropsTo160PixelsWithItemsOnePixelTaller) {
  HWND list = main_.组合框1;
  RECT control{};
  GetWindowRect(list, &control);
  // With more items than fit, the open list takes its full reach.
  for (int i = 0; i < 20; ++i) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
  SendMessageA(list, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(list, &info);
  RECT dropped{};
  GetWindowRect(info.hwndList, &dropped);
  SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_EQ(dropped.top, control.bottom);
  EXPECT_EQ(dropped.bottom - control.top, 160);

  // What the platform gives the same list without the extra pixel.
  HWND plain = CreateWindowExA(0, "COMBOBOX", nullptr, WS_CHILD | CBS_DROPDOWN, 0, 0, 80, 160, main_.window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  SendMessageA(plain, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  const LRESULT defaultHeight = SendMessageA(plain, CB_GETITEMHEIGHT, 0, 0);
  DestroyWindow(plain);
  EXPECT_EQ(SendMessageA(list, CB_GETITEMHEIGHT, 0, 0), defaultHeight + 1);
}

TEST_F(MainWindowTest, GlyphListTakesTypedTextOfAnyLength) {
  HWND edit = editOf(main_.组合框1);
  ASSERT_NE(edit, nullptr);
  // Beyond the edit field's default limit of 30,000; typed text is inserted as a replacement
  // of the selection, which honours the limit.
  const std::string typed(40000, 'x');
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
  EXPECT_EQ(text(main_.组合框1).size(), typed.size());
  EXPECT_GE(static_cast<DWORD>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
}

TEST_F(MainWindowTest, GlyphListFieldIsBlackOnWhite) {
  HWND edit = editOf(main_.组合框1);
  SendMessageA(main_.组合框1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\xA1\xF6\xA1\xF6"));  // ■■
  SendMessageA(edit, EM_SETSEL, 0, 0);
  UpdateWindow(edit);
  RECT field{};
  GetClientRect(edit, &field);
  HDC dc = GetDC(edit);
  const test::Pixels pixels(dc, field);
  ReleaseDC(edit, dc);
  EXPECT_GT(pixels.find(RGB(0, 0, 0)).count, 20);
  EXPECT_EQ(pixels.at(field.right - 2, field.bottom / 2), RGB(255, 255, 255));
}

TEST_F(MainWindowTest, StartButtonIsAnOrdinaryPushButton) {
  EXPECT_EQ(text(main_.按钮1), "\xB5\xE3\xBB\xF7\xCF\xD4\xCA\xBE\xD7\xBC\xD0\xC7");  // 点击显示准星
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(main_.按钮1, GWL_STYLE));
  EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << "not the default button";
  EXPECT_EQ(style & BS_CENTER, static_cast<DWORD>(BS_CENTER));
  EXPECT_EQ(style & BS_VCENTER, static_cast<DWORD>(BS_VCENTER));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(main_.按钮1, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
}

TEST_F(MainWindowTest, TabMovesThroughTheControls) {
  focus(main_.组合框1);
  EXPECT_EQ(GetFocus(), editOf(main_.组合框1));
  const HWND order[] = {app::colourChooserList(main_.颜色选择器1), main_.按钮1, editOf(main_.组合框1)};
  for (HWND expected : order) {
    pressKey(VK_TAB);
    runLoopFor(main_.window, 30);
    EXPECT_EQ(GetFocus(), expected);
  }
}

// Esc closes the window whichever control has the keyboard focus, open list or not, and ends
// the loop. (The window itself passes the focus on to a control.)
struct EscCase {
  const char* name;
  HWND (*focusOf)(const app::MainWindow&);
  HWND (*dropOf)(const app::MainWindow&);
};

HWND glyphEdit(const app::MainWindow& m) { return editOf(m.组合框1); }
HWND glyphList(const app::MainWindow& m) { return m.组合框1; }
HWND chooserList(const app::MainWindow& m) { return app::colourChooserList(m.颜色选择器1); }
HWND startButton(const app::MainWindow& m) { return m.按钮1; }

void PrintTo(const EscCase& c, std::ostream* out) { *out << c.name; }

class EscTest : public MainWindowTest, public ::testing::WithParamInterface<EscCase> {};

TEST_P(EscTest, ClosesTheWindowAndEndsTheLoop) {
  const EscCase& c = GetParam();
  HWND target = c.focusOf(main_);
  focus(target);
  ASSERT_EQ(GetFocus(), target);
  if (c.dropOf != nullptr) {
    SendMessageA(c.dropOf(main_), CB_SHOWDROPDOWN, TRUE, 0);
    runLoopFor(main_.window, 30);
    ASSERT_TRUE(SendMessageA(c.dropOf(main_), CB_GETDROPPEDSTATE, 0, 0));
  }
  // Should the key go astray, a timer ends the loop after a while and the test fails.
  static bool timedOut;
  timedOut = false;
  const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
    timedOut = true;
    PostQuitMessage(99);
  });
  pressKey(VK_ESCAPE);
  const int exitCode = app::runMessageLoop(main_.window);
  KillTimer(nullptr, guard);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(IsWindow(main_.window));
}

INSTANTIATE_TEST_SUITE_P(EveryControl, EscTest,
                         ::testing::Values(EscCase{"GlyphList", glyphEdit, nullptr},
                                           EscCase{"GlyphListDropped", glyphEdit, glyphList},
                                           EscCase{"ColourChooser", chooserList, nullptr},
                                           EscCase{"ColourChooserDropped", chooserList, chooserList},
                                           EscCase{"StartButton", startButton, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, RunsPerMonitorDpiAware) {
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()), DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
}  // namespace tamblin
