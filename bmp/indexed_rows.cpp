// 1-, 4- and 8-bit rows: each pixel is a palette index.
#include "bmp/index_packing.hpp"
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

}  // namespace

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

bool BitmapImage::EncodeRow(std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row,
                            PaletteMatcher& matcher) const {
  const auto match = [&matcher](PixelBgra p) { return matcher.IndexOf(p); };
  switch (bitDepth_) {
    case 32:
      return EncodeRow32(rowBytes, rowLength, row);
    case 24:
      return EncodeRow24(rowBytes, rowLength, row);
    case 8:
      return Encode<8>(*this, rowBytes, rowLength, row, match);
    case 4:
      return Encode<4>(*this, rowBytes, rowLength, row, match);
    case 1:
      return Encode<1>(*this, rowBytes, rowLength, row, match);
    default:
      return false;
  }
}

}  // namespace korvel
