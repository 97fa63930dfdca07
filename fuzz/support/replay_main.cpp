// Runs a fuzz target once on every file named on the command line, directories recursively, under
// the ordinary compiler: the committed corpus becomes a test of every build. A broken invariant
// aborts, which fails the test.
//   build/release/fuzz/load_replay fuzz/corpus samples   (ctest --preset release -R FuzzReplay)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/support/fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.push_back(path);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "no inputs: name corpus files or directories\n");
    return 2;
  }
  for (const auto& file : files) {
    if (!korvel::fuzz::Exists(file.string())) {
      std::fprintf(stderr, "%s: no such file\n", file.string().c_str());
      return 2;
    }
    const std::string bytes = korvel::fuzz::ReadBytes(file.string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed\n", files.size());
  return 0;
}
