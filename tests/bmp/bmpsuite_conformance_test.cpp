// Run: ctest --preset release -R BmpSuite
// Every file of the BMP Suite (fuzz/corpus/bmpsuite/) with the outcome the loader's rules give it:
// loaded at a depth and size, or refused with a reason. Loaded pictures are compared with an
// independent decoder (stb_image) where the two agree on the format; where they deliberately do
// not, the row names the difference.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb_image.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "korvel/bmp/load_status.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

enum class Colours {
  kAsDecoder,        // blue, green and red exactly as the other decoder gives them
  kAsDecoderScaled,  // 16 bits: channels are the field times 8, not bit-replicated to 255
  kDeliberatelyDiffer,
  kNone,  // refused
};

struct SuiteRow {
  const char* file;
  LoadStatus status;
  std::int32_t depth, width, height;
  Colours colours;
  // The file whose decoding by the other decoder shows the same picture, when that decoder
  // refuses this one; or, for kDeliberatelyDiffer, why the colours differ.
  const char* note;
};

constexpr SuiteRow Loaded(const char* file, std::int32_t depth, Colours colours,
                          const char* note = nullptr, std::int32_t width = 127,
                          std::int32_t height = 64) {
  return SuiteRow{file, LoadStatus::kLoaded, depth, width, height, colours, note};
}
constexpr SuiteRow Refused(const char* file, LoadStatus status) {
  return SuiteRow{file, status, 0, 0, 0, Colours::kNone, nullptr};
}

constexpr Colours kSame = Colours::kAsDecoder;
constexpr Colours kScaled = Colours::kAsDecoderScaled;
constexpr Colours kDiffer = Colours::kDeliberatelyDiffer;
constexpr LoadStatus kCompression = LoadStatus::kUnsupportedCompression;
constexpr LoadStatus kDepth = LoadStatus::kUnsupportedBitDepth;
constexpr LoadStatus kDimensions = LoadStatus::kInvalidDimensions;

