// Loading a BMP file: validate the headers, size the image, read the palette, then decode the
// rows bottom-up. Short pixel data is not an error: rows that never arrive stay white.
#include <cstdlib>
#include <memory>
#include <new>

#include "bmp/header_io.hpp"
#include "bmp/row_blocks.hpp"
#include "korvel/bmp/header_validation.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel {
namespace {

using bmp_detail::ReadField;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Offsets are computed in signed 32-bit arithmetic, wrapping as the format's own readers do.
std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Larger information headers written by common tools (v2 52, v3 56, OS/2 v2 64, v4 108,
// v5 124 bytes): at 1, 4 and 8 bits their palette follows the whole header, not byte 54.
std::int64_t PaletteStart(std::uint32_t biSize) {
  switch (biSize) {
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      return kFileHeaderBytes + biSize;
    default:
      return kHeadersBytes;
  }
}

}  // namespace

bool BitmapImage::LoadFromFile(const char* path) {
  return Load(path) == LoadStatus::kLoaded;
}

LoadStatus BitmapImage::Load(const char* path) {
  FilePtr file(bmp_detail::OpenForReading(path));
  if (!file) {
    ChangeBitDepth(1);
    Resize(1, 1);
    return LoadStatus::kCannotOpen;
  }
  std::FILE* f = file.get();

  FileHeader fileHeader;
  bool headersRead = ReadField(f, fileHeader.bfType);
  // A file too short for these two bytes keeps the initial "BM" and fails as truncated below.
  if (fileHeader.bfType != kBmpSignature) return LoadStatus::kNotBmp;
  headersRead &= bmp_detail::ReadFileHeaderAfterType(f, fileHeader);
  InfoHeader info;
  headersRead &= bmp_detail::ReadInfoHeader(f, info);

  const auto refuse = [this](LoadStatus status) {
    Reset();
    return status;
  };
  if (!headersRead) return refuse(LoadStatus::kTruncatedHeader);

  // Kept even when the header is refused below.
  xPixelsPerMeter_ = info.biXPelsPerMeter;
  yPixelsPerMeter_ = info.biYPelsPerMeter;

  const LoadStatus verdict = CheckInfoHeader(info);
  if (verdict != LoadStatus::kLoaded) return refuse(verdict);
  ChangeBitDepth(info.biBitCount);
  if (!Resize(info.biWidth, info.biHeight)) return refuse(LoadStatus::kOutOfMemory);

  const auto offBits = static_cast<std::int32_t>(fileHeader.bfOffBits);
  std::int32_t skip = Wrap32(std::int64_t{offBits} - kHeadersBytes);
  if (hasPalette_) {
    const std::int64_t paletteStart = PaletteStart(info.biSize);
    bmp_detail::SkipBytes(f, paletteStart - kHeadersBytes);
    const std::int32_t full = ColorCount();
    std::int32_t entries = Wrap32(std::int64_t{offBits} - paletteStart) / 4;
    if (entries > full) entries = full;
    if (entries < 0) entries = 0;
    for (std::int32_t i = 0; i < entries; ++i) {
      std::uint8_t e[4];
      // An entry the file cannot deliver keeps its standard colour.
      if (GuardedRead(e, 4, 1, f)) palette_[std::size_t(i)] = PixelBgra{e[0], e[1], e[2], e[3]};
    }
    for (std::int32_t i = entries; i < full; ++i) SetPaletteEntry(i, kWhite);
    skip = Wrap32(std::int64_t{offBits} - paletteStart - 4 * std::int64_t{full});
  } else if (bitDepth_ == 16 && info.biCompression == kCompressionMasks) {
    skip = Wrap32(std::int64_t{skip} - 12);
  }
  if (skip < 0) skip = 0;

  if (bitDepth_ == 16) {
    ReadPixels16(f, info.biCompression, skip);
    return LoadStatus::kLoaded;
  }

  bmp_detail::SkipBytes(f, skip);
  ReadRows(f);
  return LoadStatus::kLoaded;
}

void BitmapImage::ReadRows(std::FILE* file) {
  const std::int64_t rowLength = RowLength(bitDepth_, width_);
  const std::int32_t blockRows = bmp_detail::RowsPerBlock(rowLength);
  const auto blockBytes = std::size_t(rowLength) * std::size_t(blockRows);
  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[blockBytes]);
  if (!block) return;
  for (std::int32_t bottomRow = height_ - 1; bottomRow >= 0; bottomRow -= blockRows) {
    const std::int32_t rows = bottomRow + 1 < blockRows ? bottomRow + 1 : blockRows;
    const std::size_t wanted = std::size_t(rowLength) * std::size_t(rows);
    const std::size_t arrived = std::fread(block.get(), 1, wanted, file);
    // Only whole rows are decoded: the first incomplete row ends the picture, as if each row
    // had been read on its own.
    const auto complete = static_cast<std::int32_t>(arrived / std::size_t(rowLength));
    if (complete > 0) {
      if (hasPalette_) {
        bmp_detail::DecodeIndexedBlock(*this, block.get(), rowLength, bottomRow, complete);
      } else {
        bmp_detail::DecodeDirectBlock(*this, block.get(), rowLength, bottomRow, complete);
      }
    }
    if (arrived != wanted) return;
  }
}

}  // namespace korvel
