// 16-bit pixels: one little-endian word per pixel whose bits three masks share among red, green
// and blue. Read with the file's masks (or 5-5-5 without them), always written as 5-6-5.
#include <memory>
#include <new>

#include "bmp/header_io.hpp"
#include "bmp/row_blocks.hpp"
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

  const auto pixelOf = [&](std::uint16_t word, PixelBgra& p) {
    p.red = Extract(word, red);
    p.green = Extract(word, green);
    p.blue = Extract(word, blue);  // alpha keeps its value
  };

  // Rows are read in blocks, but the outcome is the same as reading word by word: once the data
  // runs out, the last complete word stays in force for every remaining pixel.
  const std::int64_t rowLength = RowLength(16, width_);
  const std::int32_t blockRows = bmp_detail::RowsPerBlock(rowLength);
  std::unique_ptr<std::uint8_t[]> block(
      new (std::nothrow) std::uint8_t[std::size_t(rowLength) * std::size_t(blockRows)]);
  if (!block) return;
  std::uint16_t word = 0;  // before any word arrives: black
  bool exhausted = std::feof(file) != 0;
  for (std::int32_t bottomRow = height_ - 1; bottomRow >= 0; bottomRow -= blockRows) {
    const std::int32_t rows = bottomRow + 1 < blockRows ? bottomRow + 1 : blockRows;
    const std::size_t wanted = std::size_t(rowLength) * std::size_t(rows);
    std::size_t arrived = 0;
    if (!exhausted) {
      arrived = std::fread(block.get(), 1, wanted, file);
      exhausted = arrived != wanted;
    }
    // Whole rows, a run of each column at a time: every pixel has a word of its own.
    const auto complete = static_cast<std::int32_t>(arrived / std::size_t(rowLength));
    for (std::int32_t c = 0; c < width_ && complete > 0; ++c) {
      PixelBgra* run = bmp_detail::BlockRun(*this, c, bottomRow, rows);
      const std::uint8_t* in = block.get() + 2 * std::size_t(c);
      for (std::int32_t k = 0; k < complete; ++k, in += rowLength) {
        pixelOf(static_cast<std::uint16_t>(in[0] | in[1] << 8), run[rows - 1 - k]);
      }
    }
    if (complete > 0) {
      const std::uint8_t* last = block.get() + std::size_t(rowLength) * std::size_t(complete - 1) +
                                 2 * std::size_t(width_ - 1);
      word = static_cast<std::uint16_t>(last[0] | last[1] << 8);
    }
    // Rows the data does not cover: word by word, the partial row first.
    for (std::int32_t k = complete; k < rows; ++k) {
      const std::uint8_t* rowBytes = block.get() + std::size_t(rowLength) * std::size_t(k);
      const std::size_t got = k == complete ? arrived - std::size_t(rowLength) * std::size_t(k) : 0;
      for (std::int32_t c = 0; c < width_; ++c) {
        const std::size_t at = 2 * std::size_t(c);
        if (at + 2 <= got) word = static_cast<std::uint16_t>(rowBytes[at] | rowBytes[at + 1] << 8);
        pixelOf(word, Column(c)[bottomRow - k]);
      }
    }
  }
}

bool BitmapImage::WritePixels16(std::FILE* file) const {
  std::uint8_t maskBlock[12];
  std::uint8_t* out = maskBlock;
  for (std::uint16_t mask : kWrittenMasks) out = bmp_detail::Put32(out, mask);
  if (std::fwrite(maskBlock, 1, sizeof maskBlock, file) != sizeof maskBlock) return false;

  const std::int64_t rowLength = RowLength(16, width_);
  const std::int32_t blockRows = bmp_detail::RowsPerBlock(rowLength);
  // Pad bytes stay zero: the block is cleared once and words never reach them.
  std::unique_ptr<std::uint8_t[]> block(
      new (std::nothrow) std::uint8_t[std::size_t(rowLength) * std::size_t(blockRows)]());
  if (!block) return false;
  for (std::int32_t bottomRow = height_ - 1; bottomRow >= 0; bottomRow -= blockRows) {
    const std::int32_t rows = bottomRow + 1 < blockRows ? bottomRow + 1 : blockRows;
    for (std::int32_t c = 0; c < width_; ++c) {
      const PixelBgra* run = bmp_detail::BlockRun(*this, c, bottomRow, rows);
      std::uint8_t* wordOut = block.get() + 2 * std::size_t(c);
      for (std::int32_t k = rows - 1; k >= 0; --k, wordOut += rowLength) {
        const PixelBgra p = run[k];
        bmp_detail::Put16(wordOut, ((p.red >> 3) * 64u + (p.green >> 2)) * 32u + (p.blue >> 3));
      }
    }
    const std::size_t wanted = std::size_t(rowLength) * std::size_t(rows);
    if (std::fwrite(block.get(), 1, wanted, file) != wanted) return false;
  }
  return true;
}

}  // namespace korvel
