// Uses the installed toolkit: pads a one-pixel picture, whitens it and saves it.
// Built and run by ctest -R InstalledPackage: consumer_cpp TARGET.bmp
#include <korvel/korvel.hpp>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  korvel::BitmapImage image;
  if (!image.Resize(3, 2)) return 1;
  if (!image.StorePixel(0, 0, korvel::PixelBgra{0, 0, 0, 255})) return 1;
  korvel::WhitenFlatAreas(image, 10);
  // Black above white differs by 765 and keeps its colour; everything else turns white.
  const korvel::PixelBgra kept = image.PixelValue(0, 0);
  if (kept.blue != 0 || kept.green != 0 || kept.red != 0) {
    std::fprintf(stderr, "have (%d, %d, %d) at (0, 0), want black\n", kept.blue, kept.green,
                 kept.red);
    return 1;
  }
  return image.SaveToFile(argv[1]) ? 0 : 1;
}
