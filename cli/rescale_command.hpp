// pallisk rescale MODE VALUE SOURCE TARGET: bilinear rescaling, written at 24 bits.
#pragma once

#include <string>
#include <vector>

namespace korvel::cli {

// args: MODE VALUE SOURCE TARGET. Answers the exit status.
int RunRescale(const std::vector<std::string>& args);

}  // namespace korvel::cli
