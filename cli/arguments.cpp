#include "cli/arguments.hpp"

#include <charconv>

namespace korvel::cli {

std::optional<std::int32_t> ParseInt32(const std::string& text, const std::string& what,
                                       std::string& problem) {
  // from_chars takes a leading '-' but not '+'.
  const char* first = text.data();
  const char* const last = text.data() + text.size();
  if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range) {
    problem = what + " '" + text + "' is out of range (-2147483648 to 2147483647)";
    return std::nullopt;
  }
  if (error != std::errc() || end != last || text.empty()) {
    problem = what + " '" + text + "' is not a whole number";
    return std::nullopt;
  }
  return value;
}

}  // namespace korvel::cli
