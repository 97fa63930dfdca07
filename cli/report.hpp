// How the command tells the user that something failed: one line, "pallisk: FILE: reason".
#pragma once

#include <optional>
#include <string>

namespace korvel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a file could not be read or written
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

struct FileError {
  std::string file;
  std::string reason;
};

// An empty result means the file was processed.
using FileResult = std::optional<FileError>;

std::string FormatError(const FileError& error);
void PrintError(const FileError& error);
// For mistakes on the command line; adds a pointer to --help.
void PrintUsageError(const std::string& message);

}  // namespace korvel::cli
