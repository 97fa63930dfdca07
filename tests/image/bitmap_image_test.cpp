// Run: ctest --preset release -R BitmapImage
#include "korvel/image/bitmap_image.hpp"

#include <gtest/gtest.h>

namespace korvel {
namespace {

TEST(BitmapImage, NewImageIsOnePixelAt24Bits) {
  BitmapImage image;
  EXPECT_EQ(image.Width(), 1);
  EXPECT_EQ(image.Height(), 1);
  EXPECT_EQ(image.BitDepth(), 24);
  EXPECT_EQ(image.ColorCount(), 16777216);
  EXPECT_EQ(image.PaletteEntry(0), kWhite);
}

}  // namespace
}  // namespace korvel
