// Run: ctest --preset release -R Rescale   (or: build/release/tests/korvel_tests
// --gtest_filter='Rescale*') The expected channel values are exact: they follow from double
// arithmetic rounded operation by operation, without fused multiply-add, and from truncating every
// sum.
#include "korvel/ops/rescale.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace korvel {
namespace {

PixelBgra Grey(std::uint8_t value, std::uint8_t alpha = 0) {
  return PixelBgra{value, value, value, alpha};
}

// rows[r][c] is the grey value at (c, r); every pixel gets `alpha`.
BitmapImage GreyImage(const std::vector<std::vector<int>>& rows, std::uint8_t alpha = 0) {
  BitmapImage image;
  const auto height = static_cast<std::int32_t>(rows.size());
  const auto width = static_cast<std::int32_t>(rows[0].size());
  EXPECT_TRUE(image.Resize(width, height));
  for (std::int32_t r = 0; r < height; ++r) {
    for (std::int32_t c = 0; c < width; ++c) {
      image.At(c, r) = Grey(static_cast<std::uint8_t>(rows[std::size_t(r)][std::size_t(c)]), alpha);
    }
  }
  return image;
}

BitmapImage SizedImage(std::int32_t width, std::int32_t height) {
  BitmapImage image;
  EXPECT_TRUE(image.Resize(width, height));
  return image;
}

std::string Describe(PixelBgra p) {
  return "(b " + std::to_string(p.blue) + ", g " + std::to_string(p.green) + ", r " +
         std::to_string(p.red) + ", a " + std::to_string(p.alpha) + ")";
}

// Compares every pixel and reports the first few that differ as "have X, want Y".
void ExpectPixels(const BitmapImage& image, const std::vector<std::vector<PixelBgra>>& want) {
  ASSERT_EQ(image.Height(), static_cast<std::int32_t>(want.size()));
  ASSERT_EQ(image.Width(), static_cast<std::int32_t>(want[0].size()));
  int reported = 0;
  for (std::int32_t r = 0; r < image.Height(); ++r) {
    for (std::int32_t c = 0; c < image.Width(); ++c) {
      const PixelBgra have = image.PixelValue(c, r);
      const PixelBgra expected = want[std::size_t(r)][std::size_t(c)];
      if (have != expected && reported++ < 8) {
        ADD_FAILURE() << "pixel (" << c << ", " << r << "): have " << Describe(have) << ", want "
                      << Describe(expected);
      }
    }
  }
}

struct SizeCase {
  char mode;
  std::int32_t value;
  std::int32_t oldWidth, oldHeight;
  std::int32_t wantWidth, wantHeight;
  const char* why;
};

TEST(RescaleImage, ModesChooseTheNewSize) {
  const SizeCase cases[] = {
      {'W', 10, 40, 20, 10, 5, "new width, height in proportion"},
      {'w', 10, 40, 20, 10, 5, "mode letter is case-insensitive"},
      {'H', 10, 40, 20, 20, 10, "new height, width in proportion"},
      {'h', 10, 40, 20, 20, 10, "lower-case h"},
      {'F', 10, 40, 20, 10, 5, "fit: wide picture goes by width"},
      {'F', 10, 20, 40, 5, 10, "fit: tall picture goes by height"},
      {'f', 10, 30, 30, 10, 10, "fit: square picture"},
      {'W', 49, 3, 15, 49, 244, "49 / 3 * 15 is 244.99999999999997 before the floor"},
      {'H', 49, 15, 3, 244, 49, "the same quotient-first order for H"},
      {'F', 61, 7, 7, 60, 61, "square goes the way of H: 61 / 7 * 7 floors to 60"},
      {'P', 100, 7, 5, 7, 5, "100 percent keeps the size"},
      {'p', 50, 10, 6, 5, 3, "lower-case p"},
      {'P', 50, 3, 3, 1, 1, "1.5 floors to 1"},
      {'P', 1, 50, 50, 1, 1, "0 is raised to 1"},
      {'P', -20, 10, 10, 1, 1, "negative percentage"},
      {'P', 250, 3, 2, 7, 5, "750 * 0.01 and 500 * 0.01"},
      {'W', 0, 5, 5, 1, 1, "zero width"},
      {'W', -7, 5, 5, 1, 1, "negative width and negative proportional height"},
      {'H', 1, 10, 2, 5, 1, "one row high"},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(std::string(1, c.mode) + " " + std::to_string(c.value) + " on " +
                 std::to_string(c.oldWidth) + "x" + std::to_string(c.oldHeight) + ": " + c.why);
    BitmapImage image = SizedImage(c.oldWidth, c.oldHeight);
    ASSERT_TRUE(RescaleImage(image, c.mode, c.value));
    EXPECT_EQ(image.Width(), c.wantWidth) << "width";
    EXPECT_EQ(image.Height(), c.wantHeight) << "height";
    EXPECT_EQ(image.BitDepth(), 24);
  }
}

// Refusals leave every part of the image as it was.
struct RefusalCase {
  char mode;
  std::int32_t value;
  std::int32_t oldWidth, oldHeight;
  const char* why;
};

TEST(RescaleImage, RefusalLeavesTheImageUnchanged) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const RefusalCase cases[] = {
      {'X', 10, 3, 2, "unknown mode letter"},
      {'x', 10, 3, 2, "unknown lower-case letter"},
      {'\0', 10, 3, 2, "zero character"},
      {'Z' + 1, 10, 3, 2, "character just past the letters"},
      {'P', 1 << 30, 4, 2, "percentage product leaves int32"},
      {'P', kMax, 2, 2, "percentage product leaves int32 at the largest value"},
      {'W', kMax, 2, 3, "proportional height leaves int32"},
      {'H', kMax, 3, 1, "proportional width leaves int32"},
      {'W', 16385, 2, 2, "16385 x 16385 is over the 2^28 pixel cap"},
      {'P', 20000, 100, 100, "20000 x 20000 is over the pixel cap"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(std::string("mode ") + std::to_string(int{c.mode}) + " value " +
                 std::to_string(c.value) + ": " + c.why);
    BitmapImage image = SizedImage(c.oldWidth, c.oldHeight);
    ASSERT_TRUE(image.ChangeBitDepth(8));
    ASSERT_TRUE(image.SetPaletteEntry(3, PixelBgra{1, 2, 3, 4}));
    image.At(1, 0) = PixelBgra{10, 20, 30, 40};
    image.SetResolutionDpi(72, 300);
    const std::int32_t xPixelsPerMeter = image.XPixelsPerMeter();
    const std::int32_t yPixelsPerMeter = image.YPixelsPerMeter();

    EXPECT_FALSE(RescaleImage(image, c.mode, c.value));
    EXPECT_EQ(image.Width(), c.oldWidth);
    EXPECT_EQ(image.Height(), c.oldHeight);
    EXPECT_EQ(image.BitDepth(), 8);
    EXPECT_TRUE(image.HasPalette());
    EXPECT_EQ(image.PaletteEntry(3), (PixelBgra{1, 2, 3, 4}));
    EXPECT_EQ(image.PixelValue(1, 0), (PixelBgra{10, 20, 30, 40}));
    EXPECT_EQ(image.PixelValue(0, 0), kWhite);
    EXPECT_EQ(image.XPixelsPerMeter(), xPixelsPerMeter);
    EXPECT_EQ(image.YPixelsPerMeter(), yPixelsPerMeter);
  }
}

TEST(RescaleImage, UnknownModeKeepsAnUnsetResolutionReadingTheDefault) {
  BitmapImage image = SizedImage(3, 2);
  EXPECT_FALSE(RescaleImage(image, 'Q', 5));
  // The source copy reads the resolution, so an unset one may now hold the default it stood for.
  EXPECT_EQ(image.HorizontalDpi(), BitmapImage().HorizontalDpi());
  EXPECT_EQ(image.VerticalDpi(), BitmapImage().VerticalDpi());
}

TEST(RescaleImage, OversizedValueDoesNotTouchAnUnsetResolution) {
  BitmapImage image = SizedImage(3, 2);
  EXPECT_FALSE(RescaleImage(image, 'W', 1 << 20));
  EXPECT_EQ(image.XPixelsPerMeter(), 0);
  EXPECT_EQ(image.YPixelsPerMeter(), 0);
}

TEST(RescaleImage, GreyRampInterpolatesBetweenRowsAndColumns) {
  BitmapImage image = GreyImage({{0, 100, 200}, {50, 150, 250}}, 7);
  ASSERT_TRUE(RescaleImage(image, 'W', 5));
  ExpectPixels(image, {
                          {Grey(0), Grey(50), Grey(100), Grey(150), Grey(200)},
                          {Grey(25), Grey(75), Grey(125), Grey(175), Grey(225)},
                          {Grey(50), Grey(100), Grey(150), Grey(200), Grey(250, 7)},
                      });
}

// Sums that fall just short of 255 truncate to 254; blue is summed in another order.
TEST(RescaleImage, WhiteSourceShowsTruncationAndTheBlueOrder) {
  const PixelBgra white = Grey(255);
  const PixelBgra corner = Grey(255, 9);
  {
    SCOPED_TRACE("7 x 7");
    BitmapImage image = GreyImage({{255, 255}, {255, 255}}, 9);
    ASSERT_TRUE(RescaleImage(image, 'W', 7));
    std::vector<std::vector<PixelBgra>> want(7, std::vector<PixelBgra>(7, white));
    want[1][5] = PixelBgra{255, 254, 254, 0};
    want[6][6] = corner;
    ExpectPixels(image, want);
  }
  {
    SCOPED_TRACE("8 x 8");
    BitmapImage image = GreyImage({{255, 255}, {255, 255}}, 9);
    ASSERT_TRUE(RescaleImage(image, 'W', 8));
    EXPECT_EQ(image.PixelValue(0, 3), Grey(254)) << Describe(image.PixelValue(0, 3));
    EXPECT_EQ(image.PixelValue(0, 0), white) << Describe(image.PixelValue(0, 0));
    EXPECT_EQ(image.PixelValue(7, 7), corner) << Describe(image.PixelValue(7, 7));
  }
}

// The last result column comes from the last source column alone, the last row from the last
// source row alone: the other column or row plays no part.
TEST(RescaleImage, OnePixelWideOrHighResultUsesTheLastSourceLine) {
  {
    SCOPED_TRACE("2 x 10 to 1 x 5");
    std::vector<std::vector<int>> rows;
    for (int r = 0; r < 10; ++r) rows.push_back({0, r * 10});
    BitmapImage image = GreyImage(rows, 3);
    ASSERT_TRUE(RescaleImage(image, 'W', 1));
    ExpectPixels(image, {{Grey(0)}, {Grey(22)}, {Grey(45)}, {Grey(67)}, {Grey(90, 3)}});
  }
  {
    SCOPED_TRACE("10 x 2 to 5 x 1");
    std::vector<std::vector<int>> rows(2);
    for (int c = 0; c < 10; ++c) {
      rows[0].push_back(0);
      rows[1].push_back(c * 10);
    }
    BitmapImage image = GreyImage(rows, 3);
    ASSERT_TRUE(RescaleImage(image, 'H', 1));
    ExpectPixels(image, {{Grey(0), Grey(22), Grey(45), Grey(67), Grey(90, 3)}});
  }
}

TEST(RescaleImage, OnePixelWideSourceGivesUniformRows) {
  BitmapImage image = GreyImage({{0}, {50}, {100}, {150}, {200}}, 5);
  ASSERT_TRUE(RescaleImage(image, 'W', 4));  // 4 x 20
  ASSERT_EQ(image.Width(), 4);
  ASSERT_EQ(image.Height(), 20);
  for (std::int32_t r = 0; r < image.Height(); ++r) {
    const PixelBgra first = image.PixelValue(0, r);
    for (std::int32_t c = 1; c < image.Width(); ++c) {
      const PixelBgra have = image.PixelValue(c, r);
      if (r == image.Height() - 1 && c == image.Width() - 1) {
        EXPECT_EQ(have, Grey(200, 5)) << "corner " << Describe(have);
      } else {
        EXPECT_EQ(have, first) << "(" << c << ", " << r << "): have " << Describe(have) << ", want "
                               << Describe(first);
      }
    }
  }
  EXPECT_EQ(image.PixelValue(0, 0), Grey(0));
  EXPECT_EQ(image.PixelValue(0, 19), Grey(200));
}

TEST(RescaleImage, OneByOneResultIsTheBottomRightPixelWithItsAlpha) {
  BitmapImage image = GreyImage({{10, 20, 30}, {40, 50, 60}}, 0);
  image.At(2, 1) = PixelBgra{61, 62, 63, 64};
  ASSERT_TRUE(RescaleImage(image, 'W', 0));
  ExpectPixels(image, {{PixelBgra{61, 62, 63, 64}}});
}

TEST(RescaleImage, FullSizeKeepsColoursAndDropsPaletteAndAlpha) {
  BitmapImage image = SizedImage(4, 3);
  ASSERT_TRUE(image.ChangeBitDepth(8));
  image.SetResolutionDpi(200, 150);
  const std::int32_t xPixelsPerMeter = image.XPixelsPerMeter();
  const std::int32_t yPixelsPerMeter = image.YPixelsPerMeter();
  std::vector<std::vector<PixelBgra>> want(3, std::vector<PixelBgra>(4));
  for (std::int32_t r = 0; r < 3; ++r) {
    for (std::int32_t c = 0; c < 4; ++c) {
      const auto v = static_cast<std::uint8_t>(c * 60 + r * 17);
      image.At(c, r) =
          PixelBgra{v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v / 3), 77};
      want[std::size_t(r)][std::size_t(c)] = image.PixelValue(c, r);
      want[std::size_t(r)][std::size_t(c)].alpha = 0;
    }
  }
  want[2][3].alpha = 77;
  ASSERT_TRUE(RescaleImage(image, 'P', 100));
  EXPECT_EQ(image.BitDepth(), 24);
  EXPECT_FALSE(image.HasPalette());
  EXPECT_EQ(image.XPixelsPerMeter(), xPixelsPerMeter);
  EXPECT_EQ(image.YPixelsPerMeter(), yPixelsPerMeter);
  ExpectPixels(image, want);
}

