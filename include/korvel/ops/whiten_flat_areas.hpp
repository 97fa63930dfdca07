// The filter behind Pallisk: whitens every pixel whose brightness (blue + green + red) differs
// from that of the pixel below it by at most threshold. The bottom row is compared with itself
// and the last column is filtered twice, as the library has always done.
#pragma once

#include <cstdint>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {

void WhitenFlatAreas(BitmapImage& image, std::int32_t threshold);

}  // namespace korvel
