// The two rules by which the module tells the first byte of a two-byte
// Shift-JIS character, written here once for every layer. They differ on
// purpose:
//
// - Paths built by the path helpers are scanned by their wider rule, so that
//   any byte from 0x80 up that could start a character hides the byte after
//   it (and a trail byte 0x5C is never taken for a backslash).
// - Names taken from files, and the texts the system's code page 932 reads,
//   are cut by that code page's own lead ranges, so that a half-width
//   katakana (0xA1-0xDF) or a stray 0x80/0xFD-0xFF stays one character wide.

#ifndef MORVANE_PLATFORM_SJISLEADBYTE_H_
#define MORVANE_PLATFORM_SJISLEADBYTE_H_

// 0x80-0x9F and 0xE0-0xFF: the path helpers' rule.
inline bool isPathLeadByte(unsigned char c) {
  return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}

// 0x81-0x9F and 0xE0-0xFC: code page 932's lead bytes.
inline bool isCodePage932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

#endif  // MORVANE_PLATFORM_SJISLEADBYTE_H_
