// Run: ctest --preset release -R StandardPalette
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

struct Entry {
  std::int32_t index;
  std::uint8_t blue, green, red;
};

std::vector<PixelBgra> PaletteOf(std::int32_t depth) {
  BitmapImage image;
  EXPECT_TRUE(image.ChangeBitDepth(depth));
  std::vector<PixelBgra> out;
  for (std::int32_t i = 0; i < image.ColorCount(); ++i) out.push_back(image.PaletteEntry(i));
  return out;
}

void ExpectEntries(const std::vector<PixelBgra>& palette, const std::vector<Entry>& want) {
  for (const Entry& e : want) {
    EXPECT_EQ(palette.at(std::size_t(e.index)), (PixelBgra{e.blue, e.green, e.red, 0}))
        << "entry " << e.index;
  }
}

TEST(StandardPalette, OneBitIsBlackAndWhite) {
  const std::vector<PixelBgra> palette = PaletteOf(1);
  ASSERT_EQ(palette.size(), 2u);
  ExpectEntries(palette, {{0, 0, 0, 0}, {1, 255, 255, 255}});
}

TEST(StandardPalette, FourBitsHalfAndFullIntensitiesWithLightGreyAt8) {
  const std::vector<PixelBgra> palette = PaletteOf(4);
  ASSERT_EQ(palette.size(), 16u);
  ExpectEntries(palette, {{0, 0, 0, 0},
                          {1, 0, 0, 128},
                          {2, 0, 128, 0},
                          {3, 0, 128, 128},
                          {4, 128, 0, 0},
                          {5, 128, 0, 128},
                          {6, 128, 128, 0},
                          {7, 128, 128, 128},
                          {8, 192, 192, 192},
                          {9, 0, 0, 255},
                          {10, 0, 255, 0},
                          {11, 0, 255, 255},
                          {12, 255, 0, 0},
                          {13, 255, 0, 255},
                          {14, 255, 255, 0},
                          {15, 255, 255, 255}});
}

TEST(StandardPalette, EightBitsFixedEntriesAtBothEnds) {
  const std::vector<PixelBgra> palette = PaletteOf(8);
  ASSERT_EQ(palette.size(), 256u);
  // Light grey is entry 7 here and grey 128 is entry 248, unlike the 4-bit palette.
  ExpectEntries(
      palette,
      {{0, 0, 0, 0},         {1, 0, 0, 128},     {2, 0, 128, 0},       {3, 0, 128, 128},
       {4, 128, 0, 0},       {5, 128, 0, 128},   {6, 128, 128, 0},     {7, 192, 192, 192},
       {8, 192, 220, 192},   {9, 240, 202, 166}, {246, 240, 251, 255}, {247, 164, 160, 160},
       {248, 128, 128, 128}, {249, 0, 0, 255},   {250, 0, 255, 0},     {251, 0, 255, 255},
       {252, 255, 0, 0},     {253, 255, 0, 255}, {254, 255, 255, 0},   {255, 255, 255, 255}});
}

TEST(StandardPalette, EightBitsColourCubeFillsEntries10To245) {
  const std::vector<PixelBgra> palette = PaletteOf(8);
  ASSERT_EQ(palette.size(), 256u);
  ExpectEntries(palette,
                {{10, 0, 32, 64}, {63, 0, 224, 224}, {64, 64, 0, 0}, {245, 192, 192, 160}});
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 8; ++j) {
      for (int k = 0; k < 8; ++k) {
        const int n = 64 * i + 8 * j + k;
        if (n < 10 || n > 245) continue;
        EXPECT_EQ(palette[std::size_t(n)],
                  (PixelBgra{static_cast<std::uint8_t>(64 * i), static_cast<std::uint8_t>(32 * j),
                             static_cast<std::uint8_t>(32 * k), 0}))
            << "entry " << n;
      }
    }
  }
}

TEST(StandardPalette, EveryEntryHasAlphaZeroAfterAlphaWasSet) {
  for (const std::int32_t depth : {1, 4, 8}) {
    SCOPED_TRACE(testing::Message() << depth << " bits");
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
      ASSERT_TRUE(image.SetPaletteEntry(i, PixelBgra{1, 2, 3, 99}));
    }
    ASSERT_TRUE(image.FillStandardPalette());
    for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
      EXPECT_EQ(image.PaletteEntry(i).alpha, 0) << "entry " << i;
    }
  }
}

}  // namespace
}  // namespace korvel
