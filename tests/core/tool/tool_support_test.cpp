#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "recognition/core/bitmap_image.hpp"
#include "tests/core/support/test_images.hpp"
#include "tools/bmp_file.hpp"
#include "tools/cli.hpp"

namespace tamblin {
namespace {

using tool::FileKind;
using tool::toSystemLayout;

void put16(ByteArray& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(ByteArray& bytes, std::size_t at, std::uint32_t value) {
  put16(bytes, at, value);
  put16(bytes, at + 2, value >> 16);
}

Colour sampleColour(std::int32_t x, std::int32_t y) { return makeColour(30 * x, 40 * y, 0x55); }

// A BMP file as other programs write it: 14-byte file header, info header of infoSize bytes,
// gap bytes (a colour table, say), then the rows, bottom-up unless the height is negative.
struct StandardBmp {
  std::int32_t width = 3;
  std::int32_t height = 2;  // negative: top-down
  std::uint16_t bitCount = 24;
  std::uint32_t infoSize = 40;
  std::uint32_t compression = 0;
  std::uint32_t gap = 0;
  std::uint8_t padding = 0xCC;
  std::uint8_t fourth = 0xFF;

  ByteArray bytes() const {
    const std::int32_t rows = height < 0 ? -height : height;
    const std::int64_t stride = rowStride(width, bitCount / 8);
    const std::uint32_t offset = 14 + infoSize + gap;
    ByteArray file(offset + static_cast<std::size_t>(stride * rows), padding);
    std::fill(file.begin(), file.begin() + offset, std::uint8_t{0});
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, offset);
    put32(file, 14, infoSize);
    put32(file, 18, static_cast<std::uint32_t>(width));
    put32(file, 22, static_cast<std::uint32_t>(height));
    put16(file, 26, 1);
    put16(file, 28, bitCount);
    put32(file, 30, compression);
    if (compression == 3 && offset >= 66) {
      put32(file, 54, 0x00FF0000);
      put32(file, 58, 0x0000FF00);
      put32(file, 62, 0x000000FF);
    }
    // Other depths keep their filler bytes: they are refused before any pixel is read.
    for (std::int32_t y = 1; y <= rows && bitCount >= 24; ++y) {
      const std::int64_t fileRow = height < 0 ? y - 1 : rows - y;
      for (std::int32_t x = 1; x <= width; ++x) {
        const auto at = static_cast<std::size_t>(offset + fileRow * stride + (x - 1) * (bitCount / 8));
        const Colour colour = sampleColour(x, y);
        file[at] = static_cast<std::uint8_t>(blueOf(colour));
        file[at + 1] = static_cast<std::uint8_t>(greenOf(colour));
        file[at + 2] = static_cast<std::uint8_t>(redOf(colour));
        if (bitCount == 32) file[at + 3] = fourth;
      }
    }
    return file;
  }
};

void expectSamplePicture(const ByteArray& image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel) {
  const ImageInfo info = getImageInfo(image);
  ASSERT_EQ(info, (ImageInfo{width, height, 8 * bytesPerPixel, static_cast<std::int32_t>(image.size()), bytesPerPixel}));
  EXPECT_EQ(image.size(), 58 + static_cast<std::size_t>(rowStride(width, bytesPerPixel) * height));
  EXPECT_EQ(image[10], 58);
  EXPECT_EQ(image[14], 44);
  for (std::int32_t y = 1; y <= height; ++y) {
    for (std::int32_t x = 1; x <= width; ++x) ASSERT_EQ(getImagePixel(image, x, y), sampleColour(x, y)) << x << ',' << y;
  }
}

TEST(BmpFile, StandardFilesAreConverted) {
  struct Case {
    const char* what;
    StandardBmp bmp;
  };
  const Case cases[] = {
      {"24-bit bottom-up", {}},
      {"24-bit top-down", {.height = -2}},
      {"24-bit 2 wide", {.width = 2, .height = 3}},
      {"24-bit with a colour table", {.width = 5, .height = 4, .gap = 1024}},
      {"32-bit", {.width = 4, .height = 3, .bitCount = 32}},
      {"32-bit top-down", {.width = 4, .height = -3, .bitCount = 32}},
      {"32-bit v5 header with bit fields", {.width = 2, .height = 2, .bitCount = 32, .infoSize = 124, .compression = 3}},
      {"32-bit bit fields after a 40-byte header", {.width = 2, .height = 2, .bitCount = 32, .compression = 3, .gap = 12}},
      {"24-bit v4 header", {.width = 7, .height = 1, .infoSize = 108}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const tool::LoadedFile loaded = toSystemLayout(c.bmp.bytes());
    ASSERT_EQ(loaded.kind, FileKind::Converted) << loaded.error;
    const std::int32_t height = c.bmp.height < 0 ? -c.bmp.height : c.bmp.height;
    expectSamplePicture(loaded.bytes, c.bmp.width, height, c.bmp.bitCount / 8);
  }
}

TEST(BmpFile, ConvertedRowPaddingIsZero) {
  const tool::LoadedFile loaded = toSystemLayout(StandardBmp{.width = 5, .height = 2}.bytes());
  ASSERT_EQ(loaded.kind, FileKind::Converted);
  EXPECT_EQ(loaded.bytes[58 + 15], 0);
  EXPECT_EQ(loaded.bytes[58 + 31], 0);
}

TEST(BmpFile, OtherFilesPassUnchanged) {
  const ByteArray system = test::imageOf(test::Picture(3, 3, 0x123456), 3);
  const ByteArray notBmp{'h', 'e', 'l', 'l', 'o'};
  ByteArray shortBm{'B', 'M', 1, 2, 3};
  ByteArray oddInfoSize = StandardBmp{}.bytes();
  put32(oddInfoSize, 14, 41);
  for (const auto& [bytes, kind] : {std::pair{system, FileKind::SystemLayout}, {notBmp, FileKind::OtherBytes},
                                    {shortBm, FileKind::OtherBytes}, {oddInfoSize, FileKind::OtherBytes},
                                    {ByteArray{}, FileKind::OtherBytes}}) {
    const tool::LoadedFile loaded = toSystemLayout(bytes);
    EXPECT_EQ(loaded.kind, kind);
    EXPECT_EQ(loaded.bytes, bytes);
  }
}

TEST(BmpFile, UnsupportedOrHostileFilesAreRefused) {
  struct Case {
    const char* what;
    ByteArray bytes;
  };
  StandardBmp base;
  ByteArray truncated = base.bytes();
  truncated.pop_back();
  ByteArray offsetInHeader = base.bytes();
  put32(offsetInHeader, 10, 20);
  ByteArray hugeOffset = base.bytes();
  put32(hugeOffset, 10, 0xFFFFFFF0u);
  ByteArray oddMasks = StandardBmp{.bitCount = 32, .infoSize = 124, .compression = 3}.bytes();
  put32(oddMasks, 54, 0x000000FF);
  ByteArray minHeight = base.bytes();
  put32(minHeight, 22, 0x80000000u);
  ByteArray hugeClaim = base.bytes();
  put32(hugeClaim, 18, 65535);
  put32(hugeClaim, 22, 65535);
  ByteArray os2(30, 0);
  os2[0] = 'B', os2[1] = 'M', os2[14] = 12;
  ByteArray cutHeader = base.bytes();
  cutHeader.resize(40);
  const Case cases[] = {
      {"8 bits", StandardBmp{.bitCount = 8}.bytes()},
      {"16 bits", StandardBmp{.bitCount = 16}.bytes()},
      {"RLE", StandardBmp{.compression = 1}.bytes()},
      {"bit fields at 24 bits", StandardBmp{.compression = 3, .gap = 12}.bytes()},
      {"other colour masks", oddMasks},
      {"width 0", StandardBmp{.width = 0}.bytes()},
      {"width 65536", StandardBmp{.width = 65536, .height = 1}.bytes()},
      {"height 0", StandardBmp{.height = 0}.bytes()},
      {"height INT32_MIN", minHeight},
      {"65535 x 65535 claimed", hugeClaim},
      {"pixel data cut short", truncated},
      {"pixel offset inside the header", offsetInHeader},
      {"pixel offset past the end", hugeOffset},
      {"OS/2 header", os2},
      {"header cut short", cutHeader},
  };
  for (const Case& c : cases) {
    const tool::LoadedFile loaded = toSystemLayout(c.bytes);
    EXPECT_EQ(loaded.kind, FileKind::Unsupported) << c.what;
    EXPECT_FALSE(loaded.error.empty()) << c.what;
    EXPECT_EQ(loaded.error.find('\n'), std::string::npos) << c.what;
  }
}

TEST(Cli, Numbers) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case good[] = {
      {"0", 0}, {"17", 17}, {"-1", -1}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
      {"0x10", 16}, {"0XfF", 255}, {"0xFF000000", static_cast<std::int32_t>(0xFF000000u)},
      {"0xFFFFFFFF", -1}, {"-0x10", -16}, {"-0x80000000", INT32_MIN}, {"007", 7},
  };
  for (const Case& c : good) EXPECT_EQ(cli::parseNumber(c.text, "N"), c.value) << c.text;
  for (const char* bad : {"", "-", "0x", "-0x", "12a", "1.5", "+1", " 1", "1 ", "0x1G", "2147483648", "-2147483649",
                          "0x100000000", "-0x80000001", "99999999999999999999999"}) {
    EXPECT_THROW(cli::parseNumber(bad, "N"), cli::UsageError) << '"' << bad << '"';
  }
  EXPECT_EQ(cli::parsePoint("3,4", "P"), (ImagePoint{3, 4}));
  EXPECT_EQ(cli::parsePoint("-1,0x10", "P"), (ImagePoint{-1, 16}));
  for (const char* bad : {"3", "3,", ",4", "3;4", "3,4,5"}) EXPECT_THROW(cli::parsePoint(bad, "P"), cli::UsageError) << bad;
  try {
    cli::parseNumber("12x", "--tolerance");
    FAIL();
  } catch (const cli::UsageError& error) {
    EXPECT_NE(std::string(error.what()).find("--tolerance"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("12x"), std::string::npos);
  }
}

TEST(Cli, Arguments) {
  std::array<std::string, 9> texts{"big.bmp", "--tolerance", "5", "-1", "--all", "--start=3,4", "--", "--raw", "x"};
  std::array<char*, 9> args{};
  for (std::size_t i = 0; i < texts.size(); ++i) args[i] = texts[i].data();
  const cli::Arguments arguments(args, {"--tolerance", "--start"}, {"--all", "--raw"});
  EXPECT_EQ(arguments.positional(), (std::vector<std::string_view>{"big.bmp", "-1", "--raw", "x"}));
  EXPECT_EQ(arguments.number("--tolerance", 0), 5);
  EXPECT_EQ(arguments.point("--start", {}), (ImagePoint{3, 4}));
  EXPECT_TRUE(arguments.flag("--all"));
  EXPECT_FALSE(arguments.flag("--raw"));  // after "--" it is a file name
  EXPECT_EQ(arguments.number("--other", 9), 9);
  EXPECT_NO_THROW(arguments.expectPositional(4, 4, "x"));
  EXPECT_THROW(arguments.expectPositional(1, 3, "x"), cli::UsageError);

  for (std::vector<std::string> bad : {std::vector<std::string>{"--tolerance"}, {"--bogus"}, {"--all=1"}, {"-x", "--nope=3"}}) {
    std::vector<char*> pointers;
    for (std::string& text : bad) pointers.push_back(text.data());
    EXPECT_THROW(cli::Arguments(pointers, {"--tolerance"}, {"--all"}), cli::UsageError) << bad[0];
  }
}

}  // namespace
}  // namespace tamblin
