// The whole toolkit: the image model, BMP files and the image operations.
#pragma once

#include "korvel/bmp/guarded_read.hpp"
#include "korvel/bmp/header_inspection.hpp"
#include "korvel/bmp/header_validation.hpp"
#include "korvel/bmp/headers.hpp"
#include "korvel/bmp/load_status.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "korvel/image/grayscale_palette.hpp"
#include "korvel/image/limits.hpp"
#include "korvel/image/pixel_bgra.hpp"
#include "korvel/ops/pixel_copy.hpp"
#include "korvel/ops/rescale.hpp"
#include "korvel/ops/whiten_flat_areas.hpp"
