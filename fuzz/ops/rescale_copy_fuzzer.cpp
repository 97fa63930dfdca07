// Loading any bytes, then copying pixels and rescaling, with the options taken from spare bytes
// at the end of the input. Copies are checked pixel for pixel against a plain model of the
// clipping rules; rescaling against the mode table's sizes, its corner pixel and, when the size
// does not change, the unchanged colours.
//   Fuzz:   cmake --preset fuzz && cmake --build --preset fuzz &&
//           build/fuzz/fuzz/rescale_copy_fuzzer build/fuzz/corpus/rescale_copy fuzz/corpus
//   Replay: ctest --preset release -R FuzzReplay.rescale_copy
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "fuzz/support/expected_load.hpp"
#include "fuzz/support/fuzz_support.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "korvel/image/limits.hpp"
#include "korvel/ops/pixel_copy.hpp"
#include "korvel/ops/rescale.hpp"

namespace {

using korvel::BitmapImage;
using korvel::PixelBgra;

// The pixels of an image in a plain grid, with the same clamped access.
struct Grid {
  std::int64_t width = 0, height = 0;
  std::vector<PixelBgra> pixels;

  explicit Grid(const BitmapImage& image) : width(image.Width()), height(image.Height()) {
    for (std::int32_t r = 0; r < image.Height(); ++r) {
      for (std::int32_t c = 0; c < image.Width(); ++c) pixels.push_back(image.PixelValue(c, r));
    }
  }
  PixelBgra& At(std::int64_t column, std::int64_t row) {
    column = std::clamp<std::int64_t>(column, 0, width - 1);
    row = std::clamp<std::int64_t>(row, 0, height - 1);
    return pixels[std::size_t(row * width + column)];
  }
  bool Matches(const BitmapImage& image) const {
    if (image.Width() != width || image.Height() != height) return false;
    for (std::int32_t r = 0; r < image.Height(); ++r) {
      for (std::int32_t c = 0; c < image.Width(); ++c) {
        if (image.PixelValue(c, r) != pixels[std::size_t(r * width + c)]) return false;
      }
    }
    return true;
  }
};

bool IsKey(PixelBgra pixel, PixelBgra key) {
  return pixel.red == key.red && pixel.green == key.green && pixel.blue == key.blue;
}

struct CopyArgs {
  std::uint8_t selector;  // bits 0-1 the operation, bit 2 within one image, the rest its size
  std::int32_t a, b, c, d, destinationColumn, destinationRow;
  PixelBgra key;
};

// The rectangle rules step by step in 64 bits; `destination` may be `source`.
void ModelRange(Grid& source, Grid& destination, const CopyArgs& x, bool keyed) {
  std::int64_t first = x.a, last = x.b;
  std::int64_t top = std::min(x.c, x.d), bottom = std::max(x.c, x.d);
  if (last >= source.width) last = source.width - 1;
  if (first < 0) first = 0;
  if (bottom >= source.height) bottom = source.height - 1;
  if (top < 0) top = 0;
  if (last - first + x.destinationColumn >= destination.width) {
    last = first - x.destinationColumn + destination.width - 1;
  }
  if (bottom - top + x.destinationRow >= destination.height) {
    bottom = top - x.destinationRow + destination.height - 1;
  }
  for (std::int64_t row = top; row <= bottom; ++row) {
    for (std::int64_t column = first; column <= last; ++column) {
      const PixelBgra pixel = source.At(column, row);
      if (keyed && IsKey(pixel, x.key)) continue;
      destination.At(x.destinationColumn + column - first, x.destinationRow + row - top) = pixel;
    }
  }
}

void FuzzCopy(BitmapImage& image, const CopyArgs& x) {
  const std::uint8_t selector = x.selector;
  const bool sameImage = (selector & 4) != 0;
  BitmapImage other;
  KORVEL_FUZZ_CHECK(other.Resize(1 + (selector >> 3 & 7), 1 + (selector >> 6)));
  for (std::int32_t c = 0; c < other.Width(); ++c) {
    for (std::int32_t r = 0; r < other.Height(); ++r) {
      const auto v = static_cast<std::uint8_t>(c * 16 + r);
      KORVEL_FUZZ_CHECK(other.StorePixel(c, r, PixelBgra{v, v, 0, v}));
    }
  }
  BitmapImage& destination = sameImage ? image : other;
  Grid source(image);
  Grid separate(other);
  Grid& model = sameImage ? source : separate;

  switch (selector & 3) {
    case 0:
      korvel::CopyPixel(image, x.a, x.b, destination, x.c, x.d);
      model.At(x.c, x.d) = source.At(x.a, x.b);
      break;
    case 1: {
      korvel::CopyPixelUnlessKey(image, x.a, x.b, destination, x.c, x.d, x.key);
      const PixelBgra pixel = source.At(x.a, x.b);
      if (!IsKey(pixel, x.key)) model.At(x.c, x.d) = pixel;
      break;
    }
    case 2:
      korvel::CopyPixelRange(image, x.a, x.b, x.c, x.d, destination, x.destinationColumn,
                             x.destinationRow);
      ModelRange(source, model, x, false);
      break;
    default:
      korvel::CopyPixelRangeUnlessKey(image, x.a, x.b, x.c, x.d, destination, x.destinationColumn,
                                      x.destinationRow, x.key);
      ModelRange(source, model, x, true);
      break;
  }
  KORVEL_FUZZ_CHECK(model.Matches(destination));
}

std::optional<std::int32_t> FloorToInt32(double value) {
  const double floored = std::floor(value);
  if (!(floored >= -2147483648.0 && floored <= 2147483647.0)) return std::nullopt;
  return static_cast<std::int32_t>(floored);
}

// The size the mode table gives, or nothing when it leaves the 32-bit range.
std::optional<std::pair<std::int32_t, std::int32_t>> ModelSize(char mode, std::int32_t oldWidth,
                                                               std::int32_t oldHeight,
                                                               std::int32_t value) {
  if (mode == 'F') mode = oldWidth > oldHeight ? 'W' : 'H';
  std::optional<std::int32_t> width, height;
  if (mode == 'P') {
    const std::int64_t pw = std::int64_t{oldWidth} * value, ph = std::int64_t{oldHeight} * value;
    const auto fits = [](std::int64_t v) {
      return v >= std::numeric_limits<std::int32_t>::min() &&
             v <= std::numeric_limits<std::int32_t>::max();
    };
    if (!fits(pw) || !fits(ph)) return std::nullopt;
    width = FloorToInt32(static_cast<double>(pw) * 0.01);
    height = FloorToInt32(static_cast<double>(ph) * 0.01);
  } else if (mode == 'W') {
    width = value;
    height = FloorToInt32((value / static_cast<double>(oldWidth)) * oldHeight);
  } else {
    width = FloorToInt32((value / static_cast<double>(oldHeight)) * oldWidth);
    height = value;
  }
  if (!width || !height) return std::nullopt;
  return std::make_pair(std::max(*width, 1), std::max(*height, 1));
}

void FuzzRescale(BitmapImage& image, char mode, std::int32_t value) {
  // Copying reads the resolution, which stores the default into an unset one; so does rescaling.
  const BitmapImage before(image);
  const Grid oldPixels(image);
  const std::int32_t x = image.XPixelsPerMeter(), y = image.YPixelsPerMeter();

  const bool ok = korvel::RescaleImage(image, mode, value);
  KORVEL_FUZZ_CHECK(image.XPixelsPerMeter() == x && image.YPixelsPerMeter() == y);
  const char upper = mode >= 'a' && mode <= 'z' ? static_cast<char>(mode - 'a' + 'A') : mode;
  std::optional<std::pair<std::int32_t, std::int32_t>> size;
  if (upper == 'P' || upper == 'W' || upper == 'H' || upper == 'F') {
    size = ModelSize(upper, before.Width(), before.Height(), value);
    if (size && std::int64_t{size->first} * size->second > korvel::kMaxPixels) size.reset();
  }
  KORVEL_FUZZ_CHECK(ok == size.has_value());
  if (!ok) {
    KORVEL_FUZZ_CHECK(image.BitDepth() == before.BitDepth());
    KORVEL_FUZZ_CHECK(image.HasPalette() == before.HasPalette());
    for (std::int32_t i = 0; i < 256; ++i) {
      KORVEL_FUZZ_CHECK(image.PaletteEntry(i) == before.PaletteEntry(i));
    }
    KORVEL_FUZZ_CHECK(oldPixels.Matches(image));
    return;
  }
  KORVEL_FUZZ_CHECK(image.Width() == size->first && image.Height() == size->second);
  KORVEL_FUZZ_CHECK(image.BitDepth() == 24 && !image.HasPalette());
  const std::int32_t lastColumn = image.Width() - 1, lastRow = image.Height() - 1;
  KORVEL_FUZZ_CHECK(image.PixelValue(lastColumn, lastRow) ==
                    before.PixelValue(before.Width() - 1, before.Height() - 1));
  const bool sameSize = image.Width() == before.Width() && image.Height() == before.Height();
  for (std::int32_t c = 0; c <= lastColumn; ++c) {
    for (std::int32_t r = 0; r <= lastRow; ++r) {
      if (c == lastColumn && r == lastRow) continue;
      const PixelBgra p = image.PixelValue(c, r);
      KORVEL_FUZZ_CHECK(p.alpha == 0);
      // Unchanged size: every sampling position is whole, so each pixel keeps its colour.
      if (sameSize) {
        PixelBgra old = before.PixelValue(c, r);
        old.alpha = 0;
        KORVEL_FUZZ_CHECK(p == old);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvel;
  static const std::string input = fuzz::ScratchPath("input.bmp");
  fuzz::TailBytes tail(data, size);
  const std::uint8_t order = tail.Byte();
  const auto mode = static_cast<char>(tail.Byte());
  const std::int32_t value = tail.Int32();
  CopyArgs copy{};
  copy.selector = tail.Byte();
  copy.a = tail.Int32();
  copy.b = tail.Int32();
  copy.c = tail.Int32();
  copy.d = tail.Int32();
  copy.destinationColumn = tail.Int32();
  copy.destinationRow = tail.Int32();
  copy.key = PixelBgra{tail.Byte(), tail.Byte(), tail.Byte(), 0};
  fuzz::WriteBytes(input, data, tail.FrontSize());

  BitmapImage image;
  const LoadStatus status = image.Load(input.c_str());
  KORVEL_FUZZ_CHECK(status == fuzz::PredictLoad(data, tail.FrontSize()).status);
  // Either order: copying out of a rescaled image, or rescaling a copied-into one.
  if (order & 1) {
    FuzzCopy(image, copy);
    FuzzRescale(image, mode, value);
  } else {
    FuzzRescale(image, mode, value);
    FuzzCopy(image, copy);
  }
  return 0;
}
