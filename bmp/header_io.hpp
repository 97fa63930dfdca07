// Little-endian fields read through GuardedRead and composed into write buffers, one field at a
// time, so that no struct layout or host byte order ever reaches a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "korvel/bmp/guarded_read.hpp"
#include "korvel/bmp/headers.hpp"

namespace korvel::bmp_detail {

// fopen(path, "rb"), except that a directory counts as a file that cannot be opened: POSIX
// systems open one for reading and fail only its reads, which would pass for an empty file.
std::FILE* OpenForReading(const char* path);

// Reads sizeof(T) bytes little-endian into field; a failed read leaves field as it was.
template <typename T>
bool ReadField(std::FILE* file, T& field) {
  unsigned char bytes[sizeof(T)];
  if (!GuardedRead(bytes, sizeof(T), 1, file)) return false;
  std::uint32_t value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) value = value << 8 | bytes[i];
  field = static_cast<T>(value);
  return true;
}

// Reads the five file-header fields after bfType; every read is made even after one fails.
bool ReadFileHeaderAfterType(std::FILE* file, FileHeader& header);
// Reads the eleven information-header fields; every read is made even after one fails.
bool ReadInfoHeader(std::FILE* file, InfoHeader& header);

inline std::uint8_t* Put16(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
  return out + 2;
}
inline std::uint8_t* Put32(std::uint8_t* out, std::uint32_t value) {
  return Put16(Put16(out, value & 0xFFFFu), value >> 16);
}

// The 54 bytes of both headers.
void PutHeaders(std::uint8_t* out, const FileHeader& file, const InfoHeader& info);

// Moves `count` bytes forward without allocating a buffer of that size; a stream that cannot
// seek is read through in bounded pieces. Nothing happens once end-of-file has been seen.
void SkipBytes(std::FILE* file, std::int64_t count);

}  // namespace korvel::bmp_detail
