// The C++ API: load with a reason on failure, filter, rescale, save.
// Built and run by ctest (-R DocExample) in a directory holding a copy of samples/harbour.bmp.
#include <korvel/korvel.hpp>

#include <cstdio>

int main() {
  korvel::BitmapImage image;
  const korvel::LoadStatus status = image.Load("harbour.bmp");
  if (status != korvel::LoadStatus::kLoaded) {
    std::fprintf(stderr, "harbour.bmp: %s\n", korvel::Describe(status));
    return 1;
  }
  korvel::WhitenFlatAreas(image, 30);
  korvel::RescaleImage(image, 'W', 80);  // 80 pixels wide, height in proportion, 24 bits
  std::printf("%d x %d at %d bits\n", image.Width(), image.Height(), image.BitDepth());
  return image.SaveToFile("harbour-small.bmp") ? 0 : 1;
}
