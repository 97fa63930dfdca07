// Turning command-line words into numbers, refusing anything that is not exactly one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvel::cli {

// A decimal integer with an optional sign and nothing else (no spaces, no hex, no suffix).
// On failure `problem` says why, naming `what` and the text.
std::optional<std::int32_t> ParseInt32(const std::string& text, const std::string& what,
                                       std::string& problem);

}  // namespace korvel::cli
