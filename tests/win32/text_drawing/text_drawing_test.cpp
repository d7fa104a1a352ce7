// drawText on a window and on the whole screen: what reaches the screen, which font is asked
// for, and what the device context looks like afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "import_spy.hpp"
#include "pixels.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin {
namespace {

using test::Call;
using test::OwnDcWindow;
using test::Pixels;
using test::PlatformSpy;

constexpr char kSquare[] = "\xA1\xF6";        // ■
constexpr char kSimSun[] = "\xCB\xCE\xCC\xE5";  // 宋体
constexpr char kSong[] = "\xCB\xCE";           // 宋

std::uintptr_t word(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

class DrawTextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { startRecognition(); }
  static void TearDownTestSuite() { stopRecognition(); }
  识图1类& recognition() { return *recognitionObject(); }
};

TEST_F(DrawTextTest, DrawsTheColourAtThePointAndPutsTheDcBack) {
  OwnDcWindow canvas(100, 100, 200, 120);
  HDC dc = canvas.dc();
  ASSERT_EQ(GetDC(canvas.handle()), dc) << "a CS_OWNDC window keeps one DC";
  HFONT ownFont = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  SelectObject(dc, ownFont);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 255, 0));
  SetTextColor(dc, RGB(1, 2, 3));

  constexpr COLORREF kColour = 0x00C08020;
  recognition().drawText(canvas.handle(), 30, 20, kSquare, kColour, 40);

  const Pixels pixels = canvas.pixels();
  const Pixels::Found drawn = pixels.find(kColour);
  EXPECT_GT(drawn.count, 200);
  // The point is the top-left corner of a 40-pixel cell.
  EXPECT_GE(drawn.box.left, 30);
  EXPECT_GE(drawn.box.top, 20);
  EXPECT_LE(drawn.box.right, 30 + 41);
  EXPECT_LE(drawn.box.bottom, 20 + 41);
  EXPECT_EQ(pixels.find(RGB(0, 255, 0)).count, 0) << "the text was drawn with an opaque background";

  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(ownFont);
}

TEST_F(DrawTextTest, WithOnlyATextDrawsRedOnTheScreenAtThePoint) {
  HDC screen = GetDC(nullptr);
  const RECT area{300, 200, 340, 240};
  FillRect(screen, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  recognition().drawText(nullptr, 300, 200, kSquare);

  const Pixels::Found drawn = Pixels(screen, area).find(RGB(255, 0, 0));
  ReleaseDC(nullptr, screen);
  EXPECT_GT(drawn.count, 30);
  EXPECT_GE(drawn.box.left, 300);
  EXPECT_GE(drawn.box.top, 200);
  // A 16-pixel font when fontSize is left out.
  EXPECT_LE(drawn.box.right, 300 + 17);
  EXPECT_LE(drawn.box.bottom, 200 + 17);
}

// The documented sequence, for the whole screen and for a window.
class DrawTextOrderTest : public DrawTextTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DrawTextOrderTest, AcquiresDrawsRestoresAndReleasesInOrder) {
  std::optional<OwnDcWindow> canvas;
  HWND window = nullptr;
  if (GetParam()) {
    canvas.emplace(100, 100, 120, 60);
    window = canvas->handle();
  }
  std::vector<Call> calls;
  {
    PlatformSpy spy;
    recognition().drawText(window, 5, 6, kSquare, 0x00112233, 20);
    calls = PlatformSpy::calls();
  }
  ASSERT_EQ(calls.size(), 11u) << ::testing::PrintToString(calls);
  const std::uintptr_t dc = calls[0].result;
  const std::uintptr_t font = calls[1].result;
  const std::uintptr_t previousFont = calls[2].result;
  const std::uintptr_t previousMode = calls[3].result;
  const std::uintptr_t previousColour = calls[4].result;
  ASSERT_NE(dc, 0u);
  ASSERT_NE(font, 0u);
  const std::vector<Call> expected{
      {"GetDC", {word(window)}, dc},
      {"CreateFontIndirectA", {}, font},
      {"SelectObject", {dc, font}, previousFont},
      {"SetBkMode", {dc, TRANSPARENT}, previousMode},
      {"SetTextColor", {dc, 0x00112233}, previousColour},
      {"TextOutA", {dc, 5, 6, 2}, TRUE},
      {"SetBkMode", {dc, previousMode}, TRANSPARENT},
      {"SetTextColor", {dc, previousColour}, 0x00112233},
      {"SelectObject", {dc, previousFont}, font},
      {"DeleteObject", {font}, TRUE},
      {"ReleaseDC", {word(window), dc}, 1},
  };
  EXPECT_EQ(calls, expected);
}

