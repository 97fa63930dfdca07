// Resolution in dots per inch, stored as pixels per metre. Both directions truncate, so a value
// does not survive the way there and back: 3780 reads as 96, and 96 is stored as 3779.
#include <cmath>
#include <cstdint>
#include <limits>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

constexpr double kInchesPerMeter = 39.37007874015748;
constexpr double kMetersPerInch = 0.0254;

// Truncation toward zero; values beyond int32 saturate instead of being undefined.
std::int32_t TruncateToInt32(double value) {
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace

void BitmapImage::SetResolutionDpi(std::int32_t horizontal, std::int32_t vertical) {
  xPixelsPerMeter_ = TruncateToInt32(horizontal * kInchesPerMeter);
  yPixelsPerMeter_ = TruncateToInt32(vertical * kInchesPerMeter);
}

std::int32_t BitmapImage::HorizontalDpi() const {
  if (xPixelsPerMeter_ == 0) xPixelsPerMeter_ = DefaultPixelsPerMeter;
  return TruncateToInt32(xPixelsPerMeter_ * kMetersPerInch);
}

std::int32_t BitmapImage::VerticalDpi() const {
  if (yPixelsPerMeter_ == 0) yPixelsPerMeter_ = DefaultPixelsPerMeter;
  return TruncateToInt32(yPixelsPerMeter_ * kMetersPerInch);
}

}  // namespace korvel
