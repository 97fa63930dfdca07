#include "korvel/image/bitmap_image.hpp"

namespace korvel {

std::uint8_t BitmapImage::NearestPaletteIndex(PixelBgra pixel) const {
  // Without a palette every entry reads as white, so all entries tie and entry 0 wins: the
  // answer is 0 without scanning the 2^16 or 2^24 entries such a depth counts.
  if (!hasPalette_) return 0;
  const std::int32_t count = ColorCount();
  std::int32_t bestDistance = 999999;  // above 3 x 255^2, so entry 0 is always a candidate
  std::uint8_t best = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const PixelBgra e = palette_[std::size_t(i)];
    const int db = e.blue - pixel.blue, dg = e.green - pixel.green, dr = e.red - pixel.red;
    const std::int32_t distance = db * db + dg * dg + dr * dr;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<std::uint8_t>(i);
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace korvel
