// prepareWindow and savedWindows: the states a window passes through, and the list left at exit.
#include <gtest/gtest.h>

#include "recognition/win32/recognition_object.hpp"
#include "recognition/win32/saved_windows.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::savedWindows;
using tamblin::识图1类;

POINT topLeft(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}
bool at(HWND window, int left, int top) {
  const POINT point = topLeft(window);
  return point.x == left && point.y == top;
}

class PrepareWindow : public ::testing::Test {
 protected:
  void SetUp() override { tamblin::createSavedWindows(); }
  void TearDown() override { tamblin::releaseSavedWindows(); }

  // Prepares, checks the window is shown off-screen and capturable, restores; the window's
  // state afterwards is the caller's to check.
  void roundTrip(PatternWindow& window, int wasVisible, int wasIconic) {
    const POINT before = topLeft(window.get());
    ASSERT_EQ(recognition.prepareWindow(window.get()), 1);
    pump();
    EXPECT_TRUE(IsWindowVisible(window.get()));
    EXPECT_FALSE(IsIconic(window.get()));
    EXPECT_TRUE(at(window.get(), 1920, 1080));
    ASSERT_EQ(savedWindows().size(), 1u);
    const tamblin::SavedWindow& saved = savedWindows()[0];
    EXPECT_EQ(saved.window, window.get());
    EXPECT_EQ(saved.wasVisible != 0, wasVisible != 0);
    EXPECT_EQ(saved.wasIconic != 0, wasIconic != 0);
    if (wasIconic == 0) {
      EXPECT_EQ(saved.left, before.x);
      EXPECT_EQ(saved.top, before.y);
    }
    const ByteArray image = recognition.captureWindow(window.get());
    expectHeader(image, window.width(), window.height(), recognition.getColourDepth());
    expectPicture(image, window, 0, 0);

    ASSERT_EQ(recognition.prepareWindow(window.get(), 1), 1);
    pump();
    EXPECT_TRUE(savedWindows().empty());
  }

  识图1类 recognition;
};

TEST_F(PrepareWindow, HiddenWindowIsShownOffScreenAndHiddenAgain) {
  PatternWindow window(350, 250, 30, 20, knownPicture, WS_POPUP, nullptr, false);
  EXPECT_TRUE(recognition.captureWindow(window.get()).empty());
  roundTrip(window, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window.get()));
  EXPECT_TRUE(at(window.get(), 350, 250));
  EXPECT_TRUE(recognition.captureWindow(window.get()).empty());
}

TEST_F(PrepareWindow, MinimisedWindowIsMinimisedAgain) {
  PatternWindow window(350, 250, 30, 20, knownPicture, WS_OVERLAPPEDWINDOW);
  ShowWindow(window.get(), SW_MINIMIZE);
  pump();
  ASSERT_TRUE(IsIconic(window.get()));
  roundTrip(window, 1, 1);
  EXPECT_TRUE(IsIconic(window.get()));
  EXPECT_TRUE(IsWindowVisible(window.get()));
}

TEST_F(PrepareWindow, HiddenAndMinimisedWindowComesBackMinimisedButVisible) {
  PatternWindow window(350, 250, 30, 20, knownPicture, WS_OVERLAPPEDWINDOW);
  ShowWindow(window.get(), SW_MINIMIZE);
  ShowWindow(window.get(), SW_HIDE);
  pump();
  ASSERT_TRUE(IsIconic(window.get()));
  ASSERT_FALSE(IsWindowVisible(window.get()));
  // Visibility is read after the window left the iconic state, so it counts as visible.
  roundTrip(window, 1, 1);
  EXPECT_TRUE(IsIconic(window.get()));
  EXPECT_TRUE(IsWindowVisible(window.get()));
}

TEST_F(PrepareWindow, VisibleWindowGoesBackToItsPlaceWithItsCurrentSize) {
  PatternWindow window(360, 260, 30, 20);
  ASSERT_EQ(recognition.prepareWindow(window.get()), 1);
  MoveWindow(window.get(), 1920, 1080, 50, 40, TRUE);
  ASSERT_EQ(recognition.prepareWindow(window.get(), 1), 1);
  RECT rect{};
  GetWindowRect(window.get(), &rect);
  EXPECT_EQ(rect.left, 360);
  EXPECT_EQ(rect.top, 260);
  EXPECT_EQ(rect.right - rect.left, 50);
  EXPECT_EQ(rect.bottom - rect.top, 40);
  EXPECT_TRUE(IsWindowVisible(window.get()));
}

