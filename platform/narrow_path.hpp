// Wide (UTF-16) paths turned into the narrow paths the file functions take. On Windows that is
// the ANSI code page, through the system's own conversion; elsewhere it is UTF-8.
#pragma once

#include <string>

#include "korvel/pallisk.h"

namespace korvel::platform {

// UTF-16 to UTF-8: a surrogate pair becomes one 4-byte sequence, an unpaired surrogate U+FFFD.
std::string Utf16ToUtf8(const char16_t* text);

class NarrowPath {
 public:
  // A null wide path gives a null narrow path.
  explicit NarrowPath(const KorvelPathChar* widePath);
  const char* c_str() const { return isNull_ ? nullptr : narrow_.c_str(); }

 private:
  std::string narrow_;
  bool isNull_;
};

}  // namespace korvel::platform
