#include "korvel/image/grayscale_palette.hpp"

namespace korvel {

bool MakeGrayscalePalette(BitmapImage& image) {
  const std::int32_t depth = image.BitDepth();
  if (depth != 1 && depth != 4 && depth != 8) return false;
  const std::int32_t count = image.ColorCount();
  const std::int32_t step = depth == 1 ? 255 : 255 / (count - 1);  // 255, 17 or 1
  for (std::int32_t i = 0; i < count; ++i) {
    const auto level = static_cast<std::uint8_t>(i * step);
    image.SetPaletteEntry(i, PixelBgra{level, level, level, 0});
  }
  return true;
}

}  // namespace korvel
