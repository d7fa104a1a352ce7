#pragma once
// The crosshair ticker: each click of 按钮1 starts one more 1 ms thread timer, and each tick
// paints the current glyph in the current colour at the centre of the primary screen.
#include <windows.h>

#include <cstdint>
#include <string>

namespace tamblin::app {

// The process-wide timer identifier counter, 0 until the first startTimer.
std::int32_t& nextTimerId();

// Starts a timer with the next identifier (1001 for the first call) and returns SetTimer's result.
UINT_PTR startTimer(HWND window, UINT periodMs, TIMERPROC callback);

// The click handler of 按钮1.
void onShowCrosshairClicked();

// The timer callback; its arguments are ignored.
void CALLBACK onCrosshairTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// The controls each tick reads: 组合框1 (its text) and 颜色选择器1 (its colour).
void bindCrosshairSources(HWND glyphList, HWND colourChooser);

struct CrosshairPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const CrosshairPoint&, const CrosshairPoint&) = default;
};
// Half the screen size in each direction, truncated toward zero.
CrosshairPoint crosshairPoint(std::int32_t screenWidth, std::int32_t screenHeight);

// The text a window or control shows now (a combo box: its edit field), as GBK bytes.
std::string windowText(HWND window);

}  // namespace tamblin::app
