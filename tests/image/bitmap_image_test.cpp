// Run: ctest --preset release -R BitmapImage
#include "korvel/image/bitmap_image.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace korvel {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Every pixel gets a distinct colour and alpha, so that a misplaced or dropped pixel shows.
void Paint(BitmapImage& image) {
  for (std::int32_t c = 0; c < image.Width(); ++c) {
    for (std::int32_t r = 0; r < image.Height(); ++r) {
      image.At(c, r) =
          PixelBgra{static_cast<std::uint8_t>(10 * c + r), static_cast<std::uint8_t>(100 + r),
                    static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(200 + c + r)};
    }
  }
}

std::vector<PixelBgra> Pixels(const BitmapImage& image) {
  std::vector<PixelBgra> out;
  for (std::int32_t r = 0; r < image.Height(); ++r) {
    for (std::int32_t c = 0; c < image.Width(); ++c) out.push_back(image.PixelValue(c, r));
  }
  return out;
}

TEST(BitmapImage, NewImageIsOnePixelAt24Bits) {
  BitmapImage image;
  EXPECT_EQ(image.Width(), 1);
  EXPECT_EQ(image.Height(), 1);
  EXPECT_EQ(image.BitDepth(), 24);
  EXPECT_EQ(image.ColorCount(), 16777216);
  EXPECT_EQ(image.PaletteEntry(0), kWhite);
  EXPECT_FALSE(image.HasPalette());
  EXPECT_EQ(image.XPixelsPerMeter(), 0);
  EXPECT_EQ(image.YPixelsPerMeter(), 0);
}

TEST(BitmapImage, AtClampsEveryCoordinateToTheNearestEdge) {
  BitmapImage image;
  ASSERT_TRUE(image.Resize(10, 20));
  Paint(image);
  struct Case {
    std::int32_t column, row, wantColumn, wantRow;
  };
  const Case cases[] = {
      {-1, -1, 0, 0},
      {10, 20, 9, 19},
      {-5, 1000, 0, 19},
      {3, 4, 3, 4},
      {kInt32Min, kInt32Max, 0, 19},
      {kInt32Max, kInt32Min, 9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "At(" << c.column << ", " << c.row << ")");
    EXPECT_EQ(&image.At(c.column, c.row), &image.At(c.wantColumn, c.wantRow));
    EXPECT_EQ(image.PixelValue(c.column, c.row), image.PixelValue(c.wantColumn, c.wantRow));
  }
}

TEST(BitmapImage, WritingThroughAtChangesOnlyThatPixel) {
  BitmapImage image;
  ASSERT_TRUE(image.Resize(3, 2));
  image.At(2, 0) = PixelBgra{1, 2, 3, 4};
  for (std::int32_t c = 0; c < 3; ++c) {
    for (std::int32_t r = 0; r < 2; ++r) {
      const PixelBgra want = c == 2 && r == 0 ? PixelBgra{1, 2, 3, 4} : kWhite;
      EXPECT_EQ(image.PixelValue(c, r), want) << "pixel (" << c << ", " << r << ")";
    }
  }
}

TEST(BitmapImage, StorePixelWritesInsideAndRefusesOutside) {
  BitmapImage image;
  ASSERT_TRUE(image.Resize(4, 3));
  const PixelBgra colour{9, 8, 7, 6};
  EXPECT_TRUE(image.StorePixel(3, 2, colour));
  EXPECT_EQ(image.PixelValue(3, 2), colour);

  const std::vector<PixelBgra> before = Pixels(image);
  const std::int32_t outside[][2] = {
      {-1, 0}, {0, -1}, {4, 0}, {0, 3}, {4, 3}, {kInt32Min, kInt32Min}, {kInt32Max, 0}};
  for (const auto& at : outside) {
    EXPECT_FALSE(image.StorePixel(at[0], at[1], PixelBgra{1, 1, 1, 1}))
        << "StorePixel(" << at[0] << ", " << at[1] << ")";
  }
  EXPECT_EQ(Pixels(image), before);
}

TEST(BitmapImage, ResizeRefusesSizesBelowOneAndOverThePixelLimit) {
  BitmapImage image;
  ASSERT_TRUE(image.Resize(3, 2));
  Paint(image);
  const std::vector<PixelBgra> before = Pixels(image);
  const std::int32_t refused[][2] = {{0, 5},
                                     {5, 0},
                                     {-1, 1},
                                     {1, kInt32Min},
                                     {16385, 16384},
                                     {kInt32Max, kInt32Max},
                                     {1, static_cast<std::int32_t>(kMaxPixels + 1)}};
  for (const auto& size : refused) {
    EXPECT_FALSE(image.Resize(size[0], size[1])) << "Resize(" << size[0] << ", " << size[1] << ")";
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
  }
  EXPECT_EQ(Pixels(image), before);
}

