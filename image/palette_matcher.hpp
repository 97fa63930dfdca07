// Nearest-palette-index lookups for a whole save. The answer for a colour cannot change while
// one image is being written, so earlier answers are remembered; every index is the one
// BitmapImage::NearestPaletteIndex gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "korvel/image/bitmap_image.hpp"

namespace korvel {

class PaletteMatcher {
 public:
  explicit PaletteMatcher(const BitmapImage& image) : image_(image) {}

  std::uint8_t IndexOf(PixelBgra pixel) {
    // Made on first use: saves at 16, 24 and 32 bits never match, and should not pay for
    // allocating and clearing the table on every call.
    if (!slots_) {
      slots_.reset(new (std::nothrow) Slot[kSlots]());
      if (!slots_) return image_.NearestPaletteIndex(pixel);
    }
    const std::uint32_t key = std::uint32_t{pixel.blue} | std::uint32_t{pixel.green} << 8 |
                              std::uint32_t{pixel.red} << 16;
    // Direct-mapped cache; an entry stores its colour key + 1 so that 0 means empty.
    Slot& slot = slots_[(key * 2654435761u) >> (32 - kSlotBits)];
    if (slot.keyPlusOne != key + 1) {
      slot.keyPlusOne = key + 1;
      slot.index = image_.NearestPaletteIndex(pixel);
    }
    return slot.index;
  }

 private:
  static constexpr int kSlotBits = 14;  // 16384 slots, 128 KiB
  static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
  struct Slot {
    std::uint32_t keyPlusOne = 0;
    std::uint8_t index = 0;
  };
  const BitmapImage& image_;
  std::unique_ptr<Slot[]> slots_;
};

}  // namespace korvel
