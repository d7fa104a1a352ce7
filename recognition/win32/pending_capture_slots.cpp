// Scaffold until capture, pixel reads and the find-in wrappers land; removed by its owner.
#include "recognition/win32/recognition_object.hpp"
#include "recognition/win32/saved_windows.hpp"
namespace tamblin {
namespace {
std::vector<SavedWindow>* theSavedWindows = nullptr;
}
std::vector<SavedWindow>& savedWindows() { return *theSavedWindows; }
void createSavedWindows() { theSavedWindows = new std::vector<SavedWindow>(); }
void releaseSavedWindows() { delete theSavedWindows; theSavedWindows = nullptr; }
std::int32_t 识图1类::getColourDepth() { return 0; }
ByteArray 识图1类::captureRegion(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::optional<HWND>) { return {}; }
std::int32_t 识图1类::getScreenPixel(std::int32_t, std::int32_t, HWND, std::int32_t) { return -1; }
ImagePoint 识图1类::findImageInRegion(ByteView, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const ImagePoint&, HWND) { return kNotFound; }
ImagePoint 识图1类::findColourInRegion(Colour, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const ImagePoint&, HWND) { return kNotFound; }
std::int32_t 识图1类::prepareWindow(HWND, std::int32_t) { return 0; }
ByteArray 识图1类::captureWindow(HWND, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return {}; }
std::int32_t 识图1类::getWindowPixel(HWND, std::int32_t, std::int32_t) { return -1; }
ImagePoint 识图1类::findImageInWindow(HWND, ByteView, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const ImagePoint&) { return kNotFound; }
ImagePoint 识图1类::findColourInWindow(HWND, Colour, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const ImagePoint&) { return kNotFound; }
}  // namespace tamblin