TEST(BitmapImage, ResizeToTheSameSizeStillWhitensEveryPixel) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(4));
  ASSERT_TRUE(image.SetPaletteEntry(3, PixelBgra{1, 2, 3, 4}));
  image.SetResolutionDpi(10, 20);
  ASSERT_TRUE(image.Resize(3, 2));
  Paint(image);

  ASSERT_TRUE(image.Resize(3, 2));
  for (const PixelBgra& p : Pixels(image)) EXPECT_EQ(p, kWhite);
  // Size only: depth, palette and resolution stay.
  EXPECT_EQ(image.BitDepth(), 4);
  EXPECT_EQ(image.PaletteEntry(3), (PixelBgra{1, 2, 3, 4}));
  EXPECT_EQ(image.XPixelsPerMeter(), 393);
  EXPECT_EQ(image.YPixelsPerMeter(), 787);
}

TEST(BitmapImage, ColorCountByDepth) {
  const std::int32_t cases[][2] = {{1, 2},      {4, 16},        {8, 256},
                                   {16, 65536}, {24, 16777216}, {32, 16777216}};
  BitmapImage image;
  for (const auto& c : cases) {
    ASSERT_TRUE(image.ChangeBitDepth(c[0]));
    EXPECT_EQ(image.ColorCount(), c[1]) << "at " << c[0] << " bits";
  }
}

TEST(BitmapImage, ChangeBitDepthRefusesUnsupportedDepths) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  ASSERT_TRUE(image.SetPaletteEntry(5, PixelBgra{1, 2, 3, 4}));
  for (const std::int32_t depth : {0, 2, 3, 15, 23, 31, 64, -8, kInt32Max}) {
    EXPECT_FALSE(image.ChangeBitDepth(depth)) << "ChangeBitDepth(" << depth << ")";
  }
  EXPECT_EQ(image.BitDepth(), 8);
  EXPECT_EQ(image.PaletteEntry(5), (PixelBgra{1, 2, 3, 4}));
}

TEST(BitmapImage, ChangeBitDepthToTheSameDepthRestoresTheStandardPalette) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  ASSERT_TRUE(image.SetPaletteEntry(0, PixelBgra{1, 2, 3, 4}));
  ASSERT_TRUE(image.SetPaletteEntry(255, PixelBgra{5, 6, 7, 8}));
  ASSERT_TRUE(image.ChangeBitDepth(8));
  EXPECT_EQ(image.PaletteEntry(0), (PixelBgra{0, 0, 0, 0}));
  EXPECT_EQ(image.PaletteEntry(255), (PixelBgra{255, 255, 255, 0}));
}

TEST(BitmapImage, ChangeBitDepthKeepsPixelsSizeAndResolution) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(4));
  ASSERT_TRUE(image.Resize(3, 2));
  Paint(image);
  image.SetResolutionDpi(300, 150);
  const std::vector<PixelBgra> before = Pixels(image);

  ASSERT_TRUE(image.ChangeBitDepth(24));
  EXPECT_FALSE(image.HasPalette());
  EXPECT_EQ(image.PaletteEntry(0), kWhite);
  EXPECT_EQ(Pixels(image), before);
  EXPECT_EQ(image.Width(), 3);
  EXPECT_EQ(image.Height(), 2);
  EXPECT_EQ(image.XPixelsPerMeter(), 11811);
  EXPECT_EQ(image.YPixelsPerMeter(), 5905);

  ASSERT_TRUE(image.ChangeBitDepth(1));
  EXPECT_TRUE(image.HasPalette());
  EXPECT_EQ(Pixels(image), before);
}

TEST(BitmapImage, PaletteAccessOutsideThePaletteReadsWhiteAndWritesNothing) {
  struct Case {
    std::int32_t depth, index;
  };
  const Case cases[] = {
      {8, 256}, {8, -1}, {8, kInt32Min}, {8, kInt32Max}, {4, 16},  {1, 2},
      {1, -1},  {24, 0}, {16, 0},        {32, 0},        {24, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.depth << " bits, index " << c.index);
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(c.depth));
    std::vector<PixelBgra> before;
    for (std::int32_t i = 0; i < 256; ++i) before.push_back(image.PaletteEntry(i));

    EXPECT_EQ(image.PaletteEntry(c.index), kWhite);
    EXPECT_FALSE(image.SetPaletteEntry(c.index, PixelBgra{1, 2, 3, 4}));
    for (std::int32_t i = 0; i < 256; ++i) EXPECT_EQ(image.PaletteEntry(i), before[std::size_t(i)]);
  }
}

TEST(BitmapImage, SetPaletteEntryStoresAllFourFields) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  EXPECT_TRUE(image.SetPaletteEntry(255, PixelBgra{1, 2, 3, 4}));
  EXPECT_EQ(image.PaletteEntry(255), (PixelBgra{1, 2, 3, 4}));
  EXPECT_EQ(image.PaletteEntry(254), (PixelBgra{255, 255, 0, 0}));
}

