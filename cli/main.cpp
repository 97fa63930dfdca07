// pallisk SOURCE TARGET THRESHOLD: whitens the flat areas of a BMP file.
#include <cstdio>
#include <cstdlib>

#include "korvel/korvel.hpp"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: pallisk SOURCE TARGET THRESHOLD\n");
    return 2;
  }
  korvel::BitmapImage image;
  const korvel::LoadStatus status = image.Load(argv[1]);
  if (status != korvel::LoadStatus::kLoaded) {
    std::fprintf(stderr, "pallisk: %s: %s\n", argv[1], korvel::Describe(status));
    return 1;
  }
  korvel::WhitenFlatAreas(image, std::atoi(argv[3]));
  if (!image.SaveToFile(argv[2])) {
    std::fprintf(stderr, "pallisk: %s: cannot write\n", argv[2]);
    return 1;
  }
  return 0;
}
