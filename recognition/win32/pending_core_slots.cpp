// Scaffold until the portable core's slots land; removed by its owner.
#include "recognition/win32/recognition_object.hpp"
namespace tamblin {
Colour 识图1类::toGrey(Colour) { return 0; }
Colour 识图1类::quantise565(Colour) { return 0; }
std::int32_t 识图1类::colourDifference(Colour, Colour, std::int32_t) { return 0; }
std::int32_t 识图1类::colourComponent(Colour, std::int32_t) { return 0; }
std::int32_t 识图1类::colourSpread(Colour) { return 0; }
std::int32_t 识图1类::colourBrightness(Colour) { return 0; }
std::int32_t 识图1类::findBytesTolerant(ByteView, ByteView, std::int32_t, std::int32_t) { return -1; }
ImageInfo 识图1类::getImageInfo(ByteView) { return {}; }
std::int32_t 识图1类::getImagePixel(ByteView, std::int32_t, std::int32_t) { return -1; }
ImagePoint 识图1类::findImage(ByteView, ByteView, std::int32_t, const ImagePoint&) { return kNotFound; }
ImagePoint 识图1类::findColour(ByteView, Colour, std::int32_t, const ImagePoint&) { return kNotFound; }
}  // namespace tamblin
