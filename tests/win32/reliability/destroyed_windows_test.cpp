// Windows that go away while a caller still holds their handle: between prepareWindow and its
// restore, between two captures, in the middle of a call (the window destroys itself while
// PrintWindow, ShowWindow or MoveWindow talks to it), and from another thread while captures run.
// Every answer is the failure value or a sound result; nothing crashes, hangs or leaks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "recognition/win32/recognition_object.hpp"
#include "recognition/win32/saved_windows.hpp"
#include "tests/win32/capture/capture_checks.hpp"
#include "tests/win32/reliability/reliability_checks.hpp"
#include "tests/win32/reliability/resource_use.hpp"

namespace {

using namespace capture_test;
using namespace reliability;
using tamblin::kNotFound;
using tamblin::savedWindows;
using tamblin::识图1类;

// A plain window that destroys itself on the first of one chosen message, once armed.
class SelfDestroyingWindow {
 public:
  SelfDestroyingWindow(UINT trigger, bool visible) {
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &SelfDestroyingWindow::procedure;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
      windowClass.lpszClassName = "TamblinSelfDestroyingWindow";
      return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
    window_ = CreateWindowExA(0, "TamblinSelfDestroyingWindow", "doomed", WS_POPUP | (visible ? WS_VISIBLE : 0), 640,
                              420, 50, 40, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    pump();
    arm(trigger);
  }
  ~SelfDestroyingWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND get() const { return window_; }
  void arm(UINT trigger) { trigger_ = trigger; }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<SelfDestroyingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == self->trigger_) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      DestroyWindow(window);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  UINT trigger_ = 0;
  HWND window_ = nullptr;
};

class DestroyedWindows : public ::testing::Test {
 protected:
  void SetUp() override { tamblin::createSavedWindows(); }
  void TearDown() override { tamblin::releaseSavedWindows(); }

  // Every window operation on a handle that no longer names a window.
  void expectAllFail(HWND gone) {
    ASSERT_FALSE(IsWindow(gone));
    EXPECT_TRUE(recognition.captureWindow(gone).empty());
    EXPECT_TRUE(recognition.captureWindow(gone, 0, 0, 10, 10, 1).empty());
    EXPECT_EQ(recognition.getWindowPixel(gone, 1, 1), -1);
    EXPECT_EQ(recognition.findColourInWindow(gone, 0), kNotFound);
    EXPECT_EQ(recognition.findImageInWindow(gone, recognition.captureRegion(0, 0, 2, 2)), kNotFound);
    EXPECT_EQ(recognition.prepareWindow(gone), 0);
  }

