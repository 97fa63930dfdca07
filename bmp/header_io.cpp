#include "bmp/header_io.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace korvel::bmp_detail {

std::FILE* OpenForReading(const char* path) {
  if (path == nullptr) return nullptr;
  std::FILE* file = std::fopen(path, "rb");
#ifndef _WIN32
  struct stat status;
  if (file != nullptr && fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
#endif
  return file;
}

bool ReadFileHeaderAfterType(std::FILE* file, FileHeader& header) {
  bool ok = ReadField(file, header.bfSize);
  ok &= ReadField(file, header.bfReserved1);
  ok &= ReadField(file, header.bfReserved2);
  ok &= ReadField(file, header.bfOffBits);
  return ok;
}

bool ReadInfoHeader(std::FILE* file, InfoHeader& header) {
  bool ok = ReadField(file, header.biSize);
  ok &= ReadField(file, header.biWidth);
  ok &= ReadField(file, header.biHeight);
  ok &= ReadField(file, header.biPlanes);
  ok &= ReadField(file, header.biBitCount);
  ok &= ReadField(file, header.biCompression);
  ok &= ReadField(file, header.biSizeImage);
  ok &= ReadField(file, header.biXPelsPerMeter);
  ok &= ReadField(file, header.biYPelsPerMeter);
  ok &= ReadField(file, header.biClrUsed);
  ok &= ReadField(file, header.biClrImportant);
  return ok;
}

void PutHeaders(std::uint8_t* out, const FileHeader& file, const InfoHeader& info) {
  out = Put16(out, file.bfType);
  out = Put32(out, file.bfSize);
  out = Put16(out, file.bfReserved1);
  out = Put16(out, file.bfReserved2);
  out = Put32(out, file.bfOffBits);
  out = Put32(out, info.biSize);
  out = Put32(out, static_cast<std::uint32_t>(info.biWidth));
  out = Put32(out, static_cast<std::uint32_t>(info.biHeight));
  out = Put16(out, info.biPlanes);
  out = Put16(out, info.biBitCount);
  out = Put32(out, info.biCompression);
  out = Put32(out, info.biSizeImage);
  out = Put32(out, static_cast<std::uint32_t>(info.biXPelsPerMeter));
  out = Put32(out, static_cast<std::uint32_t>(info.biYPelsPerMeter));
  out = Put32(out, info.biClrUsed);
  Put32(out, info.biClrImportant);
}

void SkipBytes(std::FILE* file, std::int64_t count) {
  if (count <= 0 || std::feof(file)) return;
#ifdef _WIN32
  if (_fseeki64(file, count, SEEK_CUR) == 0) return;
#else
  if (fseeko(file, static_cast<off_t>(count), SEEK_CUR) == 0) return;
#endif
  unsigned char scratch[4096];
  while (count > 0) {
    const auto want = static_cast<std::size_t>(count < 4096 ? count : 4096);
    if (std::fread(scratch, 1, want, file) != want) return;
    count -= static_cast<std::int64_t>(want);
  }
}

}  // namespace korvel::bmp_detail
