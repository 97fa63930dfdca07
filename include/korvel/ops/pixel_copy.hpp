// Copying single pixels and clipped rectangles between images, or within one image.
#pragma once

#include <cstdint>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {

void CopyPixel(const BitmapImage& source, std::int32_t sourceColumn, std::int32_t sourceRow,
               BitmapImage& destination, std::int32_t destinationColumn,
               std::int32_t destinationRow);
// Skips a source pixel equal to keyColor in blue, green and red (alpha plays no part).
void CopyPixelUnlessKey(const BitmapImage& source, std::int32_t sourceColumn,
                        std::int32_t sourceRow, BitmapImage& destination,
                        std::int32_t destinationColumn, std::int32_t destinationRow,
                        const PixelBgra& keyColor);
// Columns firstColumn..lastColumn (never reordered) and rows between the two row bounds (either
// order), clipped against both images, copied rows outer, columns inner.
void CopyPixelRange(const BitmapImage& source, std::int32_t firstColumn, std::int32_t lastColumn,
                    std::int32_t rowBoundA, std::int32_t rowBoundB, BitmapImage& destination,
                    std::int32_t destinationColumn, std::int32_t destinationRow);
void CopyPixelRangeUnlessKey(const BitmapImage& source, std::int32_t firstColumn,
                             std::int32_t lastColumn, std::int32_t rowBoundA,
                             std::int32_t rowBoundB, BitmapImage& destination,
                             std::int32_t destinationColumn, std::int32_t destinationRow,
                             const PixelBgra& keyColor);

}  // namespace korvel
