// Run: ctest --preset release -R Pixels16
// 16-bit pixels: words read through the file's masks (5-5-5 without them), written as 5-6-5.
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
using test::PutLe16;

std::string Describe(PixelBgra p) {
  return std::to_string(p.blue) + "," + std::to_string(p.green) + "," + std::to_string(p.red) +
         " alpha " + std::to_string(p.alpha);
}

std::string Words(const std::vector<std::uint16_t>& words) {
  std::string out;
  for (std::uint16_t w : words) PutLe16(out, w);
  return out;
}

BmpBuilder File16(std::uint32_t compression, std::vector<std::uint32_t> masks) {
  BmpBuilder file;
  file.biBitCount = 16;
  file.biCompression = compression;
  file.masks = std::move(masks);
  return file;
}

struct WordCase {
  std::string name;
  std::uint32_t compression;
  std::vector<std::uint32_t> masks;  // red, green, blue as stored (4 bytes each)
  std::uint16_t word;
  PixelBgra want;  // blue, green, red, alpha
};

const std::vector<std::uint32_t> k565 = {0xF800, 0x07E0, 0x001F};

TEST(Pixels16, WordsSplitThroughTheMasks) {
  const WordCase cases[] = {
      {"5-5-5 all channels full", 0, {}, 0x7FFF, {248, 248, 248, 0}},
      {"5-5-5 bit 15 belongs to no channel", 0, {}, 0x8000, {0, 0, 0, 0}},
      {"5-5-5 red", 0, {}, 0x7C00, {0, 0, 248, 0}},
      {"5-5-5 lowest blue bit", 0, {}, 0x0001, {8, 0, 0, 0}},
      {"5-6-5 green", 3, k565, 0x07E0, {0, 248, 0, 0}},
      {"5-6-5 lowest green bit is dropped", 3, k565, 0x0020, {0, 0, 0, 0}},
      {"5-6-5 lowest red bit", 3, k565, 0x0800, {0, 0, 8, 0}},
      {"5-6-5 white", 3, k565, 0xFFFF, {248, 248, 248, 0}},
      {"empty red mask", 3, {0, 0x07E0, 0x001F}, 0xFFFF, {248, 248, 0, 0}},
      {"all masks empty", 3, {0, 0, 0}, 0xFFFF, {0, 0, 0, 0}},
      // 0x00FF is shifted by 3: bits 7 to 3 of the word; red and green share them.
      {"overlapping masks", 3, {0x00FF, 0x00FF, 0x001F}, 0x00F0, {128, 240, 240, 0}},
      // 0xFFFF is shifted by 11 down to 31: the top 5 bits of 0x1234 are 2.
      {"mask wider than 5 bits", 3, {0xFFFF, 0x07E0, 0x001F}, 0x1234, {160, 64, 16, 0}},
      {"mask with a gap", 3, {0x8001, 0, 0}, 0x8001, {0, 0, 128, 0}},
      {"high two bytes of a mask field are ignored",
       3,
       {0xFFFF7C00, 0x000003E0, 0xABCD001F},
       0x7C00,
       {0, 0, 248, 0}},
  };
  test::TempDir dir;
  for (const WordCase& c : cases) {
    SCOPED_TRACE(c.name);
    BmpBuilder file = File16(c.compression, c.masks);
    file.pixelData = Words({c.word, 0});
    const std::string path = dir.File("word.bmp");
    test::WriteFileBytes(path, file.Build());
    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(image.PixelValue(0, 0), c.want)
        << "have " << Describe(image.PixelValue(0, 0)) << ", want " << Describe(c.want);
  }
}

TEST(Pixels16, RowsAreReadBottomUpPastTheirPadBytes) {
  // 3 x 2: each row is 6 bytes of words and 2 pad bytes, here not zero.
  BmpBuilder file = File16(0, {});
  file.biWidth = 3;
  file.biHeight = 2;
  file.pixelData =
      Words({0x0001, 0x0002, 0x0003}) + "\xFF\xFF" + Words({0x0004, 0x0005, 0x0006}) + "\xFF\xFF";
  test::TempDir dir;
  const std::string path = dir.File("pads.bmp");
  test::WriteFileBytes(path, file.Build());
  BitmapImage image;
  ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
  for (std::int32_t r = 0; r < 2; ++r) {
    for (std::int32_t c = 0; c < 3; ++c) {
      const int blue = ((1 - r) * 3 + c + 1) * 8;
      EXPECT_EQ(int{image.PixelValue(c, r).blue}, blue) << "pixel " << c << "," << r;
    }
  }
}

