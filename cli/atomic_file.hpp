// Writing a target so that a reader sees either the old file or the complete new one.
#pragma once

#include <functional>
#include <string>

#include "cli/report.hpp"

namespace korvel::cli {

// `write` fills the file at the path it is given and answers whether it succeeded. A regular
// target (or none yet) is written to a fresh temporary file in the same directory, flushed to
// disk and renamed over the target; on any failure the temporary file is removed and the
// target is untouched. A target that exists but is not a regular file (a device such as
// /dev/null, a pipe) is written in place, since renaming over it would replace the device.
FileResult WriteAtomically(const std::string& target,
                           const std::function<bool(const std::string& path)>& write);

}  // namespace korvel::cli