INSTANTIATE_TEST_SUITE_P(ScreenAndWindow, DrawTextOrderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Window" : "Screen"; });

struct FontCase {
  const char* name;
  std::optional<std::int32_t> fontSize;
  std::optional<std::string> faceName;
  std::int32_t bold, italic, underline;
  LONG height;
  LONG weight;
  BYTE italicByte, underlineByte;
  std::string face;
};

void PrintTo(const FontCase& c, std::ostream* out) { *out << c.name; }

class DrawTextFontTest : public DrawTextTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(DrawTextFontTest, AsksForTheFont) {
  const FontCase& c = GetParam();
  OwnDcWindow canvas(100, 100, 80, 60);
  std::optional<std::string_view> face;
  if (c.faceName) face = *c.faceName;
  {
    PlatformSpy spy;
    recognition().drawText(canvas.handle(), 0, 0, kSquare, std::nullopt, c.fontSize, face, c.bold, c.italic,
                           c.underline);
  }
  const LOGFONTA& font = PlatformSpy::lastFont();
  EXPECT_EQ(font.lfHeight, c.height);
  EXPECT_EQ(font.lfWeight, c.weight);
  EXPECT_EQ(font.lfItalic, c.italicByte);
  EXPECT_EQ(font.lfUnderline, c.underlineByte);
  EXPECT_EQ(std::string(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName)), c.face);
  EXPECT_EQ(font.lfFaceName[LF_FACESIZE - 1], '\0');
  // Fixed fields.
  EXPECT_EQ(font.lfWidth, 0);
  EXPECT_EQ(font.lfEscapement, 0);
  EXPECT_EQ(font.lfOrientation, 0);
  EXPECT_EQ(font.lfStrikeOut, 0);
  EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(font.lfOutPrecision, 0);
  EXPECT_EQ(font.lfClipPrecision, 0);
  EXPECT_EQ(font.lfQuality, 0);
  EXPECT_EQ(font.lfPitchAndFamily, 0);
}