TEST(Pixels16, StretchBeforeTheWordsIsSkipped) {
  struct Case {
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;
  };
  test::TempDir dir;
  for (const Case& c : {Case{0, {}}, Case{3, k565}}) {
    SCOPED_TRACE("biCompression " + std::to_string(c.compression));
    BmpBuilder file = File16(c.compression, c.masks);
    file.gap = std::string(6, '\xFF');
    file.pixelData = Words({0x001F, 0});
    const std::string path = dir.File("gap.bmp");
    test::WriteFileBytes(path, file.Build());
    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{248, 0, 0, 0}))
        << "have " << Describe(image.PixelValue(0, 0));
  }
}

struct ShortCase {
  std::string name;
  std::int32_t width, height;
  std::string data;
  std::vector<std::uint16_t> want;  // 5-5-5 words, bottom row first, left to right
};

TEST(Pixels16, ShortDataRepeatsTheLastWholeWord) {
  const ShortCase cases[] = {
      {"2 x 1 holding one word", 2, 1, Words({0x7C00}), {0x7C00, 0x7C00}},
      {"a lone byte after the last word", 2, 1, Words({0x7C00}) + "\x1F", {0x7C00, 0x7C00}},
      {"no pixel data: black", 2, 2, "", {0, 0, 0, 0}},
      {"ends in the second row",
       3,
       2,
       Words({1, 2, 3}) + std::string(2, '\0') + Words({0x03E0}),
       {1, 2, 3, 0x03E0, 0x03E0, 0x03E0}},
      {"ends inside the pad bytes",
       1,
       3,
       Words({0x001F}) + std::string(1, '\0'),
       {0x001F, 0x001F, 0x001F}},
  };
  test::TempDir dir;
  for (const ShortCase& c : cases) {
    SCOPED_TRACE(c.name);
    BmpBuilder file = File16(0, {});
    file.biWidth = c.width;
    file.biHeight = c.height;
    file.pixelData = c.data;
    const std::string path = dir.File("short.bmp");
    test::WriteFileBytes(path, file.Build());
    BitmapImage image;
    ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
    std::size_t k = 0;
    for (std::int32_t r = c.height - 1; r >= 0; --r) {
      for (std::int32_t col = 0; col < c.width; ++col, ++k) {
        const unsigned w = c.want[k];
        const PixelBgra want{std::uint8_t((w & 31) * 8), std::uint8_t((w >> 5 & 31) * 8),
                             std::uint8_t((w >> 10 & 31) * 8), 0};
        EXPECT_EQ(image.PixelValue(col, r), want)
            << "pixel " << col << "," << r << ": have " << Describe(image.PixelValue(col, r))
            << ", want " << Describe(want);
      }
    }
  }
}

TEST(Pixels16, ShortDataInATallPicture) {
  // 3 x 70, data ending two words into the 41st file row: every later pixel, up to the top
  // row, repeats the last word, however the rows are buffered.
  constexpr std::int32_t kWidth = 3, kHeight = 70, kWords = 40 * kWidth + 2;
  BmpBuilder file = File16(0, {});
  file.biWidth = kWidth;
  file.biHeight = kHeight;
  for (int k = 0; k < kWords; ++k) {
    PutLe16(file.pixelData, std::uint32_t(k) * 151u & 0x7FFFu);
    if (k % kWidth == kWidth - 1) file.pixelData += std::string(2, '\0');
  }
  test::TempDir dir;
  const std::string path = dir.File("tall.bmp");
  test::WriteFileBytes(path, file.Build());
  BitmapImage image;
  ASSERT_EQ(image.Load(path.c_str()), LoadStatus::kLoaded);
  int k = 0;
  for (std::int32_t r = kHeight - 1; r >= 0; --r) {
    for (std::int32_t c = 0; c < kWidth; ++c, ++k) {
      const unsigned w = unsigned(k < kWords ? k : kWords - 1) * 151u & 0x7FFFu;
      const PixelBgra want{std::uint8_t((w & 31) * 8), std::uint8_t((w >> 5 & 31) * 8),
                           std::uint8_t((w >> 10 & 31) * 8), 0};
      ASSERT_EQ(image.PixelValue(c, r), want)
          << "pixel " << c << "," << r << ": have " << Describe(image.PixelValue(c, r)) << ", want "
          << Describe(want);
    }
  }
}

