// The open-file dialog's filter turned into the zero-separated list that
// GetOpenFileNameA reads.

#include "ui/FileDialogFilter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FileDialogFilterTest, BarsBecomeZerosAndTheListEndsWithTwo) {
  using namespace std::string_literals;
  struct Case {
    const char* filter;
    std::string expected;
  };
  const Case cases[] = {
      {"Arc/Info Export File [*.e00]|*.e00|All [*.*]|*.*||",
       "Arc/Info Export File [*.e00]\0*.e00\0All [*.*]\0*.*\0\0"s},
      {"Text|*.txt|", "Text\0*.txt\0\0"s},   // one "|" short at the end
      {"Text|*.txt", "Text\0*.txt\0\0"s},
      {"", "\0\0"s},
      {nullptr, "\0\0"s},
      // "ポ" is 0x83 0x7C: its second byte is not a separator.
      {"\x83\x7c\x83\x8a|*.e00||", "\x83\x7c\x83\x8a\0*.e00\0\0"s},
      // A lead byte cut by the end of the text is a byte of its own.
      {"a|\x83", "a\0\x83\0\0"s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter ? c.filter : "(null)");
    EXPECT_EQ(fileDialogFilter(c.filter), c.expected);
  }
}

}  // namespace
