// drawText: a text straight onto a window's client area or onto the whole screen.
#include <climits>
#include <cstring>

#include "recognition/win32/gdi.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

namespace {
// "宋体"
constexpr char kDefaultFaceName[] = "\xCB\xCE\xCC\xE5";
constexpr std::int32_t kDefaultFontSize = 16;
constexpr Colour kDefaultColour = 255;

// A text ends at its first zero byte, whatever the view's length says.
std::string_view untilZero(std::string_view text) {
  const auto zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// How many leading bytes of a text fit in capacity without splitting a double-byte character.
std::size_t fitWithoutSplitting(std::string_view text, std::size_t capacity) {
  text = untilZero(text);
  if (text.size() <= capacity) return text.size();
  // Cutting between the two bytes of a double-byte character would leave a stray lead byte.
  std::size_t end = 0;
  while (end < capacity) {
    const std::size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[end])) ? 2 : 1;
    if (end + step > capacity) break;
    end += step;
  }
  return end;
}

LOGFONTA drawTextFont(std::optional<std::int32_t> fontSize, std::optional<std::string_view> faceName,
                      std::int32_t bold, std::int32_t italic, std::int32_t underline) {
  LOGFONTA font{};
  font.lfHeight = fontSize.value_or(kDefaultFontSize);
  font.lfWeight = bold == 1 ? 900 : 0;
  font.lfItalic = static_cast<BYTE>(italic & 0xFF);
  font.lfUnderline = static_cast<BYTE>(underline & 0xFF);
  font.lfCharSet = GB2312_CHARSET;
  const std::string_view face = faceName.value_or(kDefaultFaceName);
  std::memcpy(font.lfFaceName, face.data(), fitWithoutSplitting(face, sizeof font.lfFaceName - 1));
  return font;
}

}  // namespace

void 识图1类::drawText(HWND window, std::int32_t x, std::int32_t y, std::string_view text,
                     std::optional<Colour> colour, std::optional<std::int32_t> fontSize,
                     std::optional<std::string_view> faceName, std::int32_t bold, std::int32_t italic,
                     std::int32_t underline) {
  // Released last, after the font is deleted.
  gdi::WindowDc dc(window);
  const LOGFONTA description = drawTextFont(fontSize, faceName, bold, italic, underline);
  gdi::Font font(CreateFontIndirectA(&description));
  gdi::Selection selection(dc.get(), font.get());
  const int previousMode = SetBkMode(dc.get(), TRANSPARENT);
  const COLORREF previousColour = SetTextColor(dc.get(), static_cast<COLORREF>(colour.value_or(kDefaultColour)));

  text = untilZero(text);
  // TextOutA counts in int; a longer text is drawn as far as that count reaches.
  int length = text.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
  // Wine on X draws on the screen straight through the X server, and a TextOutA of some 22,000
  // glyphs there loses the X connection and with it the process. 16384 bytes already reach past
  // the widest screen at one pixel a glyph.
  constexpr int kLongestScreenText = 16384;
  if (length > kLongestScreenText && (window == nullptr || window == GetDesktopWindow())) {
    length = static_cast<int>(fitWithoutSplitting(text, kLongestScreenText));
  }
  TextOutA(dc.get(), x, y, text.data(), length);

  SetBkMode(dc.get(), previousMode);
  SetTextColor(dc.get(), previousColour);
  selection.restore();
  font.reset();
}

}  // namespace tamblin
