// pallisk inspect FILE...: both BMP headers of each file, field by field, as stored.
#pragma once

#include <string>
#include <vector>

namespace korvel::cli {

// Prints to standard output; a file that cannot be opened is reported on standard error and
// the others are still shown. Answers the exit status.
int RunInspect(const std::vector<std::string>& files);

}  // namespace korvel::cli
