// Run: ctest --preset release -R 'Load'
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "korvel/bmp/load_status.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "support/bmp_builder.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::BmpBuilder;

using test::Row24;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

std::vector<PixelBgra> Palette(std::size_t count, std::uint8_t seed) {
  std::vector<PixelBgra> out;
  for (std::size_t i = 0; i < count; ++i) {
    const auto v = static_cast<std::uint8_t>(seed + i);
    out.push_back(PixelBgra{v, static_cast<std::uint8_t>(v ^ 0x55),
                            static_cast<std::uint8_t>(v + 7), static_cast<std::uint8_t>(200 - i)});
  }
  return out;
}

// Everything a refused load must leave alone.
struct Snapshot {
  explicit Snapshot(const BitmapImage& image)
      : depth(image.BitDepth()),
        width(image.Width()),
        height(image.Height()),
        x(image.XPixelsPerMeter()),
        y(image.YPixelsPerMeter()) {
    for (std::int32_t i = 0; i < 256; ++i) palette.push_back(image.PaletteEntry(i));
    for (std::int32_t c = 0; c < width; ++c) {
      for (std::int32_t r = 0; r < height; ++r) pixels.push_back(image.PixelValue(c, r));
    }
  }
  std::int32_t depth, width, height, x, y;
  std::vector<PixelBgra> palette, pixels;
};

void ExpectSame(const Snapshot& have, const Snapshot& want) {
  EXPECT_EQ(have.depth, want.depth);
  EXPECT_EQ(have.width, want.width);
  EXPECT_EQ(have.height, want.height);
  EXPECT_EQ(have.x, want.x);
  EXPECT_EQ(have.y, want.y);
  EXPECT_EQ(have.palette, want.palette);
  EXPECT_EQ(have.pixels, want.pixels);
}

// A 4-bit 3 x 2 image whose every part differs from what a load or a reset produces.
BitmapImage Prepared() {
  BitmapImage image;
  EXPECT_TRUE(image.ChangeBitDepth(4));
  EXPECT_TRUE(image.SetPaletteEntry(2, PixelBgra{1, 2, 3, 4}));
  EXPECT_TRUE(image.Resize(3, 2));
  image.At(1, 1) = PixelBgra{9, 8, 7, 6};
  image.SetResolutionDpi(100, 200);  // 3937 and 7874 pixels per metre
  return image;
}

class LoadTest : public testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = dir_.File("in.bmp");
    test::WriteFileBytes(path, bytes);
    return path;
  }
  LoadStatus LoadBytes(BitmapImage& image, const std::string& bytes) {
    return image.Load(Write(bytes).c_str());
  }
  test::TempDir dir_;
};

