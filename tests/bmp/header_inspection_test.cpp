// Run: ctest --preset release -R HeaderInspection   (or: korvel_tests --gtest_filter='*HeaderOf*')
// Records are compared as one line of "field=value" pairs, so a failure shows every field of
// what was read beside what was wanted.
#include "korvel/bmp/header_inspection.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/bmp_builder.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::BmpBuilder;
using test::TempDir;
using test::WriteFileBytes;

std::string Fields(const FileHeader& h) {
  return "bfType=" + std::to_string(h.bfType) + " bfSize=" + std::to_string(h.bfSize) +
         " bfReserved1=" + std::to_string(h.bfReserved1) +
         " bfReserved2=" + std::to_string(h.bfReserved2) +
         " bfOffBits=" + std::to_string(h.bfOffBits);
}

std::string Fields(const InfoHeader& h) {
  return "biSize=" + std::to_string(h.biSize) + " biWidth=" + std::to_string(h.biWidth) +
         " biHeight=" + std::to_string(h.biHeight) + " biPlanes=" + std::to_string(h.biPlanes) +
         " biBitCount=" + std::to_string(h.biBitCount) +
         " biCompression=" + std::to_string(h.biCompression) +
         " biSizeImage=" + std::to_string(h.biSizeImage) +
         " biXPelsPerMeter=" + std::to_string(h.biXPelsPerMeter) +
         " biYPelsPerMeter=" + std::to_string(h.biYPelsPerMeter) +
         " biClrUsed=" + std::to_string(h.biClrUsed) +
         " biClrImportant=" + std::to_string(h.biClrImportant);
}

FileHeader MakeFileHeader(std::uint16_t type, std::uint32_t size, std::uint16_t reserved1,
                          std::uint16_t reserved2, std::uint32_t offBits) {
  FileHeader h;
  h.bfType = type;
  h.bfSize = size;
  h.bfReserved1 = reserved1;
  h.bfReserved2 = reserved2;
  h.bfOffBits = offBits;
  return h;
}

// The fields in file order; what the defaults would give is written out in each test on purpose.
InfoHeader MakeInfoHeader(std::uint32_t size, std::int32_t width, std::int32_t height,
                          std::uint16_t planes, std::uint16_t bitCount, std::uint32_t compression,
                          std::uint32_t sizeImage, std::int32_t xPelsPerMeter,
                          std::int32_t yPelsPerMeter, std::uint32_t clrUsed,
                          std::uint32_t clrImportant) {
  InfoHeader h;
  h.biSize = size;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = planes;
  h.biBitCount = bitCount;
  h.biCompression = compression;
  h.biSizeImage = sizeImage;
  h.biXPelsPerMeter = xPelsPerMeter;
  h.biYPelsPerMeter = yPelsPerMeter;
  h.biClrUsed = clrUsed;
  h.biClrImportant = clrImportant;
  return h;
}

// Defaults, with the fields they leave open at 0.
const InfoHeader kDefaultInfo = MakeInfoHeader(0, 0, 0, 1, 0, 0, 0, 3780, 3780, 0, 0);

void ExpectHeadersOf(const std::string& path, const FileHeader& wantFile,
                     const InfoHeader& wantInfo) {
  EXPECT_EQ(Fields(ReadFileHeaderOf(path.c_str())), Fields(wantFile));
  EXPECT_EQ(Fields(ReadInfoHeaderOf(path.c_str())), Fields(wantInfo));
  EXPECT_EQ(BitDepthOfFile(path.c_str()), wantInfo.biBitCount);
}

TEST(HeaderInspection, MissingFileAnswersTheDefaultsWithTypeZero) {
  TempDir dir;
  ExpectHeadersOf(dir.File("absent.bmp"), MakeFileHeader(0, 0, 0, 0, 0), kDefaultInfo);
}

TEST(HeaderInspection, EmptyFileKeepsTheDefaultSignature) {
  TempDir dir;
  WriteFileBytes(dir.File("empty.bmp"), "");
  ExpectHeadersOf(dir.File("empty.bmp"), MakeFileHeader(19778, 0, 0, 0, 0), kDefaultInfo);
}

TEST(HeaderInspection, AnyFileIsReadAsHeadersWithoutComplaint) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 64; ++i) bytes += static_cast<char>(i);
  WriteFileBytes(dir.File("counting.txt"), bytes);
  // Bytes 0 to 13 little-endian as the file header, 14 to 53 as the information header.
  ExpectHeadersOf(dir.File("counting.txt"),
                  MakeFileHeader(0x0100, 0x05040302, 0x0706, 0x0908, 0x0D0C0B0A),
                  MakeInfoHeader(0x11100F0E, 0x15141312, 0x19181716, 0x1B1A, 0x1D1C, 0x21201F1E,
                                 0x25242322, 0x29282726, 0x2D2C2B2A, 0x31302F2E, 0x35343332));
}

