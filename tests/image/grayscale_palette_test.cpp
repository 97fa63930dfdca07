// Run: ctest --preset release -R GrayscalePalette
#include "korvel/image/grayscale_palette.hpp"

#include <gtest/gtest.h>

#include <string>

namespace korvel {
namespace {

TEST(GrayscalePalette, EvenRampFromBlackToWhite) {
  struct Case {
    std::int32_t depth;
    int step;
  };
  for (const Case c : {Case{1, 255}, Case{4, 17}, Case{8, 1}}) {
    SCOPED_TRACE("depth " + std::to_string(c.depth));
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(c.depth));
    // Alpha set beforehand must be replaced by 0.
    for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
      ASSERT_TRUE(image.SetPaletteEntry(i, PixelBgra{1, 2, 3, 200}));
    }
    ASSERT_TRUE(MakeGrayscalePalette(image));
    for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
      const auto level = static_cast<std::uint8_t>(i * c.step);
      const PixelBgra have = image.PaletteEntry(i);
      EXPECT_EQ(have, (PixelBgra{level, level, level, 0}))
          << "entry " << i << ": have " << int{have.blue} << "," << int{have.green} << ","
          << int{have.red} << " alpha " << int{have.alpha} << ", want grey " << int{level};
    }
    EXPECT_EQ(image.PaletteEntry(image.ColorCount() - 1), (PixelBgra{255, 255, 255, 0}));
  }
}

TEST(GrayscalePalette, RefusesDepthsWithoutPalette) {
  for (std::int32_t depth : {16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    image.At(0, 0) = PixelBgra{9, 8, 7, 6};
    EXPECT_FALSE(MakeGrayscalePalette(image));
    EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{9, 8, 7, 6}));
    EXPECT_EQ(image.BitDepth(), depth);
  }
}

}  // namespace
}  // namespace korvel