// The product comes before the quotient in every position: 13 x 23 / 23 is exactly 13, but
// 13 / 23 x 23 is 12.999999999999998, which would take column 13 from just left of itself and
// truncate a rising ramp one unit low. Row 15 of 23 is such a position too.
TEST(RescaleImage, FullSizeKeepsRampsWherePositionsRoundAwayInAnotherOrder) {
  BitmapImage image = SizedImage(24, 23);
  std::vector<std::vector<PixelBgra>> want(23, std::vector<PixelBgra>(24));
  for (std::int32_t r = 0; r < 23; ++r) {
    for (std::int32_t c = 0; c < 24; ++c) {
      image.At(c, r) =
          PixelBgra{static_cast<std::uint8_t>(c * 10), static_cast<std::uint8_t>(r * 10),
                    static_cast<std::uint8_t>(c * 5 + r * 5), 0};
      want[std::size_t(r)][std::size_t(c)] = image.PixelValue(c, r);
    }
  }
  ASSERT_TRUE(RescaleImage(image, 'P', 100));
  ExpectPixels(image, want);
}

// Each channel is interpolated on its own: distinct values per channel catch a mixed-up tap.
TEST(RescaleImage, ChannelsAreInterpolatedIndependently) {
  BitmapImage image = SizedImage(2, 2);
  image.At(0, 0) = PixelBgra{0, 200, 40, 1};
  image.At(1, 0) = PixelBgra{100, 0, 80, 2};
  image.At(0, 1) = PixelBgra{0, 100, 120, 3};
  image.At(1, 1) = PixelBgra{200, 0, 160, 4};
  ASSERT_TRUE(RescaleImage(image, 'W', 3));  // 3 x 3, half steps
  ExpectPixels(
      image, {
                 {PixelBgra{0, 200, 40, 0}, PixelBgra{50, 100, 60, 0}, PixelBgra{100, 0, 80, 0}},
                 {PixelBgra{0, 150, 80, 0}, PixelBgra{75, 75, 100, 0}, PixelBgra{150, 0, 120, 0}},
                 {PixelBgra{0, 100, 120, 0}, PixelBgra{100, 50, 140, 0}, PixelBgra{200, 0, 160, 4}},
             });
}

}  // namespace
}  // namespace korvel
