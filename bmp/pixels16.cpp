// 16-bit pixels: one little-endian word per pixel whose bits three masks share among red, green
// and blue. Read with the file's masks (or 5-5-5 without them), always written as 5-6-5.
#include <memory>
#include <new>

#include "bmp/header_io.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

struct Channel {
  std::uint16_t mask;
  unsigned shift = 0;
};

// The right shift that brings the mask down to 31 or less: a wider mask loses its low bits.
Channel MakeChannel(std::uint16_t mask) {
  Channel channel{mask};
  for (unsigned m = mask; m > 31; m >>= 1) ++channel.shift;
  return channel;
}

std::uint8_t Extract(std::uint16_t word, Channel channel) {
  return static_cast<std::uint8_t>(((word & channel.mask) >> channel.shift) * 8);
}

constexpr std::uint16_t kWrittenMasks[3] = {0xF800, 0x07E0, 0x001F};  // red, green, blue

}  // namespace

void BitmapImage::ReadPixels16(std::FILE* file, std::uint32_t biCompression, std::int32_t skip) {
  std::uint16_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // red, green, blue: 5-5-5
  if (biCompression != 0) {
    for (std::uint16_t& mask : masks) {
      bmp_detail::ReadField(file, mask);  // a failed read keeps the default
      std::uint16_t unused = 0;
      bmp_detail::ReadField(file, unused);
    }
  }
  bmp_detail::SkipBytes(file, skip);
  const Channel red = MakeChannel(masks[0]), green = MakeChannel(masks[1]),
                blue = MakeChannel(masks[2]);

  // Rows are read whole, but the outcome is the same as reading word by word: once the data
  // runs out the last complete word stays in force for every remaining pixel.
  const std::int64_t rowLength = RowLength(16, width_);
  std::unique_ptr<std::uint8_t[]> rowBytes(new (std::nothrow) std::uint8_t[std::size_t(rowLength)]);
  if (!rowBytes) return;
  std::uint16_t word = 0;  // before any word arrives: black
  bool exhausted = std::feof(file) != 0;
  for (std::int32_t row = height_ - 1; row >= 0; --row) {
    std::size_t arrived = 0;
    if (!exhausted) {
      arrived = std::fread(rowBytes.get(), 1, std::size_t(rowLength), file);
      exhausted = arrived != std::size_t(rowLength);
    }
    for (std::int32_t c = 0; c < width_; ++c) {
      const std::size_t at = 2 * std::size_t(c);
      if (at + 2 <= arrived) word = static_cast<std::uint16_t>(rowBytes[at] | rowBytes[at + 1] << 8);
      PixelBgra& p = Column(c)[row];
      p.red = Extract(word, red);
      p.green = Extract(word, green);
      p.blue = Extract(word, blue);  // alpha keeps its value
    }
  }
}

bool BitmapImage::WritePixels16(std::FILE* file) const {
  std::uint8_t maskBlock[12];
  std::uint8_t* out = maskBlock;
  for (std::uint16_t mask : kWrittenMasks) out = bmp_detail::Put32(out, mask);
  if (std::fwrite(maskBlock, 1, sizeof maskBlock, file) != sizeof maskBlock) return false;

  const std::int64_t rowLength = RowLength(16, width_);
  std::unique_ptr<std::uint8_t[]> rowBytes(new (std::nothrow) std::uint8_t[std::size_t(rowLength)]());
  if (!rowBytes) return false;
  for (std::int32_t row = height_ - 1; row >= 0; --row) {
    for (std::int32_t c = 0; c < width_; ++c) {
      const PixelBgra p = Column(c)[row];
      const unsigned word = ((p.red >> 3) * 64u + (p.green >> 2)) * 32u + (p.blue >> 3);
      bmp_detail::Put16(rowBytes.get() + 2 * std::size_t(c), word);
    }
    // Pad bytes stay zero: the buffer was cleared once and words never reach them.
    if (std::fwrite(rowBytes.get(), 1, std::size_t(rowLength), file) != std::size_t(rowLength)) {
      return false;
    }
  }
  return true;
}

}  // namespace korvel
