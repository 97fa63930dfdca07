// Run: ctest --preset release -R Save
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/image/bitmap_image.hpp"
#include "support/le_bytes.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::ByteAt;
using test::Le16At;
using test::Le32At;

class SaveTest : public testing::Test {
 protected:
  std::string SaveBytes(BitmapImage& image) {
    const std::string path = dir_.File("out.bmp");
    EXPECT_TRUE(image.SaveToFile(path.c_str()));
    return test::ReadFileBytes(path);
  }
  test::TempDir dir_;
};

TEST_F(SaveTest, OnePixelAt24BitsIsA58ByteFile) {
  BitmapImage image;
  image.At(0, 0) = PixelBgra{10, 20, 30, 40};
  const std::string have = SaveBytes(image);
  // clang-format off
  const unsigned char want[58] = {
      'B', 'M', 58, 0, 0, 0,  0, 0,  0, 0,  54, 0, 0, 0,  // file header
      40, 0, 0, 0,  1, 0, 0, 0,  1, 0, 0, 0,  1, 0,  24, 0,  0, 0, 0, 0,  4, 0, 0, 0,
      0xC4, 0x0E, 0, 0,  0xC4, 0x0E, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  // 3780 = 0x0EC4
      10, 20, 30, 0};  // blue, green, red, one pad byte; alpha is not written
  // clang-format on
  EXPECT_EQ(have, std::string(reinterpret_cast<const char*>(want), sizeof want));
}

TEST_F(SaveTest, HeadersAtEveryDepth) {
  struct Case {
    std::int32_t depth, width, height;
    std::uint32_t bfOffBits, rowLength, compression;
  };
  const Case cases[] = {
      {1, 9, 2, 62, 4, 0},   {1, 33, 1, 62, 8, 0},  {1, 1, 3, 62, 4, 0},    {4, 9, 2, 118, 8, 0},
      {4, 1, 1, 118, 4, 0},  {4, 8, 2, 118, 4, 0},  {8, 9, 2, 1078, 12, 0}, {8, 4, 1, 1078, 4, 0},
      {16, 9, 2, 66, 20, 3}, {16, 3, 1, 66, 8, 3},  {16, 4, 1, 66, 8, 3},   {24, 9, 2, 54, 28, 0},
      {24, 4, 3, 54, 12, 0}, {24, 5, 1, 54, 16, 0}, {32, 9, 2, 54, 36, 0},  {32, 1, 1, 54, 4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits, " << c.width << " x " << c.height);
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(c.depth));
    ASSERT_TRUE(image.Resize(c.width, c.height));
    const std::string file = SaveBytes(image);
    const std::uint32_t sizeImage = c.rowLength * std::uint32_t(c.height);
    EXPECT_EQ(file.size(), c.bfOffBits + sizeImage);
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(Le16At(file, 0), 0x4D42u);
    EXPECT_EQ(Le32At(file, 2), c.bfOffBits + sizeImage) << "bfSize";
    EXPECT_EQ(Le32At(file, 6), 0u) << "bfReserved1 and 2";
    EXPECT_EQ(Le32At(file, 10), c.bfOffBits) << "bfOffBits";
    EXPECT_EQ(Le32At(file, 14), 40u) << "biSize";
    EXPECT_EQ(Le32At(file, 18), std::uint32_t(c.width)) << "biWidth";
    EXPECT_EQ(Le32At(file, 22), std::uint32_t(c.height)) << "biHeight";
    EXPECT_EQ(Le16At(file, 26), 1u) << "biPlanes";
    EXPECT_EQ(Le16At(file, 28), std::uint32_t(c.depth)) << "biBitCount";
    EXPECT_EQ(Le32At(file, 30), c.compression) << "biCompression";
    EXPECT_EQ(Le32At(file, 34), sizeImage) << "biSizeImage";
    EXPECT_EQ(Le32At(file, 46), 0u) << "biClrUsed";
    EXPECT_EQ(Le32At(file, 50), 0u) << "biClrImportant";
  }
}

