// One pixel, and one palette entry: four bytes in file order blue, green, red, alpha.
#pragma once

#include <cstdint>

namespace korvel {

struct PixelBgra {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  // Carried with the pixel (palette fourth byte, 32-bit files) and never interpreted.
  std::uint8_t alpha = 0;
};

inline bool operator==(PixelBgra a, PixelBgra b) {
  return a.blue == b.blue && a.green == b.green && a.red == b.red && a.alpha == b.alpha;
}
inline bool operator!=(PixelBgra a, PixelBgra b) {
  return !(a == b);
}

// The colour of every new pixel, of every palette entry beyond those a file supplies, and of
// every read that finds nothing to read.
inline constexpr PixelBgra kWhite{255, 255, 255, 0};

static_assert(sizeof(PixelBgra) == 4, "a pixel is one 4-byte unit");

}  // namespace korvel
