#include "cli/load_source.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvel::cli {

FileResult LoadSource(BitmapImage& image, const std::string& source) {
  // A directory opens for reading on Linux and would otherwise be reported as a short file.
  struct stat info {};
  if (stat(source.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return FileError{source, "is a directory, not a BMP file"};
  }
  const LoadStatus status = image.Load(source.c_str());
  if (status == LoadStatus::kLoaded) return std::nullopt;
  std::string reason = Describe(status);
  if (status == LoadStatus::kCannotOpen) {
    // The loader keeps no errno; ask the system again for the cause.
    const int fd = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      close(fd);
    } else {
      reason += std::string(" (") + std::strerror(errno) + ")";
    }
  }
  return FileError{source, reason};
}

}  // namespace korvel::cli
