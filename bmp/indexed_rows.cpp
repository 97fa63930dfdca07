// 1-, 4- and 8-bit rows: each pixel is a palette index.
#include "bmp/index_packing.hpp"
#include "bmp/row_blocks.hpp"
#include "image/palette_matcher.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

using bmp_detail::kIndicesPerByte;
using bmp_detail::PackIndices;
using bmp_detail::UnpackIndices;

template <int Bits>
bool Decode(BitmapImage& image, const PixelBgra* palette, const std::uint8_t* rowBytes,
            std::int64_t rowLength, std::int32_t row) {
  if (image.Width() > kIndicesPerByte<Bits> * rowLength) return false;
  // Indices the image's palette does not hold (an 8-bit row decoded into a 4-bit image, any row
  // into an image without palette) read as white, as PaletteEntry answers them. Every index a
  // Bits-wide field holds is below 2^Bits <= 256, the palette array's size.
  const std::uint32_t served = image.HasPalette() ? std::uint32_t(image.ColorCount()) : 0;
  UnpackIndices<Bits>(rowBytes, image.Width(), [&](std::int32_t c, unsigned index) {
    image.Column(c)[row] = index < served ? palette[index] : kWhite;
  });
  return true;
}

template <int Bits, typename IndexOf>
bool Encode(const BitmapImage& image, std::uint8_t* rowBytes, std::int64_t rowLength,
            std::int32_t row, IndexOf&& indexOf) {
  if (image.Width() > kIndicesPerByte<Bits> * rowLength) return false;
  PackIndices<Bits>(rowBytes, image.Width(),
                    [&](std::int32_t c) { return indexOf(image.Column(c)[row]); });
  return true;
}

template <int Bits>
void DecodeBlock(BitmapImage& image, const std::uint8_t* bytes, std::int64_t rowLength,
                 std::int32_t bottomRow, std::int32_t rows) {
  constexpr std::int32_t kPerByte = 8 / Bits;
  constexpr unsigned kMask = (1u << Bits) - 1;
  // Every index a Bits-wide field holds has an entry; those the image's palette does not hold
  // read as white, as PaletteEntry answers them.
  PixelBgra entries[256];
  for (std::int32_t i = 0; i < 256; ++i) entries[i] = image.PaletteEntry(i);
  const std::int32_t width = image.Width();
  for (std::int32_t c = 0; c < width; ++c) {
    PixelBgra* run = bmp_detail::BlockRun(image, c, bottomRow, rows);
    const std::uint8_t* in = bytes + c / kPerByte;
    const auto shift = static_cast<unsigned>(8 - Bits * (c % kPerByte + 1));
    for (std::int32_t k = rows - 1; k >= 0; --k, in += rowLength) {
      run[k] = entries[(*in >> shift) & kMask];
    }
  }
}

template <int Bits>
void EncodeBlock(const BitmapImage& image, std::uint8_t* bytes, std::int64_t rowLength,
                 std::int32_t bottomRow, std::int32_t rows, PaletteMatcher& matcher) {
  constexpr std::int32_t kPerByte = 8 / Bits;
  const std::int32_t width = image.Width();
  for (std::int32_t first = 0; first < width; first += kPerByte) {
    const std::int32_t fields = width - first < kPerByte ? width - first : kPerByte;
    const PixelBgra* runs[kPerByte];
    for (std::int32_t j = 0; j < fields; ++j) {
      runs[j] = bmp_detail::BlockRun(image, first + j, bottomRow, rows);
    }
    std::uint8_t* out = bytes + first / kPerByte;
    for (std::int32_t k = rows - 1; k >= 0; --k, out += rowLength) {
      // As PackIndices: fields from the most significant end, a short last byte keeps zeros.
      unsigned sum = 0;
      for (std::int32_t j = 0; j < fields; ++j) {
        sum += unsigned{matcher.IndexOf(runs[j][k])} << (8 - Bits * (j + 1));
      }
      *out = static_cast<std::uint8_t>(sum);
    }
  }
}

}  // namespace

void bmp_detail::DecodeIndexedBlock(BitmapImage& image, const std::uint8_t* bytes,
                                    std::int64_t rowLength, std::int32_t bottomRow,
                                    std::int32_t rows) {
  switch (image.BitDepth()) {
    case 8:
      return DecodeBlock<8>(image, bytes, rowLength, bottomRow, rows);
    case 4:
      return DecodeBlock<4>(image, bytes, rowLength, bottomRow, rows);
    default:
      return DecodeBlock<1>(image, bytes, rowLength, bottomRow, rows);
  }
}

void bmp_detail::EncodeIndexedBlock(const BitmapImage& image, std::uint8_t* bytes,
                                    std::int64_t rowLength, std::int32_t bottomRow,
                                    std::int32_t rows, PaletteMatcher& matcher) {
  switch (image.BitDepth()) {
    case 8:
      return EncodeBlock<8>(image, bytes, rowLength, bottomRow, rows, matcher);
    case 4:
      return EncodeBlock<4>(image, bytes, rowLength, bottomRow, rows, matcher);
    default:
      return EncodeBlock<1>(image, bytes, rowLength, bottomRow, rows, matcher);
  }
}

bool BitmapImage::DecodeRow8(const std::uint8_t* rowBytes, std::int64_t rowLength,
                             std::int32_t row) {
  return Decode<8>(*this, palette_.data(), rowBytes, rowLength, row);
}
bool BitmapImage::DecodeRow4(const std::uint8_t* rowBytes, std::int64_t rowLength,
                             std::int32_t row) {
  return Decode<4>(*this, palette_.data(), rowBytes, rowLength, row);
}
bool BitmapImage::DecodeRow1(const std::uint8_t* rowBytes, std::int64_t rowLength,
                             std::int32_t row) {
  return Decode<1>(*this, palette_.data(), rowBytes, rowLength, row);
}

bool BitmapImage::EncodeRow8(std::uint8_t* rowBytes, std::int64_t rowLength,
                             std::int32_t row) const {
  return Encode<8>(*this, rowBytes, rowLength, row,
                   [this](PixelBgra p) { return NearestPaletteIndex(p); });
}
bool BitmapImage::EncodeRow4(std::uint8_t* rowBytes, std::int64_t rowLength,
                             std::int32_t row) const {
  return Encode<4>(*this, rowBytes, rowLength, row,
                   [this](PixelBgra p) { return NearestPaletteIndex(p); });
}
bool BitmapImage::EncodeRow1(std::uint8_t* rowBytes, std::int64_t rowLength,
                             std::int32_t row) const {
  return Encode<1>(*this, rowBytes, rowLength, row,
                   [this](PixelBgra p) { return NearestPaletteIndex(p); });
}

}  // namespace korvel
