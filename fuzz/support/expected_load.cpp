#include "fuzz/support/expected_load.hpp"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "fuzz/support/fuzz_support.hpp"
#include "korvel/bmp/headers.hpp"
#include "korvel/image/limits.hpp"

namespace korvel::fuzz {
namespace {

std::uint32_t Le(const std::uint8_t* bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count; i-- > 0;) value = value << 8 | bytes[at + std::size_t(i)];
  return value;
}

std::uint32_t Le(const std::string& bytes, std::size_t at, int count) {
  return Le(reinterpret_cast<const std::uint8_t*>(bytes.data()), at, count);
}

// Offsets wrap in signed 32-bit arithmetic, as the format's own readers compute them.
std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// A model of the buffered stream: a read past the end delivers nothing whole and sets the
// end-of-file indicator, after which nothing more is read; a skip is a seek and may pass the end.
class Stream {
 public:
  Stream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Read(std::size_t count, std::uint8_t* out) {
    if (eof_) return false;
    if (position_ > size_ || size_ - position_ < count) {
      position_ = std::max(position_, std::uint64_t{size_});
      eof_ = true;
      return false;
    }
    std::memcpy(out, data_ + position_, count);
    position_ += count;
    return true;
  }
  void Skip(std::int64_t count) {
    if (count > 0 && !eof_) position_ += std::uint64_t(count);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::uint64_t position_ = 54;
  bool eof_ = false;
};

std::int32_t Shift(std::uint32_t mask) {
  std::int32_t shift = 0;
  for (; mask > 31; mask >>= 1) ++shift;
  return shift;
}

std::uint8_t Channel(std::uint32_t word, std::uint32_t mask) {
  return static_cast<std::uint8_t>(((word & mask) >> Shift(mask)) * 8);
}

void DecodeIndexed(ExpectedLoad& e, Stream& stream, std::uint32_t biSize, std::int32_t offBits) {
  const std::int32_t depth = e.bitDepth;
  const std::int32_t full = 1 << depth;
  BitmapImage standard;
  standard.ChangeBitDepth(depth);
  for (std::int32_t i = 0; i < full; ++i) e.palette.push_back(standard.PaletteEntry(i));

  // Larger information headers put the palette after the whole header.
  const bool larger =
      biSize == 52 || biSize == 56 || biSize == 64 || biSize == 108 || biSize == 124;
  const std::int64_t paletteStart = larger ? 14 + std::int64_t{biSize} : 54;
  stream.Skip(paletteStart - 54);
  std::int32_t n = Wrap32(std::int64_t{offBits} - paletteStart) / 4;
  n = std::clamp(n, 0, full);
  for (std::int32_t i = 0; i < n; ++i) {
    std::uint8_t b[4];
    if (stream.Read(4, b)) e.palette[std::size_t(i)] = PixelBgra{b[0], b[1], b[2], b[3]};
  }
  for (std::int32_t i = n; i < full; ++i) e.palette[std::size_t(i)] = kWhite;
  stream.Skip(Wrap32(std::int64_t{offBits} - paletteStart - 4 * std::int64_t{full}));

  const std::int64_t rowLength = RowLength(depth, e.width);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowLength));
  for (std::int32_t r = e.height - 1; r >= 0; --r) {
    if (!stream.Read(row.size(), row.data())) return;
    for (std::int32_t c = 0; c < e.width; ++c) {
      const std::int64_t bit = std::int64_t{c} * depth;
      const unsigned byte = row[std::size_t(bit / 8)];
      const unsigned index = (byte >> (8 - depth - bit % 8)) & unsigned(full - 1);
      e.pixels[std::size_t(r) * std::size_t(e.width) + std::size_t(c)] = e.palette[index];
    }
  }
}

void Decode16(ExpectedLoad& e, Stream& stream, std::uint32_t compression, std::int32_t offBits) {
  std::int32_t skip = Wrap32(std::int64_t{offBits} - 54);
  if (compression == 3) skip = Wrap32(std::int64_t{skip} - 12);
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (compression != 0) {
    for (std::uint32_t& mask : masks) {
      std::uint8_t b[2];
      if (stream.Read(2, b)) mask = Le(b, 0, 2);
      stream.Read(2, b);
    }
  }
  stream.Skip(skip);
  // The word in force before any arrives is black; a word that does not arrive whole leaves the
  // previous one in force for every remaining pixel.
  std::uint32_t word = 0;
  const std::int32_t pad = (4 - (2 * e.width) % 4) % 4;
  for (std::int32_t r = e.height - 1; r >= 0; --r) {
    for (std::int32_t c = 0; c < e.width; ++c) {
      std::uint8_t b[2];
      if (stream.Read(2, b)) word = Le(b, 0, 2);
      PixelBgra& p = e.pixels[std::size_t(r) * std::size_t(e.width) + std::size_t(c)];
      p.red = Channel(word, masks[0]);
      p.green = Channel(word, masks[1]);
      p.blue = Channel(word, masks[2]);
    }
    for (std::int32_t i = 0; i < pad; ++i) {
      std::uint8_t b;
      stream.Read(1, &b);
    }
  }
}

