// Run: ctest --preset release -R InteropFixtures
// Files written by ImageMagick and Pillow (tests/fixtures/interop/, made by
// tools/make-interop-fixtures.sh) load with the colours they were made from.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

struct Rgb {
  std::uint8_t red, green, blue;
};

// The colour tables and the pattern of tools/make-interop-fixtures.sh.
const std::vector<Rgb> kMono = {{0, 0, 0}, {255, 255, 255}};
const std::vector<Rgb> kGreys = {{0, 0, 0},       {32, 32, 32},    {64, 64, 64},
                                 {132, 132, 132}, {200, 200, 200}, {255, 255, 255}};
const std::vector<Rgb> kColours16 = {{0, 0, 0},     {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                                     {0, 0, 255},   {255, 255, 0},   {0, 255, 255}, {132, 132, 132},
                                     {132, 0, 255}, {0, 132, 132}};
std::vector<Rgb> Colours256() {
  std::vector<Rgb> table = kColours16;
  const std::vector<Rgb> more = {{32, 64, 132},  {255, 132, 0},  {0, 132, 255},   {64, 64, 64},
                                 {132, 255, 32}, {255, 32, 132}, {32, 32, 32},    {0, 64, 0},
                                 {64, 0, 0},     {0, 0, 64},     {132, 132, 255}, {255, 255, 132},
                                 {32, 255, 255}, {200, 200, 200}};
  table.insert(table.end(), more.begin(), more.end());
  return table;
}
constexpr std::int32_t kWidth = 9, kHeight = 4;
int Index(std::int32_t x, std::int32_t y, std::size_t n) {
  return int((x + 3 * y) % int(n));
}
std::uint8_t PatternAlpha(std::int32_t x, std::int32_t y) {
  return std::uint8_t((x * 40 + y * 7) % 256);
}

enum class Keeps { kAll, kTopFiveBits };
// Where a pixel's alpha comes from: 32-bit rows carry it; indexed pixels take their palette
// entry's fourth byte, which Pillow fills with the grey level in its grey palettes.
enum class Alpha { kZero, kPattern, kGreyLevel };

struct Fixture {
  const char* file;
  std::int32_t depth;
  std::vector<Rgb> table;
  Keeps keeps;
  Alpha alpha;
};

std::string Describe(PixelBgra p) {
  return std::to_string(p.blue) + "," + std::to_string(p.green) + "," + std::to_string(p.red) +
         " alpha " + std::to_string(p.alpha);
}

std::string FixturePath(const char* name) {
  return std::string(KORVEL_SOURCE_DIR) + "/tests/fixtures/interop/" + name;
}

TEST(InteropFixtures, LoadWithTheColoursTheyWereMadeFrom) {
  const Fixture fixtures[] = {
      {"pillow-1bit.bmp", 1, kMono, Keeps::kAll, Alpha::kGreyLevel},
      {"imagemagick-1bit.bmp", 1, kMono, Keeps::kAll, Alpha::kZero},
      {"imagemagick-1bit-v4-header.bmp", 1, kMono, Keeps::kAll, Alpha::kZero},
      {"imagemagick-4bit-palette.bmp", 4, kColours16, Keeps::kAll, Alpha::kZero},
      {"imagemagick-4bit-palette-v5-header.bmp", 4, kColours16, Keeps::kAll, Alpha::kZero},
      {"pillow-8bit-grey.bmp", 8, kGreys, Keeps::kAll, Alpha::kGreyLevel},
      {"pillow-8bit-palette.bmp", 8, Colours256(), Keeps::kAll, Alpha::kZero},
      {"imagemagick-8bit-palette.bmp", 8, Colours256(), Keeps::kAll, Alpha::kZero},
      {"imagemagick-8bit-palette-v5-header.bmp", 8, Colours256(), Keeps::kAll, Alpha::kZero},
      {"imagemagick-16bit-rgb565-masks-v5-header.bmp", 16, kColours16, Keeps::kTopFiveBits,
       Alpha::kZero},
      {"imagemagick-16bit-rgb555-masks-v5-header.bmp", 16, kColours16, Keeps::kTopFiveBits,
       Alpha::kZero},
      {"pillow-24bit.bmp", 24, Colours256(), Keeps::kAll, Alpha::kZero},
      {"imagemagick-24bit-v5-header.bmp", 24, Colours256(), Keeps::kAll, Alpha::kZero},
      {"pillow-32bit-alpha.bmp", 32, Colours256(), Keeps::kAll, Alpha::kPattern},
  };
  for (const Fixture& f : fixtures) {
    SCOPED_TRACE(f.file);
    BitmapImage image;
    ASSERT_EQ(image.Load(FixturePath(f.file).c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(image.BitDepth(), f.depth);
    ASSERT_EQ(image.Width(), kWidth);
    ASSERT_EQ(image.Height(), kHeight);
    const std::uint8_t mask = f.keeps == Keeps::kTopFiveBits ? 0xF8 : 0xFF;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        const Rgb rgb = f.table[std::size_t(Index(x, y, f.table.size()))];
        const std::uint8_t alpha = f.alpha == Alpha::kPattern     ? PatternAlpha(x, y)
                                   : f.alpha == Alpha::kGreyLevel ? rgb.red
                                                                  : std::uint8_t(0);
        const PixelBgra want{std::uint8_t(rgb.blue & mask), std::uint8_t(rgb.green & mask),
                             std::uint8_t(rgb.red & mask), alpha};
        EXPECT_EQ(image.PixelValue(x, y), want)
            << "pixel " << x << "," << y << ": have " << Describe(image.PixelValue(x, y))
            << ", want " << Describe(want);
      }
    }
  }
}

TEST(InteropFixtures, RunLengthEncodedFileIsRefused) {
  BitmapImage image;
  EXPECT_EQ(image.Load(FixturePath("imagemagick-8bit-rle.bmp").c_str()),
            LoadStatus::kUnsupportedCompression);
}

}  // namespace
}  // namespace korvel
