// Saving at the image's own depth: both headers, the palette (1, 4, 8 bits) or the mask block
// (16 bits), then the rows bottom-up with zero pad bytes.
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include "bmp/header_io.hpp"
#include "bmp/row_blocks.hpp"
#include "image/palette_matcher.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

// Header size fields are computed in double precision, as files written by this library always
// have been; for every image within kMaxPixels they agree with the integer row length.
struct HeaderSizes {
  std::uint32_t bfSize;
  std::uint32_t bfOffBits;
  std::uint32_t biSizeImage;
};

std::uint32_t ToUint32(double value) {
  if (value >= 4294967295.0) return 0xFFFFFFFFu;
  return value > 0 ? static_cast<std::uint32_t>(value) : 0;
}

HeaderSizes ComputeHeaderSizes(std::int32_t bitDepth, std::int32_t width, std::int32_t height) {
  const double rowD = std::ceil((bitDepth * 0.125) * width);
  std::int64_t pad = 4 - static_cast<std::int64_t>(rowD) % 4;
  if (pad == 4) pad = 0;
  const double dataSize = (static_cast<double>(pad) + rowD) * height;
  double extra = 0.0;
  if (bitDepth == 1 || bitDepth == 4 || bitDepth == 8) {
    extra = IntegerPower(2, bitDepth) * 4.0;
  } else if (bitDepth == 16) {
    extra = 12.0;
  }
  return HeaderSizes{ToUint32((extra + dataSize) + 54.0), ToUint32(extra + 54.0),
                     ToUint32(dataSize)};
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool BitmapImage::SaveToFile(const char* path) {
  std::FILE* file = path ? std::fopen(path, "wb") : nullptr;
  if (!file) return false;
  std::unique_ptr<std::FILE, FileCloser> closer(file);

  const HeaderSizes sizes = ComputeHeaderSizes(bitDepth_, width_, height_);
  FileHeader fileHeader;
  fileHeader.bfSize = sizes.bfSize;
  fileHeader.bfOffBits = sizes.bfOffBits;
  InfoHeader info;
  info.biSize = 40;
  info.biWidth = width_;
  info.biHeight = height_;
  info.biBitCount = static_cast<std::uint16_t>(bitDepth_);
  info.biCompression = bitDepth_ == 16 ? kCompressionMasks : kCompressionNone;
  info.biSizeImage = sizes.biSizeImage;
  // Only the file gets the default; the image keeps its unset resolution.
  info.biXPelsPerMeter = xPixelsPerMeter_ != 0 ? xPixelsPerMeter_ : DefaultPixelsPerMeter;
  info.biYPelsPerMeter = yPixelsPerMeter_ != 0 ? yPixelsPerMeter_ : DefaultPixelsPerMeter;

  std::uint8_t head[kHeadersBytes + 4 * 256];
  bmp_detail::PutHeaders(head, fileHeader, info);
  std::size_t headBytes = kHeadersBytes;
  if (hasPalette_) {
    for (std::int32_t i = 0; i < ColorCount(); ++i) {
      const PixelBgra e = palette_[std::size_t(i)];
      std::uint8_t* out = head + headBytes;
      out[0] = e.blue;
      out[1] = e.green;
      out[2] = e.red;
      out[3] = e.alpha;
      headBytes += 4;
    }
  }
  bool written = std::fwrite(head, 1, headBytes, file) == headBytes;
  if (written) written = bitDepth_ == 16 ? WritePixels16(file) : WriteRows(file);
  closer.release();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

bool BitmapImage::WriteRows(std::FILE* file) const {
  const std::int64_t rowLength = RowLength(bitDepth_, width_);
  const std::int32_t blockRows = bmp_detail::RowsPerBlock(rowLength);
  const auto blockBytes = std::size_t(rowLength) * std::size_t(blockRows);
  // Cleared once: encoders write only pixel bytes, so pad bytes stay zero in every row.
  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[blockBytes]());
  std::unique_ptr<PaletteMatcher> matcher(new (std::nothrow) PaletteMatcher(*this));
  if (!block || !matcher) return false;
  for (std::int32_t bottomRow = height_ - 1; bottomRow >= 0; bottomRow -= blockRows) {
    const std::int32_t rows = bottomRow + 1 < blockRows ? bottomRow + 1 : blockRows;
    if (hasPalette_) {
      bmp_detail::EncodeIndexedBlock(*this, block.get(), rowLength, bottomRow, rows, *matcher);
    } else {
      bmp_detail::EncodeDirectBlock(*this, block.get(), rowLength, bottomRow, rows);
    }
    const std::size_t wanted = std::size_t(rowLength) * std::size_t(rows);
    if (std::fwrite(block.get(), 1, wanted, file) != wanted) return false;
  }
  return true;
}

}  // namespace korvel