TEST(Pixels16, SavedFileLayout) {
  // Rows of 2 x width bytes of words, padded to 4 with zero bytes; pixel rows at 66.
  struct Case {
    std::int32_t width;
    std::string wantRows;  // bottom row first
  };
  // Pixel (c, r) is blue 8c, green 4r, red 8: word 0x0800 | r << 5 | c.
  const Case cases[] = {
      {1, Words({0x0820}) + std::string(2, '\0') + Words({0x0800}) + std::string(2, '\0')},
      {2, Words({0x0820, 0x0821}) + Words({0x0800, 0x0801})},
      {3, Words({0x0820, 0x0821, 0x0822}) + std::string(2, '\0') + Words({0x0800, 0x0801, 0x0802}) +
              std::string(2, '\0')},
      {4, Words({0x0820, 0x0821, 0x0822, 0x0823}) + Words({0x0800, 0x0801, 0x0802, 0x0803})},
  };
  std::string maskBlock;
  for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) test::PutLe32(maskBlock, m);
  ASSERT_EQ(maskBlock, std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12));
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE("width " + std::to_string(c.width));
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(16));
    ASSERT_TRUE(image.Resize(c.width, 2));
    for (std::int32_t r = 0; r < 2; ++r) {
      for (std::int32_t col = 0; col < c.width; ++col) {
        image.At(col, r) = PixelBgra{std::uint8_t(8 * col), std::uint8_t(4 * r), 8, 200};
      }
    }
    const std::string path = dir.File("saved.bmp");
    ASSERT_TRUE(image.SaveToFile(path.c_str()));
    const std::string bytes = test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 66 + c.wantRows.size());
    EXPECT_EQ(bytes.substr(10, 4), std::string("\x42\0\0\0", 4)) << "bfOffBits 66";
    EXPECT_EQ(bytes.substr(30, 4), std::string("\x03\0\0\0", 4)) << "biCompression 3";
    EXPECT_EQ(bytes.substr(54, 12), maskBlock);
    EXPECT_EQ(bytes.substr(66), c.wantRows);
  }
}

TEST(Pixels16, SaveAndLoadKeepTheTopFiveBitsOfEveryChannel) {
  // Every channel value v comes back as v with its three low bits cleared, alpha as 0.
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(16));
  ASSERT_TRUE(image.Resize(256, 1));
  for (std::int32_t v = 0; v < 256; ++v) {
    image.At(v, 0) = PixelBgra{std::uint8_t(v ^ 0x55), std::uint8_t(255 - v), std::uint8_t(v), 77};
  }
  test::TempDir dir;
  const std::string path = dir.File("channels.bmp");
  ASSERT_TRUE(image.SaveToFile(path.c_str()));
  BitmapImage loaded;
  ASSERT_EQ(loaded.Load(path.c_str()), LoadStatus::kLoaded);
  ASSERT_EQ(loaded.BitDepth(), 16);
  for (std::int32_t v = 0; v < 256; ++v) {
    const PixelBgra want{std::uint8_t((v ^ 0x55) & 0xF8), std::uint8_t((255 - v) & 0xF8),
                         std::uint8_t(v & 0xF8), 0};
    ASSERT_EQ(loaded.PixelValue(v, 0), want)
        << "value " << v << ": have " << Describe(loaded.PixelValue(v, 0)) << ", want "
        << Describe(want);
  }
}

}  // namespace
}  // namespace korvel
