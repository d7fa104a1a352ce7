#include "app/crosshair_ticker.hpp"

#include "app/colour_chooser.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin::app {

namespace {
constexpr UINT kTickPeriodMs = 1;
constexpr std::int32_t kCrosshairFontSize = 20;

HWND theGlyphList = nullptr;
HWND theColourChooser = nullptr;
}  // namespace

std::int32_t& nextTimerId() {
  static std::int32_t counter = 0;
  return counter;
}

UINT_PTR startTimer(HWND window, UINT periodMs, TIMERPROC callback) {
  std::int32_t& counter = nextTimerId();
  if (counter == 0) counter = 1000;
  // Wraps instead of overflowing; nobody clicks two thousand million times.
  counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1u);
  return SetTimer(window, static_cast<UINT_PTR>(counter), periodMs, callback);
}

void onShowCrosshairClicked() { startTimer(nullptr, kTickPeriodMs, onCrosshairTick); }

CrosshairPoint crosshairPoint(std::int32_t screenWidth, std::int32_t screenHeight) {
  return {static_cast<std::int32_t>(screenWidth / 2.0), static_cast<std::int32_t>(screenHeight / 2.0)};
}

std::string windowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void bindCrosshairSources(HWND glyphList, HWND colourChooser) {
  theGlyphList = glyphList;
  theColourChooser = colourChooser;
}

void CALLBACK onCrosshairTick(HWND, UINT, UINT_PTR, DWORD) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const CrosshairPoint point = crosshairPoint(width, height);
  const std::string text = windowText(theGlyphList);
  const Colour colour = colourChooserColour(theColourChooser);
  if (识图1类* recognition = recognitionObject()) {
    recognition->drawText(nullptr, point.x, point.y, text, colour, kCrosshairFontSize);
  }
}

}  // namespace tamblin::app
