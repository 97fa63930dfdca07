// Run: ctest --preset release -R 'Utf16ToUtf8|NarrowPath'
#include "platform/narrow_path.hpp"

#include <gtest/gtest.h>

#include <string>

namespace korvel::platform {
namespace {

TEST(Utf16ToUtf8, EncodesEveryLengthAndReplacesUnpairedSurrogates) {
  struct Case {
    const char* name;
    std::u16string in;
    std::string want;
  };
  const Case cases[] = {
      {"empty", u"", ""},
      {"ASCII", u"C:/a b.bmp", "C:/a b.bmp"},
      {"last one-byte", u"\x7F", "\x7F"},
      {"first two-byte", u"\x80", "\xC2\x80"},
      {"last two-byte", u"\x7FF", "\xDF\xBF"},
      {"first three-byte", u"\x800", "\xE0\xA0\x80"},
      {"euro sign", u"\x20AC", "\xE2\x82\xAC"},
      {"just below the surrogates", u"\xD7FF", "\xED\x9F\xBF"},
      {"just above the surrogates", u"\xE000", "\xEE\x80\x80"},
      {"last three-byte", u"\xFFFF", "\xEF\xBF\xBF"},
      {"first pair", u"\xD800\xDC00", "\xF0\x90\x80\x80"},
      {"emoji pair", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"last pair", u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},
      {"high surrogate at the end", u"a\xD800", "a\xEF\xBF\xBD"},
      {"low surrogate alone", u"\xDC00z", "\xEF\xBF\xBDz"},
      {"high then ASCII", u"\xD800z", "\xEF\xBF\xBDz"},
      {"two highs then a low", u"\xD800\xD800\xDC00", "\xEF\xBF\xBD\xF0\x90\x80\x80"},
      {"low then high", u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.in.c_str()), c.want) << c.name;
  }
}

TEST(NarrowPath, NullStaysNullAndEmptyStaysEmpty) {
  EXPECT_EQ(NarrowPath(nullptr).c_str(), nullptr);
  const KorvelPathChar empty[] = {0};
  const NarrowPath narrow(empty);
  ASSERT_NE(narrow.c_str(), nullptr);
  EXPECT_STREQ(narrow.c_str(), "");
}

#ifndef _WIN32
TEST(NarrowPath, IsUtf8NeverCutToTwiceTheWideLength) {
  // Three bytes per unit, and four per pair: both exceed (n + 1) x 2.
  std::u16string wide;
  std::string want;
  for (int i = 0; i < 500; ++i) {
    wide += u"\x20AC\xD83D\xDE00";
    want += "\xE2\x82\xAC\xF0\x9F\x98\x80";
  }
  const NarrowPath narrow(wide.c_str());
  EXPECT_EQ(std::string(narrow.c_str()), want);
}
#endif

}  // namespace
}  // namespace korvel::platform
