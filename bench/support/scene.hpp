// The picture every benchmark works on: a lit sky over a hilly landscape from low-frequency
// waves, hard-edged discs and boxes, and a little sensor noise. The same function of (x, y) at
// every size, so that small and large pictures show the same scene.
#pragma once

#include <cmath>
#include <cstdint>

#include "image/palette_matcher.hpp"
#include "korvel/image/bitmap_image.hpp"

namespace korvel::bench {

inline std::uint32_t Hash(std::uint32_t x, std::uint32_t y) {
  std::uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  return h ^ (h >> 15);
}

inline std::uint8_t Clamp(double v) {
  if (v < 0.0) return 0;
  if (v > 255.0) return 255;
  return static_cast<std::uint8_t>(v);
}

// Coordinates are scaled to the unit square so that every size shows the same scene.
inline PixelBgra Scene(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  const double u = (x + 0.5) / width, v = (y + 0.5) / height;
  const double horizon = 0.45 + 0.08 * std::sin(u * 9.0) + 0.04 * std::sin(u * 23.0 + 1.3);
  double r, g, b;
  if (v < horizon) {  // sky: blue gradient with a sun glow
    const double glow = std::exp(-((u - 0.7) * (u - 0.7) + (v - 0.15) * (v - 0.15)) * 40.0);
    r = 90 + 120 * v + 140 * glow;
    g = 140 + 90 * v + 110 * glow;
    b = 230 - 40 * v + 20 * glow;
  } else {  // land: fields in bands, darker further down
    const double band = std::sin(v * 60.0 + 3.0 * std::sin(u * 7.0));
    r = 70 + 40 * band + 60 * (1 - v);
    g = 120 + 50 * band + 40 * std::sin(u * 13.0);
    b = 40 + 20 * band;
  }
  // Hard-edged objects: discs (trees, stones) and boxes (houses).
  for (int i = 0; i < 24; ++i) {
    const double cx = (Hash(static_cast<std::uint32_t>(i), 1) % 1000) / 1000.0;
    const double cy = 0.45 + (Hash(static_cast<std::uint32_t>(i), 2) % 500) / 1000.0;
    const double rad = 0.01 + (Hash(static_cast<std::uint32_t>(i), 3) % 60) / 1000.0;
    const double dx = (u - cx) * width / height, dy = v - cy;
    if (i % 3 != 0 && dx * dx + dy * dy < rad * rad) {
      r = 30 + i * 3;
      g = 80 + i * 4;
      b = 30 + 20 * dy / rad;
    } else if (i % 3 == 0 && std::fabs(dx) < rad && std::fabs(dy) < rad * 0.7) {
      r = 200 - i * 2;
      g = 170 - i * 3;
      b = 150 + 60 * dx / rad;
    }
  }
  const double noise =
      static_cast<double>(Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) % 9) -
      4.0;
  return PixelBgra{Clamp(b + noise), Clamp(g + noise), Clamp(r + noise), 255};
}

// An image of the given depth holding the scene (at 1, 4 and 8 bits its palette colours).
inline BitmapImage ScenePicture(std::int32_t width, std::int32_t height, std::int32_t depth) {
  BitmapImage image;
  image.ChangeBitDepth(depth);
  image.Resize(width, height);
  PaletteMatcher matcher(image);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      PixelBgra p = Scene(x, y, width, height);
      if (image.HasPalette()) p = image.PaletteEntry(matcher.IndexOf(p));
      (void)image.StorePixel(x, y, p);
    }
  }
  return image;
}

}  // namespace korvel::bench
