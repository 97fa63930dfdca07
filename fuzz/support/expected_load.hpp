// What loading a file must give, worked out from its bytes alone by the loader's rules: the
// answer, the resolution and, for an accepted header, every palette entry and pixel. The fuzz
// targets hold the loader to it, so every outcome is checked, not just the absence of a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "korvel/bmp/load_status.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "korvel/image/pixel_bgra.hpp"

namespace korvel::fuzz {

struct ExpectedLoad {
  LoadStatus status = LoadStatus::kLoaded;
  // Refusals after the headers were read keep the file's resolution; earlier ones keep the old.
  bool resolutionFromFile = false;
  std::int32_t xPixelsPerMeter = 0;
  std::int32_t yPixelsPerMeter = 0;
  // The rest only for kLoaded.
  std::int32_t bitDepth = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<PixelBgra> palette;  // ColorCount() entries at 1, 4 and 8 bits
  std::vector<PixelBgra> pixels;   // row-major, row 0 at the top
};

ExpectedLoad PredictLoad(const std::uint8_t* data, std::size_t size);

// Aborts unless `image`, loaded from the file with answer `status`, is what `expected` says.
// `before` is a copy of the image as it was before the load, and `xBefore`, `yBefore` its
// resolution (a copy's own passes through whole dots per inch and may differ).
void CheckLoad(const ExpectedLoad& expected, LoadStatus status, const BitmapImage& image,
               const BitmapImage& before, std::int32_t xBefore, std::int32_t yBefore);

// Saves the image, checks the file's size against its own header and the layout its depth
// fixes, loads it back and checks that every pixel returns as the writer's encoding allows.
void CheckSaveRoundTrip(BitmapImage& image, const char* path);

}  // namespace korvel::fuzz
