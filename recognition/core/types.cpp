#include "recognition/core/types.hpp"

#include <ostream>

namespace tamblin {

std::ostream& operator<<(std::ostream& out, const ImagePoint& point) {
  return out << '(' << point.x << ", " << point.y << ')';
}

std::ostream& operator<<(std::ostream& out, const ImageInfo& info) {
  return out << "{width " << info.width << ", height " << info.height << ", bits " << info.bitsPerPixel
             << ", size " << info.size << ", bytes " << info.bytesPerPixel << '}';
}

}  // namespace tamblin
