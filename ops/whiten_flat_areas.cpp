#include "korvel/ops/whiten_flat_areas.hpp"

#include <cstdlib>

namespace korvel {
namespace {

int Brightness(PixelBgra p) {
  return p.blue + p.green + p.red;
}

// One top-to-bottom pass over a column. Each pixel is compared with the pixel below; the bottom
// pixel, read past the edge through clamping, is compared with itself. A step changes only the
// upper pixel of its pair, so every comparison sees the pair as it stood before the pass.
void WhitenColumn(PixelBgra* column, std::int32_t height, std::int32_t threshold) {
  for (std::int32_t r = 0; r + 1 < height; ++r) {
    if (std::abs(Brightness(column[r + 1]) - Brightness(column[r])) <= threshold) {
      column[r].blue = column[r].green = column[r].red = 255;  // alpha keeps its value
    }
  }
  if (threshold >= 0) {
    PixelBgra& bottom = column[height - 1];
    bottom.blue = bottom.green = bottom.red = 255;
  }
}

}  // namespace

void WhitenFlatAreas(BitmapImage& image, std::int32_t threshold) {
  // Columns 0 to Width() inclusive: the clamped extra pass filters the last column a second
  // time, against what the first pass left there.
  for (std::int32_t c = 0; c <= image.Width(); ++c) {
    const std::int32_t column = c < image.Width() ? c : image.Width() - 1;
    WhitenColumn(image.Column(column), image.Height(), threshold);
  }
}

}  // namespace korvel
