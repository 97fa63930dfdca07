// Run: ctest --preset release -R RoundTrip
// Every depth written and read back: what comes back is what the depth can hold. Pallisk keeps
// the depth of its source from end to end.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "korvel/image/bitmap_image.hpp"
#include "korvel/pallisk.h"
#include "support/pallisk_library.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

std::string Describe(PixelBgra p) {
  return std::to_string(p.blue) + "," + std::to_string(p.green) + "," + std::to_string(p.red) +
         " alpha " + std::to_string(p.alpha);
}

// What a pixel becomes when written at the image's depth and read back.
PixelBgra Stored(const BitmapImage& image, PixelBgra p) {
  switch (image.BitDepth()) {
    case 32:
      return p;
    case 24:
      return PixelBgra{p.blue, p.green, p.red, 0};
    case 16:
      return PixelBgra{std::uint8_t(p.blue & 0xF8), std::uint8_t(p.green & 0xF8),
                       std::uint8_t(p.red & 0xF8), 0};
    default:
      return image.PaletteEntry(image.NearestPaletteIndex(p));
  }
}

TEST(RoundTrip, EveryDepthKeepsWhatItCanHold) {
  constexpr std::int32_t kWidth = 7, kHeight = 5;  // odd: partly filled bytes and pads
  test::TempDir dir;
  for (std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    ASSERT_TRUE(image.Resize(kWidth, kHeight));
    image.SetResolutionDpi(72, 300);
    std::uint32_t state = 99;
    for (std::int32_t r = 0; r < kHeight; ++r) {
      for (std::int32_t c = 0; c < kWidth; ++c) {
        state = state * 1664525u + 1013904223u;
        image.At(c, r) = PixelBgra{std::uint8_t(state >> 24), std::uint8_t(state >> 16),
                                   std::uint8_t(state >> 8), std::uint8_t(state >> 4)};
      }
    }
    const std::string path = dir.File("depth" + std::to_string(depth) + ".bmp");
    ASSERT_TRUE(image.SaveToFile(path.c_str()));

    BitmapImage loaded;
    ASSERT_EQ(loaded.Load(path.c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(loaded.BitDepth(), depth);
    ASSERT_EQ(loaded.Width(), kWidth);
    ASSERT_EQ(loaded.Height(), kHeight);
    EXPECT_EQ(loaded.XPixelsPerMeter(), image.XPixelsPerMeter());
    EXPECT_EQ(loaded.YPixelsPerMeter(), image.YPixelsPerMeter());
    for (std::int32_t i = 0; depth <= 8 && i < image.ColorCount(); ++i) {
      ASSERT_EQ(loaded.PaletteEntry(i), image.PaletteEntry(i)) << "entry " << i;
    }
    for (std::int32_t r = 0; r < kHeight; ++r) {
      for (std::int32_t c = 0; c < kWidth; ++c) {
        const PixelBgra want = Stored(image, image.PixelValue(c, r));
        ASSERT_EQ(loaded.PixelValue(c, r), want)
            << "pixel " << c << "," << r << ": have " << Describe(loaded.PixelValue(c, r))
            << ", want " << Describe(want);
      }
    }
  }
}

TEST(RoundTrip, IndexedPixelsComeBackAsTheirNearestEntry) {
  // A palette of its own, fourth bytes included; pixel alpha is dropped for the entry's.
  BitmapImage image;
  ASSERT_TRUE(image.ChangeBitDepth(8));
  for (std::int32_t i = 0; i < 256; ++i) {
    ASSERT_TRUE(image.SetPaletteEntry(i, PixelBgra{std::uint8_t(i), std::uint8_t(i / 2),
                                                   std::uint8_t(255 - i), std::uint8_t(i)}));
  }
  ASSERT_TRUE(image.Resize(3, 1));
  image.At(0, 0) = PixelBgra{7, 3, 248, 0};  // entry 7 exactly, other alpha
  image.At(1, 0) = PixelBgra{100, 0, 0, 9};  // in no entry
  image.At(2, 0) = PixelBgra{255, 255, 255, 0};
  test::TempDir dir;
  const std::string path = dir.File("own-palette.bmp");
  ASSERT_TRUE(image.SaveToFile(path.c_str()));
  BitmapImage loaded;
  ASSERT_EQ(loaded.Load(path.c_str()), LoadStatus::kLoaded);
  EXPECT_EQ(loaded.PixelValue(0, 0), image.PaletteEntry(7));
  for (std::int32_t c = 1; c < 3; ++c) {
    const PixelBgra want = image.PaletteEntry(image.NearestPaletteIndex(image.PixelValue(c, 0)));
    EXPECT_NE(want, image.PixelValue(c, 0));
    EXPECT_EQ(loaded.PixelValue(c, 0), want)
        << "column " << c << ": have " << Describe(loaded.PixelValue(c, 0)) << ", want "
        << Describe(want);
  }
}

using test::LoadPallisk;
using test::PalliskFunction;
using test::Wide;

TEST(RoundTrip, PalliskWritesEveryDepthBackAtThatDepth) {
  const PalliskFunction pallisk = LoadPallisk();
  ASSERT_NE(pallisk, nullptr) << "cannot load Pallisk from " << KORVEL_PALLISK_LIBRARY;
  // Rows 0 and 1 equal, row 2 of another brightness: with threshold 0 row 0 turns white, row 1
  // keeps its colours, and the bottom row, compared with itself, turns white. Colours are in
  // the standard 4- and 8-bit palettes and survive 16 bits but for white.
  const PixelBgra top[3] = {{0, 0, 128, 0x11}, {0, 128, 0, 0x22}, {128, 0, 0, 0x33}};
  const PixelBgra bottom{255, 0, 0, 0x44};
  test::TempDir dir;
  for (std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    BitmapImage source;
    ASSERT_TRUE(source.ChangeBitDepth(depth));
    ASSERT_TRUE(source.Resize(3, 3));
    for (std::int32_t c = 0; c < 3; ++c) {
      // The 1-bit palette has black and white only.
      const PixelBgra a = depth == 1 ? PixelBgra{0, 0, 0, 0} : top[c];
      const PixelBgra b = depth == 1 ? kWhite : bottom;
      source.At(c, 0) = source.At(c, 1) = a;
      source.At(c, 2) = b;
    }
    const std::string sourcePath = dir.File("source.bmp");
    const std::string targetPath = dir.File("target.bmp");
    ASSERT_TRUE(source.SaveToFile(sourcePath.c_str()));
    BitmapImage held;  // the colours the source file holds
    ASSERT_EQ(held.Load(sourcePath.c_str()), LoadStatus::kLoaded);

    ASSERT_EQ(pallisk(Wide(sourcePath).c_str(), Wide(targetPath).c_str(), 0), 999);
    BitmapImage result;
    ASSERT_EQ(result.Load(targetPath.c_str()), LoadStatus::kLoaded);
    EXPECT_EQ(result.BitDepth(), depth);
    ASSERT_EQ(result.Width(), 3);
    ASSERT_EQ(result.Height(), 3);
    for (std::int32_t r = 0; r < 3; ++r) {
      for (std::int32_t c = 0; c < 3; ++c) {
        PixelBgra want = held.PixelValue(c, r);
        if (r != 1) want.blue = want.green = want.red = 255;  // whitened, alpha kept
        want = Stored(held, want);
        EXPECT_EQ(result.PixelValue(c, r), want)
            << "pixel " << c << "," << r << ": have " << Describe(result.PixelValue(c, r))
            << ", want " << Describe(want);
      }
    }
  }
}

}  // namespace
}  // namespace korvel