TEST_F(LoadTest, RefusalsResetToOnePixelOfOneBit) {
  struct Case {
    const char* name;
    std::string bytes;  // written to the file, unless missing
    bool missing;
    LoadStatus want;
    std::int32_t wantX, wantY;  // the prepared image holds 3937 and 7874
  };
  const auto with = [](auto change) {
    BmpBuilder b;
    b.biXPelsPerMeter = 500;
    b.biYPelsPerMeter = -7;
    b.biWidth = 2;
    b.biHeight = 2;
    b.pixelData = Row24({kWhite, kWhite}) + Row24({kWhite, kWhite});
    change(b);
    return b.Build();
  };
  const std::string valid = with([](BmpBuilder&) {});
  const Case cases[] = {
      {"missing file", "", true, LoadStatus::kCannotOpen, 3937, 7874},
      {"empty file", "", false, LoadStatus::kTruncatedHeader, 3937, 7874},
      // One byte cannot deliver bfType, which keeps its initial "BM".
      {"one byte", "B", false, LoadStatus::kTruncatedHeader, 3937, 7874},
      {"headers one byte short", valid.substr(0, 53), false, LoadStatus::kTruncatedHeader, 3937,
       7874},
      {"headers end inside biXPelsPerMeter", valid.substr(0, 40), false,
       LoadStatus::kTruncatedHeader, 3937, 7874},
      {"run-length 8 bits", with([](BmpBuilder& b) { b.biBitCount = 8, b.biCompression = 1; }),
       false, LoadStatus::kUnsupportedCompression, 500, -7},
      {"run-length 4 bits", with([](BmpBuilder& b) { b.biBitCount = 4, b.biCompression = 2; }),
       false, LoadStatus::kUnsupportedCompression, 500, -7},
      {"compression 4", with([](BmpBuilder& b) { b.biCompression = 4; }), false,
       LoadStatus::kUnsupportedCompression, 500, -7},
      {"masks at 32 bits", with([](BmpBuilder& b) { b.biBitCount = 32, b.biCompression = 3; }),
       false, LoadStatus::kUnsupportedCompression, 500, -7},
      {"2 bits", with([](BmpBuilder& b) { b.biBitCount = 2; }), false,
       LoadStatus::kUnsupportedBitDepth, 500, -7},
      {"0 bits", with([](BmpBuilder& b) { b.biBitCount = 0; }), false,
       LoadStatus::kUnsupportedBitDepth, 500, -7},
      {"top-down rows", with([](BmpBuilder& b) { b.biHeight = -10; }), false,
       LoadStatus::kInvalidDimensions, 500, -7},
      {"width 0", with([](BmpBuilder& b) { b.biWidth = 0; }), false, LoadStatus::kInvalidDimensions,
       500, -7},
      {"16385 x 16385", with([](BmpBuilder& b) { b.biWidth = 16385, b.biHeight = 16385; }), false,
       LoadStatus::kOverPixelLimit, 500, -7},
      {"65536 x 65536, 2^32 pixels",
       with([](BmpBuilder& b) { b.biWidth = 65536, b.biHeight = 65536; }), false,
       LoadStatus::kOverPixelLimit, 500, -7},
      {"int32 max squared at 1 bit", with([](BmpBuilder& b) {
         b.biBitCount = 1, b.biWidth = 0x7FFFFFFF, b.biHeight = 0x7FFFFFFF;
         b.palette = Palette(2, 0);
       }),
       false, LoadStatus::kOverPixelLimit, 500, -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BitmapImage image = Prepared();
    const std::string path = c.missing ? dir_.File("absent.bmp") : Write(c.bytes);
    EXPECT_EQ(image.Load(path.c_str()), c.want);

    BitmapImage again = Prepared();
    EXPECT_FALSE(again.LoadFromFile(path.c_str()));

    EXPECT_EQ(image.BitDepth(), 1);
    EXPECT_EQ(image.Width(), 1);
    EXPECT_EQ(image.Height(), 1);
    EXPECT_EQ(image.PaletteEntry(0), (PixelBgra{0, 0, 0, 0}));
    EXPECT_EQ(image.PaletteEntry(1), (PixelBgra{255, 255, 255, 0}));
    EXPECT_EQ(image.PixelValue(0, 0), kWhite);
    EXPECT_EQ(image.XPixelsPerMeter(), c.wantX);
    EXPECT_EQ(image.YPixelsPerMeter(), c.wantY);
  }
}

TEST_F(LoadTest, NullPathCannotBeOpened) {
  BitmapImage image = Prepared();
  EXPECT_EQ(image.Load(nullptr), LoadStatus::kCannotOpen);
  EXPECT_EQ(image.BitDepth(), 1);
  EXPECT_EQ(image.Width(), 1);
  EXPECT_EQ(image.XPixelsPerMeter(), 3937);
}

TEST_F(LoadTest, AnythingButBmLeavesTheImageEntirelyUnchanged) {
  BmpBuilder b;
  b.pixelData = Row24({PixelBgra{1, 2, 3, 0}});
  const std::string valid = b.Build();
  for (const std::string& start : {std::string("BA"), std::string("MB"), std::string("bm"),
                                   std::string("AM"), std::string("\0\0", 2)}) {
    SCOPED_TRACE("file starts with \"" + start + "\"");
    BitmapImage image = Prepared();
    const Snapshot before(image);
    EXPECT_EQ(LoadBytes(image, start + valid.substr(2)), LoadStatus::kNotBmp);
    ExpectSame(Snapshot(image), before);
  }
  BitmapImage image = Prepared();
  const Snapshot before(image);
  EXPECT_EQ(LoadBytes(image, "MZ"), LoadStatus::kNotBmp);  // refused before the header's end
  ExpectSame(Snapshot(image), before);
}

TEST_F(LoadTest, RowsAreStoredBottomUpAndPadBytesIgnored) {
  const PixelBgra top0{1, 2, 3, 0}, top1{4, 5, 6, 0}, bottom0{7, 8, 9, 0}, bottom1{10, 11, 12, 0};
  BmpBuilder b;
  b.biWidth = 2;
  b.biHeight = 2;
  std::string bottom = Row24({bottom0, bottom1});
  bottom[6] = '\x7F';  // pad bytes carry junk in some files
  bottom[7] = '\x7F';
  b.pixelData = bottom + Row24({top0, top1});
  BitmapImage image = Prepared();
  ASSERT_EQ(LoadBytes(image, b.Build()), LoadStatus::kLoaded);
  EXPECT_EQ(image.BitDepth(), 24);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.Height(), 2);
  EXPECT_FALSE(image.HasPalette());
  EXPECT_EQ(image.PixelValue(0, 0), top0);
  EXPECT_EQ(image.PixelValue(1, 0), top1);
  EXPECT_EQ(image.PixelValue(0, 1), bottom0);
  EXPECT_EQ(image.PixelValue(1, 1), bottom1);
}

