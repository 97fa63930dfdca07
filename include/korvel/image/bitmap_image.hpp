// The in-memory raster image: every pixel at full four-channel precision whatever the bit depth,
// an optional palette, and a resolution. The BMP reader and writer are operations of this class
// too (defined under bmp/), as they fill and read its fields directly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "korvel/bmp/load_status.hpp"
#include "korvel/image/limits.hpp"
#include "korvel/image/pixel_bgra.hpp"

namespace korvel {

// base raised to exponent by repeated multiplication, wrapping modulo 2^32; 1 when exponent <= 0.
std::int32_t IntegerPower(std::int32_t base, std::int32_t exponent);

class PaletteMatcher;

class BitmapImage {
 public:
  // 24 bits, 1 x 1, no palette, resolution not set.
  BitmapImage();
  // A full duplicate. Reads the source's resolution through VerticalDpi/HorizontalDpi, so a
  // source whose resolution is unset gets 3780 stored into it, and the copy's resolution is the
  // source's passed through whole dots per inch (3780 becomes 3779). Throws std::bad_alloc when
  // the pixels cannot be allocated.
  BitmapImage(const BitmapImage& source);
  BitmapImage& operator=(const BitmapImage& source);
  ~BitmapImage();

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::int32_t BitDepth() const { return bitDepth_; }
  std::int32_t XPixelsPerMeter() const { return xPixelsPerMeter_; }
  std::int32_t YPixelsPerMeter() const { return yPixelsPerMeter_; }

  // Clamped access: any coordinates are accepted and land on the nearest edge pixel. The
  // reference stays valid until the next Resize or the image's destruction.
  PixelBgra& At(std::int32_t column, std::int32_t row);
  const PixelBgra& At(std::int32_t column, std::int32_t row) const;
  PixelBgra PixelValue(std::int32_t column, std::int32_t row) const;
  // Stores all four fields; a position outside the image answers false and writes nothing.
  [[nodiscard]] bool StorePixel(std::int32_t column, std::int32_t row, PixelBgra pixel);

  // 2^bitDepth, or 2^24 at 32 bits.
  std::int32_t ColorCount() const;
  // White with alpha 0 when there is no such entry (no palette, index negative or too large).
  PixelBgra PaletteEntry(std::int32_t index) const;
  bool SetPaletteEntry(std::int32_t index, PixelBgra color);
  bool FillStandardPalette();
  // Replaces any palette by the standard one of the new depth, also when the depth is unchanged.
  bool ChangeBitDepth(std::int32_t newDepth);
  // Re-creates the pixel grid, every pixel white with alpha 0. Refuses sizes below 1, grids over
  // kMaxPixels and grids that cannot be allocated, leaving the image as it was.
  bool Resize(std::int32_t newWidth, std::int32_t newHeight);

  // Resolutions in dots per inch, truncated both ways; results outside int32 saturate.
  void SetResolutionDpi(std::int32_t horizontal, std::int32_t vertical);
  // Store DefaultPixelsPerMeter into an unset (zero) field before converting it: a read that
  // writes, which is why an image is never to be shared between threads, even for reading.
  std::int32_t HorizontalDpi() const;
  std::int32_t VerticalDpi() const;

  // Index of the palette entry nearest in blue, green and red (least sum of squared differences,
  // lowest index on a tie, an exact match ends the search).
  std::uint8_t NearestPaletteIndex(PixelBgra pixel) const;

  // BMP files. Load answers the reason; LoadFromFile answers whether it is kLoaded.
  [[nodiscard]] LoadStatus Load(const char* path);
  bool LoadFromFile(const char* path);
  // Answers false when the file cannot be opened or any write or the close fails.
  bool SaveToFile(const char* path);

  // Row codecs: rowBytes holds one file row of rowLength bytes for image row `row` (0 is the top).
  // A buffer too short for Width() pixels answers false and changes nothing.
  bool DecodeRow32(const std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row);
  bool DecodeRow24(const std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row);
  bool DecodeRow8(const std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row);
  bool DecodeRow4(const std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row);
  bool DecodeRow1(const std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row);
  bool EncodeRow32(std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row) const;
  bool EncodeRow24(std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row) const;
  bool EncodeRow8(std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row) const;
  bool EncodeRow4(std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row) const;
  bool EncodeRow1(std::uint8_t* rowBytes, std::int64_t rowLength, std::int32_t row) const;

  // 16-bit pixels. ReadPixels16 expects the file at offset 54 and the image sized at 16 bits;
  // WritePixels16 expects the file at offset 54 after headers with biCompression 3.
  void ReadPixels16(std::FILE* file, std::uint32_t biCompression, std::int32_t skip);
  // Answers false when a write fails.
  bool WritePixels16(std::FILE* file) const;

  // Column-major storage: column c is Height() contiguous pixels, top row first.
  PixelBgra* Column(std::int32_t column) {
    return pixels_.get() + std::size_t(column) * std::size_t(height_);
  }
  const PixelBgra* Column(std::int32_t column) const {
    return pixels_.get() + std::size_t(column) * std::size_t(height_);
  }
  bool HasPalette() const { return hasPalette_; }

 private:
  struct FreeDeleter {
    void operator()(PixelBgra* p) const;
  };
  using PixelStorage = std::unique_ptr<PixelBgra[], FreeDeleter>;

  void Reset();
  // Rows from the current file position, bottom row first, until the data runs out.
  void ReadRows(std::FILE* file);
  bool WriteRows(std::FILE* file) const;

  std::int32_t bitDepth_ = 24;
  std::int32_t width_ = 1;
  std::int32_t height_ = 1;
  PixelStorage pixels_;
  // Sized for the largest palette so that every index a row can carry is in bounds; only the
  // first ColorCount() entries belong to the image, and only while hasPalette_ is set.
  std::array<PixelBgra, 256> palette_{};
  bool hasPalette_ = false;
  // Mutable because reading an unset resolution stores the default into it.
  mutable std::int32_t xPixelsPerMeter_ = 0;
  mutable std::int32_t yPixelsPerMeter_ = 0;

  friend class PaletteMatcher;
};

}  // namespace korvel
