#include "cli/inspect.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "cli/report.hpp"
#include "korvel/bmp/header_inspection.hpp"

namespace korvel::cli {
namespace {

void Field(const char* name, std::int64_t value, const std::string& note = "") {
  std::printf("  %-16s %" PRId64 "%s\n", name, value, note.empty() ? "" : ("  " + note).c_str());
}

// The signature as the two characters it holds, so "BM" and near misses are readable.
std::string Letters(std::uint16_t type) {
  std::string text = "(\"";
  for (const int byte : {type & 0xFF, type >> 8}) {
    if (byte >= 0x20 && byte < 0x7F) {
      text += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
      text += escaped;
    }
  }
  return text + "\")";
}

std::string CompressionName(std::uint32_t compression) {
  switch (compression) {
    case 0:
      return "(none)";
    case 1:
      return "(8-bit run lengths)";
    case 2:
      return "(4-bit run lengths)";
    case 3:
      return "(bit masks)";
    case 4:
      return "(JPEG)";
    case 5:
      return "(PNG)";
    default:
      return "(unknown)";
  }
}

FileResult Inspect(const std::string& file) {
  // The header readers answer defaults for a file they cannot open; say so instead.
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return FileError{file, std::string("cannot open the file (") + std::strerror(errno) + ")"};
  struct stat info {};
  const bool sized = fstat(fd, &info) == 0;
  close(fd);
  if (sized && S_ISDIR(info.st_mode)) return FileError{file, "is a directory"};

  const FileHeader fh = ReadFileHeaderOf(file.c_str());
  const InfoHeader ih = ReadInfoHeaderOf(file.c_str());
  std::printf("%s\n", file.c_str());
  if (sized && info.st_size < kHeadersBytes) {
    std::printf("  (the file has only %" PRId64
                " bytes: fields past its end show their defaults)\n",
                static_cast<std::int64_t>(info.st_size));
  }
  std::printf(" file header\n");
  Field("bfType", fh.bfType, Letters(fh.bfType));
  Field("bfSize", fh.bfSize);
  Field("bfReserved1", fh.bfReserved1);
  Field("bfReserved2", fh.bfReserved2);
  Field("bfOffBits", fh.bfOffBits);
  std::printf(" information header\n");
  Field("biSize", ih.biSize);
  Field("biWidth", ih.biWidth);
  Field("biHeight", ih.biHeight, ih.biHeight < 0 ? "(top-down rows)" : "");
  Field("biPlanes", ih.biPlanes);
  Field("biBitCount", ih.biBitCount);
  Field("biCompression", ih.biCompression, CompressionName(ih.biCompression));
  Field("biSizeImage", ih.biSizeImage);
  Field("biXPelsPerMeter", ih.biXPelsPerMeter);
  Field("biYPelsPerMeter", ih.biYPelsPerMeter);
  Field("biClrUsed", ih.biClrUsed);
  Field("biClrImportant", ih.biClrImportant);
  return std::nullopt;
}

}  // namespace

int RunInspect(const std::vector<std::string>& files) {
  if (files.empty()) {
    PrintUsageError("inspect needs at least one FILE");
    return kExitUsage;
  }
  int status = kExitOk;
  bool first = true;
  for (const std::string& file : files) {
    if (!first) std::printf("\n");
    first = false;
    if (FileResult failed = Inspect(file)) {
      std::fflush(stdout);  // keep the order of the two streams on a terminal
      PrintError(*failed);
      status = kExitFailed;
    }
  }
  return status;
}

}  // namespace korvel::cli
