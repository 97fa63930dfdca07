// Run: ctest --preset release -R IndexedRows
// 1-, 4- and 8-bit rows: bit and nibble order, partly filled last bytes, pad bytes, and the
// palette block that gives the indices their colours.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/bmp/headers.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "support/bmp_builder.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Entries that differ from each other in every field, alpha included, so a decoded pixel names
// the entry it came from.
PixelBgra Entry(int i) {
  return PixelBgra{std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7 + 3),
                   std::uint8_t(i ^ 0x5A)};
}

BitmapImage IndexedImage(std::int32_t depth, std::int32_t width, std::int32_t height) {
  BitmapImage image;
  image.ChangeBitDepth(depth);
  image.Resize(width, height);
  for (std::int32_t i = 0; i < image.ColorCount(); ++i) image.SetPaletteEntry(i, Entry(i));
  return image;
}

std::string Describe(PixelBgra p) {
  return std::to_string(p.blue) + "," + std::to_string(p.green) + "," + std::to_string(p.red) +
         " alpha " + std::to_string(p.alpha);
}

// The row as the file stores it: indices packed from the most significant bit, then `pad`.
std::string PackRow(std::int32_t depth, const std::vector<int>& indices, std::size_t rowLength,
                    char pad) {
  std::string row(rowLength, pad);
  const std::size_t dataBytes = (indices.size() * std::size_t(depth) + 7) / 8;
  for (std::size_t b = 0; b < dataBytes; ++b) row[b] = 0;
  for (std::size_t c = 0; c < indices.size(); ++c) {
    const std::size_t bit = c * std::size_t(depth);
    const int shift = 8 - depth - int(bit % 8);
    row[bit / 8] = char(std::uint8_t(row[bit / 8]) | indices[c] << shift);
  }
  return row;
}

struct DecodeCase {
  std::int32_t depth;
  std::int32_t width;
  Bytes row;
  std::vector<int> want;
};

TEST(IndexedRows, DecodeTakesFieldsFromTheMostSignificantEnd) {
  const DecodeCase cases[] = {
      {1, 3, {0xA0}, {1, 0, 1}},
      {1, 3, {0xBF}, {1, 0, 1}},  // the unfilled low bits are ignored
      {1, 8, {0x81}, {1, 0, 0, 0, 0, 0, 0, 1}},
      {1, 10, {0x01, 0x80}, {0, 0, 0, 0, 0, 0, 0, 1, 1, 0}},
      {4, 2, {0x3C}, {3, 12}},
      {4, 3, {0x56, 0x7F}, {5, 6, 7}},  // the low nibble of the last byte is ignored
      {8, 3, {0, 200, 255}, {0, 200, 255}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE("depth " + std::to_string(c.depth) + " width " + std::to_string(c.width));
    BitmapImage image = IndexedImage(c.depth, c.width, 2);
    const auto length = std::int64_t(c.row.size());
    bool decoded = false;
    if (c.depth == 1) decoded = image.DecodeRow1(c.row.data(), length, 1);
    if (c.depth == 4) decoded = image.DecodeRow4(c.row.data(), length, 1);
    if (c.depth == 8) decoded = image.DecodeRow8(c.row.data(), length, 1);
    ASSERT_TRUE(decoded);
    for (std::int32_t col = 0; col < c.width; ++col) {
      const PixelBgra want = Entry(c.want[std::size_t(col)]);
      EXPECT_EQ(image.PixelValue(col, 1), want)
          << "column " << col << ": have " << Describe(image.PixelValue(col, 1)) << ", want entry "
          << c.want[std::size_t(col)];
      EXPECT_EQ(image.PixelValue(col, 0), kWhite) << "row 0 must stay untouched";
    }
  }
}

struct EncodeCase {
  std::int32_t depth;
  std::vector<int> indices;
  Bytes want;
};

TEST(IndexedRows, EncodePacksIndicesAndLeavesTheRestOfTheBufferAlone) {
  const EncodeCase cases[] = {
      {4, {5, 6, 7}, {0x56, 0x70}},
      {4, {15}, {0xF0}},
      {1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0xFF, 0xC0}},
      {1, {1, 0, 1}, {0xA0}},
      {1, {0, 0, 0, 0, 0, 0, 0, 1, 1}, {0x01, 0x80}},
      {8, {0, 200, 255}, {0, 200, 255}},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE("depth " + std::to_string(c.depth) + " width " + std::to_string(c.indices.size()));
    const auto width = std::int32_t(c.indices.size());
    BitmapImage image = IndexedImage(c.depth, width, 2);
    for (std::int32_t col = 0; col < width; ++col) {
      PixelBgra p = Entry(c.indices[std::size_t(col)]);
      p.alpha = 1;  // alpha plays no part in the match
      image.At(col, 1) = p;
    }
    const std::size_t length = std::size_t(RowLength(c.depth, width));
    Bytes buffer(length + 2, 0xEE);
    bool encoded = false;
    if (c.depth == 1) encoded = image.EncodeRow1(buffer.data(), std::int64_t(length), 1);
    if (c.depth == 4) encoded = image.EncodeRow4(buffer.data(), std::int64_t(length), 1);
    if (c.depth == 8) encoded = image.EncodeRow8(buffer.data(), std::int64_t(length), 1);
    ASSERT_TRUE(encoded);
    Bytes want = c.want;
    want.resize(buffer.size(), 0xEE);
    EXPECT_EQ(buffer, want);
  }
}

