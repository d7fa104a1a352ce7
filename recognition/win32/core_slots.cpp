// The slots of the class that are pure byte logic hand straight on to the portable core.
#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/colour_search.hpp"
#include "recognition/core/image_search.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

Colour 识图1类::toGrey(Colour colour) { return tamblin::toGrey(colour); }
Colour 识图1类::quantise565(Colour colour) { return tamblin::quantise565(colour); }
std::int32_t 识图1类::colourDifference(Colour colour1, Colour colour2, std::int32_t mode) {
  return tamblin::colourDifference(colour1, colour2, mode);
}
std::int32_t 识图1类::colourComponent(Colour colour, std::int32_t channel) {
  return tamblin::colourComponent(colour, channel);
}
std::int32_t 识图1类::colourSpread(Colour colour) { return tamblin::colourSpread(colour); }
std::int32_t 识图1类::colourBrightness(Colour colour) { return tamblin::colourBrightness(colour); }

std::int32_t 识图1类::findBytesTolerant(ByteView haystack, ByteView needle, std::int32_t start,
                                      std::int32_t tolerance) {
  return tamblin::findBytesTolerant(haystack, needle, start, tolerance);
}

ImageInfo 识图1类::getImageInfo(ByteView image) { return tamblin::getImageInfo(image); }
std::int32_t 识图1类::getImagePixel(ByteView image, std::int32_t x, std::int32_t y) {
  return tamblin::getImagePixel(image, x, y);
}
ImagePoint 识图1类::findImage(ByteView bigImage, ByteView smallImage, std::int32_t tolerance,
                            const ImagePoint& startPoint) {
  return tamblin::findImage(bigImage, smallImage, tolerance, startPoint);
}
ImagePoint 识图1类::findColour(ByteView image, Colour colour, std::int32_t tolerance, const ImagePoint& startPoint) {
  return tamblin::findColour(image, colour, tolerance, startPoint);
}

}  // namespace tamblin
