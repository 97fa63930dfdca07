// The pallisk command: the library's job with messages, plus inspect, rescale and batch mode.
// Run: pallisk --help
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/batch.hpp"
#include "cli/help.hpp"
#include "cli/inspect.hpp"
#include "cli/report.hpp"
#include "cli/rescale_command.hpp"
#include "cli/whiten_job.hpp"

namespace {

int Run(const std::vector<std::string>& args) {
  using namespace korvel::cli;
  if (args.empty()) {
    PrintUsageError("missing arguments: pallisk SOURCE TARGET THRESHOLD");
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") {
    PrintHelp();
    return kExitOk;
  }
  if (first == "--version") {
    PrintVersion();
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  // "--" lets a source start with a dash or be called inspect or rescale.
  if (first == "--") return RunWhiten(rest);
  if (first == "inspect") return RunInspect(rest);
  if (first == "rescale") return RunRescale(rest);
  if (IsBatchCommand(args)) return RunBatch(args);
  return RunWhiten(args);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pallisk: %s\n", e.what());
    return korvel::cli::kExitFailed;
  }
}