TEST_F(LoadTest, ResolutionIsCopiedAsTheFileHoldsIt) {
  const std::int32_t cases[][2] = {{0, 0}, {2834, 11811}, {-1, -2147483647 - 1}};
  for (const auto& c : cases) {
    BmpBuilder b;
    b.biXPelsPerMeter = c[0];
    b.biYPelsPerMeter = c[1];
    b.pixelData = Row24({kWhite});
    BitmapImage image = Prepared();
    ASSERT_EQ(LoadBytes(image, b.Build()), LoadStatus::kLoaded);
    EXPECT_EQ(image.XPixelsPerMeter(), c[0]);
    EXPECT_EQ(image.YPixelsPerMeter(), c[1]);
  }
}

TEST_F(LoadTest, AlphaComesFromThe32BitFileAndIsZeroAt24Bits) {
  BmpBuilder b32;
  b32.biBitCount = 32;
  b32.biWidth = 2;
  b32.pixelData = Bytes({1, 2, 3, 4, 5, 6, 7, 255});
  BitmapImage image;
  ASSERT_EQ(LoadBytes(image, b32.Build()), LoadStatus::kLoaded);
  EXPECT_EQ(image.BitDepth(), 32);
  EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{1, 2, 3, 4}));
  EXPECT_EQ(image.PixelValue(1, 0), (PixelBgra{5, 6, 7, 255}));

  BmpBuilder b24;
  b24.pixelData = Bytes({1, 2, 3, 99});
  ASSERT_EQ(LoadBytes(image, b24.Build()), LoadStatus::kLoaded);
  EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{1, 2, 3, 0}));
}

TEST_F(LoadTest, ShortPixelDataLeavesTheRowsAboveWhite) {
  const PixelBgra a{1, 2, 3, 0}, b{4, 5, 6, 0};
  struct Case {
    const char* name;
    std::string pixelData;
    std::int64_t bfOffBits;  // -1: right after the headers
    bool bottomLoaded;
  };
  const Case cases[] = {
      {"only the bottom row", Row24({a, b}), -1, true},
      {"top row cut short", Row24({a, b}) + Row24({b, a}).substr(0, 5), -1, true},
      {"bottom row cut short", Row24({a, b}).substr(0, 7), -1, false},
      {"no pixel data", "", -1, false},
      {"bfOffBits past the end", Row24({a, b}) + Row24({b, a}), 1000, false},
      {"bfOffBits int32 max", Row24({a, b}) + Row24({b, a}), 0x7FFFFFFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpBuilder builder;
    builder.biWidth = 2;
    builder.biHeight = 2;
    builder.bfOffBits = c.bfOffBits;
    builder.pixelData = c.pixelData;
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, builder.Build()), LoadStatus::kLoaded);
    EXPECT_EQ(image.PixelValue(0, 1), c.bottomLoaded ? a : kWhite);
    EXPECT_EQ(image.PixelValue(1, 1), c.bottomLoaded ? b : kWhite);
    EXPECT_EQ(image.PixelValue(0, 0), kWhite);
    EXPECT_EQ(image.PixelValue(1, 0), kWhite);
  }
}

