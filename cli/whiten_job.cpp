#include "cli/whiten_job.hpp"

#include "cli/arguments.hpp"
#include "cli/atomic_file.hpp"
#include "cli/load_source.hpp"
#include "korvel/ops/whiten_flat_areas.hpp"

namespace korvel::cli {

FileResult WhitenFile(const std::string& source, const std::string& target,
                      std::int32_t threshold) {
  // One image per call: batch workers run this concurrently and share nothing.
  BitmapImage image;
  if (FileResult failed = LoadSource(image, source)) return failed;
  WhitenFlatAreas(image, threshold);
  return WriteAtomically(
      target, [&image](const std::string& path) { return image.SaveToFile(path.c_str()); });
}

int RunWhiten(const std::vector<std::string>& args) {
  if (args.size() != 3) {
    PrintUsageError("expected SOURCE TARGET THRESHOLD, got " + std::to_string(args.size()) +
                    (args.size() == 1 ? " argument" : " arguments"));
    return kExitUsage;
  }
  std::string problem;
  const auto threshold = ParseInt32(args[2], "threshold", problem);
  if (!threshold) {
    PrintUsageError(problem);
    return kExitUsage;
  }
  if (FileResult failed = WhitenFile(args[0], args[1], *threshold)) {
    PrintError(*failed);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace korvel::cli
