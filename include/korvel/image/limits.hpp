// Numbers that bound every image this library creates or reads.
#pragma once

#include <cstdint>

namespace korvel {

// Resolution stored in files for an image whose resolution was never set (96 dots per inch).
inline constexpr std::int32_t DefaultPixelsPerMeter = 3780;

// Largest pixel grid (width x height) an image may hold: 2^28 pixels, 1 GiB of pixel storage.
// Headers asking for more are refused before anything is allocated. Fuzz builds lower it so that
// a hostile header cannot exhaust the fuzzer's memory budget.
#ifndef KORVEL_MAX_PIXELS
#define KORVEL_MAX_PIXELS (std::int64_t{1} << 28)
#endif
inline constexpr std::int64_t kMaxPixels = KORVEL_MAX_PIXELS;

}  // namespace korvel