void DecodeDirect(ExpectedLoad& e, Stream& stream, std::int32_t offBits) {
  stream.Skip(Wrap32(std::int64_t{offBits} - 54));
  const std::size_t bytesPerPixel = std::size_t(e.bitDepth / 8);
  const std::int64_t rowLength = RowLength(e.bitDepth, e.width);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowLength));
  for (std::int32_t r = e.height - 1; r >= 0; --r) {
    if (!stream.Read(row.size(), row.data())) return;
    for (std::int32_t c = 0; c < e.width; ++c) {
      const std::uint8_t* b = row.data() + bytesPerPixel * std::size_t(c);
      PixelBgra& p = e.pixels[std::size_t(r) * std::size_t(e.width) + std::size_t(c)];
      p = PixelBgra{b[0], b[1], b[2], e.bitDepth == 32 ? b[3] : p.alpha};
    }
  }
}

}  // namespace

ExpectedLoad PredictLoad(const std::uint8_t* data, std::size_t size) {
  ExpectedLoad e;
  // A file shorter than two bytes keeps the initial "BM" and fails as a short header.
  if (size >= 2 && Le(data, 0, 2) != kBmpSignature) {
    e.status = LoadStatus::kNotBmp;
    return e;
  }
  if (size < 54) {
    e.status = LoadStatus::kTruncatedHeader;
    return e;
  }
  e.resolutionFromFile = true;
  e.xPixelsPerMeter = static_cast<std::int32_t>(Le(data, 38, 4));
  e.yPixelsPerMeter = static_cast<std::int32_t>(Le(data, 42, 4));
  const std::uint32_t compression = Le(data, 30, 4);
  const std::uint32_t depth = Le(data, 28, 2);
  const auto width = static_cast<std::int32_t>(Le(data, 18, 4));
  const auto height = static_cast<std::int32_t>(Le(data, 22, 4));
  if (compression == 1 || compression == 2 || compression > 3 ||
      (compression == 3 && depth != 16)) {
    e.status = LoadStatus::kUnsupportedCompression;
    return e;
  }
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    e.status = LoadStatus::kUnsupportedBitDepth;
    return e;
  }
  if (width < 1 || height < 1) {
    e.status = LoadStatus::kInvalidDimensions;
    return e;
  }
  if (std::int64_t{width} * height > kMaxPixels) {
    e.status = LoadStatus::kOverPixelLimit;
    return e;
  }
  e.bitDepth = static_cast<std::int32_t>(depth);
  e.width = width;
  e.height = height;
  e.pixels.assign(std::size_t(width) * std::size_t(height), kWhite);
  Stream stream(data, size);
  const auto offBits = static_cast<std::int32_t>(Le(data, 10, 4));
  if (depth <= 8) {
    DecodeIndexed(e, stream, Le(data, 14, 4), offBits);
  } else if (depth == 16) {
    Decode16(e, stream, compression, offBits);
  } else {
    DecodeDirect(e, stream, offBits);
  }
  return e;
}

void CheckLoad(const ExpectedLoad& e, LoadStatus status, const BitmapImage& image,
               const BitmapImage& before, std::int32_t xBefore, std::int32_t yBefore) {
  KORVEL_FUZZ_CHECK(status == e.status);
  if (e.resolutionFromFile) {
    KORVEL_FUZZ_CHECK(image.XPixelsPerMeter() == e.xPixelsPerMeter);
    KORVEL_FUZZ_CHECK(image.YPixelsPerMeter() == e.yPixelsPerMeter);
  } else {
    KORVEL_FUZZ_CHECK(image.XPixelsPerMeter() == xBefore);
    KORVEL_FUZZ_CHECK(image.YPixelsPerMeter() == yBefore);
  }
  if (status == LoadStatus::kNotBmp) {
    // Untouched: size, depth, palette and pixels as they were.
    KORVEL_FUZZ_CHECK(image.Width() == before.Width() && image.Height() == before.Height());
    KORVEL_FUZZ_CHECK(image.BitDepth() == before.BitDepth());
    for (std::int32_t i = 0; i < 256; ++i) {
      KORVEL_FUZZ_CHECK(image.PaletteEntry(i) == before.PaletteEntry(i));
    }
    for (std::int32_t c = 0; c < image.Width(); ++c) {
      for (std::int32_t r = 0; r < image.Height(); ++r) {
        KORVEL_FUZZ_CHECK(image.PixelValue(c, r) == before.PixelValue(c, r));
      }
    }
    return;
  }
  if (status != LoadStatus::kLoaded) {
    // Reset: one white pixel at 1 bit with the standard 1-bit palette.
    BitmapImage reset;
    reset.ChangeBitDepth(1);
    KORVEL_FUZZ_CHECK(image.Width() == 1 && image.Height() == 1 && image.BitDepth() == 1);
    KORVEL_FUZZ_CHECK(image.PaletteEntry(0) == reset.PaletteEntry(0));
    KORVEL_FUZZ_CHECK(image.PaletteEntry(1) == reset.PaletteEntry(1));
    KORVEL_FUZZ_CHECK(image.PixelValue(0, 0) == kWhite);
    return;
  }
  KORVEL_FUZZ_CHECK(image.Width() == e.width && image.Height() == e.height);
  KORVEL_FUZZ_CHECK(std::int64_t{image.Width()} * image.Height() <= kMaxPixels);
  KORVEL_FUZZ_CHECK(image.BitDepth() == e.bitDepth);
  KORVEL_FUZZ_CHECK(image.HasPalette() == !e.palette.empty());
  for (std::size_t i = 0; i < e.palette.size(); ++i) {
    KORVEL_FUZZ_CHECK(image.PaletteEntry(static_cast<std::int32_t>(i)) == e.palette[i]);
  }
  for (std::int32_t c = 0; c < e.width; ++c) {
    const PixelBgra* column = image.Column(c);
    for (std::int32_t r = 0; r < e.height; ++r) {
      KORVEL_FUZZ_CHECK(column[r] ==
                        e.pixels[std::size_t(r) * std::size_t(e.width) + std::size_t(c)]);
    }
  }
}

