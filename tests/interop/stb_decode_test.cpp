// Run: ctest --preset release -R StbDecode
// Files this library writes, at every depth, decoded by an independent decoder (stb_image, from
// Debian's libstb-dev) to the colours the library itself reads back from them.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb_image.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "korvel/image/bitmap_image.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

struct StbFree {
  void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

TEST(StbDecode, EveryDepthDecodesToTheColoursTheLibraryHolds) {
  constexpr std::int32_t kWidth = 13, kHeight = 7;  // odd: pads and partly filled bytes
  test::TempDir dir;
  for (std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    BitmapImage image;
    ASSERT_TRUE(image.ChangeBitDepth(depth));
    ASSERT_TRUE(image.Resize(kWidth, kHeight));
    if (depth == 4) {
      // A palette of its own, not the standard one the decoder could not know anyway.
      for (std::int32_t i = 0; i < 16; ++i) {
        ASSERT_TRUE(image.SetPaletteEntry(
            i, PixelBgra{std::uint8_t(i * 16), std::uint8_t(255 - i * 9), std::uint8_t(i * 5), 0}));
      }
    }
    std::uint32_t state = 5;
    for (std::int32_t r = 0; r < kHeight; ++r) {
      for (std::int32_t c = 0; c < kWidth; ++c) {
        state = state * 1664525u + 1013904223u;
        image.At(c, r) = PixelBgra{std::uint8_t(state >> 24), std::uint8_t(state >> 16),
                                   std::uint8_t(state >> 8), std::uint8_t(state >> 4 | 1)};
      }
    }
    const std::string path = dir.File("written.bmp");
    ASSERT_TRUE(image.SaveToFile(path.c_str()));
    BitmapImage held;
    ASSERT_EQ(held.Load(path.c_str()), LoadStatus::kLoaded);

    const std::string file = test::ReadFileBytes(path);
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, StbFree> rgba(
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(file.data()),
                              static_cast<int>(file.size()), &width, &height, &channels, 4));
    ASSERT_NE(rgba, nullptr) << "stb_image refused the file: " << stbi_failure_reason();
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    for (std::int32_t r = 0; r < kHeight; ++r) {
      for (std::int32_t c = 0; c < kWidth; ++c) {
        const unsigned char* p = rgba.get() + 4 * (std::size_t(r) * kWidth + std::size_t(c));
        const PixelBgra want = held.PixelValue(c, r);
        // stb_image widens 5- and 6-bit fields by repeating their top bits; compare the five
        // bits both sides keep.
        const int shift = depth == 16 ? 3 : 0;
        EXPECT_EQ(p[0] >> shift, want.red >> shift) << "red of pixel " << c << "," << r;
        EXPECT_EQ(p[1] >> shift, want.green >> shift) << "green of pixel " << c << "," << r;
        EXPECT_EQ(p[2] >> shift, want.blue >> shift) << "blue of pixel " << c << "," << r;
        // Only 32-bit rows carry alpha; the decoder treats palette fourth bytes as padding.
        if (depth == 32) {
          EXPECT_EQ(p[3], want.alpha) << "alpha of pixel " << c << "," << r;
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvel
