// The exported function: load, whiten flat areas, save at the source's depth.
#include "korvel/pallisk.h"

#include <string>

#include "korvel/image/bitmap_image.hpp"
#include "korvel/ops/whiten_flat_areas.hpp"
#include "platform/narrow_path.hpp"

namespace {

constexpr std::int32_t kSourceNotLoaded = 1;
constexpr std::int32_t kDone = 999;

}  // namespace

// On Windows the module definition file exports it; elsewhere only this symbol is visible.
#ifdef _WIN32
#define KORVEL_PALLISK_EXPORT
#else
#define KORVEL_PALLISK_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KORVEL_PALLISK_EXPORT std::int32_t KORVEL_PALLISK_CALL Pallisk(
    const KorvelPathChar* sourcePath, const KorvelPathChar* targetPath, std::int32_t threshold) {
  try {
    korvel::BitmapImage image;
    // A null path stays null: the load or save then fails as for a file that cannot be opened.
    const korvel::platform::NarrowPath source(sourcePath);
    if (!image.LoadFromFile(source.c_str())) return kSourceNotLoaded;
    korvel::WhitenFlatAreas(image, threshold);
    const korvel::platform::NarrowPath target(targetPath);
    image.SaveToFile(target.c_str());  // callers expect 999 whether or not the target was written
    return kDone;
  } catch (...) {
    // Out of memory: no C++ exception may cross the C boundary; the source was not processed.
    return kSourceNotLoaded;
  }
}
