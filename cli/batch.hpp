// Batch mode: pallisk --out-dir DIR [-j N] [--list FILE] THRESHOLD [SOURCE...]
// Every source is whitened into DIR/<its base name>, on several threads at once.
#pragma once

#include <string>
#include <vector>

namespace korvel::cli {

// True when the arguments ask for batch mode (they contain --out-dir, --list or -j).
bool IsBatchCommand(const std::vector<std::string>& args);

// A failing file is reported and the others go on; the exit status is non-zero when any file
// failed.
int RunBatch(const std::vector<std::string>& args);

}  // namespace korvel::cli
