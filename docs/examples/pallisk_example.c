/* The C API: one call whitens the flat areas of a BMP file.
 * Built and run by ctest (-R DocExample) in a directory holding a copy of samples/harbour.bmp. */
#include <korvel/pallisk.h>
#include <stdio.h>

int main(void) {
  /* Paths are UTF-16; the answer is 1 when the source cannot be loaded, else 999. */
  int32_t answer = Pallisk(u"harbour.bmp", u"harbour-c.bmp", 30);
  if (answer != 999) {
    fprintf(stderr, "harbour.bmp could not be loaded\n");
    return 1;
  }
  return 0;
}
