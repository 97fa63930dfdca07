#include "korvel/bmp/header_validation.hpp"

#include "korvel/image/limits.hpp"

namespace korvel {

LoadStatus CheckInfoHeader(const InfoHeader& info) {
  const std::uint32_t compression = info.biCompression;
  const std::uint16_t depth = info.biBitCount;
  // Run-length encodings (1, 2) and anything past bit masks (JPEG, PNG payloads) are refused;
  // masks only at 16 bits.
  if (compression != kCompressionNone && compression != kCompressionMasks) {
    return LoadStatus::kUnsupportedCompression;
  }
  if (compression == kCompressionMasks && depth != 16) return LoadStatus::kUnsupportedCompression;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    return LoadStatus::kUnsupportedBitDepth;
  }
  if (info.biWidth < 1 || info.biHeight < 1) return LoadStatus::kInvalidDimensions;
  if (std::int64_t{info.biWidth} * info.biHeight > kMaxPixels) return LoadStatus::kOverPixelLimit;
  return LoadStatus::kLoaded;
}

}  // namespace korvel