TEST_F(PrepareWindow, OwnedWindowsAreRefusedInBothModes) {
  PatternWindow owner(360, 260, 30, 20);
  PatternWindow owned(370, 270, 10, 10, knownPicture, WS_POPUP, owner.get(), false);
  EXPECT_EQ(recognition.prepareWindow(owned.get()), 0);
  EXPECT_EQ(recognition.prepareWindow(owned.get(), 1), 0);
  EXPECT_TRUE(savedWindows().empty());
  EXPECT_FALSE(IsWindowVisible(owned.get()));
  EXPECT_TRUE(at(owned.get(), 370, 270));
}

TEST_F(PrepareWindow, SecondPrepareIsRefusedAndChangesNothing) {
  PatternWindow window(360, 260, 30, 20, knownPicture, WS_POPUP, nullptr, false);
  ASSERT_EQ(recognition.prepareWindow(window.get()), 1);
  MoveWindow(window.get(), 1000, 900, 30, 20, TRUE);
  EXPECT_EQ(recognition.prepareWindow(window.get()), 0);
  EXPECT_EQ(savedWindows().size(), 1u);
  EXPECT_TRUE(at(window.get(), 1000, 900));
  // The first record still holds the state from before the first call.
  ASSERT_EQ(recognition.prepareWindow(window.get(), 1), 1);
  EXPECT_TRUE(at(window.get(), 360, 260));
  EXPECT_FALSE(IsWindowVisible(window.get()));
}

TEST_F(PrepareWindow, RestoringWhatWasNotPreparedOrIsGoneFails) {
  PatternWindow never(360, 260, 30, 20);
  EXPECT_EQ(recognition.prepareWindow(never.get(), 1), 0);
  EXPECT_TRUE(at(never.get(), 360, 260));

  PatternWindow doomed(360, 260, 30, 20);
  const HWND handle = doomed.get();
  ASSERT_EQ(recognition.prepareWindow(handle), 1);
  doomed.destroy();
  EXPECT_EQ(recognition.prepareWindow(handle, 1), 0);
  EXPECT_TRUE(savedWindows().empty()) << "the record of a destroyed window is dropped";
  EXPECT_EQ(recognition.prepareWindow(handle, 1), 0);
}

TEST_F(PrepareWindow, HandleThatNamesNoWindowIsRefused) {
  HWND handle;
  {
    PatternWindow gone(360, 260, 30, 20);
    handle = gone.get();
  }
  ASSERT_FALSE(IsWindow(handle));
  EXPECT_EQ(recognition.prepareWindow(handle), 0);
  EXPECT_EQ(recognition.prepareWindow(nullptr), 0);
  EXPECT_TRUE(savedWindows().empty());
}

TEST_F(PrepareWindow, ReleasingTheListPutsBackEveryWindowStillListed) {
  PatternWindow hidden(360, 260, 30, 20, knownPicture, WS_POPUP, nullptr, false);
  PatternWindow shown(420, 280, 30, 20);
  PatternWindow doomed(480, 300, 30, 20);
  ASSERT_EQ(recognition.prepareWindow(hidden.get()), 1);
  ASSERT_EQ(recognition.prepareWindow(doomed.get()), 1);
  ASSERT_EQ(recognition.prepareWindow(shown.get()), 1);
  doomed.destroy();
  ASSERT_TRUE(at(hidden.get(), 1920, 1080));

  tamblin::releaseSavedWindows();
  pump();
  EXPECT_TRUE(at(hidden.get(), 360, 260));
  EXPECT_FALSE(IsWindowVisible(hidden.get()));
  EXPECT_TRUE(at(shown.get(), 420, 280));
  EXPECT_TRUE(IsWindowVisible(shown.get()));
  tamblin::createSavedWindows();
  EXPECT_TRUE(savedWindows().empty());
}

}  // namespace
