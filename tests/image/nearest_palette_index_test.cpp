// Run: ctest --preset release -R NearestPaletteIndex
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

struct MatchCase {
  std::string name;
  std::int32_t depth;
  std::vector<PixelBgra> entries;  // written from index 0; the rest of the palette is standard
  PixelBgra colour;
  int want;
};

// PixelBgra fields are blue, green, red, alpha.
const MatchCase kMatchCases[] = {
    {"equal distance keeps the lower index", 1, {{0, 0, 0, 0}, {2, 2, 2, 0}}, {1, 1, 1, 0}, 0},
    {"lower index wins even when it is the brighter one",
     1,
     {{2, 2, 2, 0}, {0, 0, 0, 0}},
     {1, 1, 1, 0},
     0},
    {"a later entry must be strictly closer", 4, {{9, 0, 0, 0}, {11, 0, 0, 0}}, {10, 0, 0, 0}, 0},
    {"several exact matches give the lowest",
     4,
     {{1, 1, 1, 0}, {5, 6, 7, 0}, {5, 6, 7, 0}},
     {5, 6, 7, 0},
     1},
    // Distance 100 against 72: a sum of absolute differences would choose entry 0 (10 < 12).
    {"squared differences, not absolute ones", 1, {{0, 0, 10, 0}, {6, 6, 0, 0}}, {0, 0, 0, 0}, 1},
    // Entry 1 equals the colour in blue, green and red; alpha 255 against 0 must not count.
    {"alpha takes no part", 1, {{100, 100, 100, 0}, {101, 100, 100, 255}}, {101, 100, 100, 0}, 1},
    {"channels are compared with their own counterparts",
     1,
     {{255, 0, 0, 0}, {0, 0, 255, 0}},
     {250, 0, 0, 0},
     0},
    {"128 grey is nearer to white in the 1-bit palette", 1, {}, {128, 128, 128, 7}, 1},
    {"127 grey is nearer to black in the 1-bit palette", 1, {}, {127, 127, 127, 7}, 0},
    {"white is the last 4-bit entry", 4, {}, {255, 255, 255, 0}, 15},
    {"light grey is entry 8 at 4 bits", 4, {}, {190, 193, 192, 0}, 8},
    {"white is the last 8-bit entry", 8, {}, {255, 255, 255, 0}, 255},
    // Grey 128 sits both at 64*2 + 8*4 + 4 = 164 and at 248; the lower wins.
    {"grey 128 is entry 164 before 248 at 8 bits", 8, {}, {128, 128, 128, 0}, 164},
    {"red 128 is entry 1 at 8 bits", 8, {}, {0, 0, 128, 0}, 1},
    {"nearest of the 8-bit cube", 8, {}, {1, 33, 62, 0}, 10},
    {"largest distance still beats the start value",
     1,
     {{255, 255, 255, 0}, {255, 255, 255, 0}},
     {0, 0, 0, 0},
     0},
};

TEST(NearestPaletteIndex, AnswersTheLeastSquaredDistanceLowestIndexFirst) {
  for (const MatchCase& c : kMatchCases) {
    SCOPED_TRACE(c.name);
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(c.depth));
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      ASSERT_TRUE(image.SetPaletteEntry(std::int32_t(i), c.entries[i]));
    }
    EXPECT_EQ(int{image.NearestPaletteIndex(c.colour)}, c.want) << "have index, want " << c.want;
  }
}

TEST(NearestPaletteIndex, AnswersZeroWithoutPalette) {
  // Every entry of a depth without palette reads as white, so entry 0 wins every tie.
  const PixelBgra colours[] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {10, 200, 30, 99}};
  for (std::int32_t depth : {16, 24, 32}) {
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    for (PixelBgra colour : colours) {
      SCOPED_TRACE("depth " + std::to_string(depth) + " blue " + std::to_string(colour.blue));
      EXPECT_EQ(int{image.NearestPaletteIndex(colour)}, 0);
    }
  }
}

}  // namespace
}  // namespace korvel
