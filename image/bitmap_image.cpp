#include "korvel/image/bitmap_image.hpp"

#include <algorithm>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace korvel {
namespace {

bool IsIndexedDepth(std::int32_t depth) {
  return depth == 1 || depth == 4 || depth == 8;
}

bool IsSupportedDepth(std::int32_t depth) {
  return IsIndexedDepth(depth) || depth == 16 || depth == 24 || depth == 32;
}

// Large grids start on a 2 MiB boundary and ask for transparent huge pages: rows are decoded and
// encoded across all columns, one pixel per column, and with 4 KiB pages nearly every pixel of a
// tall picture would need its own TLB entry; first touch also faults 512 times less often.
// Storage is released with std::free either way.
PixelBgra* AllocatePixels(std::size_t count) {
  const std::size_t bytes = count * sizeof(PixelBgra);
#if defined(__linux__)
  constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
  if (bytes >= kHugePageBytes) {
    const std::size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    void* storage = std::aligned_alloc(kHugePageBytes, rounded);
    // Only advice: without huge pages the storage works the same, just slower.
    if (storage) madvise(storage, rounded, MADV_HUGEPAGE);
    return static_cast<PixelBgra*>(storage);
  }
#endif
  return static_cast<PixelBgra*>(std::malloc(bytes));
}

}  // namespace

void BitmapImage::FreeDeleter::operator()(PixelBgra* p) const {
  std::free(p);
}

std::int32_t IntegerPower(std::int32_t base, std::int32_t exponent) {
  // Repeated 32-bit multiplication wraps modulo 2^32; squaring gives the same residue without
  // looping `exponent` times or overflowing a signed type.
  std::uint32_t result = 1;
  std::uint32_t factor = static_cast<std::uint32_t>(base);
  for (std::uint32_t e = exponent > 0 ? static_cast<std::uint32_t>(exponent) : 0; e != 0; e >>= 1) {
    if (e & 1u) result *= factor;
    factor *= factor;
  }
  return static_cast<std::int32_t>(result);
}

BitmapImage::BitmapImage() : pixels_(static_cast<PixelBgra*>(std::malloc(sizeof(PixelBgra)))) {
  if (!pixels_) throw std::bad_alloc();
  // Left unset by the format's own construction; white keeps every read defined.
  pixels_[0] = kWhite;
}

BitmapImage::BitmapImage(const BitmapImage& source) : BitmapImage() {
  ChangeBitDepth(source.BitDepth());
  if (!Resize(source.Width(), source.Height())) throw std::bad_alloc();
  const std::int32_t vertical = source.VerticalDpi();
  const std::int32_t horizontal = source.HorizontalDpi();
  SetResolutionDpi(horizontal, vertical);
  if (hasPalette_) {
    for (std::int32_t i = 0; i < ColorCount(); ++i) SetPaletteEntry(i, source.PaletteEntry(i));
  }
  std::copy_n(source.pixels_.get(), std::size_t(width_) * std::size_t(height_), pixels_.get());
}

BitmapImage& BitmapImage::operator=(const BitmapImage& source) {
  if (this != &source) {
    BitmapImage copy(source);
    std::swap(bitDepth_, copy.bitDepth_);
    std::swap(width_, copy.width_);
    std::swap(height_, copy.height_);
    std::swap(pixels_, copy.pixels_);
    std::swap(palette_, copy.palette_);
    std::swap(hasPalette_, copy.hasPalette_);
    std::swap(xPixelsPerMeter_, copy.xPixelsPerMeter_);
    std::swap(yPixelsPerMeter_, copy.yPixelsPerMeter_);
  }
  return *this;
}

BitmapImage::~BitmapImage() = default;

PixelBgra& BitmapImage::At(std::int32_t column, std::int32_t row) {
  if (column >= width_) column = width_ - 1;
  if (column < 0) column = 0;
  if (row >= height_) row = height_ - 1;
  if (row < 0) row = 0;
  return Column(column)[row];
}

const PixelBgra& BitmapImage::At(std::int32_t column, std::int32_t row) const {
  return const_cast<BitmapImage*>(this)->At(column, row);
}

PixelBgra BitmapImage::PixelValue(std::int32_t column, std::int32_t row) const {
  return At(column, row);
}

bool BitmapImage::StorePixel(std::int32_t column, std::int32_t row, PixelBgra pixel) {
  if (column < 0 || column >= width_ || row < 0 || row >= height_) return false;
  Column(column)[row] = pixel;
  return true;
}

std::int32_t BitmapImage::ColorCount() const {
  return IntegerPower(2, bitDepth_ == 32 ? 24 : bitDepth_);
}

PixelBgra BitmapImage::PaletteEntry(std::int32_t index) const {
  if (!IsIndexedDepth(bitDepth_) || !hasPalette_ || index < 0 || index >= ColorCount()) {
    return kWhite;
  }
  return palette_[std::size_t(index)];
}

bool BitmapImage::SetPaletteEntry(std::int32_t index, PixelBgra color) {
  if (!IsIndexedDepth(bitDepth_) || !hasPalette_ || index < 0 || index >= ColorCount()) {
    return false;
  }
  palette_[std::size_t(index)] = color;
  return true;
}

bool BitmapImage::ChangeBitDepth(std::int32_t newDepth) {
  if (!IsSupportedDepth(newDepth)) return false;
  bitDepth_ = newDepth;
  hasPalette_ = IsIndexedDepth(newDepth);
  palette_.fill(PixelBgra{});
  if (hasPalette_) FillStandardPalette();
  return true;
}

bool BitmapImage::Resize(std::int32_t newWidth, std::int32_t newHeight) {
  if (newWidth < 1 || newHeight < 1) return false;
  const std::int64_t count = std::int64_t{newWidth} * newHeight;
  if (count > kMaxPixels) return false;
  // Allocate before releasing, so that a refusal leaves the image as it was.
  PixelStorage fresh(AllocatePixels(std::size_t(count)));
  if (!fresh) return false;
  std::fill_n(fresh.get(), std::size_t(count), kWhite);
  pixels_ = std::move(fresh);
  width_ = newWidth;
  height_ = newHeight;
  return true;
}

void BitmapImage::Reset() {
  Resize(1, 1);
  ChangeBitDepth(1);
}

}  // namespace korvel
