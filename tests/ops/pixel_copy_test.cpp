// Run: ctest --preset release -R PixelCopy   (or: korvel_tests --gtest_filter='*Copy*')
// The source pixel at (c, r) carries its own position (blue c, green r), so a destination drawn as
// a grid of "cr" cells (".." where nothing landed) shows at a glance which pixel went where.
#include "korvel/ops/pixel_copy.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace korvel {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::uint8_t kSourceRed = 100;
constexpr std::uint8_t kSourceAlpha = 50;
// Untouched destination pixels: no source pixel has this red.
constexpr PixelBgra kUntouched{9, 9, 9, 9};

PixelBgra Tagged(std::int32_t column, std::int32_t row) {
  return PixelBgra{static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(row), kSourceRed,
                   kSourceAlpha};
}

BitmapImage Filled(std::int32_t width, std::int32_t height, bool tagged) {
  BitmapImage image;
  EXPECT_TRUE(image.Resize(width, height));
  for (std::int32_t r = 0; r < height; ++r) {
    for (std::int32_t c = 0; c < width; ++c) image.At(c, r) = tagged ? Tagged(c, r) : kUntouched;
  }
  return image;
}

// One string per row, cells separated by spaces.
std::vector<std::string> Grid(const BitmapImage& image) {
  std::vector<std::string> rows;
  for (std::int32_t r = 0; r < image.Height(); ++r) {
    std::string row;
    for (std::int32_t c = 0; c < image.Width(); ++c) {
      const PixelBgra p = image.PixelValue(c, r);
      if (c > 0) row += ' ';
      if (p == kUntouched) {
        row += "..";
      } else if (p.red == kSourceRed && p.alpha == kSourceAlpha && p.blue < 10 && p.green < 10) {
        row += std::to_string(p.blue) + std::to_string(p.green);
      } else {
        row += "??";
      }
    }
    rows.push_back(row);
  }
  return rows;
}

void ExpectGrid(const BitmapImage& image, const std::vector<std::string>& want) {
  const std::vector<std::string> have = Grid(image);
  std::string haveText, wantText;
  for (const std::string& row : have) haveText += "\n  " + row;
  for (const std::string& row : want) wantText += "\n  " + row;
  EXPECT_EQ(have, want) << "have" << haveText << "\nwant" << wantText;
}

