#include "cli/report.hpp"

#include <cstdio>

namespace korvel::cli {

std::string FormatError(const FileError& error) {
  return "pallisk: " + error.file + ": " + error.reason;
}

void PrintError(const FileError& error) {
  std::fprintf(stderr, "%s\n", FormatError(error).c_str());
}

void PrintUsageError(const std::string& message) {
  std::fprintf(stderr, "pallisk: %s (try pallisk --help)\n", message.c_str());
}

}  // namespace korvel::cli
