// Bilinear rescaling. Every operation is rounded to double on its own, in the order written
// (the toolkit is compiled with -ffp-contract=off), and sums are truncated, not rounded: the last
// unit of many channel values depends on it.
#include "korvel/ops/rescale.hpp"

#include <cmath>
#include <limits>
#include <new>
#include <optional>

namespace korvel {
namespace {

struct Size {
  std::int32_t width;
  std::int32_t height;
};

std::optional<std::int32_t> FloorToInt32(double value) {
  const double floored = std::floor(value);
  if (!(floored >= -2147483648.0 && floored <= 2147483647.0)) return std::nullopt;
  return static_cast<std::int32_t>(floored);
}

std::optional<std::int32_t> Percent(std::int32_t side, std::int32_t value) {
  const std::int64_t product = std::int64_t{side} * value;  // formed as a 32-bit integer
  if (product > std::numeric_limits<std::int32_t>::max() ||
      product < std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  return FloorToInt32(static_cast<double>(product) * 0.01);
}

// The other side in proportion: the quotient first, then the product, then the floor; this can
// come out one below the exact proportion (49 / 3 * 15 = 244.99999999999997).
std::optional<std::int32_t> Proportional(std::int32_t value, std::int32_t givenOld,
                                         std::int32_t otherOld) {
  return FloorToInt32((value / static_cast<double>(givenOld)) * otherOld);
}

std::optional<Size> NewSize(char mode, std::int32_t oldWidth, std::int32_t oldHeight,
                            std::int32_t value) {
  if (mode == 'F') mode = oldWidth > oldHeight ? 'W' : 'H';
  std::optional<std::int32_t> width, height;
  switch (mode) {
    case 'P':
      width = Percent(oldWidth, value);
      height = Percent(oldHeight, value);
      break;
    case 'W':
      width = value;
      height = Proportional(value, oldWidth, oldHeight);
      break;
    case 'H':
      width = Proportional(value, oldHeight, oldWidth);
      height = value;
      break;
    default:
      return std::nullopt;
  }
  if (!width || !height) return std::nullopt;
  return Size{*width < 1 ? 1 : *width, *height < 1 ? 1 : *height};
}

std::uint8_t Truncate(double sum) {
  // Sums lie in [0, 255] up to rounding; truncation toward zero, kept in range.
  if (!(sum > 0.0)) return 0;
  if (sum >= 255.0) return 255;
  return static_cast<std::uint8_t>(sum);
}

struct Sample {
  std::int32_t whole;  // floor of the source position
  double fraction;     // in [0, 1)
};

// Result index i of newCount mapped onto the source so that the first and last coincide.
Sample SamplePosition(std::int32_t i, std::int32_t oldCount, std::int32_t newCount) {
  const double position = (i * (oldCount - 1.0)) / (newCount - 1.0);
  const double whole = std::floor(position);
  return Sample{static_cast<std::int32_t>(whole), position - whole};
}

// Two-tap interpolation: far × f + near × (1 − f), per channel.
void Lerp(PixelBgra& out, PixelBgra nearTap, PixelBgra farTap, double f) {
  out.blue = Truncate(farTap.blue * f + nearTap.blue * (1.0 - f));
  out.green = Truncate(farTap.green * f + nearTap.green * (1.0 - f));
  out.red = Truncate(farTap.red * f + nearTap.red * (1.0 - f));
}

void Resample(const BitmapImage& source, BitmapImage& image) {
  const std::int32_t oldWidth = source.Width(), oldHeight = source.Height();
  const std::int32_t newWidth = image.Width(), newHeight = image.Height();

  // Pass A: every row but the last.
  for (std::int32_t j = 0; j + 1 < newHeight; ++j) {
    const Sample y = SamplePosition(j, oldHeight, newHeight);
    const double fy = y.fraction;
    for (std::int32_t i = 0; i + 1 < newWidth; ++i) {
      const Sample x = SamplePosition(i, oldWidth, newWidth);
      const double fx = x.fraction;
      const PixelBgra p00 = source.At(x.whole, y.whole);
      const PixelBgra p10 = source.At(x.whole + 1, y.whole);
      const PixelBgra p01 = source.At(x.whole, y.whole + 1);
      const PixelBgra p11 = source.At(x.whole + 1, y.whole + 1);
      const double k11 = fx * fy;
      const double k00 = ((1.0 - fx) - fy) + k11;
      const double k10 = fx - k11;
      const double k01 = fy - k11;
      PixelBgra& out = image.Column(i)[j];
      out.red = Truncate(((p10.red * k10 + p01.red * k01) + p11.red * k11) + p00.red * k00);
      out.green =
          Truncate(((p10.green * k10 + p01.green * k01) + p11.green * k11) + p00.green * k00);
      // Blue has always been summed in another order; it shows in the last unit.
      out.blue = Truncate(((p11.blue * k11 + p00.blue * k00) + p10.blue * k10) + p01.blue * k01);
    }
    // The last column, from the last source column alone.
    Lerp(image.Column(newWidth - 1)[j], source.At(oldWidth - 1, y.whole),
         source.At(oldWidth - 1, y.whole + 1), fy);
  }

  // Pass B: the last row, from the last source row alone.
  for (std::int32_t i = 0; i + 1 < newWidth; ++i) {
    const Sample x = SamplePosition(i, oldWidth, newWidth);
    Lerp(image.Column(i)[newHeight - 1], source.At(x.whole, oldHeight - 1),
         source.At(x.whole + 1, oldHeight - 1), x.fraction);
  }

  // The corner takes all four bytes, the only alpha that survives.
  image.Column(newWidth - 1)[newHeight - 1] = source.At(oldWidth - 1, oldHeight - 1);
}

char ToUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool RescaleImage(BitmapImage& image, char mode, std::int32_t value) {
  mode = ToUpper(mode);
  if (mode != 'P' && mode != 'W' && mode != 'H' && mode != 'F') {
    // The source copy is made before the mode is examined, and copying reads the resolution,
    // which stores the default into an unset one. Nothing else changes.
    image.VerticalDpi();
    image.HorizontalDpi();
    return false;
  }
  const std::optional<Size> size = NewSize(mode, image.Width(), image.Height(), value);
  if (!size || std::int64_t{size->width} * size->height > kMaxPixels) return false;
  try {
    const BitmapImage source(image);
    if (!image.Resize(size->width, size->height)) return false;
    image.ChangeBitDepth(24);
    Resample(source, image);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace korvel
