#include "platform/SjisLeadByte.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  unsigned char byte;
  bool path;         // isPathLeadByte
  bool codePage932;  // isCodePage932LeadByte
};

// The edges of both rules. Where they part (0x80, half-width katakana,
// 0xFD-0xFF) a path keeps a byte pair whole while a name from a file cuts
// it as the code page does; folding one rule into the other moves a
// separator or a cut.
TEST(SjisLeadByteTest, BothRulesAtTheirEdges) {
  const Case cases[] = {
      {0x00, false, false}, {0x5C, false, false}, {0x7F, false, false},
      {0x80, true, false},  {0x81, true, true},   {0x95, true, true},
      {0x9F, true, true},   {0xA0, false, false}, {0xA1, false, false},
      {0xB1, false, false}, {0xDF, false, false}, {0xE0, true, true},
      {0xEF, true, true},   {0xFC, true, true},   {0xFD, true, false},
      {0xFF, true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isPathLeadByte(c.byte), c.path) << std::hex << int{c.byte};
    EXPECT_EQ(isCodePage932LeadByte(c.byte), c.codePage932)
        << std::hex << int{c.byte};
  }
}

// Every code page 932 lead byte is a path lead byte: a path scanned by the
// wider rule never splits a character the code page reads as one.
TEST(SjisLeadByteTest, CodePage932LeadsAreAllPathLeads) {
  for (int c = 0; c < 256; ++c) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (isCodePage932LeadByte(b)) {
      EXPECT_TRUE(isPathLeadByte(b)) << c;
    }
  }
}

}  // namespace
