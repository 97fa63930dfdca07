// Loading a source file with a reason a user can act on when it fails.
#pragma once

#include <string>

#include "cli/report.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel::cli {

FileResult LoadSource(BitmapImage& image, const std::string& source);

}  // namespace korvel::cli