TEST(CopyPixel, CopiesAllFourBytesAndClampsBothPositions) {
  struct Case {
    std::int32_t sourceColumn, sourceRow, destinationColumn, destinationRow;
    std::vector<std::string> want;
  };
  // Source 6 x 6, destination 4 x 3.
  const Case cases[] = {
      {2, 1, 1, 2, {".. .. .. ..", ".. .. .. ..", ".. 21 .. .."}},
      {2, 1, 9, 0, {".. .. .. 21", ".. .. .. ..", ".. .. .. .."}},
      {-1, 8, 0, 0, {"05 .. .. ..", ".. .. .. ..", ".. .. .. .."}},
      {kMax, kMin, kMin, kMax, {".. .. .. ..", ".. .. .. ..", "50 .. .. .."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("from (" + std::to_string(c.sourceColumn) + ", " + std::to_string(c.sourceRow) +
                 ") to (" + std::to_string(c.destinationColumn) + ", " +
                 std::to_string(c.destinationRow) + ")");
    const BitmapImage source = Filled(6, 6, true);
    BitmapImage destination = Filled(4, 3, false);
    CopyPixel(source, c.sourceColumn, c.sourceRow, destination, c.destinationColumn,
              c.destinationRow);
    ExpectGrid(destination, c.want);
  }
}

TEST(CopyPixelUnlessKey, KeyComparesBlueGreenRedButNotAlpha) {
  const PixelBgra pixel{10, 20, 30, 40};
  struct Case {
    PixelBgra key;
    bool copied;
    const char* why;
  };
  const Case cases[] = {
      {PixelBgra{10, 20, 30, 40}, false, "equal in all four"},
      {PixelBgra{10, 20, 30, 0}, false, "equal but for alpha"},
      {PixelBgra{11, 20, 30, 40}, true, "blue differs"},
      {PixelBgra{10, 19, 30, 40}, true, "green differs"},
      {PixelBgra{10, 20, 31, 40}, true, "red differs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BitmapImage source;
    source.At(0, 0) = pixel;
    BitmapImage destination = Filled(2, 2, false);
    CopyPixelUnlessKey(source, 0, 0, destination, 1, 1, c.key);
    const PixelBgra have = destination.PixelValue(1, 1);
    const PixelBgra want = c.copied ? pixel : kUntouched;  // copied whole, alpha included
    EXPECT_EQ(have, want) << "have alpha " << int{have.alpha} << ", want " << int{want.alpha};
    EXPECT_EQ(destination.PixelValue(0, 0), kUntouched);
  }
}

struct RangeCase {
  const char* why;
  std::int32_t firstColumn, lastColumn, rowBoundA, rowBoundB;
  std::int32_t destinationColumn, destinationRow;
  std::vector<std::string> want;  // destination 4 x 4, source 6 x 6
};

const RangeCase kRangeCases[] = {
    {"plain rectangle",
     1,
     2,
     1,
     2,
     0,
     1,
     {".. .. .. ..", "11 21 .. ..", "12 22 .. ..", ".. .. .. .."}},
    {"row bounds bottom first",
     0,
     0,
     5,
     2,
     1,
     0,
     {".. 02 .. ..", ".. 03 .. ..", ".. 04 .. ..", ".. 05 .. .."}},
    {"column bounds right first copy nothing",
     5,
     2,
     0,
     3,
     0,
     0,
     {".. .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"equal bounds copy one pixel",
     3,
     3,
     4,
     4,
     2,
     1,
     {".. .. .. ..", ".. .. 34 ..", ".. .. .. ..", ".. .. .. .."}},
    {"cut at the source's right and bottom edges",
     4,
     99,
     5,
     kMax,
     1,
     1,
     {".. .. .. ..", ".. 45 55 ..", ".. .. .. ..", ".. .. .. .."}},
    {"negative first column keeps the landing position",
     -3,
     1,
     2,
     2,
     1,
     1,
     {".. .. .. ..", ".. 02 12 ..", ".. .. .. ..", ".. .. .. .."}},
    {"negative row bound keeps the landing position",
     3,
     3,
     1,
     -4,
     0,
     2,
     {".. .. .. ..", ".. .. .. ..", "30 .. .. ..", "31 .. .. .."}},
    {"both row bounds negative copy nothing",
     0,
     5,
     -1,
     -3,
     0,
     0,
     {".. .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"cut at the destination's right and bottom edges",
     0,
     5,
     0,
     5,
     2,
     1,
     {".. .. .. ..", ".. .. 00 10", ".. .. 01 11", ".. .. 02 12"}},
    {"one column and one row too many for the destination are cut",
     1,
     5,
     1,
     5,
     0,
     0,
     {"11 21 31 41", "12 22 32 42", "13 23 33 43", "14 24 34 44"}},
    {"first column raised before the destination cut",
     -3,
     5,
     0,
     0,
     2,
     0,
     {".. .. 00 10", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"destination column at the width copies nothing",
     0,
     5,
     0,
     5,
     4,
     0,
     {".. .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"destination row at the height copies nothing",
     0,
     5,
     0,
     5,
     0,
     4,
     {".. .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"negative destination column: column 0 takes the pixel that belongs there",
     0,
     3,
     1,
     1,
     -2,
     0,
     {"21 31 .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"wholly left of the destination: column 0 takes the last write",
     0,
     2,
     1,
     1,
     -5,
     0,
     {"21 .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"negative destination row",
     0,
     0,
     0,
     3,
     3,
     -2,
     {".. .. .. 02", ".. .. .. 03", ".. .. .. ..", ".. .. .. .."}},
    {"extreme bounds and positions land on one corner",
     kMin,
     kMax,
     kMax,
     kMin,
     kMin,
     kMin,
     {"55 .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
    {"extreme destination past both edges copies nothing",
     kMin,
     kMax,
     kMin,
     kMax,
     kMax,
     kMax,
     {".. .. .. ..", ".. .. .. ..", ".. .. .. ..", ".. .. .. .."}},
};

TEST(CopyPixelRange, SettlesBoundsThenCopiesRowsOuterColumnsInner) {
  for (const RangeCase& c : kRangeCases) {
    SCOPED_TRACE(c.why);
    const BitmapImage source = Filled(6, 6, true);
    BitmapImage destination = Filled(4, 4, false);
    CopyPixelRange(source, c.firstColumn, c.lastColumn, c.rowBoundA, c.rowBoundB, destination,
                   c.destinationColumn, c.destinationRow);
    ExpectGrid(destination, c.want);
  }
}

// With a key that matches no source pixel the keyed copy settles and copies exactly alike.
TEST(CopyPixelRangeUnlessKey, WithAnUnusedKeyMatchesCopyPixelRange) {
  const PixelBgra noMatch{0, 0, 0, kSourceAlpha};  // red 0: no source pixel has it
  for (const RangeCase& c : kRangeCases) {
    SCOPED_TRACE(c.why);
    const BitmapImage source = Filled(6, 6, true);
    BitmapImage destination = Filled(4, 4, false);
    CopyPixelRangeUnlessKey(source, c.firstColumn, c.lastColumn, c.rowBoundA, c.rowBoundB,
                            destination, c.destinationColumn, c.destinationRow, noMatch);
    ExpectGrid(destination, c.want);
  }
}

TEST(CopyPixelRangeUnlessKey, KeyPixelsLeaveTheDestinationAsItWas) {
  struct Case {
    const char* why;
    std::vector<std::int32_t> keyColumns;  // source columns of row 1 given the key colour
    std::int32_t destinationColumn;
    std::vector<std::string> want;  // destination row 0, 4 wide
  };
  const Case cases[] = {
      {"key pixels skipped inside the destination", {1, 3}, 0, {"01 .. 21 .."}},
      {"column 0 keeps the last non-key pixel written onto it", {2}, -2, {"11 31 .. .."}},
      {"column 0 keeps its old value when every pixel for it is key",
       {0, 1, 2},
       -2,
       {".. 31 .. .."}},
  };
  const PixelBgra key{200, 201, 202, 0};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BitmapImage source = Filled(6, 6, true);
    for (std::int32_t column : c.keyColumns) source.At(column, 1) = PixelBgra{200, 201, 202, 7};
    BitmapImage destination = Filled(4, 1, false);
    CopyPixelRangeUnlessKey(source, 0, 3, 1, 1, destination, c.destinationColumn, 0, key);
    ExpectGrid(destination, c.want);
  }
}

// Within one image, pixels are copied one by one in loop order, so an overlapping destination to
// the right takes pixels already overwritten by the same call.
TEST(CopyPixelRange, SameImageCopiesInLoopOrder) {
  struct Case {
    const char* why;
    std::int32_t firstColumn, lastColumn, destinationColumn;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"overlap to the right repeats the old column 0", 0, 2, 1, {"00 00 00 00 40"}},
      {"overlap to the left shifts", 1, 3, 0, {"10 20 30 30 40"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BitmapImage image = Filled(5, 1, true);
    CopyPixelRange(image, c.firstColumn, c.lastColumn, 0, 0, image, c.destinationColumn, 0);
    ExpectGrid(image, c.want);
  }
}

// One column left and one row down: source (1, 1) is read after (2, 0) has been copied onto it
// when rows are the outer loop, before that when columns were.
TEST(CopyPixelRange, SameImageCopiesRowsOuterColumnsInner) {
  BitmapImage image = Filled(3, 3, true);
  CopyPixelRange(image, 1, 2, 0, 1, image, 0, 1);
  ExpectGrid(image, {"00 10 20", "10 20 21", "20 21 22"});
}

TEST(CopyPixelRangeUnlessKey, SameImageCopiesInLoopOrder) {
  // Old column 0 is the key: it is skipped, and column 2 is read after column 1 has been copied
  // onto it.
  BitmapImage image = Filled(5, 1, true);
  PixelBgra key = Tagged(0, 0);
  key.alpha = 0;
  CopyPixelRangeUnlessKey(image, 0, 2, 0, 0, image, 1, 0, key);
  ExpectGrid(image, {"00 10 10 10 40"});
}

}  // namespace
}  // namespace korvel
