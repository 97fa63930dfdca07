// The text of pallisk --help and --version.
#pragma once

namespace korvel::cli {

void PrintHelp();
void PrintVersion();

}  // namespace korvel::cli
