#include "platform/Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Pair {
  std::string sjis;
  std::string utf8;
};

// Texts the module shows or builds paths from, both ways.
TEST(SjisTest, ConvertsBothWays) {
  const Pair pairs[] = {
      {"", ""},
      {"roads.e00", "roads.e00"},
      {"\x95\x5C", "\xE8\xA1\xA8"},  // 表: trail byte 0x5C
      // ソフト
      {"\x83\x5C\x83t\x83g", "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"},
      {"\xB1\xB2", "\xEF\xBD\xB1\xEF\xBD\xB2"},  // half-width ｱｲ
      {"\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x92\x86...",
       "\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF\xE4\xB8\xAD..."},
      {"C:\\\x92n\x90}\\a.e00", "C:\\\xE5\x9C\xB0\xE5\x9B\xB3\\a.e00"},  // 地図
  };
  for (const Pair& p : pairs) {
    EXPECT_EQ(sjisToUtf8(p.sjis), p.utf8) << p.utf8;
    EXPECT_EQ(utf8ToSjis(p.utf8), p.sjis) << p.utf8;
  }
}

// Bytes that start no Shift-JIS character become U+FFFD, one per byte, and
// the text after them is kept.
TEST(SjisTest, InvalidBytesBecomeReplacementCharacters) {
  const Pair pairs[] = {
      {"a\x95", "a\xEF\xBF\xBD"},             // lead byte cut by the end
      {"\x95 b", "\xEF\xBF\xBD b"},           // lead byte without trail
      {"\x81\x7F" "c", "\xEF\xBF\xBD\x7F" "c"},  // 0x7F is no trail byte
  };
  for (const Pair& p : pairs) {
    EXPECT_EQ(sjisToUtf8(p.sjis), p.utf8);
  }
}

// No look-alikes: a character without a Shift-JIS form comes out as '?'
// (the POSIX backend writes one per byte of the character), so a path never
// silently names another file.
TEST(SjisTest, CharactersWithoutShiftJisFormBecomeQuestionMarks) {
  const Pair pairs[] = {
      {"caf", "caf\xC3\xA9"},    // é, whose best fit would be 'e'
      {"", "\xC3\x85"},          // Å
      {"", "\xED\x95\x9C"},      // 한
  };
  for (const Pair& p : pairs) {
    std::string out = utf8ToSjis(p.utf8 + "x");
    ASSERT_GE(out.size(), p.sjis.size() + 2) << p.utf8;
    EXPECT_EQ(out.substr(0, p.sjis.size()), p.sjis);
    EXPECT_EQ(out.back(), 'x');
    std::string middle =
        out.substr(p.sjis.size(), out.size() - p.sjis.size() - 1);
    EXPECT_EQ(middle.find_first_not_of('?'), std::string::npos) << middle;
  }
}

}  // namespace
