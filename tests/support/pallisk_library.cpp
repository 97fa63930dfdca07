#include "support/pallisk_library.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace korvel::test {

PalliskFunction LoadPallisk(std::string* error) {
  std::string why;
#ifdef _WIN32
  HMODULE library = LoadLibraryA(KORVEL_PALLISK_LIBRARY);
  void* symbol = library ? reinterpret_cast<void*>(GetProcAddress(library, "Pallisk")) : nullptr;
  if (library == nullptr) why = "LoadLibrary failed";
#else
  void* library = dlopen(KORVEL_PALLISK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) why = dlerror();
  void* symbol = library ? dlsym(library, "Pallisk") : nullptr;
#endif
  if (library != nullptr && symbol == nullptr) why = "no symbol Pallisk";
  if (error != nullptr) *error = why;
  return reinterpret_cast<PalliskFunction>(symbol);
}

WidePath Wide(const std::string& ascii) {
  return WidePath(ascii.begin(), ascii.end());
}

}  // namespace korvel::test
