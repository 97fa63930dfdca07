#include "platform/narrow_path.hpp"

#ifdef _WIN32
#include <windows.h>

#include <climits>
#include <cwchar>
#endif

namespace korvel::platform {

std::string Utf16ToUtf8(const char16_t* text) {
  std::string out;
  for (const char16_t* p = text; *p != 0; ++p) {
    char32_t code = *p;
    if (code >= 0xD800 && code <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
      ++p;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;  // unpaired surrogate
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | code >> 6);
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | code >> 12);
      out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | code >> 18);
      out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

NarrowPath::NarrowPath(const KorvelPathChar* widePath) : isNull_(widePath == nullptr) {
  if (isNull_) return;
#ifdef _WIN32
  // The ANSI code page, into a buffer of twice the wide length plus the terminator; a conversion
  // that writes nothing leaves an empty path, which then fails to open.
  const std::size_t length = std::wcslen(widePath);
  std::string buffer((length + 1) * 2, '\0');
  // The capacity is an int; no real path comes near INT_MAX bytes.
  const int capacity =
      buffer.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(buffer.size());
  WideCharToMultiByte(CP_ACP, 0, widePath, -1, buffer.data(), capacity, nullptr, nullptr);
  narrow_ = buffer.c_str();
#else
  narrow_ = Utf16ToUtf8(widePath);
#endif
}

}  // namespace korvel::platform
