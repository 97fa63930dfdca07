// Helpers shared by the fuzz targets: the input handed to the path-taking API as a file, option
// bytes taken from the end of the input, and a check that aborts on a broken invariant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvel::fuzz {

// A path in this process's own scratch directory (created on first use, removed at exit), so
// that parallel fuzzing jobs never share a file.
std::string ScratchPath(const char* name);
void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
void Remove(const std::string& path);

// Options come from the end of the input, the file from the front, so a seed BMP stays a BMP and
// the fuzzer can mutate both. Missing bytes read as zero.
class TailBytes {
 public:
  TailBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return size_ > 0 ? data_[--size_] : 0; }
  std::int32_t Int32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
    return static_cast<std::int32_t>(value);
  }
  // The bytes not yet taken, which form the file.
  std::size_t FrontSize() const { return size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Prints the broken invariant with its place and aborts, which libFuzzer reports as a crash.
[[noreturn]] void Fail(const char* file, int line, const char* condition);

}  // namespace korvel::fuzz

#define KORVEL_FUZZ_CHECK(condition) \
  ((condition) ? void(0) : ::korvel::fuzz::Fail(__FILE__, __LINE__, #condition))