TEST(HeaderInspection, NegativeAndHighFieldsKeepTheirBits) {
  TempDir dir;
  BmpBuilder bmp;
  bmp.bfSize = 0xFFFFFFFF;
  bmp.biWidth = -5;
  bmp.biHeight = -2147483647 - 1;
  bmp.biPlanes = 0xFFFF;
  bmp.biXPelsPerMeter = -1;
  bmp.biClrImportant = 0x80000000;
  bmp.pixelData = std::string(4, '\0');
  WriteFileBytes(dir.File("odd.bmp"), bmp.Build());
  ExpectHeadersOf(
      dir.File("odd.bmp"), MakeFileHeader(19778, 0xFFFFFFFF, 0, 0, 54),
      MakeInfoHeader(40, -5, -2147483647 - 1, 0xFFFF, 24, 0, 0, -1, 3780, 0, 0x80000000));
}

TEST(HeaderInspection, Normal24BitFile) {
  TempDir dir;
  BmpBuilder bmp;
  bmp.biWidth = 3;
  bmp.biHeight = 2;
  bmp.biSizeImage = 24;
  bmp.biXPelsPerMeter = 2835;
  bmp.biYPelsPerMeter = 2836;
  bmp.pixelData = std::string(24, '\x7F');  // two rows of 9 bytes padded to 12
  WriteFileBytes(dir.File("rgb24.bmp"), bmp.Build());
  ExpectHeadersOf(dir.File("rgb24.bmp"), MakeFileHeader(19778, 78, 0, 0, 54),
                  MakeInfoHeader(40, 3, 2, 1, 24, 0, 24, 2835, 2836, 0, 0));
}

TEST(HeaderInspection, LargerInformationHeaderIsReadAsItsFirst40Bytes) {
  TempDir dir;
  BmpBuilder bmp;
  bmp.biSize = 124;
  bmp.extraHeader = std::string(84, '\xAB');
  bmp.biWidth = 2;
  bmp.biHeight = 2;
  bmp.biBitCount = 32;
  bmp.biCompression = 3;
  bmp.biClrUsed = 0;
  bmp.pixelData = std::string(16, '\0');
  WriteFileBytes(dir.File("v5.bmp"), bmp.Build());
  ExpectHeadersOf(dir.File("v5.bmp"), MakeFileHeader(19778, 154, 0, 0, 138),
                  MakeInfoHeader(124, 2, 2, 1, 32, 3, 0, 3780, 3780, 0, 0));
}

// A file that ends early: fields it no longer holds whole keep the values they had.
TEST(HeaderInspection, ShortFileLeavesTheRemainingFieldsAsTheyWere) {
  BmpBuilder bmp;
  bmp.bfReserved1 = 0x1111;
  bmp.bfReserved2 = 0x2222;
  bmp.biWidth = 3;
  bmp.biHeight = 2;
  bmp.biPlanes = 5;
  bmp.biBitCount = 8;
  bmp.biXPelsPerMeter = 1000;
  bmp.biYPelsPerMeter = 2000;
  const std::string whole = bmp.Build();
  struct Case {
    std::size_t length;
    FileHeader wantFile;
    InfoHeader wantInfo;
  };
  const Case cases[] = {
      {1, MakeFileHeader(19778, 0, 0, 0, 0), kDefaultInfo},
      {10, MakeFileHeader(19778, 54, 0x1111, 0x2222, 0), kDefaultInfo},
      {13, MakeFileHeader(19778, 54, 0x1111, 0x2222, 0), kDefaultInfo},
      {14, MakeFileHeader(19778, 54, 0x1111, 0x2222, 54), kDefaultInfo},
      {16, MakeFileHeader(19778, 54, 0x1111, 0x2222, 54), kDefaultInfo},
      {30, MakeFileHeader(19778, 54, 0x1111, 0x2222, 54),
       MakeInfoHeader(40, 3, 2, 5, 8, 0, 0, 3780, 3780, 0, 0)},
      {42, MakeFileHeader(19778, 54, 0x1111, 0x2222, 54),
       MakeInfoHeader(40, 3, 2, 5, 8, 0, 0, 1000, 3780, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("first " + std::to_string(c.length) + " bytes");
    TempDir dir;
    WriteFileBytes(dir.File("short.bmp"), whole.substr(0, c.length));
    ExpectHeadersOf(dir.File("short.bmp"), c.wantFile, c.wantInfo);
  }
}

}  // namespace
}  // namespace korvel