const SuiteRow kSuite[] = {
    // Bad files.
    Refused("b/badbitcount.bmp", kDepth),   // biBitCount 30000
    Loaded("b/badbitssize.bmp", 1, kSame),  // biSizeImage is not examined
    Loaded("b/baddens1.bmp", 1, kSame),     // resolutions are copied, never used
    Loaded("b/baddens2.bmp", 1, kSame),
    Loaded("b/badfilesize.bmp", 1, kSame),  // bfSize is not examined
    Loaded("b/badheadersize.bmp", 1, kDiffer,
           "biSize 66 is no known larger header: both palette entries come from bytes 54 to 61, "
           "inside the header"),
    Loaded("b/badpalettesize.bmp", 8, kSame),  // biClrUsed plays no part; bfOffBits gives 252
    Loaded("b/badplanes.bmp", 1, kSame, "g/pal1.bmp"),  // biPlanes is not examined
    Refused("b/badrle.bmp", kCompression),
    Refused("b/badrle4.bmp", kCompression),
    Refused("b/badrle4bis.bmp", kCompression),
    Refused("b/badrle4ter.bmp", kCompression),
    Refused("b/badrlebis.bmp", kCompression),
    Refused("b/badrleter.bmp", kCompression),
    Refused("b/badwidth.bmp", kDimensions),  // biWidth -127
    Loaded("b/pal8badindex.bmp", 8, kDiffer,
           "bfOffBits leaves room for 101 entries: larger indices read the white entries added "
           "after them"),
    Refused("b/reallybig.bmp", LoadStatus::kOverPixelLimit),  // 3000000 x 2000000
    Loaded("b/rgb16-880.bmp", 16, kDiffer,
           "an empty blue mask gives blue 0; the other decoder refuses the file"),
    Refused("b/rletopdown.bmp", kCompression),
    Loaded("b/shortfile.bmp", 1, kDiffer,
           "the data ends in the 14th row from the bottom: that row and all above stay white"),
    // Good files.
    Loaded("g/pal1.bmp", 1, kSame),
    Loaded("g/pal1bg.bmp", 1, kSame),
    Loaded("g/pal1wb.bmp", 1, kSame),
    Loaded("g/pal4.bmp", 4, kSame),  // 12 entries by bfOffBits, the rest white
    Loaded("g/pal4gs.bmp", 4, kSame),
    Refused("g/pal4rle.bmp", kCompression),
    Loaded("g/pal8-0.bmp", 8, kSame),
    Loaded("g/pal8.bmp", 8, kSame),
    Loaded("g/pal8gs.bmp", 8, kSame),
    Loaded("g/pal8nonsquare.bmp", 8, kSame, nullptr, 127, 32),
    // A 12-byte OS/2 header: the bytes read as biCompression belong to the palette (13056).
    Refused("g/pal8os2.bmp", kCompression),
    Refused("g/pal8rle.bmp", kCompression),
    Refused("g/pal8topdown.bmp", kDimensions),  // biHeight -64
    Loaded("g/pal8v4.bmp", 8, kSame),           // palette after the 108-byte header
    Loaded("g/pal8v5.bmp", 8, kSame),           // palette after the 124-byte header
    Loaded("g/pal8w124.bmp", 8, kSame, nullptr, 124, 61),
    Loaded("g/pal8w125.bmp", 8, kSame, nullptr, 125, 62),
    Loaded("g/pal8w126.bmp", 8, kSame, nullptr, 126, 63),
    Loaded("g/rgb16-565.bmp", 16, kScaled),
    Loaded("g/rgb16-565pal.bmp", 16, kScaled, "g/rgb16-565.bmp"),  // a palette block is skipped
    Loaded("g/rgb16.bmp", 16, kScaled),
    Loaded("g/rgb16bfdef.bmp", 16, kScaled),
    Loaded("g/rgb24.bmp", 24, kSame),
    Loaded("g/rgb24pal.bmp", 24, kSame, "g/rgb24.bmp"),
    Loaded("g/rgb32.bmp", 32, kSame),
    Refused("g/rgb32bf.bmp", kCompression),  // masks only at 16 bits
    Refused("g/rgb32bfdef.bmp", kCompression),
    // Questionable files.
    Refused("q/pal1huffmsb.bmp", kCompression),
    Loaded("q/pal1p1.bmp", 1, kDiffer,
           "one palette entry in the file: index 1 reads the white entry added after it"),
    Refused("q/pal2.bmp", kDepth),
    Refused("q/pal2color.bmp", kDepth),
    Refused("q/pal4rlecut.bmp", kCompression),
    Refused("q/pal4rletrns.bmp", kCompression),
    Loaded("q/pal8offs.bmp", 8, kSame,
           "g/pal8.bmp"),  // 84 bytes between palette and rows are skipped
    Refused("q/pal8os2-hs.bmp", kCompression),
    Refused("q/pal8os2-sz.bmp", kCompression),
    Refused("q/pal8os2sp.bmp", kCompression),
    Loaded("q/pal8os2v2-16.bmp", 8, kDiffer,
           "biSize 16 is no known larger header: the palette is read from byte 54, six entries "
           "late"),
    Loaded("q/pal8os2v2-40sz.bmp", 8, kSame),
    Loaded("q/pal8os2v2-sz.bmp", 8, kSame, "g/pal8.bmp"),  // palette after the 64-byte header
    Loaded("q/pal8os2v2.bmp", 8, kSame, "g/pal8.bmp"),
    Loaded("q/pal8oversizepal.bmp", 8, kSame, "g/pal8.bmp"),  // the first 256 of 300 entries
    Refused("q/pal8rlecut.bmp", kCompression),
    Refused("q/pal8rletrns.bmp", kCompression),
    Loaded("q/rgb16-231.bmp", 16, kDiffer,
           "masks narrower than 5 bits come back as the field times 8, not stretched to 255"),
    Loaded("q/rgb16-3103.bmp", 16, kDiffer,
           "a 10-bit green mask keeps its top 5 bits and a 3-bit mask is not stretched"),
    Loaded("q/rgb16faketrns.bmp", 16, kScaled),  // bit 15 belongs to no channel
    Refused("q/rgb24jpeg.bmp", kCompression),
    Loaded("q/rgb24largepal.bmp", 24, kSame, "g/rgb24.bmp"),
    Loaded("q/rgb24lprof.bmp", 24, kSame),
    Refused("q/rgb24png.bmp", kCompression),
    Refused("q/rgb24rle24.bmp", kCompression),
    Refused("q/rgb32-111110.bmp", kCompression),
    Refused("q/rgb32-7187.bmp", kCompression),
    Refused("q/rgb32-xbgr.bmp", kCompression),
    Loaded("q/rgb32fakealpha.bmp", 32, kSame),  // the fourth byte is kept as alpha
    Refused("q/rgb32h52.bmp", kCompression),
    Loaded("q/rgba16-1924.bmp", 16, kDiffer,
           "1-, 9- and 2-bit masks: fields times 8, the 9-bit one cut to its top 5 bits"),
    Loaded("q/rgba16-4444.bmp", 16, kDiffer,
           "4-bit channels come back as the field times 8, at most 120"),
    Loaded("q/rgba16-5551.bmp", 16, kScaled),  // masks inside the 124-byte header, at byte 54
    Refused("q/rgba32-1.bmp", kCompression),
    Refused("q/rgba32-1010102.bmp", kCompression),
    Refused("q/rgba32-2.bmp", kCompression),
    Refused("q/rgba32-61754.bmp", kCompression),
    Refused("q/rgba32-81284.bmp", kCompression),
    Refused("q/rgba32abf.bmp", kCompression),  // biCompression 6
    Refused("q/rgba32h56.bmp", kCompression),
    Refused("q/rgba64.bmp", kDepth),
    // Not a plain BMP: an OS/2 bitmap array starts with "BA".
    Refused("x/ba-bm.bmp", LoadStatus::kNotBmp),
};