TEST_F(SaveTest, OneBitNineByTwoMatchesTheKnownLayout) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(1));
  ASSERT_TRUE(image.Resize(9, 2));
  const std::string file = SaveBytes(image);
  EXPECT_EQ(Le32At(file, 2), 70u);
  EXPECT_EQ(Le32At(file, 10), 62u);
  EXPECT_EQ(Le32At(file, 34), 8u);
  // Palette black then white, alpha 0; every pixel white is index 1 in each of 9 bits.
  EXPECT_EQ(file.substr(54, 8), std::string("\0\0\0\0\xFF\xFF\xFF\0", 8));
  const std::string row("\xFF\x80\0\0", 4);
  EXPECT_EQ(file.substr(62), row + row);
}

TEST_F(SaveTest, PaletteBlockCarriesEveryEntryWithItsAlpha) {
  for (const std::int32_t depth : {1, 4, 8}) {
    SCOPED_TRACE(testing::Message() << depth << " bits");
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    const std::int32_t last = image.ColorCount() - 1;
    ASSERT_TRUE(image.SetPaletteEntry(0, PixelBgra{1, 2, 3, 4}));
    ASSERT_TRUE(image.SetPaletteEntry(last, PixelBgra{5, 6, 7, 8}));
    const std::string file = SaveBytes(image);
    for (std::int32_t i = 0; i <= last; ++i) {
      const std::size_t at = 54 + 4 * std::size_t(i);
      const PixelBgra want = image.PaletteEntry(i);
      EXPECT_EQ((PixelBgra{ByteAt(file, at), ByteAt(file, at + 1), ByteAt(file, at + 2),
                           ByteAt(file, at + 3)}),
                want)
          << "entry " << i;
    }
  }
}

TEST_F(SaveTest, SixteenBitsWritesTheFiveSixFiveMaskBlock) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(16));
  const std::string file = SaveBytes(image);
  EXPECT_EQ(file.substr(54, 12), std::string("\x00\xF8\0\0\xE0\x07\0\0\x1F\0\0\0", 12));
}

TEST_F(SaveTest, RowsGoBottomUpWithZeroPadBytes) {
  BitmapImage image;
  ASSERT_TRUE(image.Resize(2, 2));
  image.At(0, 0) = PixelBgra{1, 2, 3, 0};
  image.At(1, 0) = PixelBgra{4, 5, 6, 0};
  image.At(0, 1) = PixelBgra{7, 8, 9, 0};
  image.At(1, 1) = PixelBgra{10, 11, 12, 0};
  const std::string file = SaveBytes(image);
  EXPECT_EQ(file.substr(54), std::string("\x07\x08\x09\x0A\x0B\x0C\0\0"
                                         "\x01\x02\x03\x04\x05\x06\0\0",
                                         16));
}

TEST_F(SaveTest, AnUnsetResolutionIsWrittenAs3780AndStaysUnset) {
  struct Case {
    bool set;
    std::int32_t dpiX, dpiY;
    std::uint32_t wantX, wantY;
  };
  const Case cases[] = {
      {false, 0, 0, 3780, 3780},
      {true, 72, 0, 2834, 3780},  // only the zero field is replaced
      {true, -1, 300, std::uint32_t(-39), 11811},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpiX << " x " << c.dpiY << " dpi");
    BitmapImage image;
    if (c.set) image.SetResolutionDpi(c.dpiX, c.dpiY);
    const std::int32_t x = image.XPixelsPerMeter(), y = image.YPixelsPerMeter();
    const std::string file = SaveBytes(image);
    EXPECT_EQ(Le32At(file, 38), c.wantX);
    EXPECT_EQ(Le32At(file, 42), c.wantY);
    EXPECT_EQ(image.XPixelsPerMeter(), x);
    EXPECT_EQ(image.YPixelsPerMeter(), y);
  }
}

