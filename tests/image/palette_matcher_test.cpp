// Run: ctest --preset release -R PaletteMatcher
// Saving remembers earlier colour matches; these tests hold every remembered answer to the one
// the plain linear scan gives.
#include "image/palette_matcher.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace korvel {
namespace {

// Deterministic colours, spread over the whole cube.
class ColourStream {
 public:
  explicit ColourStream(std::uint32_t seed) : state_(seed) {}
  PixelBgra Next() {
    state_ = state_ * 1664525u + 1013904223u;
    const std::uint32_t v = state_ >> 8;
    return PixelBgra{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                     std::uint8_t(state_)};
  }

 private:
  std::uint32_t state_;
};

struct PaletteCase {
  std::string name;
  std::int32_t depth;
  void (*fill)(BitmapImage&);
};

void Standard(BitmapImage&) {}
void Ramp(BitmapImage& image) {
  for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
    const auto g = std::uint8_t(i);
    image.SetPaletteEntry(i, PixelBgra{g, g, g, 0});
  }
}
// Runs of equal entries and entries one step apart: every lookup meets ties.
void Ties(BitmapImage& image) {
  for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
    const auto v = std::uint8_t(i / 4 * 16);
    image.SetPaletteEntry(i, PixelBgra{v, std::uint8_t(255 - v), std::uint8_t(v / 2 + i % 2), 0});
  }
}

const PaletteCase kPalettes[] = {
    {"standard 8-bit", 8, Standard}, {"grey ramp", 8, Ramp},  {"ties", 8, Ties},
    {"standard 4-bit", 4, Standard}, {"ties 4-bit", 4, Ties}, {"standard 1-bit", 1, Standard},
};

TEST(PaletteMatcher, NeverChangesAnAnswer) {
  // Far more colours than the matcher has room for, so remembered answers are replaced and
  // looked up again; the second pass repeats the colours in the same order after that churn.
  constexpr int kColours = 40000;
  for (const PaletteCase& p : kPalettes) {
    SCOPED_TRACE(p.name);
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(p.depth));
    p.fill(image);
    PaletteMatcher matcher(image);
    for (int pass = 0; pass < 2; ++pass) {
      ColourStream colours(7);
      for (int i = 0; i < kColours; ++i) {
        const PixelBgra c = colours.Next();
        const int have = matcher.IndexOf(c);
        const int want = image.NearestPaletteIndex(c);
        if (have != want) {
          FAIL() << "pass " << pass << " colour " << int{c.blue} << "," << int{c.green} << ","
                 << int{c.red} << ": have " << have << ", want " << want;
        }
      }
    }
  }
}

TEST(PaletteMatcher, AlternatingColoursAndAlphaVariants) {
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  PaletteMatcher matcher(image);
  // Colours that differ in one channel by one step, and the same colour under other alphas,
  // asked in turn many times.
  const PixelBgra colours[] = {{0, 32, 64, 0},     {0, 32, 65, 0},     {1, 32, 64, 0},
                               {0, 32, 64, 255},   {128, 128, 128, 0}, {127, 128, 128, 3},
                               {255, 255, 255, 0}, {254, 255, 255, 0}};
  for (int round = 0; round < 100; ++round) {
    for (PixelBgra c : colours) {
      ASSERT_EQ(matcher.IndexOf(c), image.NearestPaletteIndex(c))
          << "colour " << int{c.blue} << "," << int{c.green} << "," << int{c.red};
    }
  }
}

TEST(PaletteMatcher, SavedIndicesEqualTheLinearScan) {
  // A whole save through the matcher: every index in the file is the scan's answer for its
  // pixel, across more distinct colours than the matcher remembers.
  constexpr std::int32_t kWidth = 256, kHeight = 200;
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  Ties(image);
  ASSERT_TRUE(image.Resize(kWidth, kHeight));
  ColourStream colours(11);
  for (std::int32_t r = 0; r < kHeight; ++r) {
    for (std::int32_t c = 0; c < kWidth; ++c) {
      // Every third row repeats the row above it, so remembered colours come back.
      image.At(c, r) = r % 3 == 2 ? image.PixelValue(c, r - 1) : colours.Next();
    }
  }
  test::TempDir dir;
  const std::string path = dir.File("matched.bmp");
  ASSERT_TRUE(image.SaveToFile(path.c_str()));
  const std::string file = test::ReadFileBytes(path);
  ASSERT_EQ(file.size(), 1078u + std::size_t{kWidth} * kHeight);
  for (std::int32_t r = 0; r < kHeight; ++r) {
    const std::size_t rowStart = 1078 + std::size_t(kHeight - 1 - r) * kWidth;
    for (std::int32_t c = 0; c < kWidth; ++c) {
      const int have = static_cast<std::uint8_t>(file[rowStart + std::size_t(c)]);
      const int want = image.NearestPaletteIndex(image.PixelValue(c, r));
      if (have != want)
        FAIL() << "pixel " << c << "," << r << ": have " << have << ", want " << want;
    }
  }
}

}  // namespace
}  // namespace korvel
