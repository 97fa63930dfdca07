/* The library's one exported function. Usable from C and C++.
 *
 * Loads the BMP file at sourcePath, whitens every pixel whose brightness (blue + green + red)
 * differs from the pixel below it by at most threshold, and writes the result to targetPath at
 * the source's bit depth. Answers 1 when the source cannot be loaded (nothing is written) and
 * 999 otherwise, whether or not the target could be written. Paths are zero-terminated UTF-16;
 * either may be null, which counts as a file that cannot be opened. Calls share no state. */
#ifndef KORVEL_PALLISK_H
#define KORVEL_PALLISK_H

#include <stdint.h>

#ifdef _WIN32
#include <wchar.h>
typedef wchar_t KorvelPathChar;
#define KORVEL_PALLISK_CALL __stdcall
#else
#ifndef __cplusplus
#include <uchar.h>
#endif
typedef char16_t KorvelPathChar;
#define KORVEL_PALLISK_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

int32_t KORVEL_PALLISK_CALL Pallisk(const KorvelPathChar* sourcePath,
                                    const KorvelPathChar* targetPath, int32_t threshold);

#ifdef __cplusplus
}
#endif

#endif /* KORVEL_PALLISK_H */