  识图1类 recognition;
};

TEST_F(DestroyedWindows, BetweenTwoCaptures) {
  PatternWindow window(600, 400, 30, 20);
  const HWND handle = window.get();
  const ByteArray first = recognition.captureWindow(handle);
  ASSERT_TRUE(isWellFormedImage(first, recognition.getColourDepth(), 30, 20));
  EXPECT_EQ(recognition.getWindowPixel(handle, 1, 1), static_cast<std::int32_t>(window.at(0, 0)));
  window.destroy();
  expectAllFail(handle);
  EXPECT_TRUE(savedWindows().empty());
}

TEST_F(DestroyedWindows, BetweenPrepareAndRestoreWithOthersListed) {
  PatternWindow before(600, 400, 30, 20, knownPicture, WS_POPUP, nullptr, false);
  PatternWindow doomed(640, 420, 30, 20, knownPicture, WS_POPUP, nullptr, false);
  PatternWindow after(680, 440, 30, 20, knownPicture, WS_POPUP, nullptr, false);
  const HWND handle = doomed.get();
  for (HWND window : {before.get(), handle, after.get()}) ASSERT_EQ(recognition.prepareWindow(window), 1);
  ASSERT_TRUE(isWellFormedImage(recognition.captureWindow(handle), recognition.getColourDepth(), 30, 20));
  doomed.destroy();
  expectAllFail(handle);
  EXPECT_EQ(savedWindows().size(), 3u) << "preparing a dead handle must not add a record";
  EXPECT_EQ(recognition.prepareWindow(handle, 1), 0);
  ASSERT_EQ(savedWindows().size(), 2u);
  EXPECT_EQ(savedWindows()[0].window, before.get());
  EXPECT_EQ(savedWindows()[1].window, after.get());
  // The others still go back.
  EXPECT_EQ(recognition.prepareWindow(after.get(), 1), 1);
  EXPECT_EQ(recognition.prepareWindow(before.get(), 1), 1);
  EXPECT_TRUE(savedWindows().empty());
  RECT rect{};
  GetWindowRect(after.get(), &rect);
  EXPECT_EQ(rect.left, 680);
  EXPECT_FALSE(IsWindowVisible(after.get()));
}

// Runs every call on windows that destroy themselves in the middle of it; returns how many.
int destroyInTheMiddle(识图1类& recognition) {
  const int depth = recognition.getColourDepth();
  int tried = 0;
  // While PrintWindow asks it to paint: the capture is empty or an image of the asked size.
  for (const UINT trigger : {UINT{WM_PRINT}, UINT{WM_PRINTCLIENT}, UINT{WM_ERASEBKGND}}) {
    SCOPED_TRACE(trigger);
    {
      SelfDestroyingWindow window(trigger, true);
      const ByteArray image = recognition.captureWindow(window.get());
      EXPECT_TRUE(image.empty() || isWellFormedImage(image, depth, 50, 40)) << image.size();
    }
    {
      SelfDestroyingWindow window(trigger, true);
      const ByteArray image = recognition.captureWindow(window.get(), 5, 5, 20, 10, 1);
      EXPECT_TRUE(image.empty() || isWellFormedImage(image, depth, 20, 10)) << image.size();
    }
    {
      SelfDestroyingWindow window(trigger, true);
      const std::int32_t pixel = recognition.getWindowPixel(window.get(), 3, 3);
      EXPECT_TRUE(pixel == -1 || isColourValue(pixel)) << pixel;
    }
    {
      SelfDestroyingWindow window(trigger, true);
      EXPECT_TRUE(isSoundPoint(recognition.findColourInWindow(window.get(), RGB(128, 128, 128))));
    }
    tried += 4;
  }
  // While prepareWindow shows or moves it, and while its restore moves or hides it.
  for (const UINT trigger : {UINT{WM_SHOWWINDOW}, UINT{WM_WINDOWPOSCHANGING}, UINT{WM_WINDOWPOSCHANGED},
                             UINT{WM_MOVE}, UINT{WM_SIZE}}) {
    SCOPED_TRACE(trigger);
    {
      SelfDestroyingWindow window(trigger, false);
      const HWND handle = window.get();
      const std::int32_t prepared = recognition.prepareWindow(handle);
      EXPECT_TRUE(prepared == 0 || prepared == 1) << prepared;
      if (!IsWindow(handle)) {
        EXPECT_TRUE(recognition.captureWindow(handle).empty());
      }
      recognition.prepareWindow(handle, 1);
      EXPECT_TRUE(savedWindows().empty()) << "a record outlives its window";
    }
    {
      // Prepared while it took no offence yet, destroyed by its restore.
      SelfDestroyingWindow window(0, false);
      const HWND handle = window.get();
      EXPECT_EQ(recognition.prepareWindow(handle), 1);
      window.arm(trigger);
      const std::int32_t restored = recognition.prepareWindow(handle, 1);
      EXPECT_TRUE(restored == 0 || restored == 1) << restored;
      EXPECT_TRUE(savedWindows().empty());
      EXPECT_EQ(recognition.prepareWindow(handle, 1), 0);
    }
    tried += 4;
  }
  pump();
  return tried;
}

TEST_F(DestroyedWindows, InTheMiddleOfACall) {
  fillDcCache();
  // Once to meet Wine's first-use allocations, then counting.
  destroyInTheMiddle(recognition);
  const GdiObjects before = gdiObjects();
  const int tried = destroyInTheMiddle(recognition);
  const GdiObjects after = gdiObjects();
  EXPECT_EQ(after.withoutRegions(), before.withoutRegions());
  std::printf("%d calls on windows destroyed in the middle, twice; GDI objects %d before the second round, %d after\n",
              tried, before.all, after.all);
}

TEST_F(DestroyedWindows, FromAnotherThreadWhileCapturesRun) {
  // The other thread makes a window, pumps its messages for a moment and destroys it, over and
  // over; this thread keeps capturing whatever handle it last saw.
  std::atomic<HWND> current{nullptr};
  std::atomic<bool> stop{false};
  std::atomic<int> lives{0};
  std::thread churn([&] {
    std::uint32_t seed = 12345;
    while (!stop) {
      const HWND window = CreateWindowExA(0, "STATIC", "churn", WS_POPUP | WS_VISIBLE, 600, 400, 16, 12, nullptr,
                                          nullptr, GetModuleHandleA(nullptr), nullptr);
      current = window;
      seed = seed * 1103515245 + 12345;
      const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(500 + (seed >> 16) % 4000);
      while (std::chrono::steady_clock::now() < until) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      }
      DestroyWindow(window);
      ++lives;
    }
  });
  const int depth = recognition.getColourDepth();
  int calls = 0;
  int pictures = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < end) {
    const HWND handle = current;
    const ByteArray image = recognition.captureWindow(handle);
    EXPECT_TRUE(image.empty() || isWellFormedImage(image, depth)) << image.size();
    pictures += image.empty() ? 0 : 1;
    const std::int32_t pixel = recognition.getWindowPixel(handle, 2, 2);
    EXPECT_TRUE(pixel == -1 || isColourValue(pixel)) << pixel;
    EXPECT_TRUE(isSoundPoint(recognition.findColourInWindow(handle, RGB(255, 0, 0))));
    calls += 3;
    if (::testing::Test::HasFailure()) break;
  }
  stop = true;
  churn.join();
  EXPECT_GT(lives.load(), 10);
  EXPECT_GT(pictures, 10) << "the captures should often meet a live window";
  std::printf("%d captures and reads over %d windows that another thread destroyed; %d captures got a picture\n",
              calls, lives.load(), pictures);
}

}  // namespace
