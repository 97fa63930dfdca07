// Calls the exported Pallisk function once, as a host application would:
//   call_pallisk SOURCE TARGET THRESHOLD
// The whole-process benchmark times it beside the pallisk command, which adds its own file
// handling (a temporary target renamed into place).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "korvel/pallisk.h"

namespace {

// The benchmark's paths are ASCII, which UTF-16 holds unit for unit.
std::u16string Wide(const char* path) {
  std::u16string wide;
  for (const char* p = path; *p != '\0'; ++p) wide.push_back(static_cast<char16_t>(*p));
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: call_pallisk SOURCE TARGET THRESHOLD\n");
    return 2;
  }
  const std::u16string source = Wide(argv[1]), target = Wide(argv[2]);
  const auto threshold = static_cast<std::int32_t>(std::strtol(argv[3], nullptr, 10));
  return Pallisk(source.c_str(), target.c_str(), threshold) == 999 ? 0 : 1;
}
