#include "korvel/bmp/load_status.hpp"

namespace korvel {

const char* Describe(LoadStatus status) {
  switch (status) {
    case LoadStatus::kLoaded:
      return "loaded";
    case LoadStatus::kCannotOpen:
      return "cannot open the file";
    case LoadStatus::kNotBmp:
      return "not a BMP file";
    case LoadStatus::kTruncatedHeader:
      return "file too short for the BMP headers";
    case LoadStatus::kUnsupportedCompression:
      return "unsupported compression";
    case LoadStatus::kUnsupportedBitDepth:
      return "unsupported bit depth";
    case LoadStatus::kInvalidDimensions:
      return "bad dimensions (width and height must be at least 1; top-down rows are refused)";
    case LoadStatus::kOverPixelLimit:
      return "picture too large (more than 2^28 pixels)";
    case LoadStatus::kOutOfMemory:
      return "not enough memory for the picture";
  }
  return "unknown failure";
}

}  // namespace korvel
