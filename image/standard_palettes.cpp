// The palettes an indexed image starts with. Every entry has alpha 0.
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

struct Rgb {
  std::uint8_t blue, green, red;
};

constexpr Rgb kPalette4[16] = {
    {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
    {128, 128, 0}, {128, 128, 128}, {192, 192, 192}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
    {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};

// Entries 0-9 and 246-255 of the 8-bit palette; 10-245 form a 4 x 8 x 8 colour cube.
constexpr Rgb kPalette8Head[10] = {
    {0, 0, 0},     {0, 0, 128},   {0, 128, 0},     {0, 128, 128},   {128, 0, 0},
    {128, 0, 128}, {128, 128, 0}, {192, 192, 192}, {192, 220, 192}, {240, 202, 166},
};
constexpr Rgb kPalette8Tail[10] = {
    {240, 251, 255}, {164, 160, 160}, {128, 128, 128}, {0, 0, 255},   {0, 255, 0},
    {0, 255, 255},   {255, 0, 0},     {255, 0, 255},   {255, 255, 0}, {255, 255, 255},
};

PixelBgra ToPixel(Rgb c) {
  return PixelBgra{c.blue, c.green, c.red, 0};
}

}  // namespace

bool BitmapImage::FillStandardPalette() {
  switch (bitDepth_) {
    case 1:
      palette_[0] = PixelBgra{0, 0, 0, 0};
      palette_[1] = PixelBgra{255, 255, 255, 0};
      return true;
    case 4:
      for (int i = 0; i < 16; ++i) palette_[std::size_t(i)] = ToPixel(kPalette4[i]);
      return true;
    case 8:
      for (int i = 0; i < 10; ++i) {
        palette_[std::size_t(i)] = ToPixel(kPalette8Head[i]);
        palette_[std::size_t(246 + i)] = ToPixel(kPalette8Tail[i]);
      }
      for (int n = 10; n <= 245; ++n) {
        const int i = n / 64, j = n / 8 % 8, k = n % 8;
        palette_[std::size_t(n)] =
            PixelBgra{static_cast<std::uint8_t>(64 * i), static_cast<std::uint8_t>(32 * j),
                      static_cast<std::uint8_t>(32 * k), 0};
      }
      return true;
    default:
      return false;
  }
}

}  // namespace korvel
