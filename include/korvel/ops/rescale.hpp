// Rescaling in place with bilinear resampling; the result is always 24 bits without palette.
#pragma once

#include <cstdint>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {

// mode (case-insensitive): 'P' percentage of the old size, 'W' new width, 'H' new height,
// 'F' side of the square the picture must fit. Answers false, leaving the image untouched, for
// any other mode and for a value whose new size leaves int32 or exceeds kMaxPixels.
bool RescaleImage(BitmapImage& image, char mode, std::int32_t value);

}  // namespace korvel