TEST(IndexedRows, ShortBuffersAreRefusedWithoutChange) {
  struct Case {
    std::int32_t depth;
    std::int32_t width;
    std::int64_t shortest;  // the least rowLength that holds width pixels
  };
  const Case cases[] = {{1, 17, 3}, {1, 8, 1}, {4, 3, 2}, {4, 4, 2}, {8, 5, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE("depth " + std::to_string(c.depth) + " width " + std::to_string(c.width));
    BitmapImage image = IndexedImage(c.depth, c.width, 1);
    for (std::int32_t col = 0; col < c.width; ++col) image.At(col, 0) = Entry(1);
    const auto decode = [&](const Bytes& row, std::int64_t length) {
      if (c.depth == 1) return image.DecodeRow1(row.data(), length, 0);
      if (c.depth == 4) return image.DecodeRow4(row.data(), length, 0);
      return image.DecodeRow8(row.data(), length, 0);
    };
    const auto encode = [&](Bytes& row, std::int64_t length) {
      if (c.depth == 1) return image.EncodeRow1(row.data(), length, 0);
      if (c.depth == 4) return image.EncodeRow4(row.data(), length, 0);
      return image.EncodeRow8(row.data(), length, 0);
    };
    Bytes buffer(std::size_t(c.shortest), 0xEE);
    EXPECT_FALSE(encode(buffer, c.shortest - 1));
    EXPECT_EQ(buffer, Bytes(std::size_t(c.shortest), 0xEE)) << "a refused encode wrote bytes";
    const Bytes zeros(std::size_t(c.shortest), 0);
    EXPECT_FALSE(decode(zeros, c.shortest - 1));
    EXPECT_EQ(image.PixelValue(c.width - 1, 0), Entry(1)) << "a refused decode wrote pixels";
    EXPECT_TRUE(decode(zeros, c.shortest));
    EXPECT_EQ(image.PixelValue(c.width - 1, 0), Entry(0));
    EXPECT_TRUE(encode(buffer, c.shortest));
  }
}

TEST(IndexedRows, IndicesBeyondTheImagesPaletteFollowTheEntryRules) {
  // An 8-bit row decoded into a 4-bit image: indices from 16 up name no entry and read white.
  BitmapImage fourBit = IndexedImage(4, 2, 1);
  const Bytes row8 = {15, 200};
  ASSERT_TRUE(fourBit.DecodeRow8(row8.data(), 2, 0));
  EXPECT_EQ(fourBit.PixelValue(0, 0), Entry(15));
  EXPECT_EQ(fourBit.PixelValue(1, 0), kWhite) << "have " << Describe(fourBit.PixelValue(1, 0));

  // Any indexed row decoded into an image without palette reads white.
  BitmapImage rgb;
  ASSERT_TRUE(rgb.Resize(2, 1));
  rgb.At(0, 0) = rgb.At(1, 0) = PixelBgra{1, 2, 3, 4};
  const Bytes row1 = {0x80};
  ASSERT_TRUE(rgb.DecodeRow1(row1.data(), 1, 0));
  EXPECT_EQ(rgb.PixelValue(0, 0), kWhite) << "have " << Describe(rgb.PixelValue(0, 0));
  EXPECT_EQ(rgb.PixelValue(1, 0), kWhite);

  // 8-bit indices packed as nibbles keep the low 8 bits of index x 16 + next index:
  // 0x23 x 16 + 0x45 = 0x275.
  BitmapImage eightBit = IndexedImage(8, 2, 1);
  eightBit.At(0, 0) = Entry(0x23);
  eightBit.At(1, 0) = Entry(0x45);
  Bytes out(4, 0);
  ASSERT_TRUE(eightBit.EncodeRow4(out.data(), 4, 0));
  EXPECT_EQ(int{out[0]}, 0x75);
  ASSERT_TRUE(eightBit.EncodeRow1(out.data(), 4, 0));
  EXPECT_EQ(int{out[0]}, std::uint8_t(0x23 * 128 + 0x45 * 64));
}

TEST(IndexedRows, FileRowsWithEveryPadLengthLoadAndSaveBack) {
  // Widths chosen so that the index bytes of a row are 1 to 4: pads of 3, 2, 1 and 0 bytes.
  struct Case {
    std::int32_t depth;
    std::int32_t width;
  };
  const Case cases[] = {{8, 1}, {8, 2}, {8, 3}, {8, 4}, {4, 1},  {4, 3},
                        {4, 5}, {4, 7}, {1, 1}, {1, 9}, {1, 17}, {1, 25}};
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE("depth " + std::to_string(c.depth) + " width " + std::to_string(c.width));
    constexpr std::int32_t kHeight = 3;
    const int count = 1 << c.depth;
    const auto rowLength = std::size_t(RowLength(c.depth, c.width));
    // indices[r][col] for image row r (0 is the top).
    std::vector<std::vector<int>> indices(kHeight);
    for (std::int32_t r = 0; r < kHeight; ++r) {
      for (std::int32_t col = 0; col < c.width; ++col) {
        indices[std::size_t(r)].push_back((col * 5 + r * 3 + 1) % count);
      }
    }
    test::BmpBuilder file;
    file.biWidth = c.width;
    file.biHeight = kHeight;
    file.biBitCount = std::uint16_t(c.depth);
    for (int i = 0; i < count; ++i) file.palette.push_back(Entry(i));
    std::string wantRows;
    for (std::int32_t r = kHeight - 1; r >= 0; --r) {
      // Pad bytes that are not zero must be ignored on reading and written as zero.
      file.pixelData += PackRow(c.depth, indices[std::size_t(r)], rowLength, '\xFF');
      wantRows += PackRow(c.depth, indices[std::size_t(r)], rowLength, '\0');
    }
    const std::string source = dir.File("source.bmp");
    test::WriteFileBytes(source, file.Build());

    BitmapImage image;
    ASSERT_EQ(image.Load(source.c_str()), LoadStatus::kLoaded);
    for (std::int32_t r = 0; r < kHeight; ++r) {
      for (std::int32_t col = 0; col < c.width; ++col) {
        const int index = indices[std::size_t(r)][std::size_t(col)];
        // The whole entry, its fourth byte becoming the pixel's alpha.
        ASSERT_EQ(image.PixelValue(col, r), Entry(index))
            << "pixel " << col << "," << r << ": have " << Describe(image.PixelValue(col, r))
            << ", want entry " << index;
      }
    }
    const std::string saved = dir.File("saved.bmp");
    ASSERT_TRUE(image.SaveToFile(saved.c_str()));
    const std::string bytes = test::ReadFileBytes(saved);
    const std::size_t offBits = 54 + 4 * std::size_t(count);
    ASSERT_EQ(bytes.size(), offBits + wantRows.size());
    EXPECT_EQ(bytes.substr(offBits), wantRows);
  }
}