void CheckSaveRoundTrip(BitmapImage& image, const char* path) {
  KORVEL_FUZZ_CHECK(image.SaveToFile(path));
  const std::string file = ReadBytes(path);
  const std::int32_t depth = image.BitDepth(), width = image.Width(), height = image.Height();
  const std::int64_t rowLength = RowLength(depth, width);
  const std::int64_t extra = depth <= 8 ? 4 * (std::int64_t{1} << depth) : depth == 16 ? 12 : 0;
  const std::int64_t size = 54 + extra + rowLength * height;
  KORVEL_FUZZ_CHECK(std::int64_t(file.size()) == size);
  KORVEL_FUZZ_CHECK(Le(file, 0, 2) == kBmpSignature);
  KORVEL_FUZZ_CHECK(Le(file, 2, 4) == file.size());  // bfSize
  KORVEL_FUZZ_CHECK(Le(file, 10, 4) == 54 + extra);  // bfOffBits
  KORVEL_FUZZ_CHECK(Le(file, 14, 4) == 40);
  KORVEL_FUZZ_CHECK(Le(file, 26, 2) == 1);
  KORVEL_FUZZ_CHECK(Le(file, 30, 4) == (depth == 16 ? 3u : 0u));
  KORVEL_FUZZ_CHECK(Le(file, 34, 4) == rowLength * height);  // biSizeImage
  const std::int32_t x = image.XPixelsPerMeter(), y = image.YPixelsPerMeter();
  KORVEL_FUZZ_CHECK(Le(file, 38, 4) == static_cast<std::uint32_t>(x != 0 ? x : 3780));
  KORVEL_FUZZ_CHECK(Le(file, 42, 4) == static_cast<std::uint32_t>(y != 0 ? y : 3780));
  KORVEL_FUZZ_CHECK(Le(file, 46, 4) == 0 && Le(file, 50, 4) == 0);
  // Pad bytes after the last pixel of every row are zero.
  const std::int64_t used = (std::int64_t{depth} * width + 7) / 8;
  for (std::int64_t r = 0; r < height; ++r) {
    for (std::int64_t i = used; i < rowLength; ++i) {
      KORVEL_FUZZ_CHECK(file[std::size_t(54 + extra + r * rowLength + i)] == 0);
    }
  }

  BitmapImage back;
  KORVEL_FUZZ_CHECK(back.Load(path) == LoadStatus::kLoaded);
  KORVEL_FUZZ_CHECK(back.Width() == width && back.Height() == height);
  KORVEL_FUZZ_CHECK(back.BitDepth() == depth);
  std::unordered_map<std::uint32_t, PixelBgra> matched;  // indexed: colour -> palette entry
  for (std::int32_t c = 0; c < width; ++c) {
    for (std::int32_t r = 0; r < height; ++r) {
      const PixelBgra p = image.PixelValue(c, r);
      PixelBgra want = p;
      if (depth == 24) {
        want.alpha = 0;
      } else if (depth == 16) {
        want = PixelBgra{std::uint8_t(p.blue & 0xF8), std::uint8_t(p.green & 0xF8),
                         std::uint8_t(p.red & 0xF8), 0};
      } else if (depth <= 8) {
        const std::uint32_t key =
            std::uint32_t{p.blue} | std::uint32_t{p.green} << 8 | std::uint32_t{p.red} << 16;
        auto found = matched.find(key);
        if (found == matched.end()) {
          found = matched.emplace(key, image.PaletteEntry(image.NearestPaletteIndex(p))).first;
        }
        want = found->second;
      }
      KORVEL_FUZZ_CHECK(back.PixelValue(c, r) == want);
    }
  }
}

}  // namespace korvel::fuzz
