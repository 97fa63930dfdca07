// The library's job on the command line: pallisk SOURCE TARGET THRESHOLD.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/report.hpp"

namespace korvel::cli {

// Loads, whitens and writes exactly the bytes Pallisk writes, the target atomically. Nothing is
// written when the source cannot be loaded.
FileResult WhitenFile(const std::string& source, const std::string& target, std::int32_t threshold);

// args: SOURCE TARGET THRESHOLD. Answers the exit status.
int RunWhiten(const std::vector<std::string>& args);

}  // namespace korvel::cli
