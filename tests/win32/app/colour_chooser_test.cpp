// 颜色选择器1: its colours from the keyboard and the mouse, the transparent choice, and the
// system colour dialog behind "more colours".
#include <gtest/gtest.h>
#include <windows.h>

#include <colordlg.h>

#include <string>

#include "app/colour_chooser.hpp"
#include "app_support.hpp"

namespace tamblin {
namespace {

using test::MainWindowTest;
using test::pressKey;
using test::runLoopFor;

constexpr char kCustomLabel[] = "\xD7\xD4\xB6\xA8\xD2\xE5";                   // 自定义
constexpr char kMoreLabel[] = "\xB8\xFC\xB6\xE0\xD1\xD5\xC9\xAB\xA1\xAD";   // 更多颜色…
constexpr char kTransparentLabel[] = "\xCD\xB8\xC3\xF7";                     // 透明

class ColourChooserTest : public MainWindowTest {
 protected:
  HWND list() const { return app::colourChooserList(main_.颜色选择器1); }
  Colour colour() const { return app::colourChooserColour(main_.颜色选择器1); }
  int count() const { return static_cast<int>(SendMessageA(list(), CB_GETCOUNT, 0, 0)); }
  std::string label(int index) const {
    char text[64] = {};
    SendMessageA(list(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::string shown() const { return label(static_cast<int>(SendMessageA(list(), CB_GETCURSEL, 0, 0))); }
  int indexOf(const std::string& wanted) const {
    for (int i = 0; i < count(); ++i) {
      if (label(i) == wanted) return i;
    }
    return -1;
  }
  // Rests the pointer on an item of the open list.
  void pointAt(int index) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(list(), &info);
    RECT item{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &at);
    SetCursorPos(at.x, at.y);
    runLoopFor(main_.window, 30);
  }
  // A press and release at a screen point, the position travelling with the buttons so that
  // it cannot be overtaken by an earlier pointer move.
  void clickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    runLoopFor(main_.window, 30);
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input[0].mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    input[1] = input[0];
    input[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
  }
  void clickItem(int index) {
    pointAt(index);
    POINT at{};
    GetCursorPos(&at);
    clickAt(at);
  }
  void openList() {
    focus(list());
    SendMessageA(list(), CB_SHOWDROPDOWN, TRUE, 0);
    runLoopFor(main_.window, 30);
  }
};

TEST_F(ColourChooserTest, StartsRed) {
  EXPECT_EQ(colour(), 255);
  EXPECT_EQ(shown(), "\xBA\xEC");  // 红
}

TEST_F(ColourChooserTest, KeyboardWalksTheColoursAndTheTransparentChoice) {
  focus(list());
  const Colour walk[] = {0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x0080FF, 0xFFFFFF, 0x000000,
                         kTransparentColour};
  for (Colour expected : walk) {
    pressKey(VK_DOWN);
    runLoopFor(main_.window, 30);
    EXPECT_EQ(colour(), expected);
  }
  EXPECT_EQ(shown(), kTransparentLabel);
  pressKey(VK_HOME);
  runLoopFor(main_.window, 30);
  EXPECT_EQ(colour(), 255);
}

TEST_F(ColourChooserTest, MouseChoosesFromTheOpenList) {
  openList();
  clickItem(indexOf(kTransparentLabel));
  runLoopFor(main_.window, 50);
  EXPECT_FALSE(SendMessageA(list(), CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(colour(), kTransparentColour);
}

TEST_F(ColourChooserTest, AColourOutsideTheListGetsOneCustomEntry) {
  const int before = count();
  app::setColourChooserColour(main_.颜色选择器1, 0x123456);
  EXPECT_EQ(colour(), 0x123456);
  EXPECT_EQ(shown(), kCustomLabel);
  EXPECT_EQ(count(), before + 1);
  EXPECT_EQ(label(count() - 1), kMoreLabel) << "the custom entry goes before \"more colours\"";

  app::setColourChooserColour(main_.颜色选择器1, 0x654321);
  EXPECT_EQ(colour(), 0x654321);
  EXPECT_EQ(count(), before + 1) << "one custom entry, reused";

  app::setColourChooserColour(main_.颜色选择器1, 0x00FF00);
  EXPECT_EQ(colour(), 0x00FF00);
  EXPECT_EQ(shown(), "\xC2\xCC");  // 绿
}

// Answers the colour dialog from inside its modal loop: types a colour and presses OK, or Cancel.
struct DialogAnswer {
  bool accept = false;
  int red = 0, green = 0, blue = 0;
  bool seen = false;
  int attempts = 0;
};
DialogAnswer theAnswer;

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK answerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) {
    if (++theAnswer.attempts > 100) KillTimer(nullptr, timer);
    return;
  }
  KillTimer(nullptr, timer);
  theAnswer.seen = true;
  if (theAnswer.accept) {
    SetDlgItemInt(dialog, COLOR_RED, static_cast<UINT>(theAnswer.red), FALSE);
    SetDlgItemInt(dialog, COLOR_GREEN, static_cast<UINT>(theAnswer.green), FALSE);
    SetDlgItemInt(dialog, COLOR_BLUE, static_cast<UINT>(theAnswer.blue), FALSE);
  }
  const int button = theAnswer.accept ? IDOK : IDCANCEL;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

class MoreColoursTest : public ColourChooserTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MoreColoursTest, OpensTheColourDialogFromTheKeyboardAndTheMouse) {
  const bool byMouse = GetParam();
  theAnswer = DialogAnswer{true, 0x12, 0x34, 0x56};
  const UINT_PTR answering = SetTimer(nullptr, 0, 20, answerDialog);
  if (byMouse) {
    openList();
    clickItem(count() - 1);
  } else {
    focus(list());
    pressKey(VK_END);
  }
  runLoopFor(main_.window, 300);
  KillTimer(nullptr, answering);
  ASSERT_TRUE(theAnswer.seen) << "no colour dialog opened";
  EXPECT_EQ(colour(), 0x563412);
  EXPECT_EQ(shown(), kCustomLabel);
}

INSTANTIATE_TEST_SUITE_P(KeyboardAndMouse, MoreColoursTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Mouse" : "Keyboard"; });

TEST_F(ColourChooserTest, CancellingTheColourDialogKeepsTheColour) {
  app::setColourChooserColour(main_.颜色选择器1, kTransparentColour);
  theAnswer = DialogAnswer{false};
  const UINT_PTR answering = SetTimer(nullptr, 0, 20, answerDialog);
  focus(list());
  pressKey(VK_END);
  runLoopFor(main_.window, 300);
  KillTimer(nullptr, answering);
  ASSERT_TRUE(theAnswer.seen) << "no colour dialog opened";
  EXPECT_EQ(colour(), kTransparentColour);
  EXPECT_EQ(shown(), kTransparentLabel);
}

// The open list follows the pointer; resting it on "more colours" is not choosing it.
TEST_F(ColourChooserTest, ClickOutsideTheListWithThePointerOnMoreColoursOpensNoDialog) {
  app::setColourChooserColour(main_.颜色选择器1, 0x00FF00);
  theAnswer = DialogAnswer{false};
  const UINT_PTR answering = SetTimer(nullptr, 0, 20, answerDialog);
  openList();
  pointAt(count() - 1);
  RECT button{};
  GetWindowRect(main_.按钮1, &button);
  clickAt(POINT{button.right + 2, button.bottom + 2});  // the window's empty corner
  runLoopFor(main_.window, 300);
  KillTimer(nullptr, answering);
  EXPECT_FALSE(theAnswer.seen) << "a colour dialog opened";
  EXPECT_FALSE(SendMessageA(list(), CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(colour(), 0x00FF00);
  EXPECT_EQ(shown(), "\xC2\xCC");  // 绿
}

TEST_F(ColourChooserTest, EscWithThePointerOnMoreColoursClosesTheWindowWithoutADialog) {
  theAnswer = DialogAnswer{false};
  const UINT_PTR answering = SetTimer(nullptr, 0, 20, answerDialog);
  openList();
  pointAt(count() - 1);
  static bool timedOut;
  timedOut = false;
  const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
    timedOut = true;
    PostQuitMessage(99);
  });
  pressKey(VK_ESCAPE);
  app::runMessageLoop(main_.window);
  KillTimer(nullptr, guard);
  KillTimer(nullptr, answering);
  EXPECT_FALSE(timedOut);
  EXPECT_FALSE(theAnswer.seen) << "a colour dialog opened";
  EXPECT_FALSE(IsWindow(main_.window));
}

}  // namespace
}  // namespace tamblin
