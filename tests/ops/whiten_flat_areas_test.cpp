// Run: ctest --preset release -R WhitenFlatAreas
#include "korvel/ops/whiten_flat_areas.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace korvel {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// A pixel whose blue + green + red is `sum`, with unequal channels so that a filter summing the
// wrong fields shows.
PixelBgra WithSum(int sum, std::uint8_t alpha = 0) {
  const int blue = sum < 255 ? sum : 255;
  const int green = sum - blue < 255 ? sum - blue : 255;
  return PixelBgra{static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                   static_cast<std::uint8_t>(sum - blue - green), alpha};
}

// sums[column][row], row 0 at the top; every alpha distinct.
BitmapImage Image(const std::vector<std::vector<int>>& sums) {
  BitmapImage image;
  EXPECT_TRUE(image.Resize(std::int32_t(sums.size()), std::int32_t(sums[0].size())));
  for (std::size_t c = 0; c < sums.size(); ++c) {
    for (std::size_t r = 0; r < sums[c].size(); ++r) {
      image.At(std::int32_t(c), std::int32_t(r)) =
          WithSum(sums[c][r], static_cast<std::uint8_t>(10 * c + r + 1));
    }
  }
  return image;
}

// 'W' where the pixel is white afterwards with its alpha kept, '.' where it kept its colour.
std::vector<std::string> Outcome(const BitmapImage& before, const BitmapImage& after) {
  std::vector<std::string> out;
  for (std::int32_t c = 0; c < before.Width(); ++c) {
    std::string column;
    for (std::int32_t r = 0; r < before.Height(); ++r) {
      const PixelBgra b = before.PixelValue(c, r), a = after.PixelValue(c, r);
      const PixelBgra white{255, 255, 255, b.alpha};
      column += a == white ? 'W' : a == b ? '.' : '?';
    }
    out.push_back(column);
  }
  return out;
}

struct Case {
  const char* name;
  std::vector<std::vector<int>> sums;  // per column, top to bottom
  std::int32_t threshold;
  std::vector<std::string> want;  // per column, top to bottom
};

void ExpectOutcome(const Case& c) {
  SCOPED_TRACE(c.name);
  const BitmapImage before = Image(c.sums);
  BitmapImage after(before);
  WhitenFlatAreas(after, c.threshold);
  EXPECT_EQ(Outcome(before, after), c.want);
}

TEST(WhitenFlatAreas, ThresholdsAtTheEdgesOfTheBrightnessRange) {
  // Black above white in both columns, and a step of 1 above a black bottom.
  const std::vector<std::vector<int>> sums = {{0, 765, 1, 0}, {0, 765, 1, 0}};
  const Case cases[] = {
      {"below 0 changes nothing", sums, -1, {".W..", ".W.."}},
      {"most negative", sums, kInt32Min, {".W..", ".W.."}},
      {"0 whitens only the bottom", sums, 0, {".W.W", ".W.W"}},
      {"1 whitens the step of 1", sums, 1, {".WWW", ".WWW"}},
      {"764 keeps black above white", sums, 764, {".WWW", ".WWW"}},
      {"765 whitens everything", sums, 765, {"WWWW", "WWWW"}},
      {"int32 max", sums, kInt32Max, {"WWWW", "WWWW"}},
  };
  for (const Case& c : cases) ExpectOutcome(c);
}

TEST(WhitenFlatAreas, BoundsOfTheWalk) {
  const Case cases[] = {
      {"uniform colour at 0", {{300, 300}, {300, 300}, {300, 300}}, 0, {"WW", "WW", "WW"}},
      {"one row: each pixel meets itself", {{0}, {765}, {400}}, 0, {"W", "W", "W"}},
      {"one row below 0", {{0}, {765}, {400}}, -1, {".", "W", "."}},
      {"one pixel", {{123}}, 0, {"W"}},
      // The second pass over the last column compares 750 with the white below it: 15 <= 20.
      {"750/300/300 as the only column", {{750, 300, 300}}, 20, {"WWW"}},
      {"750/300/300 as the first column", {{750, 300, 300}, {0, 0, 0}}, 20, {".WW", "WWW"}},
      {"750/300/300 as a middle column",
       {{0, 0, 0}, {750, 300, 300}, {0, 0, 0}},
       20,
       {"WWW", ".WW", "WWW"}},
      {"750/300/300 as the last column", {{0, 0, 0}, {750, 300, 300}}, 20, {"WWW", "WWW"}},
      // 744 is one short of 765 - 20, so the second pass leaves it.
      {"744/300/300 as the last column", {{0, 0, 0}, {744, 300, 300}}, 20, {"WWW", ".WW"}},
      // Each comparison sees the pixel below as the pass found it, not whitened: 757 against
      // 745 differs by 12, against a whitened 765 by only 8.
      {"757/745 in the first column", {{757, 745}, {0, 0}}, 10, {".W", "WW"}},
      {"757/745 as the last column", {{0, 0}, {757, 745}}, 10, {"WW", "WW"}},
  };
  for (const Case& c : cases) ExpectOutcome(c);
}

// The walk as the filter is defined: columns 0 to W and rows 0 to H inclusive, every read
// clamped by At.
void ReferenceWhiten(BitmapImage& image, std::int32_t threshold) {
  const auto sum = [](PixelBgra p) { return p.blue + p.green + p.red; };
  for (std::int32_t c = 0; c <= image.Width(); ++c) {
    for (std::int32_t r = 0; r <= image.Height(); ++r) {
      PixelBgra& p = image.At(c, r);
      const PixelBgra& q = image.At(c, r + 1);
      if (std::abs(sum(q) - sum(p)) <= threshold) p.blue = p.green = p.red = 255;
    }
  }
}

TEST(WhitenFlatAreas, AgreesWithTheLiteralWalkOnRandomImages) {
  std::mt19937 random(20261211);
  // Few distinct sums near the thresholds, so that ties and near misses are common.
  const int sums[] = {0, 1, 9, 10, 11, 300, 745, 750, 755, 757, 764, 765};
  const std::int32_t thresholds[] = {-1, 0, 1, 10, 15, 20, 764, 765};
  for (int trial = 0; trial < 400; ++trial) {
    const std::int32_t width = std::int32_t(random() % 5 + 1);
    const std::int32_t height = std::int32_t(random() % 5 + 1);
    const std::int32_t threshold = thresholds[random() % std::size(thresholds)];
    BitmapImage want;
    ASSERT_TRUE(want.Resize(width, height));
    for (std::int32_t c = 0; c < width; ++c) {
      for (std::int32_t r = 0; r < height; ++r) {
        want.At(c, r) = WithSum(sums[random() % std::size(sums)], std::uint8_t(random()));
      }
    }
    BitmapImage have(want);
    ReferenceWhiten(want, threshold);
    WhitenFlatAreas(have, threshold);
    for (std::int32_t c = 0; c < width; ++c) {
      for (std::int32_t r = 0; r < height; ++r) {
        ASSERT_EQ(have.PixelValue(c, r), want.PixelValue(c, r))
            << "trial " << trial << ": " << width << " x " << height << ", threshold " << threshold
            << ", pixel (" << c << ", " << r << ")";
      }
    }
  }
}

}  // namespace
}  // namespace korvel
