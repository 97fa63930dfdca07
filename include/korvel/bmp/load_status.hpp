// Why a BMP file was or was not loaded. The library itself answers only true or false; the
// reason is for callers that want to tell a user what went wrong (the command-line host).
#pragma once

namespace korvel {

enum class LoadStatus {
  kLoaded,
  kCannotOpen,              // the file could not be opened for reading
  kNotBmp,                  // the first two bytes are not "BM"
  kTruncatedHeader,         // fewer than the 54 bytes of the two headers
  kUnsupportedCompression,  // biCompression other than 0, or 3 at 16 bits
  kUnsupportedBitDepth,     // biBitCount other than 1, 4, 8, 16, 24 or 32
  kInvalidDimensions,       // biWidth or biHeight below 1 (top-down rows included)
  kOverPixelLimit,          // width x height above kMaxPixels
  kOutOfMemory,             // the pixel grid could not be allocated
};

// A short lower-case phrase for messages, such as "not a BMP file".
const char* Describe(LoadStatus status);

}  // namespace korvel