TEST_F(LoadTest, BytesBetweenHeadersAndRowsAreSkipped) {
  BmpBuilder b;
  b.gap = "\x11\x22\x33\x44\x55\x66";
  b.pixelData = Bytes({10, 20, 30, 0});
  ASSERT_EQ(b.Build().size(), 64u);
  BitmapImage image;
  ASSERT_EQ(LoadBytes(image, b.Build()), LoadStatus::kLoaded);
  EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{10, 20, 30, 0}));
}

TEST_F(LoadTest, PaletteEntriesComeFromBfOffBitsAndTheRestTurnWhite) {
  // 8 bits, 16 entries, bfOffBits 118: rows start right after the short palette.
  BmpBuilder b;
  b.biBitCount = 8;
  b.biWidth = 2;
  b.palette = Palette(16, 40);
  b.pixelData = Bytes({3, 15, 0, 0});
  const std::string file = b.Build();
  ASSERT_EQ(file[10], 118);
  BitmapImage image;
  ASSERT_EQ(LoadBytes(image, file), LoadStatus::kLoaded);
  ASSERT_EQ(image.BitDepth(), 8);
  for (std::int32_t i = 0; i < 256; ++i) {
    const PixelBgra want = i < 16 ? b.palette[std::size_t(i)] : kWhite;
    EXPECT_EQ(image.PaletteEntry(i), want) << "entry " << i;
  }
  EXPECT_EQ(image.PixelValue(0, 0), b.palette[3]);
  EXPECT_EQ(image.PixelValue(1, 0), b.palette[15]);
}

TEST_F(LoadTest, PaletteCountsAndRowOffsetsFollowFromBfOffBits) {
  struct Case {
    const char* name;
    std::uint16_t bitCount;
    std::size_t entriesInFile;
    std::string gap;
    std::int64_t bfOffBits;  // -1: after palette and gap
    std::string pixelData;
    std::size_t wantEntriesFromFile;  // the rest are white
    int wantPixelEntry;               // -1: white
  };
  const Case cases[] = {
      {"no palette at 8 bits", 8, 0, "", -1, Bytes({2, 0, 0, 0}), 0, -1},
      {"full palette at 8 bits", 8, 256, "", -1, Bytes({2, 0, 0, 0}), 256, 2},
      {"full palette and a gap", 8, 256, std::string(10, '\x01'), -1, Bytes({2, 0, 0, 0}), 256, 2},
      // Entries 2 and 3 are skipped, not read as the row (entry 2 starts with a 0 bit).
      {"more entries than the depth has", 1, 4, "", -1, Bytes({0x80, 0, 0, 0}), 2, 1},
      // (68 - 54) / 4 truncates to 3 entries and the rows follow them at 66, not at 68.
      {"bfOffBits between entries", 8, 3, Bytes({2, 0}), -1, Bytes({5, 0, 0, 0}), 3, 2},
      {"bfOffBits before the palette", 4, 0, "", 10, Bytes({0x10, 0, 0, 0}), 0, -1},
      {"bfOffBits 0xFFFFFFFF, signed -1", 4, 0, "", 0xFFFFFFFF, Bytes({0x10, 0, 0, 0}), 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpBuilder b;
    b.biBitCount = c.bitCount;
    b.palette = Palette(c.entriesInFile, 90);
    b.gap = c.gap;
    b.bfOffBits = c.bfOffBits;
    b.pixelData = c.pixelData;
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, b.Build()), LoadStatus::kLoaded);
    for (std::int32_t i = 0; i < image.ColorCount(); ++i) {
      const PixelBgra want =
          std::size_t(i) < c.wantEntriesFromFile ? b.palette[std::size_t(i)] : kWhite;
      EXPECT_EQ(image.PaletteEntry(i), want) << "entry " << i;
    }
    const PixelBgra wantPixel =
        c.wantPixelEntry < 0 ? kWhite : b.palette.at(std::size_t(c.wantPixelEntry));
    EXPECT_EQ(image.PixelValue(0, 0), wantPixel);
  }
}