// Distinct pixels, each a colour the image's depth can carry exactly.
void PaintExact(BitmapImage& image) {
  for (std::int32_t c = 0; c < image.Width(); ++c) {
    for (std::int32_t r = 0; r < image.Height(); ++r) {
      const std::int32_t n = c * 7 + r * 3;
      PixelBgra p;
      if (image.HasPalette()) {
        p = image.PaletteEntry(n % image.ColorCount());
      } else {
        p = PixelBgra{static_cast<std::uint8_t>(n * 8), static_cast<std::uint8_t>(248 - n * 8),
                      static_cast<std::uint8_t>(n * 16), 0};
        if (image.BitDepth() == 32) p.alpha = static_cast<std::uint8_t>(n * 5 + 1);
      }
      image.At(c, r) = p;
    }
  }
}

TEST_F(SaveTest, EveryDepthReadsBackAsItWasWritten) {
  for (const std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(testing::Message() << depth << " bits");
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    ASSERT_TRUE(image.Resize(5, 3));
    image.SetResolutionDpi(300, 150);
    if (image.HasPalette()) {
      ASSERT_TRUE(image.SetPaletteEntry(1, PixelBgra{9, 99, 199, 42}));
    }
    PaintExact(image);
    const std::string path = dir_.File("round.bmp");
    ASSERT_TRUE(image.SaveToFile(path.c_str()));

    BitmapImage back;
    ASSERT_TRUE(back.LoadFromFile(path.c_str()));
    EXPECT_EQ(back.BitDepth(), depth);
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(back.XPixelsPerMeter(), image.XPixelsPerMeter());
    EXPECT_EQ(back.YPixelsPerMeter(), image.YPixelsPerMeter());
    for (std::int32_t i = 0; i < 256; ++i) {
      EXPECT_EQ(back.PaletteEntry(i), image.PaletteEntry(i)) << "entry " << i;
    }
    for (std::int32_t c = 0; c < 5; ++c) {
      for (std::int32_t r = 0; r < 3; ++r) {
        EXPECT_EQ(back.PixelValue(c, r), image.PixelValue(c, r))
            << "pixel (" << c << ", " << r << ")";
      }
    }
  }
}

TEST_F(SaveTest, AlphaSurvives32BitsAndIsDroppedAt24) {
  for (const std::int32_t depth : {24, 32}) {
    SCOPED_TRACE(testing::Message() << depth << " bits");
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    ASSERT_TRUE(image.Resize(2, 1));
    image.At(0, 0) = PixelBgra{1, 2, 3, 255};
    image.At(1, 0) = PixelBgra{4, 5, 6, 17};
    const std::string path = dir_.File("alpha.bmp");
    ASSERT_TRUE(image.SaveToFile(path.c_str()));
    BitmapImage back;
    ASSERT_TRUE(back.LoadFromFile(path.c_str()));
    EXPECT_EQ(back.PixelValue(0, 0), (PixelBgra{1, 2, 3, std::uint8_t(depth == 32 ? 255 : 0)}));
    EXPECT_EQ(back.PixelValue(1, 0), (PixelBgra{4, 5, 6, std::uint8_t(depth == 32 ? 17 : 0)}));
  }
}

TEST_F(SaveTest, APathThatCannotBeOpenedWritesNothing) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  ASSERT_TRUE(image.Resize(2, 2));
  image.At(1, 1) = PixelBgra{1, 2, 3, 4};
  const std::string path = dir_.File("missing/out.bmp");
  EXPECT_FALSE(image.SaveToFile(path.c_str()));
  EXPECT_FALSE(image.SaveToFile(nullptr));
  EXPECT_FALSE(test::FileExists(path));
  EXPECT_EQ(image.BitDepth(), 8);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.PixelValue(1, 1), (PixelBgra{1, 2, 3, 4}));
}

TEST_F(SaveTest, AFailingWriteOrCloseAnswersFalse) {
  if (!test::FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  // Small files fail only when the stream is flushed at close; large ones inside the rows.
  const std::int32_t sizes[][3] = {{24, 1, 1}, {8, 3, 2}, {16, 5, 5}, {32, 2000, 100}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s[0] << " bits, " << s[1] << " x " << s[2]);
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(s[0]));
    ASSERT_TRUE(image.Resize(s[1], s[2]));
    EXPECT_FALSE(image.SaveToFile("/dev/full"));
  }
}

}  // namespace
}  // namespace korvel
