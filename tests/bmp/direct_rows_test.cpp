// Run: ctest --preset release -R 'DirectRows|RowLength'
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "korvel/bmp/headers.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

using Bytes = std::vector<std::uint8_t>;

BitmapImage ImageOf(std::int32_t width, std::int32_t height) {
  BitmapImage image;
  EXPECT_TRUE(image.Resize(width, height));
  for (std::int32_t c = 0; c < width; ++c) {
    for (std::int32_t r = 0; r < height; ++r) {
      image.At(c, r) = PixelBgra{static_cast<std::uint8_t>(10 * c + r), 100, 200,
                                 static_cast<std::uint8_t>(50 + c)};
    }
  }
  return image;
}

TEST(DirectRows, DecodersWriteOnlyTheirRow) {
  BitmapImage image = ImageOf(2, 3);
  const Bytes row32 = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(image.DecodeRow32(row32.data(), 8, 1));
  EXPECT_EQ(image.PixelValue(0, 1), (PixelBgra{1, 2, 3, 4}));
  EXPECT_EQ(image.PixelValue(1, 1), (PixelBgra{5, 6, 7, 8}));

  // 24 bits: alpha keeps what the pixel held; bytes past 3 x width are pad.
  const Bytes row24 = {11, 12, 13, 14, 15, 16, 99, 99};
  ASSERT_TRUE(image.DecodeRow24(row24.data(), 8, 2));
  EXPECT_EQ(image.PixelValue(0, 2), (PixelBgra{11, 12, 13, 50}));
  EXPECT_EQ(image.PixelValue(1, 2), (PixelBgra{14, 15, 16, 51}));

  EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{0, 100, 200, 50}));
  EXPECT_EQ(image.PixelValue(1, 0), (PixelBgra{10, 100, 200, 51}));
}

TEST(DirectRows, EncodersFillOnlyThePixelBytes) {
  const BitmapImage image = ImageOf(2, 3);
  Bytes row32(10, 0xEE);
  ASSERT_TRUE(image.EncodeRow32(row32.data(), 10, 2));
  EXPECT_EQ(row32, (Bytes{2, 100, 200, 50, 12, 100, 200, 51, 0xEE, 0xEE}));

  Bytes row24(8, 0xEE);
  ASSERT_TRUE(image.EncodeRow24(row24.data(), 8, 0));
  EXPECT_EQ(row24, (Bytes{0, 100, 200, 10, 100, 200, 0xEE, 0xEE}));
}

TEST(DirectRows, ABufferTooShortForTheWidthChangesNothing) {
  struct Case {
    const char* name;
    std::int64_t rowLength;
    bool want;
  };
  // Width 3: 24 bits need 9 bytes, 32 bits need 12.
  const Case cases24[] = {{"empty", 0, false}, {"one short", 8, false}, {"exact", 9, true}};
  const Case cases32[] = {{"negative", -4, false}, {"one short", 11, false}, {"exact", 12, true}};
  const Bytes source(12, 7);
  for (const Case& c : cases24) {
    SCOPED_TRACE(testing::Message() << "24 bits, " << c.name);
    BitmapImage image = ImageOf(3, 1);
    EXPECT_EQ(image.DecodeRow24(source.data(), c.rowLength, 0), c.want);
    EXPECT_EQ(image.PixelValue(2, 0).blue, c.want ? 7 : 20);
    Bytes out(12, 0xEE);
    EXPECT_EQ(image.EncodeRow24(out.data(), c.rowLength, 0), c.want);
    EXPECT_EQ(out != Bytes(12, 0xEE), c.want) << "whether the buffer was written";
  }
  for (const Case& c : cases32) {
    SCOPED_TRACE(testing::Message() << "32 bits, " << c.name);
    BitmapImage image = ImageOf(3, 1);
    EXPECT_EQ(image.DecodeRow32(source.data(), c.rowLength, 0), c.want);
    EXPECT_EQ(image.PixelValue(2, 0).blue, c.want ? 7 : 20);
    Bytes out(12, 0xEE);
    EXPECT_EQ(image.EncodeRow32(out.data(), c.rowLength, 0), c.want);
    EXPECT_EQ(out != Bytes(12, 0xEE), c.want) << "whether the buffer was written";
  }
}

TEST(RowLength, BitsRoundedUpToWholeFourByteWords) {
  struct Case {
    std::int32_t bitDepth, width;
    std::int64_t want;
  };
  const Case cases[] = {
      {1, 1, 4},
      {1, 32, 4},
      {1, 33, 8},
      {4, 9, 8},
      {8, 5, 8},
      {16, 3, 8},
      {24, 1, 4},
      {24, 5, 16},
      {32, 3, 12},
      // Widths whose bit count overflows 32 bits.
      {32, 1 << 27, std::int64_t{1} << 29},
      {32, 0x7FFFFFFF, std::int64_t{0x7FFFFFFF} * 4},
      {24, 0x7FFFFFFF, 6442450944},  // 3 x (2^31 - 1) = 6442450941, rounded up
      {1, 0x7FFFFFFF, 268435456},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowLength(c.bitDepth, c.width), c.want)
        << "RowLength(" << c.bitDepth << ", " << c.width << ")";
  }
}

}  // namespace
}  // namespace korvel
