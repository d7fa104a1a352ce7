#pragma once
// The screen-recognition class 识图1类 and its process-wide instance.
//
// The class has no data; its table of operations is the list of virtual members below, in slot
// order. Operations call each other through the table (this->), so a test can derive from the
// class and replace one slot, a capture for instance, with a prepared bitmap image.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "recognition/core/types.hpp"

namespace tamblin {

class 识图1类;
// Releasing an object: its destroy hook, then its memory.
struct RecognitionObjectRelease {
  void operator()(识图1类* object) const;
};
using RecognitionObjectPtr = std::unique_ptr<识图1类, RecognitionObjectRelease>;

class 识图1类 {
 public:
  virtual ~识图1类() = default;

  // 0: release hook; no work. Releasing an object is destroy() followed by freeing it.
  virtual void destroy();
  // 1: copy hook; a new object of the class (there is nothing to copy).
  virtual RecognitionObjectPtr clone();

  // 2: draws text on a window's client area, or on the whole screen for window 0.
  // colour, fontSize and faceName distinguish "left out" (defaults 255, 16, "宋体") from any value.
  virtual void drawText(HWND window, std::int32_t x, std::int32_t y, std::string_view text,
                        std::optional<Colour> colour = std::nullopt,
                        std::optional<std::int32_t> fontSize = std::nullopt,
                        std::optional<std::string_view> faceName = std::nullopt, std::int32_t bold = 0,
                        std::int32_t italic = 0, std::int32_t underline = 0);

  // 3-9: colour arithmetic.
  virtual std::int32_t getColourDepth();
  virtual Colour toGrey(Colour colour);
  virtual Colour quantise565(Colour colour);
  virtual std::int32_t colourDifference(Colour colour1, Colour colour2, std::int32_t mode = 0);
  virtual std::int32_t colourComponent(Colour colour, std::int32_t channel);
  virtual std::int32_t colourSpread(Colour colour);
  virtual std::int32_t colourBrightness(Colour colour);

  // 10: position (from 1) of the first tolerant match of needle in haystack, or -1.
  virtual std::int32_t findBytesTolerant(ByteView haystack, ByteView needle, std::int32_t start = 0,
                                         std::int32_t tolerance = 0);

  // 11: a 24-bit bitmap image of a screen rectangle; a given window (even a null one) selects
  // window mode. The bare 58-byte prefix when nothing could be captured.
  virtual ByteArray captureRegion(std::int32_t x = 0, std::int32_t y = 0, std::int32_t width = 0,
                                  std::int32_t height = 0, std::optional<HWND> window = std::nullopt);
  // 12: what GetPixel reports for a screen point, or a window-client point.
  virtual std::int32_t getScreenPixel(std::int32_t x, std::int32_t y, HWND window = nullptr,
                                      std::int32_t clientCoordinates = 0);
  // 13, 14: captureRegion (always handing the window on, null when left out), then search.
  virtual ImagePoint findImageInRegion(ByteView smallImage, std::int32_t x = 0, std::int32_t y = 0,
                                       std::int32_t width = 0, std::int32_t height = 0,
                                       std::int32_t tolerance = 0, const ImagePoint& startPoint = {},
                                       HWND window = nullptr);
  virtual ImagePoint findColourInRegion(Colour colour, std::int32_t x = 0, std::int32_t y = 0,
                                        std::int32_t width = 0, std::int32_t height = 0,
                                        std::int32_t tolerance = 0, const ImagePoint& startPoint = {},
                                        HWND window = nullptr);

  // 15: moves a hidden or minimised top-level window into a capturable state, or back.
  virtual std::int32_t prepareWindow(HWND window, std::int32_t restore = 0);
  // 16: a window rendered with PrintWindow, cut to a rectangle; empty on failure.
  virtual ByteArray captureWindow(HWND window, std::int32_t x = 0, std::int32_t y = 0,
                                  std::int32_t width = 0, std::int32_t height = 0,
                                  std::int32_t windowCoordinates = 0);
  // 17: one pixel of a fresh client-area capture, counted from 1; -1 on failure.
  virtual std::int32_t getWindowPixel(HWND window, std::int32_t x, std::int32_t y);
  // 18, 19: captureWindow in client mode, then search.
  virtual ImagePoint findImageInWindow(HWND window, ByteView smallImage, std::int32_t x = 0,
                                       std::int32_t y = 0, std::int32_t width = 0,
                                       std::int32_t height = 0, std::int32_t tolerance = 0,
                                       const ImagePoint& startPoint = {});
  virtual ImagePoint findColourInWindow(HWND window, Colour colour, std::int32_t x = 0,
                                        std::int32_t y = 0, std::int32_t width = 0,
                                        std::int32_t height = 0, std::int32_t tolerance = 0,
                                        const ImagePoint& startPoint = {});

  // 20-23: inspection and search of bitmap images.
  virtual ImageInfo getImageInfo(ByteView image);
  virtual std::int32_t getImagePixel(ByteView image, std::int32_t x, std::int32_t y);
  virtual ImagePoint findImage(ByteView bigImage, ByteView smallImage, std::int32_t tolerance = 0,
                               const ImagePoint& startPoint = {});
  virtual ImagePoint findColour(ByteView image, Colour colour, std::int32_t tolerance = 0,
                                const ImagePoint& startPoint = {});
};

// The recognition object: the single instance, from startRecognition() to stopRecognition().
识图1类* recognitionObject();
// Start-up: creates the recognition object, then savedWindows (empty).
void startRecognition();
// Exit: releases the recognition object (destroy, then the memory), then savedWindows.
void stopRecognition();

}  // namespace tamblin
