// Reading the headers of a named file without loading its pixels. Nothing is validated: the
// first 14 bytes come back as the file header and bytes 14 to 53 as the information header.
#pragma once

#include <cstdint>

#include "korvel/bmp/headers.hpp"

namespace korvel {

// A file that cannot be opened answers the defaults with bfType 0.
FileHeader ReadFileHeaderOf(const char* path);
// A file that cannot be opened answers the defaults unchanged.
InfoHeader ReadInfoHeaderOf(const char* path);
std::uint16_t BitDepthOfFile(const char* path);

}  // namespace korvel