const std::string kSuiteDir = std::string(KORVEL_SOURCE_DIR) + "/fuzz/corpus/bmpsuite/";

struct Decoded {
  int width = 0, height = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> rgba{nullptr, stbi_image_free};
};

Decoded DecodeWithStb(const std::string& path) {
  const std::string bytes = test::ReadFileBytes(path);
  Decoded decoded;
  int channels = 0;
  decoded.rgba.reset(stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                           static_cast<int>(bytes.size()), &decoded.width,
                                           &decoded.height, &channels, 4));
  return decoded;
}

TEST(BmpSuite, EveryFileHasARowAndEveryRowAFile) {
  std::set<std::string> rows;
  for (const SuiteRow& row : kSuite) {
    EXPECT_TRUE(rows.insert(row.file).second) << row.file << " has two rows";
    EXPECT_TRUE(test::FileExists(kSuiteDir + row.file)) << row.file << " is not in the suite";
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kSuiteDir)) {
    if (entry.path().extension() != ".bmp") continue;
    const std::string name = entry.path().lexically_relative(kSuiteDir).generic_string();
    EXPECT_EQ(rows.count(name), 1u) << name << " has no row: state what loading it must give";
  }
}

TEST(BmpSuite, EveryFileGivesItsOutcome) {
  for (const SuiteRow& row : kSuite) {
    SCOPED_TRACE(row.file);
    BitmapImage image;
    const LoadStatus status = image.Load((kSuiteDir + row.file).c_str());
    ASSERT_EQ(status, row.status) << "have " << Describe(status) << ", want "
                                  << Describe(row.status);
    if (status != LoadStatus::kLoaded) {
      if (status != LoadStatus::kNotBmp) {
        EXPECT_EQ(image.Width(), 1);
        EXPECT_EQ(image.Height(), 1);
        EXPECT_EQ(image.BitDepth(), 1);
      }
      continue;
    }
    EXPECT_EQ(image.BitDepth(), row.depth);
    EXPECT_EQ(image.Width(), row.width);
    EXPECT_EQ(image.Height(), row.height);
    if (row.colours == Colours::kDeliberatelyDiffer) continue;

    const std::string reference = row.note != nullptr ? row.note : row.file;
    const Decoded decoded = DecodeWithStb(kSuiteDir + reference);
    if (decoded.rgba == nullptr) {
      ADD_FAILURE() << "the other decoder refuses " << reference;
      continue;
    }
    ASSERT_EQ(decoded.width, image.Width());
    ASSERT_EQ(decoded.height, image.Height());
    const std::uint8_t mask = row.colours == Colours::kAsDecoderScaled ? 0xF8 : 0xFF;
    int mismatches = 0;
    for (std::int32_t r = 0; r < image.Height() && mismatches < 5; ++r) {
      for (std::int32_t c = 0; c < image.Width() && mismatches < 5; ++c) {
        const unsigned char* want =
            decoded.rgba.get() + (std::size_t(r) * std::size_t(decoded.width) + std::size_t(c)) * 4;
        const PixelBgra have = image.PixelValue(c, r);
        if (have.red != (want[0] & mask) || have.green != (want[1] & mask) ||
            have.blue != (want[2] & mask)) {
          ++mismatches;
          ADD_FAILURE() << "pixel (" << c << ", " << r << "): have red " << int(have.red)
                        << " green " << int(have.green) << " blue " << int(have.blue) << ", want "
                        << int(want[0] & mask) << " " << int(want[1] & mask) << " "
                        << int(want[2] & mask);
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvel
