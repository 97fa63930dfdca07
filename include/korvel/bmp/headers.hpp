// The two BMP header records, with the format's published field names. Both are read and written
// one little-endian field at a time, never as a block of memory.
#pragma once

#include <cstdint>

namespace korvel {

inline constexpr std::uint16_t kBmpSignature = 19778;  // "BM" read little-endian
inline constexpr std::int64_t kFileHeaderBytes = 14;
inline constexpr std::int64_t kInfoHeaderBytes = 40;
inline constexpr std::int64_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;  // 54

// Fields without an initial value in the format's conventions start at 0.
struct FileHeader {
  std::uint16_t bfType = kBmpSignature;
  std::uint32_t bfSize = 0;
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::uint32_t bfOffBits = 0;
};

struct InfoHeader {
  std::uint32_t biSize = 0;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 3780;
  std::int32_t biYPelsPerMeter = 3780;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

inline constexpr std::uint32_t kCompressionNone = 0;   // BI_RGB
inline constexpr std::uint32_t kCompressionMasks = 3;  // BI_BITFIELDS

// Bytes of one stored row: bitDepth x width bits rounded up to whole 4-byte words. Computed in
// 64 bits, so no width can overflow it.
inline std::int64_t RowLength(std::int32_t bitDepth, std::int32_t width) {
  const std::int64_t bits = std::int64_t{bitDepth} * width;
  return (bits + 31) / 32 * 4;
}

}  // namespace korvel
