// Little-endian fields read back out of file bytes, for tests that check what was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvel::test {

inline std::uint32_t Le16At(const std::string& bytes, std::size_t offset) {
  return std::uint32_t{static_cast<unsigned char>(bytes.at(offset))} |
         std::uint32_t{static_cast<unsigned char>(bytes.at(offset + 1))} << 8;
}

inline std::uint32_t Le32At(const std::string& bytes, std::size_t offset) {
  return Le16At(bytes, offset) | Le16At(bytes, offset + 2) << 16;
}

inline std::uint8_t ByteAt(const std::string& bytes, std::size_t offset) {
  return static_cast<std::uint8_t>(bytes.at(offset));
}

}  // namespace korvel::test
