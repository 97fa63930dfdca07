// Run: ctest --preset release -R Resolution
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

TEST(Resolution, DotsPerInchAreStoredTruncated) {
  struct Case {
    std::int32_t horizontal, vertical, wantX, wantY;
  };
  const Case cases[] = {
      {96, 72, 3779, 2834},
      {1, 0, 39, 0},
      {-1, -96, -39, -3779},  // stored as computed, truncated toward zero
      {300, 600, 11811, 23622},
      // Products beyond int32 saturate; 54546084 dpi is the last that fits.
      {54546084, -54546084, 2147483622, -2147483622},
      {54546085, -54546085, kInt32Max, kInt32Min},
      {kInt32Max, kInt32Min, kInt32Max, kInt32Min},
  };
  for (const Case& c : cases) {
    BitmapImage image;
    image.SetResolutionDpi(c.horizontal, c.vertical);
    EXPECT_EQ(image.XPixelsPerMeter(), c.wantX) << "SetResolutionDpi(" << c.horizontal << ", ...)";
    EXPECT_EQ(image.YPixelsPerMeter(), c.wantY) << "SetResolutionDpi(..., " << c.vertical << ")";
  }
}

TEST(Resolution, ReadingAnUnsetResolutionStoresTheDefault) {
  BitmapImage image;
  EXPECT_EQ(image.HorizontalDpi(), 96);
  EXPECT_EQ(image.XPixelsPerMeter(), 3780);
  EXPECT_EQ(image.YPixelsPerMeter(), 0);  // only the field that was read

  image.SetResolutionDpi(1, 0);
  EXPECT_EQ(image.VerticalDpi(), 96);
  EXPECT_EQ(image.YPixelsPerMeter(), 3780);
  EXPECT_EQ(image.HorizontalDpi(), 0);  // 39 pixels per metre is 0.99 dpi
  EXPECT_EQ(image.XPixelsPerMeter(), 39);
}

TEST(Resolution, ARoundTripThroughDotsPerInchLosesOne) {
  struct Case {
    std::int32_t dpi, wantPixelsPerMeter, wantDpiBack;
  };
  const Case cases[] = {{96, 3779, 95}, {72, 2834, 71}, {300, 11811, 299}, {-96, -3779, -95}};
  for (const Case& c : cases) {
    BitmapImage image;
    image.SetResolutionDpi(c.dpi, c.dpi);
    EXPECT_EQ(image.XPixelsPerMeter(), c.wantPixelsPerMeter) << c.dpi << " dpi";
    EXPECT_EQ(image.HorizontalDpi(), c.wantDpiBack) << c.dpi << " dpi";
    EXPECT_EQ(image.VerticalDpi(), c.wantDpiBack) << c.dpi << " dpi";
  }
}

TEST(Resolution, ExtremeFieldsReadBackWithoutOverflow) {
  BitmapImage image;
  image.SetResolutionDpi(kInt32Max, kInt32Min);
  EXPECT_EQ(image.HorizontalDpi(), 54546084);  // 2147483647 x 0.0254 = 54546084.63
  EXPECT_EQ(image.VerticalDpi(), -54546084);   // truncated toward zero
}

}  // namespace
}  // namespace korvel
