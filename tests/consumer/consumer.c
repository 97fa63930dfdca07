/* Calls the installed shared library from C: consumer_c SOURCE.bmp TARGET.bmp
 * Built and run by ctest -R InstalledPackage. Paths are taken as ASCII. */
#include <korvel/pallisk.h>
#include <stdio.h>
#include <string.h>

static void Widen(const char* narrow, char16_t* wide, size_t capacity) {
  size_t i = 0;
  for (; narrow[i] != '\0' && i + 1 < capacity; ++i) wide[i] = (char16_t)(unsigned char)narrow[i];
  wide[i] = 0;
}

int main(int argc, char** argv) {
  char16_t source[4096];
  char16_t target[4096];
  if (argc != 3 || strlen(argv[1]) >= 4096 || strlen(argv[2]) >= 4096) return 2;
  Widen(argv[1], source, 4096);
  Widen(argv[2], target, 4096);
  int32_t answer = Pallisk(source, target, 30);
  if (answer != 999) {
    fprintf(stderr, "Pallisk: have %d, want 999\n", (int)answer);
    return 1;
  }
  return 0;
}
