// Pixel copying. Every access goes through the clamped At, so positions outside an image land on
// its nearest edge pixel; rectangles are clipped against both images first.
#include "korvel/ops/pixel_copy.hpp"

#include <algorithm>

namespace korvel {
namespace {

bool IsKey(PixelBgra pixel, const PixelBgra& key) {
  return pixel.red == key.red && pixel.green == key.green && pixel.blue == key.blue;
}

struct Rectangle {
  std::int32_t firstColumn, lastColumn, top, bottom;
};

// The bounds settled in order, each step using what the steps before it left. Computed in 64
// bits; every result fits in 32 (a clipped bound only moves toward the other).
Rectangle Clip(const BitmapImage& source, std::int32_t firstColumn, std::int32_t lastColumn,
               std::int32_t rowBoundA, std::int32_t rowBoundB, const BitmapImage& destination,
               std::int32_t destinationColumn, std::int32_t destinationRow) {
  std::int64_t first = firstColumn, last = lastColumn;
  std::int64_t top = std::min(rowBoundA, rowBoundB), bottom = std::max(rowBoundA, rowBoundB);
  if (last >= source.Width()) last = source.Width() - 1;
  if (first < 0) first = 0;
  if (bottom >= source.Height()) bottom = source.Height() - 1;
  if (top < 0) top = 0;
  if (last - first + destinationColumn >= destination.Width()) {
    last = first - destinationColumn + destination.Width() - 1;
  }
  if (bottom - top + destinationRow >= destination.Height()) {
    bottom = top - destinationRow + destination.Height() - 1;
  }
  return Rectangle{static_cast<std::int32_t>(first), static_cast<std::int32_t>(last),
                   static_cast<std::int32_t>(top), static_cast<std::int32_t>(bottom)};
}

// Rows outer, columns inner, both increasing; within one image an overlapping destination
// takes pixels that earlier steps already overwrote.
template <typename CopyOne>
void ForEachInRectangle(const Rectangle& r, std::int32_t destinationColumn,
                        std::int32_t destinationRow, CopyOne&& copyOne) {
  for (std::int64_t row = r.top; row <= r.bottom; ++row) {
    for (std::int64_t column = r.firstColumn; column <= r.lastColumn; ++column) {
      copyOne(static_cast<std::int32_t>(column), static_cast<std::int32_t>(row),
              static_cast<std::int32_t>(destinationColumn + column - r.firstColumn),
              static_cast<std::int32_t>(destinationRow + row - r.top));
    }
  }
}

}  // namespace

void CopyPixel(const BitmapImage& source, std::int32_t sourceColumn, std::int32_t sourceRow,
               BitmapImage& destination, std::int32_t destinationColumn,
               std::int32_t destinationRow) {
  destination.At(destinationColumn, destinationRow) = source.At(sourceColumn, sourceRow);
}

void CopyPixelUnlessKey(const BitmapImage& source, std::int32_t sourceColumn,
                        std::int32_t sourceRow, BitmapImage& destination,
                        std::int32_t destinationColumn, std::int32_t destinationRow,
                        const PixelBgra& keyColor) {
  const PixelBgra pixel = source.At(sourceColumn, sourceRow);
  if (!IsKey(pixel, keyColor)) destination.At(destinationColumn, destinationRow) = pixel;
}

void CopyPixelRange(const BitmapImage& source, std::int32_t firstColumn, std::int32_t lastColumn,
                    std::int32_t rowBoundA, std::int32_t rowBoundB, BitmapImage& destination,
                    std::int32_t destinationColumn, std::int32_t destinationRow) {
  const Rectangle r = Clip(source, firstColumn, lastColumn, rowBoundA, rowBoundB, destination,
                           destinationColumn, destinationRow);
  ForEachInRectangle(r, destinationColumn, destinationRow,
                     [&](std::int32_t sc, std::int32_t sr, std::int32_t dc, std::int32_t dr) {
                       CopyPixel(source, sc, sr, destination, dc, dr);
                     });
}

void CopyPixelRangeUnlessKey(const BitmapImage& source, std::int32_t firstColumn,
                             std::int32_t lastColumn, std::int32_t rowBoundA,
                             std::int32_t rowBoundB, BitmapImage& destination,
                             std::int32_t destinationColumn, std::int32_t destinationRow,
                             const PixelBgra& keyColor) {
  const Rectangle r = Clip(source, firstColumn, lastColumn, rowBoundA, rowBoundB, destination,
                           destinationColumn, destinationRow);
  ForEachInRectangle(r, destinationColumn, destinationRow,
                     [&](std::int32_t sc, std::int32_t sr, std::int32_t dc, std::int32_t dr) {
                       CopyPixelUnlessKey(source, sc, sr, destination, dc, dr, keyColor);
                     });
}

}  // namespace korvel