TEST_F(LoadTest, FileEndingInsideThePaletteKeepsStandardColoursForUnreadEntries) {
  // 4 bits, bfOffBits promises 8 entries, the file holds 5 and half of a sixth.
  BmpBuilder b;
  b.biBitCount = 4;
  b.palette = Palette(8, 30);
  std::string file = b.Build();
  file.resize(54 + 5 * 4 + 2);
  BitmapImage image;
  ASSERT_EQ(LoadBytes(image, file), LoadStatus::kLoaded);
  BitmapImage standard;
  ASSERT_TRUE(standard.ChangeBitDepth(4));
  for (std::int32_t i = 0; i < 16; ++i) {
    const PixelBgra want = i < 5   ? b.palette[std::size_t(i)]
                           : i < 8 ? standard.PaletteEntry(i)
                                   : kWhite;
    EXPECT_EQ(image.PaletteEntry(i), want) << "entry " << i;
  }
  EXPECT_EQ(image.PixelValue(0, 0), kWhite);
}

TEST_F(LoadTest, LargerInformationHeadersPutThePaletteAfterThemselves) {
  for (const std::uint32_t biSize : {52u, 56u, 64u, 108u, 124u}) {
    SCOPED_TRACE(testing::Message() << "biSize " << biSize);
    BmpBuilder b;
    b.biSize = biSize;
    b.extraHeader = std::string(biSize - 40, '\x03');
    b.biBitCount = 8;
    b.palette = Palette(4, 60);
    b.pixelData = Bytes({3, 0, 0, 0});
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, b.Build()), LoadStatus::kLoaded);
    for (std::int32_t i = 0; i < 4; ++i) {
      EXPECT_EQ(image.PaletteEntry(i), b.palette[std::size_t(i)]) << "entry " << i;
    }
    EXPECT_EQ(image.PaletteEntry(4), kWhite);
    EXPECT_EQ(image.PixelValue(0, 0), b.palette[3]);
  }
}

TEST_F(LoadTest, SixteenBitsWithMasksIsAccepted) {
  BmpBuilder b;
  b.biBitCount = 16;
  b.biCompression = 3;
  b.masks = {0xF800, 0x07E0, 0x001F};
  b.pixelData = Bytes({0xFF, 0xFF, 0, 0});
  BitmapImage image;
  ASSERT_EQ(LoadBytes(image, b.Build()), LoadStatus::kLoaded);
  EXPECT_EQ(image.BitDepth(), 16);
  EXPECT_FALSE(image.HasPalette());
  EXPECT_EQ(image.PixelValue(0, 0), (PixelBgra{248, 248, 248, 0}));
}

TEST_F(LoadTest, ALoadReplacesAnEarlierLargerPicture) {
  BmpBuilder b;
  b.biBitCount = 32;
  b.pixelData = Bytes({1, 2, 3, 4});
  BitmapImage image = Prepared();
  ASSERT_TRUE(image.LoadFromFile(Write(b.Build()).c_str()));
  EXPECT_EQ(image.Width(), 1);
  EXPECT_EQ(image.Height(), 1);
  EXPECT_EQ(image.BitDepth(), 32);
  EXPECT_EQ(image.PaletteEntry(2), kWhite);
  EXPECT_EQ(image.PixelValue(5, 5), (PixelBgra{1, 2, 3, 4}));
}

TEST(LoadStatusText, EveryReasonHasItsOwnPhrase) {
  const LoadStatus all[] = {LoadStatus::kLoaded,
                            LoadStatus::kCannotOpen,
                            LoadStatus::kNotBmp,
                            LoadStatus::kTruncatedHeader,
                            LoadStatus::kUnsupportedCompression,
                            LoadStatus::kUnsupportedBitDepth,
                            LoadStatus::kInvalidDimensions,
                            LoadStatus::kOverPixelLimit,
                            LoadStatus::kOutOfMemory};
  std::vector<std::string> seen;
  for (const LoadStatus s : all) {
    const std::string text = Describe(s);
    EXPECT_NE(text, "unknown failure");
    for (const std::string& other : seen) EXPECT_NE(text, other);
    seen.push_back(text);
  }
}

}  // namespace
}  // namespace korvel
