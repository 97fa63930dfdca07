#include "fuzz/support/fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace korvel::fuzz {
namespace {

struct ScratchDir {
  std::string path;
  ScratchDir() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const auto candidate = base / ("korvel-fuzz-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) {
        path = candidate.string();
        return;
      }
    }
    std::fprintf(stderr, "no scratch directory under %s\n", base.string().c_str());
    std::abort();
  }
  ~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
};

}  // namespace

std::string ScratchPath(const char* name) {
  static const ScratchDir dir;
  return dir.path + "/" + name;
}

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  KORVEL_FUZZ_CHECK(file != nullptr);
  KORVEL_FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
  KORVEL_FUZZ_CHECK(std::fclose(file) == 0);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

void Remove(const std::string& path) {
  std::remove(path.c_str());
}

void Fail(const char* file, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d: broken invariant: %s\n", file, line, condition);
  std::abort();
}

}  // namespace korvel::fuzz
