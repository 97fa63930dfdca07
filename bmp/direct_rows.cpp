// 24- and 32-bit rows: blue, green, red (and alpha at 32 bits) per pixel, left to right.
#include "korvel/image/bitmap_image.hpp"

namespace korvel {

bool BitmapImage::DecodeRow32(const std::uint8_t* rowBytes, std::int64_t rowLength,
                              std::int32_t row) {
  if (rowLength < 4 * std::int64_t{width_}) return false;
  for (std::int32_t c = 0; c < width_; ++c, rowBytes += 4) {
    Column(c)[row] = PixelBgra{rowBytes[0], rowBytes[1], rowBytes[2], rowBytes[3]};
  }
  return true;
}

bool BitmapImage::DecodeRow24(const std::uint8_t* rowBytes, std::int64_t rowLength,
                              std::int32_t row) {
  if (rowLength < 3 * std::int64_t{width_}) return false;
  for (std::int32_t c = 0; c < width_; ++c, rowBytes += 3) {
    PixelBgra& p = Column(c)[row];
    p.blue = rowBytes[0];
    p.green = rowBytes[1];
    p.red = rowBytes[2];  // alpha keeps its value
  }
  return true;
}

bool BitmapImage::EncodeRow32(std::uint8_t* rowBytes, std::int64_t rowLength,
                              std::int32_t row) const {
  if (rowLength < 4 * std::int64_t{width_}) return false;
  for (std::int32_t c = 0; c < width_; ++c, rowBytes += 4) {
    const PixelBgra p = Column(c)[row];
    rowBytes[0] = p.blue;
    rowBytes[1] = p.green;
    rowBytes[2] = p.red;
    rowBytes[3] = p.alpha;
  }
  return true;
}

bool BitmapImage::EncodeRow24(std::uint8_t* rowBytes, std::int64_t rowLength,
                              std::int32_t row) const {
  if (rowLength < 3 * std::int64_t{width_}) return false;
  for (std::int32_t c = 0; c < width_; ++c, rowBytes += 3) {
    const PixelBgra p = Column(c)[row];
    rowBytes[0] = p.blue;
    rowBytes[1] = p.green;
    rowBytes[2] = p.red;
  }
  return true;
}

}  // namespace korvel