struct PaletteBlockCase {
  std::string name;
  std::int32_t depth;
  int entriesInFile;       // Entry(0) onward, right after the 40-byte header
  std::string gap;         // bytes between those entries and the rows
  std::int64_t bfOffBits;  // -1: where the gap ends
  std::string rows;        // one row of a 2 x 1 image, and whatever follows it
  int entriesRead;         // entries that come from the file; beyond them all are white
  PixelBgra want[2];
};

const PixelBgra kEntry0 = Entry(0), kEntry1 = Entry(1), kEntry10 = Entry(10), kEntry15 = Entry(15);

TEST(IndexedRows, PaletteEntryCountAndRowStartComeFromBfOffBits) {
  const PaletteBlockCase cases[] = {
      {"16 entries of 256, rows at 118",
       8,
       16,
       "",
       118,
       std::string("\x0F\x10\0\0", 4),
       16,
       {kEntry15, kWhite}},
      {"no entries, rows at 54", 8, 0, "", 54, std::string("\x00\x01\0\0", 4), 0, {kWhite, kWhite}},
      // n = (60 - 54) / 4 = 1 and no skip: the rows start after that entry, at 58, not at 60.
      {"offset between entries",
       8,
       1,
       "",
       60,
       std::string("\x00\x00\x01\x01\x01\x01", 6),
       1,
       {kEntry0, kEntry0}},
      {"stretch after a full palette is skipped",
       4,
       16,
       std::string(8, '\x33'),
       -1,
       std::string("\xA1\0\0\0", 4),
       16,
       {kEntry10, kEntry1}},
      // n would be 10; only 2 entries exist, and the next 32 bytes are skipped.
      {"count capped at the palette size",
       1,
       2,
       std::string(32, '\x11'),
       -1,
       std::string("\x40\0\0\0", 4),
       2,
       {kEntry0, kEntry1}},
      {"bfOffBits inside the headers",
       8,
       0,
       "",
       20,
       std::string("\x00\x01\0\0", 4),
       0,
       {kWhite, kWhite}},
      // As a signed value -1: no entries, no skip, rows from 54.
      {"bfOffBits 0xFFFFFFFF",
       4,
       0,
       "",
       0xFFFFFFFF,
       std::string("\x10\0\0\0", 4),
       0,
       {kWhite, kWhite}},
  };
  test::TempDir dir;
  for (const PaletteBlockCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::BmpBuilder file;
    file.biWidth = 2;
    file.biBitCount = std::uint16_t(c.depth);
    for (int i = 0; i < c.entriesInFile; ++i) file.palette.push_back(Entry(i));
    file.gap = c.gap;
    file.bfOffBits = c.bfOffBits;
    file.pixelData = c.rows;
    const std::string path = dir.File(std::to_string(&c - cases) + ".bmp");
    test::WriteFileBytes(path, file.Build());

    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
      const PixelBgra want = i < c.entriesRead ? Entry(i) : kWhite;
      ASSERT_EQ(image.PaletteEntry(i), want)
          << "entry " << i << ": have " << Describe(image.PaletteEntry(i)) << ", want "
          << Describe(want);
    }
    for (std::int32_t col = 0; col < 2; ++col) {
      EXPECT_EQ(image.PixelValue(col, 0), c.want[col])
          << "column " << col << ": have " << Describe(image.PixelValue(col, 0)) << ", want "
          << Describe(c.want[col]);
    }
  }
}

TEST(IndexedRows, FileEndingInsideThePaletteKeepsStandardEntries) {
  // 16 entries announced; the file holds 2 and half of the third.
  test::BmpBuilder file;
  file.biBitCount = 4;
  file.bfOffBits = 118;
  file.palette = {Entry(0), Entry(1)};
  file.pixelData = std::string("\x01\x02", 2);
  test::TempDir dir;
  const std::string path = dir.File("short-palette.bmp");
  test::WriteFileBytes(path, file.Build());

  BitmapImage image;
  ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
  BitmapImage standard;
  ASSERT_TRUE(standard.ChangeBitDepth(4));
  for (std::int32_t i = 0; i < 16; ++i) {
    const PixelBgra want = i < 2 ? Entry(i) : standard.PaletteEntry(i);
    EXPECT_EQ(image.PaletteEntry(i), want)
        << "entry " << i << ": have " << Describe(image.PaletteEntry(i)) << ", want "
        << Describe(want);
  }
  EXPECT_EQ(image.PixelValue(0, 0), kWhite);
}

}  // namespace
}  // namespace korvel
