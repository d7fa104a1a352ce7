#include "recognition/core/bitmap_image.hpp"

#include <gtest/gtest.h>

#include "tests/core/support/test_images.hpp"

namespace tamblin {
namespace {

using test::Picture;

std::uint32_t read32(const ByteArray& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// A picture whose every pixel has its own colour, so a pixel read from the wrong place shows.
Picture distinctPicture(std::int32_t width, std::int32_t height) {
  Picture picture(width, height);
  for (std::int32_t y = 1; y <= height; ++y) {
    for (std::int32_t x = 1; x <= width; ++x) picture.at(x, y) = makeColour(10 * x, 20 * y, 0x80 + x + y);
  }
  return picture;
}

TEST(BitmapImageBytes, FiveByTwoAtThreeBytesPerPixel) {
  Picture picture(5, 2, 0x00102030);
  picture.at(1, 1) = 0x000000FF;  // red, top-left
  picture.at(5, 2) = 0x00445566;
  const ByteArray image = test::imageOf(picture, 3, 0, 0xEE);
  ASSERT_EQ(image.size(), 90u);
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  EXPECT_EQ(read32(image, 2), 90u);
  EXPECT_EQ(read32(image, 6), 0u);
  EXPECT_EQ(read32(image, 10), 58u);
  EXPECT_EQ(read32(image, 14), 44u);
  EXPECT_EQ(read32(image, 18), 5u);
  EXPECT_EQ(read32(image, 22), 2u);
  EXPECT_EQ(image[26] | image[27] << 8, 1);
  EXPECT_EQ(image[28] | image[29] << 8, 24);
  EXPECT_EQ(read32(image, 30), 0u);
  EXPECT_EQ(read32(image, 34), 32u);
  EXPECT_EQ(read32(image, 54), 0u);
  // The top row is the second stored row: its first pixel at 74, blue first.
  EXPECT_EQ(image[74], 0);
  EXPECT_EQ(image[75], 0);
  EXPECT_EQ(image[76], 255);
  EXPECT_EQ(image[70], 0x44);  // blue of the bottom-right pixel, column 5 of the first stored row
  EXPECT_EQ(image[73], 0xEE);  // row padding
  EXPECT_EQ(image[89], 0xEE);

  EXPECT_EQ(getImageInfo(image), (ImageInfo{5, 2, 24, 90, 3}));
  EXPECT_EQ(getImagePixel(image, 1, 1), 0x000000FF);
  EXPECT_EQ(getImagePixel(image, 5, 2), 0x00445566);
  EXPECT_EQ(getImagePixel(image, 2, 1), 0x00102030);
}

TEST(BitmapImageBytes, TwoByTwoAtFourBytesPerPixel) {
  Picture picture = distinctPicture(2, 2);
  const ByteArray image = test::imageOf(picture, 4, 0xAB);
  ASSERT_EQ(image.size(), 74u);
  EXPECT_EQ(getImageInfo(image), (ImageInfo{2, 2, 32, 74, 4}));
  EXPECT_EQ(image[66], blueOf(picture.at(1, 1)));  // top-left: 58 + 8 x 1
  EXPECT_EQ(image[69], 0xAB);
  for (std::int32_t y = 1; y <= 2; ++y) {
    for (std::int32_t x = 1; x <= 2; ++x) EXPECT_EQ(getImagePixel(image, x, y), picture.at(x, y)) << x << ',' << y;
  }
}

// Every pixel of pictures of every small width, at both depths: the bit count in the header tells
// 24-bit images 1 to 3 pixels wide (and 4 to 7 wide, 1 row high) from 32-bit ones.
TEST(BitmapImageBytes, EveryPixelOfSmallImagesReadsBack) {
  for (std::int32_t bytesPerPixel : {3, 4}) {
    for (std::int32_t width = 1; width <= 9; ++width) {
      for (std::int32_t height = 1; height <= 3; ++height) {
        const Picture picture = distinctPicture(width, height);
        const ByteArray image = test::imageOf(picture, bytesPerPixel);
        SCOPED_TRACE(testing::Message() << width << 'x' << height << " at " << bytesPerPixel);
        const ImageInfo info = getImageInfo(image);
        EXPECT_EQ(info, (ImageInfo{width, height, 8 * bytesPerPixel, static_cast<std::int32_t>(image.size()),
                                   bytesPerPixel}));
        for (std::int32_t y = 1; y <= height; ++y) {
          for (std::int32_t x = 1; x <= width; ++x) ASSERT_EQ(getImagePixel(image, x, y), picture.at(x, y));
        }
      }
    }
  }
}

// Without a bit count the header cannot settle, the length decides, each reader by its own test.
TEST(BitmapImageBytes, LengthRuleWithoutDeclaredDepth) {
  struct Case {
    std::int32_t width, height, bytesPerPixel;
    std::int32_t infoBytes;  // getImageInfo: 4 from 4WH + 54 upwards
  };
  const Case cases[] = {
      {1, 1, 3, 4}, {2, 2, 3, 4}, {3, 2, 3, 4},  // rows as long as 4-byte rows
      {4, 1, 3, 4}, {7, 1, 3, 4},                // 4WH + 54 exactly: getImageInfo says 4
      {4, 2, 3, 3}, {8, 3, 3, 3}, {2, 2, 4, 4}, {5, 3, 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << 'x' << c.height << " at " << c.bytesPerPixel);
    ByteArray image = test::imageOf(distinctPicture(c.width, c.height), c.bytesPerPixel);
    test::setBitCount(image, 0);
    EXPECT_EQ(getImageInfo(image).bytesPerPixel, c.infoBytes);
    // A depth that does not fit the length is no declaration either.
    test::setBitCount(image, static_cast<std::uint16_t>(56 - 8 * c.bytesPerPixel));
    if (static_cast<std::int64_t>(image.size()) !=
        58 + rowStride(c.width, 7 - c.bytesPerPixel) * c.height) {
      EXPECT_EQ(getImageInfo(image).bytesPerPixel, c.infoBytes);
    }
  }
  // 4WH + 54 exactly: getImageInfo takes 4 bytes per pixel, getImagePixel 3 (only above it).
  ByteArray image = test::imageOf(distinctPicture(4, 1), 3);
  test::setBitCount(image, 0);
  ASSERT_EQ(image.size(), 4u * 4 + 54);
  EXPECT_EQ(getImageInfo(image).bytesPerPixel, 4);
  EXPECT_EQ(getImagePixel(image, 4, 1), distinctPicture(4, 1).at(4, 1));
}

TEST(BitmapImageBytes, NotAnImage) {
  ByteArray bare = test::imageOf(Picture(3, 3), 3);
  bare.resize(kPrefixSize);
  EXPECT_EQ(getImageInfo(bare), ImageInfo{});  // 58 bytes are no image even with W and H
  EXPECT_EQ(getImagePixel(bare, 1, 1), -1);  // and hold no pixel
  ByteArray shortArray(57, 0);
  EXPECT_EQ(getImageInfo(shortArray), ImageInfo{});
  EXPECT_EQ(getImagePixel(shortArray, 1, 1), -1);
  EXPECT_EQ(getImageInfo(ByteView{}), ImageInfo{});
  EXPECT_EQ(getImagePixel(ByteView{}, 1, 1), -1);

  for (auto [width, height] : {std::pair{0, 3}, std::pair{3, 0}}) {
    ByteArray image = test::imageOf(Picture(3, 3), 4);
    test::setWidthHeight(image, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height));
    EXPECT_EQ(getImageInfo(image), ImageInfo{});
    EXPECT_EQ(getImagePixel(image, 1, 1), -1);
  }
}

TEST(BitmapImageBytes, PointsOutsideThePicture) {
  const ByteArray image = test::imageOf(distinctPicture(4, 3), 3);
  for (auto [x, y] : {std::pair{0, 1}, {1, 0}, {5, 1}, {1, 4}, {-1, -1}, {INT32_MIN, 1}, {1, INT32_MAX}}) {
    EXPECT_EQ(getImagePixel(image, x, y), -1) << x << ',' << y;
  }
  EXPECT_EQ(getImagePixel(image, 1, 1), distinctPicture(4, 3).at(1, 1));
  EXPECT_EQ(getImagePixel(image, 4, 3), distinctPicture(4, 3).at(4, 3));
}

// Only the low 16 bits of width and height count: a top-down height reads as a huge one.
TEST(BitmapImageBytes, SixteenBitWidthAndHeight) {
  ByteArray image = test::imageOf(distinctPicture(3, 2), 4);
  image[20] = 1;  // width 0x10003
  EXPECT_EQ(getImageInfo(image).width, 3);
  EXPECT_EQ(getImagePixel(image, 3, 2), distinctPicture(3, 2).at(3, 2));
  image[22] = 0xFE, image[23] = 0xFF, image[24] = 0xFF, image[25] = 0xFF;  // height -2
  EXPECT_EQ(getImageInfo(image).height, 65534);
}

// A header may claim far more than the array holds: nothing is read past the end, the offsets
// stay exact in 64 bits, and the pixels that are there still read.
TEST(BitmapImageBytes, HeaderClaimsMoreThanTheArrayHolds) {
  const Picture picture = distinctPicture(4, 3);
  const ByteArray whole = test::imageOf(picture, 4);

  ByteArray truncated(whole.begin(), whole.end() - 1);  // the top row's last pixel loses its fourth byte
  EXPECT_EQ(getImagePixel(truncated, 4, 1), -1);
  EXPECT_EQ(getImagePixel(truncated, 3, 1), picture.at(3, 1));

  ByteArray huge(whole.begin(), whole.end());
  test::setWidthHeight(huge, 65535, 65535);
  EXPECT_EQ(getImageInfo(huge), (ImageInfo{65535, 65535, 24, static_cast<std::int32_t>(huge.size()), 3}));
  EXPECT_EQ(getImagePixel(huge, 65535, 65535), -1);
  EXPECT_EQ(getImagePixel(huge, 1, 1), -1);  // 196608 x 65534 bytes in
  // The bottom row of the claimed picture starts at byte 58, so its first pixels are there.
  EXPECT_EQ(getImagePixel(huge, 1, 65535), makeColour(whole[60], whole[59], whole[58]));
}

TEST(BitmapImageFigures, SearchGeometry) {
  ByteArray image = test::imageOf(distinctPicture(5, 3), 3);  // stride 16, one padding byte
  const std::optional<ImageFigures> figures = imageFigures(image);
  ASSERT_TRUE(figures);
  EXPECT_EQ(figures->stride, 16);
  EXPECT_EQ(figures->claimedBlockSize(), 48);
  EXPECT_EQ(figures->pixels.size(), 48u);

  EXPECT_EQ(figures->startOffset({0, 0}), 0);
  EXPECT_EQ(figures->startOffset({3, 0}), 0);
  EXPECT_EQ(figures->startOffset({1, 3}), 3);       // the pixel after the bottom-left one
  EXPECT_EQ(figures->startOffset({5, 3}), 15);      // last of a row: its padding
  EXPECT_EQ(figures->startOffset({1, 4}), 0);       // negative: from the start
  EXPECT_EQ(figures->startOffset({2, 1}), 32 + 6);  // top row

  EXPECT_EQ(figures->pointAt(0), (ImagePoint{1, 3}));
  EXPECT_EQ(figures->pointAt(14), (ImagePoint{5, 3}));
  EXPECT_EQ(figures->pointAt(16 + 4), (ImagePoint{2, 2}));
  EXPECT_TRUE(figures->inPicturePixel(14));
  EXPECT_FALSE(figures->inPicturePixel(15));  // padding
  EXPECT_FALSE(figures->inPicturePixel(48));  // past the header's rows
  EXPECT_FALSE(figures->inPicturePixel(-1));
  EXPECT_TRUE(figures->beginsPicturePixel(3));
  EXPECT_FALSE(figures->beginsPicturePixel(4));

  image.pop_back();
  image.pop_back();  // the top row's last pixel loses its red byte
  const std::optional<ImageFigures> cut = imageFigures(image);
  ASSERT_TRUE(cut);
  EXPECT_FALSE(cut->inPicturePixel(32 + 12));
  EXPECT_TRUE(cut->inPicturePixel(32 + 11));
  EXPECT_FALSE(imageFigures(ByteArray(58, 0)));
}

}  // namespace
}  // namespace tamblin
