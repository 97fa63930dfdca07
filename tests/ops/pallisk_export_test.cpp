// Drives the exported Pallisk of the built shared library, found by name as a host finds it.
// Run: ctest --preset release -R PalliskExport
#include "korvel/pallisk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/image/bitmap_image.hpp"
#include "korvel/ops/whiten_flat_areas.hpp"
#include "support/bmp_builder.hpp"
#include "support/pallisk_library.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::PalliskFunction;
using test::WidePath;

// ASCII, or UTF-16 code units given as char16_t.
[[maybe_unused]] WidePath Wide(const std::u16string& text) {
  return WidePath(text.begin(), text.end());
}
using test::Wide;

using test::Row24;

const PixelBgra kBlack{0, 0, 0, 0};
const PixelBgra kGrey{100, 100, 100, 0};
const PixelBgra kWhiteOpaque{255, 255, 255, 0};

// 2 x 2, 24 bits: black above white in the left column, grey above grey in the right.
std::string TwoByTwo() {
  test::BmpBuilder b;
  b.biWidth = 2;
  b.biHeight = 2;
  b.pixelData = Row24({kWhiteOpaque, kGrey}) + Row24({kBlack, kGrey});
  return b.Build();
}

class PalliskExport : public testing::Test {
 protected:
  static void SetUpTestSuite() { pallisk_ = test::LoadPallisk(&loadError_); }
  void SetUp() override { ASSERT_NE(pallisk_, nullptr) << loadError_; }

  std::int32_t Call(const WidePath* source, const WidePath* target, std::int32_t threshold) {
    return pallisk_(source ? source->c_str() : nullptr, target ? target->c_str() : nullptr,
                    threshold);
  }
  std::int32_t Call(const std::string& source, const std::string& target, std::int32_t threshold) {
    const WidePath s = Wide(source), t = Wide(target);
    return Call(&s, &t, threshold);
  }
  // What the library's own pipeline writes for `bytes`.
  std::string Expected(const std::string& bytes, std::int32_t threshold) {
    const std::string in = dir_.File("expected-in.bmp"), out = dir_.File("expected-out.bmp");
    test::WriteFileBytes(in, bytes);
    BitmapImage image;
    EXPECT_TRUE(image.LoadFromFile(in.c_str()));
    WhitenFlatAreas(image, threshold);
    EXPECT_TRUE(image.SaveToFile(out.c_str()));
    return test::ReadFileBytes(out);
  }

  test::TempDir dir_;
  static inline PalliskFunction pallisk_ = nullptr;
  static inline std::string loadError_;
};

TEST_F(PalliskExport, WhitensAndWritesTheTarget) {
  const std::string source = dir_.File("in.bmp"), target = dir_.File("out.bmp");
  test::WriteFileBytes(source, TwoByTwo());
  ASSERT_EQ(Call(source, target, 764), 999);

  BitmapImage result;
  ASSERT_TRUE(result.LoadFromFile(target.c_str()));
  EXPECT_EQ(result.BitDepth(), 24);
  EXPECT_EQ(result.PixelValue(0, 0), kBlack);  // 765 apart from the white below
  EXPECT_EQ(result.PixelValue(1, 0), kWhiteOpaque);
  EXPECT_EQ(result.PixelValue(0, 1), kWhiteOpaque);
  EXPECT_EQ(result.PixelValue(1, 1), kWhiteOpaque);
  EXPECT_EQ(test::ReadFileBytes(target), Expected(TwoByTwo(), 764));
  EXPECT_EQ(test::ReadFileBytes(source), TwoByTwo());
}

TEST_F(PalliskExport, BelowZeroWritesTheSourceBackAtItsOwnDepth) {
  for (const std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(testing::Message() << depth << " bits");
    BitmapImage original;
    ASSERT_TRUE(original.ChangeBitDepth(depth));
    ASSERT_TRUE(original.Resize(3, 2));
    original.SetResolutionDpi(150, 75);
    for (std::int32_t c = 0; c < 3; ++c) {
      for (std::int32_t r = 0; r < 2; ++r) {
        // Colours every depth carries exactly: palette entries, or multiples of 8.
        original.At(c, r) = original.HasPalette()
                                ? original.PaletteEntry((c + 2 * r) % original.ColorCount())
                                : PixelBgra{std::uint8_t(8 * c), std::uint8_t(16 * r), 248, 0};
      }
    }
    const std::string source = dir_.File("in.bmp"), target = dir_.File("out.bmp");
    ASSERT_TRUE(original.SaveToFile(source.c_str()));
    ASSERT_EQ(Call(source, target, -1), 999);
    EXPECT_EQ(test::ReadFileBytes(target), test::ReadFileBytes(source));
  }
}