std::string repeat(const std::string& part, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += part;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawTextFontTest,
    ::testing::Values(
        FontCase{"Defaults", std::nullopt, std::nullopt, 0, 0, 0, 16, 0, 0, 0, kSimSun},
        FontCase{"CrosshairSize", 20, std::nullopt, 0, 0, 0, 20, 0, 0, 0, kSimSun},
        FontCase{"SizeZeroGiven", 0, std::nullopt, 0, 0, 0, 0, 0, 0, 0, kSimSun},
        FontCase{"BoldOne", std::nullopt, std::nullopt, 1, 0, 0, 16, 900, 0, 0, kSimSun},
        FontCase{"BoldTwoIsNotBold", std::nullopt, std::nullopt, 2, 0, 0, 16, 0, 0, 0, kSimSun},
        FontCase{"BoldMinusOneIsNotBold", std::nullopt, std::nullopt, -1, 0, 0, 16, 0, 0, 0, kSimSun},
        FontCase{"ItalicLowByte", std::nullopt, std::nullopt, 0, 0x101, 0, 16, 0, 1, 0, kSimSun},
        FontCase{"ItalicHighByteOnly", std::nullopt, std::nullopt, 0, 0x100, 0, 16, 0, 0, 0, kSimSun},
        FontCase{"UnderlineLowByte", std::nullopt, std::nullopt, 0, 0, 0x2FF, 16, 0, 0, 0xFF, kSimSun},
        FontCase{"EmptyFaceGiven", std::nullopt, std::string(), 0, 0, 0, 16, 0, 0, 0, ""},
        FontCase{"OtherFace", std::nullopt, std::string("Arial"), 0, 0, 0, 16, 0, 0, 0, "Arial"},
        FontCase{"FaceOf31Bytes", std::nullopt, std::string(31, 'F'), 0, 0, 0, 16, 0, 0, 0, std::string(31, 'F')},
        FontCase{"FaceOf32BytesCut", std::nullopt, std::string(32, 'F'), 0, 0, 0, 16, 0, 0, 0, std::string(31, 'F')},
        FontCase{"FaceOf300BytesCut", std::nullopt, std::string(300, 'F'), 0, 0, 0, 16, 0, 0, 0,
                 std::string(31, 'F')},
        // 16 double-byte characters: the 16th would straddle the end, so 15 stay.
        FontCase{"DoubleByteFaceCutOnACharacter", std::nullopt, repeat(kSong, 16), 0, 0, 0, 16, 0, 0, 0,
                 repeat(kSong, 15)},
        FontCase{"MixedFaceCutAt31", std::nullopt, "F" + repeat(kSong, 16), 0, 0, 0, 16, 0, 0, 0,
                 "F" + repeat(kSong, 15)},
        FontCase{"FaceEndsAtAZeroByte", std::nullopt, std::string("Ab\0cd", 5), 0, 0, 0, 16, 0, 0, 0, "Ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawTextTest, PassesTheTextLengthInBytesAndTheColourAsGiven) {
  struct Case {
    std::string_view text;
    std::optional<Colour> colour;
    std::uintptr_t length;
    COLORREF passedColour;
  };
  const Case cases[] = {
      {"", 0x00FF00, 0, 0x00FF00},
      {kSimSun, std::nullopt, 4, 255},
      {std::string_view("A\0B", 3), 0, 1, 0},
      {"+", kTransparentColour, 1, 0xFF000000},
  };
  OwnDcWindow canvas(100, 100, 80, 60);
  for (const Case& c : cases) {
    std::vector<Call> calls;
    {
      PlatformSpy spy;
      recognition().drawText(canvas.handle(), 0, 0, c.text, c.colour);
      calls = PlatformSpy::calls();
    }
    ASSERT_EQ(calls.size(), 11u);
    EXPECT_EQ(calls[4].args.at(1), c.passedColour) << "text of " << c.text.size() << " bytes";
    EXPECT_EQ(calls[5].args.at(3), c.length) << "text of " << c.text.size() << " bytes";
  }
}

TEST_F(DrawTextTest, EmptyTextDrawsNothing) {
  OwnDcWindow canvas(100, 100, 80, 60);
  recognition().drawText(canvas.handle(), 10, 10, "", 0x000000, 40);
  EXPECT_EQ(canvas.pixels().find([](COLORREF c) { return c != RGB(255, 255, 255); }).count, 0);
}

TEST_F(DrawTextTest, WindowThatDoesNotExistDrawsNothingAndStillDeletesTheFont) {
  HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  std::vector<Call> calls;
  {
    PlatformSpy spy;
    recognition().drawText(gone, 0, 0, kSquare);
    calls = PlatformSpy::calls();
  }
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().name, "GetDC");
  EXPECT_EQ(calls.front().result, 0u);
  const std::uintptr_t font = calls[1].result;
  EXPECT_NE(std::find(calls.begin(), calls.end(), Call{"DeleteObject", {font}, TRUE}), calls.end())
      << ::testing::PrintToString(calls);
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const Call& c) { return c.name == "ReleaseDC"; }), 0);
}

// Wine on X drops its X connection, ending the process, on a TextOutA of some 22,000 glyphs
// on the screen; the text is drawn as far as reaches past any screen, on a character boundary.
TEST_F(DrawTextTest, MegabyteTextsOnTheScreenDrawTheirBeginningAndDoNotCrash) {
  const std::string texts[] = {
      std::string(1 << 20, 'W'),
      repeat(kSquare, 1 << 19),
      "W" + repeat(kSquare, 1 << 19),  // the cut falls inside a double-byte character
      std::string(1 << 20, '\xA1'),     // lead bytes that never meet a trail byte
  };
  for (const std::string& text : texts) {
    {
      PlatformSpy spy;
      recognition().drawText(nullptr, 0, 300, text, 0x000000, 20);
    }
    const std::string& drawn = PlatformSpy::lastText();
    EXPECT_GE(drawn.size(), 16383u);
    EXPECT_LE(drawn.size(), 16384u);
    EXPECT_EQ(text.compare(0, drawn.size(), drawn), 0) << "not the text's beginning";
  }
  EXPECT_EQ(PlatformSpy::lastText().size() % 2, 0u) << "a lead byte was separated from its trail byte";

  // On the screen Wine draws nothing of a text of more than about 2,000 glyphs; on a window
  // the beginning shows.
  OwnDcWindow canvas(100, 100, 200, 60);
  recognition().drawText(canvas.handle(), 0, 0, texts[1], 0x000000, 20);
  EXPECT_GT(canvas.pixels().find(RGB(0, 0, 0)).count, 100);
}

}  // namespace
}  // namespace tamblin
