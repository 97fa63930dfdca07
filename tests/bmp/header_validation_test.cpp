// Run: ctest --preset release -R CheckInfoHeader
#include "korvel/bmp/header_validation.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "korvel/bmp/load_status.hpp"
#include "korvel/image/limits.hpp"

namespace korvel {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

struct Case {
  const char* name;
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::int32_t width, height;
  LoadStatus want;
};

InfoHeader Header(const Case& c) {
  InfoHeader info;
  info.biSize = 40;
  info.biBitCount = c.bitCount;
  info.biCompression = c.compression;
  info.biWidth = c.width;
  info.biHeight = c.height;
  return info;
}

TEST(CheckInfoHeader, AnswersTheFirstReasonInLoaderOrder) {
  const Case cases[] = {
      {"every depth, no compression: 1", 1, 0, 1, 1, LoadStatus::kLoaded},
      {"4 bits", 4, 0, 3, 2, LoadStatus::kLoaded},
      {"8 bits", 8, 0, 3, 2, LoadStatus::kLoaded},
      {"16 bits", 16, 0, 3, 2, LoadStatus::kLoaded},
      {"24 bits", 24, 0, 3, 2, LoadStatus::kLoaded},
      {"32 bits", 32, 0, 3, 2, LoadStatus::kLoaded},
      {"masks at 16 bits", 16, 3, 3, 2, LoadStatus::kLoaded},
      {"run-length 8", 8, 1, 3, 2, LoadStatus::kUnsupportedCompression},
      {"run-length 4", 4, 2, 3, 2, LoadStatus::kUnsupportedCompression},
      {"compression 4", 24, 4, 3, 2, LoadStatus::kUnsupportedCompression},
      {"compression 0xFFFFFFFF", 24, 0xFFFFFFFFu, 3, 2, LoadStatus::kUnsupportedCompression},
      {"masks at 32 bits", 32, 3, 3, 2, LoadStatus::kUnsupportedCompression},
      {"masks at 24 bits", 24, 3, 3, 2, LoadStatus::kUnsupportedCompression},
      {"masks at 8 bits", 8, 3, 3, 2, LoadStatus::kUnsupportedCompression},
      {"0 bits", 0, 0, 3, 2, LoadStatus::kUnsupportedBitDepth},
      {"2 bits", 2, 0, 3, 2, LoadStatus::kUnsupportedBitDepth},
      {"15 bits", 15, 0, 3, 2, LoadStatus::kUnsupportedBitDepth},
      {"48 bits", 48, 0, 3, 2, LoadStatus::kUnsupportedBitDepth},
      {"65535 bits", 65535, 0, 3, 2, LoadStatus::kUnsupportedBitDepth},
      {"width 0", 24, 0, 0, 2, LoadStatus::kInvalidDimensions},
      {"height 0", 24, 0, 3, 0, LoadStatus::kInvalidDimensions},
      {"top-down rows", 24, 0, 3, -10, LoadStatus::kInvalidDimensions},
      {"most negative width", 24, 0, kInt32Min, 2, LoadStatus::kInvalidDimensions},
      // Compression is judged before depth, depth before size, size before the limit.
      {"bad compression and depth", 2, 1, 0, 0, LoadStatus::kUnsupportedCompression},
      {"bad depth and size", 2, 0, 0, 0, LoadStatus::kUnsupportedBitDepth},
      {"negative and huge", 24, 0, -1, kInt32Max, LoadStatus::kInvalidDimensions},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckInfoHeader(Header(c)), c.want) << c.name;
  }
}

TEST(CheckInfoHeader, PixelLimitIsInclusiveAndOverflowFree) {
  static_assert(kMaxPixels == std::int64_t{1} << 28, "tests assume the 2^28 limit");
  const Case cases[] = {
      {"16384 x 16384 is exactly 2^28", 32, 0, 16384, 16384, LoadStatus::kLoaded},
      {"one column more", 32, 0, 16385, 16384, LoadStatus::kOverPixelLimit},
      {"one row more", 1, 0, 16384, 16385, LoadStatus::kOverPixelLimit},
      {"2^28 x 1", 8, 0, 1 << 28, 1, LoadStatus::kLoaded},
      {"1 x (2^28 + 1)", 8, 0, 1, (1 << 28) + 1, LoadStatus::kOverPixelLimit},
      // A 32-bit product would wrap to a small number here: 65536 x 65536 = 2^32.
      {"65536 x 65536", 24, 0, 65536, 65536, LoadStatus::kOverPixelLimit},
      {"65537 x 65537", 24, 0, 65537, 65537, LoadStatus::kOverPixelLimit},
      {"int32 max squared", 16, 3, kInt32Max, kInt32Max, LoadStatus::kOverPixelLimit},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckInfoHeader(Header(c)), c.want) << c.name;
  }
}

TEST(CheckInfoHeader, FieldsTheLoaderDoesNotExamineDoNotMatter) {
  InfoHeader info;
  info.biBitCount = 24;
  info.biWidth = 2;
  info.biHeight = 2;
  info.biSize = 0xFFFFFFFFu;
  info.biPlanes = 7;
  info.biSizeImage = 1;
  info.biXPelsPerMeter = kInt32Min;
  info.biYPelsPerMeter = -1;
  info.biClrUsed = 0xFFFFFFFFu;
  info.biClrImportant = 0xFFFFFFFFu;
  EXPECT_EQ(CheckInfoHeader(info), LoadStatus::kLoaded);
}

}  // namespace
}  // namespace korvel