TEST_F(PalliskExport, ASourceThatCannotBeLoadedAnswers1AndWritesNothing) {
  test::BmpBuilder huge;
  huge.biWidth = 16385;
  huge.biHeight = 16385;
  test::BmpBuilder topDown;
  topDown.biHeight = -1;
  topDown.pixelData = Row24({kBlack});
  struct Case {
    const char* name;
    std::string bytes;
    bool create;
  };
  const Case cases[] = {
      {"missing", "", false},
      {"empty", "", true},
      {"not a BMP", "MZ" + TwoByTwo().substr(2), true},
      {"more than 2^28 pixels", huge.Build(), true},
      {"top-down rows", topDown.Build(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = dir_.File("source.bmp"), target = dir_.File("target.bmp");
    if (c.create) test::WriteFileBytes(source, c.bytes);
    EXPECT_EQ(Call(source, target, 0), 1);
    EXPECT_FALSE(test::FileExists(target));
  }
}

TEST_F(PalliskExport, NullPaths) {
  const std::string source = dir_.File("in.bmp");
  test::WriteFileBytes(source, TwoByTwo());
  const WidePath wideSource = Wide(source), wideTarget = Wide(dir_.File("out.bmp"));
  EXPECT_EQ(Call(nullptr, &wideTarget, 0), 1);
  EXPECT_EQ(Call(nullptr, nullptr, 0), 1);
  EXPECT_EQ(Call(&wideSource, nullptr, 0), 999);
  EXPECT_FALSE(test::FileExists(dir_.File("out.bmp")));
  EXPECT_EQ(test::ReadFileBytes(source), TwoByTwo());
}

TEST_F(PalliskExport, ATargetEqualToTheSourceReplacesIt) {
  const std::string path = dir_.File("picture.bmp");
  test::WriteFileBytes(path, TwoByTwo());
  ASSERT_EQ(Call(path, path, 0), 999);
  EXPECT_EQ(test::ReadFileBytes(path), Expected(TwoByTwo(), 0));
  EXPECT_NE(test::ReadFileBytes(path), TwoByTwo());
}

TEST_F(PalliskExport, ATargetThatCannotBeWrittenStillAnswers999) {
  const std::string source = dir_.File("in.bmp");
  test::WriteFileBytes(source, TwoByTwo());
  EXPECT_EQ(Call(source, dir_.File("missing/out.bmp"), 0), 999);
  EXPECT_FALSE(test::FileExists(dir_.File("missing")));
  EXPECT_EQ(Call(source, "", 0), 999);
  if (test::FileExists("/dev/full")) {
    EXPECT_EQ(Call(source, "/dev/full", 0), 999);
  }
}

#ifndef _WIN32
// Elsewhere than Windows the narrow path is UTF-8.
TEST_F(PalliskExport, NonAsciiPathsReachTheDiskAsUtf8) {
  struct Case {
    const char* name;
    std::u16string wide;
    std::string onDisk;
  };
  const Case cases[] = {
      {"two- and three-byte characters", u"b\u00FCld-\u20AC.bmp", "b\xC3\xBCld-\xE2\x82\xAC.bmp"},
      {"a surrogate pair is one character", u"\xD83D\xDE00.bmp", "\xF0\x9F\x98\x80.bmp"},
      {"an unpaired high surrogate", u"a\xD800-b.bmp", "a\xEF\xBF\xBD-b.bmp"},
      {"an unpaired low surrogate", u"\xDC00.bmp", "\xEF\xBF\xBD.bmp"},
      // 3 UTF-8 bytes for each UTF-16 unit: more than twice the wide length.
      {"longer in UTF-8 than twice the wide length", std::u16string(80, u'\u20AC') + u".bmp",
       [] {
         std::string s;
         for (int i = 0; i < 80; ++i) s += "\xE2\x82\xAC";
         return s + ".bmp";
       }()},
  };
  const std::string source = dir_.File("in.bmp");
  test::WriteFileBytes(source, TwoByTwo());
  const std::string want = Expected(TwoByTwo(), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // As target: the file appears under its UTF-8 name.
    const WidePath wideSource = Wide(source);
    const WidePath wideTarget = Wide(dir_.path() + "/") + Wide(c.wide);
    ASSERT_EQ(Call(&wideSource, &wideTarget, 0), 999);
    const std::string onDisk = dir_.File(c.onDisk);
    EXPECT_EQ(test::ReadFileBytes(onDisk), want);
    // As source: the UTF-8 name is found.
    const WidePath again = Wide(dir_.path() + "/again.bmp");
    EXPECT_EQ(Call(&wideTarget, &again, -1), 999);
    EXPECT_TRUE(test::FileExists(dir_.File("again.bmp")));
  }
}
#endif

}  // namespace
}  // namespace korvel
