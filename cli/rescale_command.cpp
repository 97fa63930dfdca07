#include "cli/rescale_command.hpp"

#include <cctype>
#include <new>

#include "cli/arguments.hpp"
#include "cli/atomic_file.hpp"
#include "cli/load_source.hpp"
#include "cli/report.hpp"
#include "korvel/ops/rescale.hpp"

namespace korvel::cli {
namespace {

bool IsMode(const std::string& mode) {
  if (mode.size() != 1) return false;
  const int upper = std::toupper(static_cast<unsigned char>(mode[0]));
  return upper == 'P' || upper == 'W' || upper == 'H' || upper == 'F';
}

}  // namespace

int RunRescale(const std::vector<std::string>& args) {
  if (args.size() != 4) {
    PrintUsageError("rescale expects MODE VALUE SOURCE TARGET");
    return kExitUsage;
  }
  const std::string& mode = args[0];
  const std::string& source = args[2];
  const std::string& target = args[3];
  if (!IsMode(mode)) {
    PrintUsageError("rescale mode '" + mode +
                    "' is none of P (percent), W (width), H (height), F (fit in a square)");
    return kExitUsage;
  }
  std::string problem;
  const auto value = ParseInt32(args[1], "rescale value", problem);
  if (!value) {
    PrintUsageError(problem);
    return kExitUsage;
  }

  BitmapImage image;
  FileResult failed = LoadSource(image, source);
  if (!failed) {
    try {
      // The mode was checked above, so a refusal can only be about the size.
      if (!RescaleImage(image, mode[0], *value)) {
        failed = FileError{source, "rescaled size too large (more than 2^28 pixels)"};
      }
    } catch (const std::bad_alloc&) {
      failed = FileError{source, "not enough memory to rescale the picture"};
    }
  }
  if (!failed) {
    failed = WriteAtomically(
        target, [&image](const std::string& path) { return image.SaveToFile(path.c_str()); });
  }
  if (failed) {
    PrintError(*failed);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace korvel::cli