TEST(BitmapImage, FillStandardPaletteOnlyAtIndexedDepths) {
  for (const std::int32_t depth : {16, 24, 32}) {
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    EXPECT_FALSE(image.FillStandardPalette()) << depth << " bits";
  }
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(1));
  ASSERT_TRUE(image.SetPaletteEntry(0, PixelBgra{7, 7, 7, 7}));
  EXPECT_TRUE(image.FillStandardPalette());
  EXPECT_EQ(image.PaletteEntry(0), (PixelBgra{0, 0, 0, 0}));
}

TEST(IntegerPower, RepeatedMultiplicationWrappingModulo2To32) {
  struct Case {
    std::int32_t base, exponent, want;
  };
  const Case cases[] = {
      {2, 0, 1},
      {2, -3, 1},
      {0, 0, 1},
      {5, kInt32Min, 1},
      {3, 4, 81},
      {2, 24, 16777216},
      {-2, 3, -8},
      {2, 31, kInt32Min},
      {2, 32, 0},
      {2, 1000, 0},
      {3, 21, static_cast<std::int32_t>(0x6F7C52B3u)},  // 3^21 = 10460353203, mod 2^32
      {-1, kInt32Max, -1},
      {1, kInt32Max, 1},
      {kInt32Max, 2, 1},  // (2^31 - 1)^2 = 2^62 - 2^32 + 1
      {kInt32Min, 1, kInt32Min},
      {kInt32Min, 2, 0},
      {7, 0x40000000, 1},  // 7 has order dividing 2^30 modulo 2^32
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IntegerPower(c.base, c.exponent), c.want)
        << "IntegerPower(" << c.base << ", " << c.exponent << ")";
  }
}

TEST(BitmapImageCopy, IndexedCopyKeepsAChangedPaletteWithAlpha) {
  BitmapImage source;
  ASSERT_TRUE(source.ChangeBitDepth(4));
  for (std::int32_t i = 0; i < 16; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(source.SetPaletteEntry(
        i, PixelBgra{v, static_cast<std::uint8_t>(v + 1), static_cast<std::uint8_t>(v + 2),
                     static_cast<std::uint8_t>(v + 100)}));
  }
  ASSERT_TRUE(source.Resize(3, 2));
  Paint(source);

  const BitmapImage copy(source);
  EXPECT_EQ(copy.BitDepth(), 4);
  for (std::int32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(copy.PaletteEntry(i), source.PaletteEntry(i)) << "entry " << i;
  }
  EXPECT_EQ(Pixels(copy), Pixels(source));
}

TEST(BitmapImageCopy, DirectCopyKeepsEveryPixelWithAlpha) {
  BitmapImage source;
  ASSERT_TRUE(source.ChangeBitDepth(32));
  ASSERT_TRUE(source.Resize(4, 5));
  Paint(source);
  const BitmapImage copy(source);
  EXPECT_EQ(copy.BitDepth(), 32);
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(copy.Height(), 5);
  EXPECT_FALSE(copy.HasPalette());
  EXPECT_EQ(Pixels(copy), Pixels(source));
}

TEST(BitmapImageCopy, ResolutionPassesThroughWholeDotsPerInch) {
  struct Case {
    std::int32_t horizontalDpi, verticalDpi;  // 0: leave unset
    std::int32_t wantSourceX, wantSourceY, wantCopyX, wantCopyY;
  };
  const Case cases[] = {
      {0, 0, 3780, 3780, 3779, 3779},       // unset: the read stores 3780 into the source
      {72, 300, 2834, 11811, 2795, 11771},  // 2834 reads as 71, 11811 as 299
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "source at " << c.horizontalDpi << " x " << c.verticalDpi << " dpi");
    BitmapImage source;
    if (c.horizontalDpi != 0) source.SetResolutionDpi(c.horizontalDpi, c.verticalDpi);
    const BitmapImage copy(source);
    EXPECT_EQ(source.XPixelsPerMeter(), c.wantSourceX);
    EXPECT_EQ(source.YPixelsPerMeter(), c.wantSourceY);
    EXPECT_EQ(copy.XPixelsPerMeter(), c.wantCopyX);
    EXPECT_EQ(copy.YPixelsPerMeter(), c.wantCopyY);
  }
}

TEST(BitmapImageCopy, CopiesShareNoStorage) {
  BitmapImage source;
  ASSERT_TRUE(source.ChangeBitDepth(8));
  ASSERT_TRUE(source.Resize(2, 2));
  BitmapImage copy(source);
  copy.At(0, 0) = PixelBgra{1, 2, 3, 4};
  ASSERT_TRUE(copy.SetPaletteEntry(0, PixelBgra{1, 2, 3, 4}));
  EXPECT_EQ(source.PixelValue(0, 0), kWhite);
  EXPECT_EQ(source.PaletteEntry(0), (PixelBgra{0, 0, 0, 0}));

  BitmapImage assigned;
  assigned = source;
  assigned.At(1, 1) = PixelBgra{5, 6, 7, 8};
  EXPECT_EQ(assigned.BitDepth(), 8);
  EXPECT_EQ(assigned.Width(), 2);
  EXPECT_EQ(source.PixelValue(1, 1), kWhite);
}

}  // namespace
}  // namespace korvel
