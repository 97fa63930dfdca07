// Run: ctest --preset release -R LargerHeaders
// Information headers of 52, 56, 64, 108 and 124 bytes, as common tools write them: at 1, 4 and
// 8 bits the palette follows the whole header. Every other size, and every other depth, keeps
// the 40-byte layout (a 16-bit mask block is read from offset 54).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/image/bitmap_image.hpp"
#include "support/bmp_builder.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::BmpBuilder;

PixelBgra Entry(int i) {
  return PixelBgra{std::uint8_t(i + 1), std::uint8_t(200 - i), std::uint8_t(i * 3),
                   std::uint8_t(i | 0x40)};
}

std::string Describe(PixelBgra p) {
  return std::to_string(p.blue) + "," + std::to_string(p.green) + "," + std::to_string(p.red) +
         " alpha " + std::to_string(p.alpha);
}

// Header bytes past the first 40: not palette entries, and they must not be read as such.
std::string HeaderTail(std::uint32_t biSize) {
  return std::string(biSize - 40, '\xEE');
}

const std::uint32_t kLargerSizes[] = {52, 56, 64, 108, 124};

TEST(LargerHeaders, PaletteFollowsTheWholeHeader) {
  test::TempDir dir;
  for (std::uint32_t biSize : kLargerSizes) {
    for (std::int32_t depth : {1, 4, 8}) {
      SCOPED_TRACE("biSize " + std::to_string(biSize) + " depth " + std::to_string(depth));
      const int count = 1 << depth;
      BmpBuilder file;
      file.biSize = biSize;
      file.biBitCount = std::uint16_t(depth);
      file.biWidth = 2;
      file.extraHeader = HeaderTail(biSize);
      for (int i = 0; i < count; ++i) file.palette.push_back(Entry(i));
      file.gap = std::string(4, '\xEE');  // skipped: bfOffBits lies 4 bytes past the palette
      // Index 1 for column 0, and 0 for column 1, at every depth.
      file.pixelData = depth == 8 ? std::string("\x01\x00\0\0", 4)
                                  : std::string(depth == 4 ? "\x10\0\0\0" : "\x80\0\0\0", 4);
      const std::string path = dir.File("palette.bmp");
      test::WriteFileBytes(path, file.Build());

      BitmapImage image;
      ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
      for (int i = 0; i < count; ++i) {
        ASSERT_EQ(image.PaletteEntry(i), Entry(i))
            << "entry " << i << ": have " << Describe(image.PaletteEntry(i));
      }
      EXPECT_EQ(image.PixelValue(0, 0), Entry(1)) << "have " << Describe(image.PixelValue(0, 0));
      EXPECT_EQ(image.PixelValue(1, 0), Entry(0)) << "have " << Describe(image.PixelValue(1, 0));
    }
  }
}

struct ShortPaletteCase {
  std::string name;
  std::uint32_t biSize;
  int entriesInFile;
  std::int64_t offsetFromHeaderEnd;  // bfOffBits - (14 + biSize)
  int entriesRead;
  PixelBgra want;  // the one pixel, index 1 at 8 bits
};

TEST(LargerHeaders, EntryCountAndSkipCountFromTheHeaderEnd) {
  const ShortPaletteCase cases[] = {
      {"2 entries of 256", 124, 2, 8, 2, Entry(1)},
      {"2 entries and a half: truncated", 108, 2, 10, 2, Entry(1)},
      // No entries, no skip: the rows start right after the header.
      {"bfOffBits at the header end", 124, 0, 0, 0, kWhite},
      {"bfOffBits inside the header", 56, 0, -20, 0, kWhite},
  };
  test::TempDir dir;
  for (const ShortPaletteCase& c : cases) {
    SCOPED_TRACE(c.name);
    BmpBuilder file;
    file.biSize = c.biSize;
    file.biBitCount = 8;
    file.extraHeader = HeaderTail(c.biSize);
    for (int i = 0; i < c.entriesInFile; ++i) file.palette.push_back(Entry(i));
    file.bfOffBits = 14 + std::int64_t{c.biSize} + c.offsetFromHeaderEnd;
    file.pixelData = std::string("\x01\x02\x03\x04\x05\x06", 6);
    const std::string path = dir.File("short.bmp");
    test::WriteFileBytes(path, file.Build());

    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    for (std::int32_t i = 0; i < 256; ++i) {
      const PixelBgra want = i < c.entriesRead ? Entry(i) : kWhite;
      ASSERT_EQ(image.PaletteEntry(i), want)
          << "entry " << i << ": have " << Describe(image.PaletteEntry(i)) << ", want "
          << Describe(want);
    }
    EXPECT_EQ(image.PixelValue(0, 0), c.want) << "have " << Describe(image.PixelValue(0, 0));
  }
}

TEST(LargerHeaders, OtherSizesKeepThePaletteAtOffset54) {
  // A biSize of 100 is no known header: the 4 bytes at 54 are entry 0.
  test::TempDir dir;
  for (std::uint32_t biSize : {12u, 40u, 100u, 125u}) {
    SCOPED_TRACE("biSize " + std::to_string(biSize));
    BmpBuilder file;
    file.biSize = biSize;
    file.biBitCount = 1;
    file.palette = {Entry(5), Entry(6)};
    file.pixelData = std::string("\x80\0\0\0", 4);
    const std::string path = dir.File("other.bmp");
    test::WriteFileBytes(path, file.Build());
    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(image.PaletteEntry(0), Entry(5));
    EXPECT_EQ(image.PixelValue(0, 0), Entry(6));
  }
}

TEST(LargerHeaders, DirectDepthsReadFromOffset54) {
  test::TempDir dir;
  // 16 bits: a v4 or v5 header carries the red, green and blue masks at offset 54, exactly where
  // the mask block of a 40-byte file sits; the rest of the header is skipped through bfOffBits.
  for (std::uint32_t biSize : {108u, 124u}) {
    SCOPED_TRACE("16 bits, biSize " + std::to_string(biSize));
    BmpBuilder file;
    file.biSize = biSize;
    file.biBitCount = 16;
    file.biCompression = 3;
    file.masks = {0xF800, 0x07E0, 0x001F};
    file.gap = std::string(biSize - 52, '\xEE');
    file.pixelData = std::string("\x00\xF8\0\0", 4);  // pure red in 5-6-5
    const std::string path = dir.File("masks.bmp");
    test::WriteFileBytes(path, file.Build());
    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{0, 0, 248, 0}))
        << "have " << Describe(image.PixelValue(0, 0));
  }
  for (std::int32_t depth : {24, 32}) {
    SCOPED_TRACE(std::to_string(depth) + " bits, biSize 124");
    BmpBuilder file;
    file.biSize = 124;
    file.biBitCount = std::uint16_t(depth);
    file.extraHeader = HeaderTail(124);
    file.pixelData = std::string("\x10\x20\x30\x40", 4);
    const std::string path = dir.File("direct.bmp");
    test::WriteFileBytes(path, file.Build());
    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    const PixelBgra want{0x10, 0x20, 0x30, std::uint8_t(depth == 32 ? 0x40 : 0)};
    EXPECT_EQ(image.PixelValue(0, 0), want) << "have " << Describe(image.PixelValue(0, 0));
  }
}

}  // namespace
}  // namespace korvel
