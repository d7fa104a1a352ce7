#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

std::int32_t 识图1类::getColourDepth() {
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  // On failure the record stays zeroed, so the answer is 0.
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  return static_cast<std::int32_t>(mode.dmBitsPerPel);
}

}  // namespace tamblin
