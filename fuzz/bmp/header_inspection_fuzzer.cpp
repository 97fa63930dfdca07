// Reading the headers of any file. Each field must hold its little-endian bytes from the file
// when the file holds all of them, and keep its default otherwise; nothing is validated.
//   Fuzz:   cmake --preset fuzz && cmake --build --preset fuzz &&
//           build/fuzz/fuzz/header_inspection_fuzzer build/fuzz/corpus/header_inspection
//           fuzz/corpus
//   Replay: ctest --preset release -R FuzzReplay.header_inspection
#include <cstddef>
#include <cstdint>

#include "fuzz/support/fuzz_support.hpp"
#include "korvel/bmp/header_inspection.hpp"

namespace {

// The field at `offset` when the file holds all its bytes, else `fallback`.
template <typename T>
T FieldOr(const std::uint8_t* data, std::size_t size, std::size_t offset, T fallback) {
  if (offset + sizeof(T) > size) return fallback;
  std::uint32_t value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) value = value << 8 | data[offset + i];
  return static_cast<T>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvel;
  static const std::string input = fuzz::ScratchPath("input.bmp");
  fuzz::WriteBytes(input, data, size);

  const FileHeader defaultsFile;
  const FileHeader file = ReadFileHeaderOf(input.c_str());
  KORVEL_FUZZ_CHECK(file.bfType == FieldOr(data, size, 0, defaultsFile.bfType));
  KORVEL_FUZZ_CHECK(file.bfSize == FieldOr(data, size, 2, defaultsFile.bfSize));
  KORVEL_FUZZ_CHECK(file.bfReserved1 == FieldOr(data, size, 6, defaultsFile.bfReserved1));
  KORVEL_FUZZ_CHECK(file.bfReserved2 == FieldOr(data, size, 8, defaultsFile.bfReserved2));
  KORVEL_FUZZ_CHECK(file.bfOffBits == FieldOr(data, size, 10, defaultsFile.bfOffBits));

  const InfoHeader d;
  const InfoHeader info = ReadInfoHeaderOf(input.c_str());
  KORVEL_FUZZ_CHECK(info.biSize == FieldOr(data, size, 14, d.biSize));
  KORVEL_FUZZ_CHECK(info.biWidth == FieldOr(data, size, 18, d.biWidth));
  KORVEL_FUZZ_CHECK(info.biHeight == FieldOr(data, size, 22, d.biHeight));
  KORVEL_FUZZ_CHECK(info.biPlanes == FieldOr(data, size, 26, d.biPlanes));
  KORVEL_FUZZ_CHECK(info.biBitCount == FieldOr(data, size, 28, d.biBitCount));
  KORVEL_FUZZ_CHECK(info.biCompression == FieldOr(data, size, 30, d.biCompression));
  KORVEL_FUZZ_CHECK(info.biSizeImage == FieldOr(data, size, 34, d.biSizeImage));
  KORVEL_FUZZ_CHECK(info.biXPelsPerMeter == FieldOr(data, size, 38, d.biXPelsPerMeter));
  KORVEL_FUZZ_CHECK(info.biYPelsPerMeter == FieldOr(data, size, 42, d.biYPelsPerMeter));
  KORVEL_FUZZ_CHECK(info.biClrUsed == FieldOr(data, size, 46, d.biClrUsed));
  KORVEL_FUZZ_CHECK(info.biClrImportant == FieldOr(data, size, 50, d.biClrImportant));

  KORVEL_FUZZ_CHECK(BitDepthOfFile(input.c_str()) == info.biBitCount);
  return 0;
}
