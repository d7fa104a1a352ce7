// Scaffold until text drawing lands; removed by its owner.
#include "recognition/win32/recognition_object.hpp"
namespace tamblin {
void 识图1类::drawText(HWND, std::int32_t, std::int32_t, std::string_view, std::optional<Colour>,
                     std::optional<std::int32_t>, std::optional<std::string_view>, std::int32_t,
                     std::int32_t, std::int32_t) {}
}  // namespace tamblin
