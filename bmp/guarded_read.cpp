#include "korvel/bmp/guarded_read.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

namespace korvel {

bool GuardedRead(void* buffer, std::size_t size, std::size_t count, std::FILE* file) {
  if (std::feof(file)) return false;
  if (size == 0 || count == 0) return true;
  if (count > SIZE_MAX / size) return false;
  const std::size_t bytes = size * count;
  // Read into scratch first: the stream may deliver part of an item before it runs dry, and
  // callers rely on a failed item leaving its destination as it was.
  unsigned char small[64];
  std::vector<unsigned char> large;
  unsigned char* scratch = small;
  if (bytes > sizeof small) {
    large.resize(bytes);
    scratch = large.data();
  }
  const std::size_t arrived = std::fread(scratch, 1, bytes, file);
  std::memcpy(buffer, scratch, arrived / size * size);
  return arrived == bytes;
}

}  // namespace korvel
