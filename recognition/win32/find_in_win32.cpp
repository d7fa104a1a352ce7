#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

// Each wrapper captures and searches through the object's own slots, so a derived class that
// replaces a capture is searched in its place.

ImagePoint 识图1类::findImageInRegion(ByteView smallImage, std::int32_t x, std::int32_t y, std::int32_t width,
                                   std::int32_t height, std::int32_t tolerance, const ImagePoint& startPoint,
                                   HWND window) {
  // The window is always handed on as given: an omitted one is a null handle in window mode.
  const ByteArray capture = this->captureRegion(x, y, width, height, std::optional<HWND>(window));
  return this->findImage(capture, smallImage, tolerance, startPoint);
}

ImagePoint 识图1类::findColourInRegion(Colour colour, std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height, std::int32_t tolerance, const ImagePoint& startPoint,
                                    HWND window) {
  const ByteArray capture = this->captureRegion(x, y, width, height, std::optional<HWND>(window));
  return this->findColour(capture, colour, tolerance, startPoint);
}

ImagePoint 识图1类::findImageInWindow(HWND window, ByteView smallImage, std::int32_t x, std::int32_t y,
                                   std::int32_t width, std::int32_t height, std::int32_t tolerance,
                                   const ImagePoint& startPoint) {
  const ByteArray capture = this->captureWindow(window, x, y, width, height);
  return this->findImage(capture, smallImage, tolerance, startPoint);
}

ImagePoint 识图1类::findColourInWindow(HWND window, Colour colour, std::int32_t x, std::int32_t y,
                                    std::int32_t width, std::int32_t height, std::int32_t tolerance,
                                    const ImagePoint& startPoint) {
  const ByteArray capture = this->captureWindow(window, x, y, width, height);
  return this->findColour(capture, colour, tolerance, startPoint);
}

}  // namespace tamblin
