// 24- and 32-bit rows: blue, green, red (and alpha at 32 bits) per pixel, left to right.
#include "bmp/row_blocks.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

template <int PixelBytes>
void DecodeBlock(BitmapImage& image, const std::uint8_t* bytes, std::int64_t rowLength,
                 std::int32_t bottomRow, std::int32_t rows) {
  const std::int32_t width = image.Width();
  for (std::int32_t c = 0; c < width; ++c) {
    // File row k of the block lands on run[rows - 1 - k]: the block is one run of the column.
    PixelBgra* run = bmp_detail::BlockRun(image, c, bottomRow, rows);
    const std::uint8_t* in = bytes + std::size_t(c) * PixelBytes;
    for (std::int32_t k = rows - 1; k >= 0; --k, in += rowLength) {
      const std::uint8_t alpha = PixelBytes == 4 ? in[PixelBytes - 1] : run[k].alpha;
      run[k] = PixelBgra{in[0], in[1], in[2], alpha};
    }
  }
}

template <int PixelBytes>
void EncodeBlock(const BitmapImage& image, std::uint8_t* bytes, std::int64_t rowLength,
                 std::int32_t bottomRow, std::int32_t rows) {
  const std::int32_t width = image.Width();
  for (std::int32_t c = 0; c < width; ++c) {
    const PixelBgra* run = bmp_detail::BlockRun(image, c, bottomRow, rows);
    std::uint8_t* out = bytes + std::size_t(c) * PixelBytes;
    for (std::int32_t k = rows - 1; k >= 0; --k, out += rowLength) {
      const PixelBgra p = run[k];
      out[0] = p.blue;
      out[1] = p.green;
      out[2] = p.red;
      if (PixelBytes == 4) out[PixelBytes - 1] = p.alpha;
    }
  }
}

}  // namespace

void bmp_detail::DecodeDirectBlock(BitmapImage& image, const std::uint8_t* bytes,
                                   std::int64_t rowLength, std::int32_t bottomRow,
                                   std::int32_t rows) {
  if (image.BitDepth() == 32) {
    DecodeBlock<4>(image, bytes, rowLength, bottomRow, rows);
  } else {
    DecodeBlock<3>(image, bytes, rowLength, bottomRow, rows);
  }
}

void bmp_detail::EncodeDirectBlock(const BitmapImage& image, std::uint8_t* bytes,
                                   std::int64_t rowLength, std::int32_t bottomRow,
                                   std::int32_t rows) {
  if (image.BitDepth() == 32) {
    EncodeBlock<4>(image, bytes, rowLength, bottomRow, rows);
  } else {
    EncodeBlock<3>(image, bytes, rowLength, bottomRow, rows);
  }
}

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
