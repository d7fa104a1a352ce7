// Window handles from the wild, through every operation that takes one: a handle that names no
// window gives the operation's failure value (or, where the operation falls back on the screen,
// the screen's answer); one that names some window gives a result that hangs together. Nothing
// crashes, hangs, draws where it should not, leaks a GDI object or leaves a record behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "recognition/win32/recognition_object.hpp"
#include "recognition/win32/saved_windows.hpp"
#include "tests/win32/capture/capture_checks.hpp"
#include "tests/win32/reliability/foreign_window.hpp"
#include "tests/win32/reliability/reliability_checks.hpp"
#include "tests/win32/reliability/resource_use.hpp"

namespace {

using namespace capture_test;
using namespace reliability;
using tamblin::kNotFound;
using tamblin::savedWindows;
using tamblin::识图1类;

struct WildHandle {
  std::string name;
  HWND value;
};

RECT windowRect(HWND window) {
  RECT rect{0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return rect;
}
bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A 2 x 1 bitmap image of one colour, to look for.
ByteArray twoPixels(COLORREF colour) {
  ByteArray image(58 + 8, 0);
  const std::uint8_t header[] = {'B', 'M', 66, 0, 0, 0, 0, 0, 0, 0, 58, 0, 0, 0, 44, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,
                                 1, 0, 24, 0, 0, 0, 0, 0, 8};
  std::copy(std::begin(header), std::end(header), image.begin());
  for (int pixel = 0; pixel < 2; ++pixel) {
    image[58 + 3 * pixel] = GetBValue(colour);
    image[59 + 3 * pixel] = GetGValue(colour);
    image[60 + 3 * pixel] = GetRValue(colour);
  }
  return image;
}

class WildHandles : public ::testing::Test {
 protected:
  void SetUp() override {
    tamblin::createSavedWindows();
    ASSERT_TRUE(canvas.waitUntilShown());
    child = CreateWindowExA(0, "BUTTON", "child", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 2, 2, 30, 16, host.get(),
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    messageOnly = CreateWindowExA(0, "STATIC", "message only", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    {
      PatternWindow gone(700, 100, 10, 10);
      destroyed = gone.get();
    }
    pump();
  }
  void TearDown() override {
    if (messageOnly != nullptr) DestroyWindow(messageOnly);
    tamblin::releaseSavedWindows();
  }

  std::vector<WildHandle> handles() const {
    std::vector<WildHandle> all = {
        {"null", nullptr},
        {"1", reinterpret_cast<HWND>(1)},
        {"0xFFFF", reinterpret_cast<HWND>(0xFFFF)},
        {"-1", reinterpret_cast<HWND>(static_cast<INT_PTR>(-1))},
        {"HWND_MESSAGE", HWND_MESSAGE},
        {"0x12345678", reinterpret_cast<HWND>(0x12345678)},
        {"a destroyed window", destroyed},
        {"a child control", child},
        {"an owned window", owned.get()},
        {"a message-only window", messageOnly},
        {"the desktop window", GetDesktopWindow()},
    };
    if (foreign) all.push_back({"a window of another thread", foreign->get()});
    std::mt19937_64 random(20241211);
    for (int i = 0; i < 6; ++i) {
      // Half of them 32-bit patterns, half of them 64-bit ones.
      const std::uint64_t value = i % 2 == 0 ? random() & 0xFFFFFFFFu : random();
      char name[32];
      std::snprintf(name, sizeof name, "random 0x%llx", static_cast<unsigned long long>(value));
      all.push_back({name, reinterpret_cast<HWND>(static_cast<UINT_PTR>(value))});
    }
    return all;
  }

  void expectCaptures(const WildHandle& handle) {
    const bool isWindow = IsWindow(handle.value) != 0;
    const int depth = recognition.getColourDepth();
    const ByteArray client = recognition.captureWindow(handle.value);
    const ByteArray framed = recognition.captureWindow(handle.value, 0, 0, 8, 6, 1);
    const ByteArray part = recognition.captureWindow(handle.value, 1, 1, 4, 3);
    if (!isWindow) {
      EXPECT_TRUE(client.empty() && framed.empty() && part.empty());
    } else {
      if (!client.empty()) {
        RECT clientRect{};
        GetClientRect(handle.value, &clientRect);
        EXPECT_TRUE(isWellFormedImage(client, depth, clientRect.right, clientRect.bottom));
      }
      if (!framed.empty()) {
        EXPECT_TRUE(isWellFormedImage(framed, depth, 8, 6));
      }
      if (!part.empty()) {
        EXPECT_TRUE(isWellFormedImage(part, depth, 4, 3));
      }
    }

    const std::int32_t pixel = recognition.getWindowPixel(handle.value, 1, 1);
    const ImagePoint colour = recognition.findColourInWindow(handle.value, 0, 0, 0, 0, 0, 255);
    const ImagePoint image = recognition.findImageInWindow(handle.value, twoPixels(RGB(1, 2, 3)), 0, 0, 0, 0, 255);
    if (!isWindow) {
      EXPECT_EQ(pixel, -1);
      EXPECT_EQ(colour, kNotFound);
      EXPECT_EQ(image, kNotFound);
    } else {
      EXPECT_TRUE(pixel == -1 || isColourValue(pixel)) << pixel;
      EXPECT_TRUE(isSoundPoint(colour)) << colour;
      EXPECT_TRUE(isSoundPoint(image)) << image;
    }
  }

  // The region operations read the screen; a handle that names no window leaves the rectangle
  // in screen terms, as a null handle does.
  void expectRegionReads(const WildHandle& handle) {
    const bool isWindow = IsWindow(handle.value) != 0;
    const POINT at = canvas.screenPoint(3, 2);
    const ByteArray region = recognition.captureRegion(at.x, at.y, 5, 4, handle.value);
    const ByteArray whole = recognition.captureRegion(0, 0, 0, 0, handle.value);
    const std::int32_t pixel = recognition.getScreenPixel(at.x, at.y, handle.value, 1);
    const ImagePoint colour =
        recognition.findColourInRegion(static_cast<tamblin::Colour>(canvas.at(5, 3)), at.x, at.y, 5, 4, 0, {},
                                       handle.value);
    if (!isWindow) {
      EXPECT_EQ(region, recognition.captureRegion(at.x, at.y, 5, 4));
      EXPECT_TRUE(isBarePrefix(whole)) << whole.size() << " bytes";
      EXPECT_EQ(pixel, static_cast<std::int32_t>(canvas.at(3, 2)));
      EXPECT_EQ(colour, (ImagePoint{3, 2}));
    } else {
      EXPECT_TRUE(isBarePrefix(region) || isWellFormedImage(region, 24, 5, 4));
      EXPECT_TRUE(isBarePrefix(whole) || isWellFormedImage(whole, 24));
      EXPECT_TRUE(pixel == -1 || isColourValue(pixel)) << pixel;
      EXPECT_TRUE(isSoundPoint(colour)) << colour;
    }
  }

  void expectPrepareAndRestore(const WildHandle& handle) {
    const bool isWindow = IsWindow(handle.value) != 0;
    const std::size_t listed = savedWindows().size();
    EXPECT_EQ(recognition.prepareWindow(handle.value, 1), 0) << "never prepared";
    const RECT before = windowRect(handle.value);
    const BOOL wasVisible = IsWindowVisible(handle.value);
    const std::int32_t prepared = recognition.prepareWindow(handle.value);
    if (!isWindow) {
      EXPECT_EQ(prepared, 0);
      EXPECT_EQ(savedWindows().size(), listed);
      return;
    }
    ASSERT_TRUE(prepared == 0 || prepared == 1) << prepared;
    if (prepared == 0) {
      EXPECT_EQ(savedWindows().size(), listed);
      return;
    }
    EXPECT_EQ(savedWindows().size(), listed + 1);
    EXPECT_EQ(recognition.prepareWindow(handle.value, 1), 1);
    pump(1);
    EXPECT_EQ(savedWindows().size(), listed);
    EXPECT_TRUE(sameRect(windowRect(handle.value), before)) << "back where it was";
    EXPECT_EQ(IsWindowVisible(handle.value) != 0, wasVisible != 0);
  }

  // The canvas as it paints itself, on the screen.
  bool canvasIsClean() {
    const POINT at = canvas.screenPoint(0, 0);
    const ByteArray shown = recognition.captureRegion(at.x, at.y, canvas.width(), canvas.height());
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x)
        if (pixelOf(shown, x, y) != canvas.at(x, y)) return false;
    return true;
  }

  // Drawing through a handle that names no window must not land on the screen.
  void expectDrawing(const WildHandle& handle) {
    const bool isWindow = IsWindow(handle.value) != 0;
    const POINT at = canvas.screenPoint(0, 0);
    recognition.drawText(handle.value, at.x, at.y, "\xA1\xF6\xA1\xF6", RGB(255, 0, 255), 30);
    recognition.drawText(handle.value, 0, 0, "", std::nullopt, std::nullopt, "");
    if (!isWindow && handle.value != nullptr) {
      EXPECT_TRUE(canvasIsClean()) << "drawn on the screen";
    }
    // Whatever landed on the screen is painted over again.
    RedrawWindow(canvas.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(pumpUntil([this] { return canvasIsClean(); }));
  }

  void runAll() {
    for (const WildHandle& handle : handles()) {
      SCOPED_TRACE(handle.name);
      expectCaptures(handle);
      expectRegionReads(handle);
      expectPrepareAndRestore(handle);
      expectDrawing(handle);
    }
  }

  识图1类 recognition;
  PatternWindow canvas{300, 200, 60, 40};
  PatternWindow host{420, 200, 60, 40};
  PatternWindow owned{500, 200, 20, 20, knownPicture, WS_POPUP, host.get()};
  std::optional<ForeignWindow> foreign{std::in_place, 560, 200, 24, 18};
  HWND child = nullptr;
  HWND messageOnly = nullptr;
  HWND destroyed = nullptr;
};

TEST_F(WildHandles, EveryOperationGivesItsFailureValueOrASoundResult) {
  fillDcCache();
  runAll();
  // Twice more, counting GDI objects around it: a failure path that keeps a DC, a bitmap or a
  // font shows here. The first round has filled Wine's caches. A thread that paints while we
  // count takes device contexts of its own, which can grow Wine's cache of them: the other
  // thread's window is gone for these rounds.
  const std::size_t tried = handles().size();
  foreign.reset();
  const GdiObjects before = gdiObjects();
  ASSERT_GT(before.all, 0) << "no way to count GDI objects";
  runAll();
  runAll();
  const GdiObjects after = gdiObjects();
  EXPECT_TRUE(savedWindows().empty());
  EXPECT_EQ(after.withoutRegions(), before.withoutRegions());
  std::printf("%zu handles through 12 operations, then %zu of them twice more; GDI objects before those two rounds "
              "%d (%d regions), after %d (%d regions)\n",
              tried, handles().size(), before.all, before.regions, after.all, after.regions);
}

TEST_F(WildHandles, WindowsThatAreNotTheCallersOwnStillCapture) {
  // The other thread answers PrintWindow with its own picture.
  const ByteArray image = recognition.captureWindow(foreign->get());
  ASSERT_TRUE(isWellFormedImage(image, recognition.getColourDepth(), 24, 18));
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 24; ++x) ASSERT_EQ(pixelOf(image, x, y), knownPicture(x, y)) << x << ", " << y;
  EXPECT_EQ(recognition.getWindowPixel(foreign->get(), 24, 18), static_cast<std::int32_t>(knownPicture(23, 17)));

  // The desktop is a window without a parent: it captures, and preparing it moves nothing.
  const ByteArray desktop = recognition.captureWindow(GetDesktopWindow());
  EXPECT_TRUE(desktop.empty() || isWellFormedImage(desktop, recognition.getColourDepth(), GetSystemMetrics(SM_CXSCREEN),
                                                   GetSystemMetrics(SM_CYSCREEN)));

  // Child controls and owned windows are refused by prepareWindow but capture as windows.
  EXPECT_EQ(recognition.prepareWindow(child), 0);
  EXPECT_EQ(recognition.prepareWindow(owned.get()), 0);
  EXPECT_TRUE(isWellFormedImage(recognition.captureWindow(child), recognition.getColourDepth(), 30, 16));
  const ByteArray ownedImage = recognition.captureWindow(owned.get());
  ASSERT_TRUE(isWellFormedImage(ownedImage, recognition.getColourDepth(), 20, 20));
  expectPicture(ownedImage, owned, 0, 0);
  EXPECT_TRUE(savedWindows().empty());
}

}  // namespace
