// Writes natural-looking test pictures at every depth for the whole-process benchmark:
//   make_pictures OUTDIR WIDTH HEIGHT
// creates OUTDIR/picture_WIDTHxHEIGHT_DEPTH.bmp for DEPTH 1, 4, 8, 16, 24 and 32. The content is
// the same function of (x, y) at every size and every run: a lit sky and a hilly landscape built
// from low-frequency waves, hard-edged discs and boxes, and a little sensor noise, so that the
// whitening threshold of 30 finds both flat areas and edges. Indexed depths use ordered dithering
// (1 and 4 bits) or an adaptive 252-colour cube plus greys (8 bits), as real indexed files do.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "korvel/korvel.hpp"
#include "support/scene.hpp"

namespace {

using korvel::PixelBgra;
using korvel::bench::Clamp;
using korvel::bench::Scene;

// 4x4 Bayer matrix, centred on 0.
double Bayer(std::int32_t x, std::int32_t y) {
  static const int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
}

bool Write(const std::string& dir, std::int32_t width, std::int32_t height, std::int32_t depth) {
  korvel::BitmapImage image;
  if (!image.ChangeBitDepth(depth) || !image.Resize(width, height)) return false;
  image.SetResolutionDpi(300, 300);
  if (depth == 8) {
    std::int32_t i = 0;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 7; ++g)
        for (int b = 0; b < 6; ++b, ++i)
          image.SetPaletteEntry(
              i, PixelBgra{static_cast<std::uint8_t>(b * 51), static_cast<std::uint8_t>(g * 42),
                           static_cast<std::uint8_t>(r * 51), 0});
    for (; i < 256; ++i) {
      const auto grey = static_cast<std::uint8_t>(64 + (i - 252) * 40);
      image.SetPaletteEntry(i, PixelBgra{grey, grey, grey, 0});
    }
  }
  // Dither step: half the distance between neighbouring palette levels.
  const double step = depth == 1 ? 255.0 : depth == 4 ? 128.0 : depth == 8 ? 45.0 : 0.0;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      PixelBgra p = Scene(x, y, width, height);
      if (step > 0.0) {
        const double d = Bayer(x, y) * step;
        if (depth == 1) {  // dither the brightness, not each channel
          const double grey = (p.blue + p.green + p.red) / 3.0 + d;
          p.blue = p.green = p.red = grey >= 128.0 ? 255 : 0;
        } else {
          p = PixelBgra{Clamp(p.blue + d), Clamp(p.green + d), Clamp(p.red + d), p.alpha};
        }
      }
      if (!image.StorePixel(x, y, p)) return false;
    }
  }
  const std::string path = dir + "/picture_" + std::to_string(width) + "x" +
                           std::to_string(height) + "_" + std::to_string(depth) + ".bmp";
  if (!image.SaveToFile(path.c_str())) {
    std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_pictures OUTDIR WIDTH HEIGHT\n");
    return 2;
  }
  const long width = std::strtol(argv[2], nullptr, 10), height = std::strtol(argv[3], nullptr, 10);
  if (width < 1 || height < 1 || width > 65536 || height > 65536) {
    std::fprintf(stderr, "make_pictures: WIDTH and HEIGHT must be 1 to 65536\n");
    return 2;
  }
  for (std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    if (!Write(argv[1], static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
               depth)) {
      return 1;
    }
  }
  return 0;
}
