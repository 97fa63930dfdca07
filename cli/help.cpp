#include "cli/help.hpp"

#include <cstdio>

#ifndef KORVEL_VERSION
#define KORVEL_VERSION "unknown"
#endif

namespace korvel::cli {

void PrintHelp() {
  std::fputs(
      R"(usage:
  pallisk SOURCE TARGET THRESHOLD
      Whiten every pixel of the BMP file SOURCE whose brightness (blue + green + red)
      differs from the pixel below it by at most THRESHOLD, and write TARGET at the
      source's bit depth: the same bytes as the library's Pallisk function.
  pallisk inspect FILE...
      Print the file header and the information header of each FILE, field by field.
  pallisk rescale MODE VALUE SOURCE TARGET
      Rescale SOURCE with bilinear resampling and write TARGET at 24 bits. MODE (either
      case): P VALUE percent of the size, W new width VALUE, H new height VALUE,
      F fit the longer side to VALUE. The other side keeps the proportions.
  pallisk --out-dir DIR [-j N] [--list FILE] THRESHOLD [SOURCE...]
      Whiten many files at once, each into DIR/<its file name>. --list FILE adds the
      sources named in FILE, one per line ("-" reads standard input). -j N runs N files
      at a time (default: one per hardware thread). A failing file is reported and the
      others go on.
  pallisk --help | --version

THRESHOLD and VALUE are whole numbers from -2147483648 to 2147483647. Accepted sources:
uncompressed 1, 4, 8, 16, 24 or 32 bits per pixel, bottom-up rows, at most 2^28 pixels.
Targets are written to a temporary file beside them and renamed into place, so a failure
leaves an existing target (or a source that is also the target) as it was. For a source
called "inspect" or "rescale", or starting with "-", write: pallisk -- SOURCE TARGET THRESHOLD

Exit status: 0 done, 1 some file could not be read or written, 2 bad command line.
)",
      stdout);
}

void PrintVersion() {
  std::printf("pallisk (KorvelPallisk) %s\n", KORVEL_VERSION);
}

}  // namespace korvel::cli
