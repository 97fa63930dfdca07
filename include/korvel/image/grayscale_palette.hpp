// An even ramp of greys, black to white, as the palette of an indexed image.
#pragma once

#include "korvel/image/bitmap_image.hpp"

namespace korvel {

// Answers false, changing nothing, unless the image has 1, 4 or 8 bits per pixel.
bool MakeGrayscalePalette(BitmapImage& image);

}  // namespace korvel
