// Palette indices packed into bytes from the most significant bit: at 4 bits the high nibble is
// the left pixel, at 1 bit bit 7 is the leftmost pixel. Unfilled low bits of a last byte are
// written as 0 and ignored on reading.
#pragma once

#include <cstdint>

namespace korvel::bmp_detail {

template <int Bits>
inline constexpr std::int64_t kIndicesPerByte = 8 / Bits;

// store(column, index) for each of the first `width` fields of `bytes`.
template <int Bits, typename Store>
void UnpackIndices(const std::uint8_t* bytes, std::int32_t width, Store&& store) {
  constexpr int kPerByte = 8 / Bits;
  constexpr unsigned kMask = (1u << Bits) - 1;
  for (std::int32_t c = 0; c < width; ++c) {
    const auto shift = static_cast<unsigned>(8 - Bits * (c % kPerByte + 1));
    store(c, (bytes[c / kPerByte] >> shift) & kMask);
  }
}

// Fills the first bytes of `bytes` with indexOf(column) for columns 0 to width - 1.
template <int Bits, typename IndexOf>
void PackIndices(std::uint8_t* bytes, std::int32_t width, IndexOf&& indexOf) {
  constexpr int kPerByte = 8 / Bits;
  for (std::int32_t first = 0; first < width; first += kPerByte) {
    unsigned sum = 0;
    for (int k = 0; k < kPerByte && first + k < width; ++k) {
      sum += unsigned{indexOf(first + k)} << (8 - Bits * (k + 1));
    }
    bytes[first / kPerByte] = static_cast<std::uint8_t>(sum);
  }
}

}  // namespace korvel::bmp_detail
