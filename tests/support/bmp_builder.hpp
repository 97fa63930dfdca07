// Builds BMP files byte by byte, one header field at a time, so that every malformed file a test
// needs is a one-liner: start from a valid file of some depth and change one field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "korvel/image/pixel_bgra.hpp"

namespace korvel::test {

struct BmpBuilder {
  // File header
  std::uint16_t bfType = 0x4D42;
  std::int64_t bfSize = -1;  // -1: computed
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::int64_t bfOffBits = -1;  // -1: right after headers, palette or masks
  // Information header
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 1;
  std::int32_t biHeight = 1;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 3780;
  std::int32_t biYPelsPerMeter = 3780;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;

  std::string extraHeader;           // bytes after the 40-byte header (larger headers)
  std::vector<PixelBgra> palette;    // written as 4-byte entries (alpha as fourth byte)
  std::vector<std::uint32_t> masks;  // written as 4-byte fields (16-bit mask block)
  std::string gap;                   // bytes between palette/masks and pixel data
  std::string pixelData;             // the rows, as they are to appear in the file

  std::string Build() const;
};

// One 24-bit file row: blue, green, red of each pixel, then zero pad bytes up to a multiple of 4.
std::string Row24(const std::vector<PixelBgra>& pixels);

// Appends little-endian integers.
void PutLe16(std::string& out, std::uint32_t value);
void PutLe32(std::string& out, std::uint32_t value);

}  // namespace korvel::test
