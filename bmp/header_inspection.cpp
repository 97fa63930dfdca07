#include "korvel/bmp/header_inspection.hpp"

#include <cstdio>

#include "bmp/header_io.hpp"

namespace korvel {

FileHeader ReadFileHeaderOf(const char* path) {
  FileHeader header;
  std::FILE* file = bmp_detail::OpenForReading(path);
  if (!file) {
    header.bfType = 0;
    return header;
  }
  // Answers are not consulted: a field the file cannot deliver keeps its value.
  bmp_detail::ReadField(file, header.bfType);
  bmp_detail::ReadFileHeaderAfterType(file, header);
  std::fclose(file);
  return header;
}

InfoHeader ReadInfoHeaderOf(const char* path) {
  InfoHeader header;
  std::FILE* file = bmp_detail::OpenForReading(path);
  if (!file) return header;
  for (int i = 0; i < kFileHeaderBytes; ++i) {
    unsigned char scratch;
    GuardedRead(&scratch, 1, 1, file);
  }
  bmp_detail::ReadInfoHeader(file, header);
  std::fclose(file);
  return header;
}

std::uint16_t BitDepthOfFile(const char* path) {
  return ReadInfoHeaderOf(path).biBitCount;
}

}  // namespace korvel
