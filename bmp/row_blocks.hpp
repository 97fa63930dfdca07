// Rows decoded and encoded a block at a time. Pixels are stored column by column, so one file
// row touches every column once; a block of consecutive rows instead fills each column with a
// short contiguous run, a whole cache line at 16 rows. Each pixel comes out exactly as the
// one-row codecs (DecodeRowN, EncodeRowN) make it.
#pragma once

#include <cstdint>

#include "image/palette_matcher.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel::bmp_detail {

// Rows per block: enough to fill a cache line of each column, while the block of file rows
// stays small beside the picture (at most about 1 MiB unless one row alone is longer).
inline std::int32_t RowsPerBlock(std::int64_t rowLength) {
  constexpr std::int64_t kMostRows = 32, kBlockBytes = std::int64_t{1} << 20;
  const std::int64_t rows = kBlockBytes / rowLength;
  return static_cast<std::int32_t>(rows < 1 ? 1 : rows > kMostRows ? kMostRows : rows);
}

// Runs of neighbouring columns lie a whole column apart, a stride the hardware prefetcher does
// not follow; each codec asks for the run kPrefetchColumns ahead while it works on this one.
inline constexpr std::int32_t kPrefetchColumns = 8;
inline void PrefetchRun(const PixelBgra* run, std::int32_t rows) {
#if defined(__GNUC__)
  const auto* byte = reinterpret_cast<const char*>(run);
  for (std::size_t at = 0; at < std::size_t(rows) * sizeof(PixelBgra); at += 64) {
    __builtin_prefetch(byte + at, 1);
  }
#else
  (void)run;
  (void)rows;
#endif
}

// The run of column c that holds image rows bottomRow - rows + 1 to bottomRow, with the run of
// the column kPrefetchColumns ahead requested. Image is BitmapImage, const or not.
template <typename Image>
auto* BlockRun(Image& image, std::int32_t c, std::int32_t bottomRow, std::int32_t rows) {
  auto* run = image.Column(c) + (bottomRow - (rows - 1));
  if (c + kPrefetchColumns < image.Width()) {
    PrefetchRun(run + std::size_t(kPrefetchColumns) * std::size_t(image.Height()), rows);
  }
  return run;
}

// `bytes` holds `rows` file rows of `rowLength` bytes each, bottom-up like the file: file row k
// of the block is image row `bottomRow` - k. rowLength is at least RowLength(depth, width).
// Decoding at 24 bits leaves alpha as it was, like DecodeRow24.
void DecodeDirectBlock(BitmapImage& image, const std::uint8_t* bytes, std::int64_t rowLength,
                       std::int32_t bottomRow, std::int32_t rows);
void DecodeIndexedBlock(BitmapImage& image, const std::uint8_t* bytes, std::int64_t rowLength,
                        std::int32_t bottomRow, std::int32_t rows);
// Encoders write only pixel bytes: pad bytes, and the unused low bits of a last index byte
// beyond the image's width, must be zero in `bytes` already and stay so.
void EncodeDirectBlock(const BitmapImage& image, std::uint8_t* bytes, std::int64_t rowLength,
                       std::int32_t bottomRow, std::int32_t rows);
void EncodeIndexedBlock(const BitmapImage& image, std::uint8_t* bytes, std::int64_t rowLength,
                        std::int32_t bottomRow, std::int32_t rows, PaletteMatcher& matcher);

}  // namespace korvel::bmp_detail
