// Whether an information header describes a picture this library loads.
#pragma once

#include "korvel/bmp/headers.hpp"
#include "korvel/bmp/load_status.hpp"

namespace korvel {

// Checks in the loader's order: compression, bit depth, dimensions, then the pixel limit.
// Answers kLoaded for an acceptable header. Pure: no file, no allocation.
LoadStatus CheckInfoHeader(const InfoHeader& info);

}  // namespace korvel
