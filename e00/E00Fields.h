// How the E00 readers turn the text of a line into values, the way the C
// runtime would (atof, atoi and sscanf with "%s %s %s %s %d %d %d"), written
// out by hand: no locale is consulted, no line is copied, and a number is
// converted in one pass over its characters.
//
// Every function takes a range [begin, end) of characters; nothing past end
// is ever read, and a zero byte inside the range is an ordinary character
// (callers end the range at the line's first zero byte if they want the C
// string view).

#ifndef MORVANE_E00_E00FIELDS_H_
#define MORVANE_E00_E00FIELDS_H_

#include <cstdint>

// isspace in the C locale: blank, tab, LF, VT, FF, CR.
inline bool isE00Space(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool isE00Digit(char c) { return c >= '0' && c <= '9'; }

// atof: leading whitespace, an optional sign, digits with an optional
// decimal point (at least one digit), an optional exponent (e or E, an
// optional sign, at least one digit). Conversion stops at the first
// character that does not fit; without a number the result is 0. The result
// is the double nearest to the decimal value (what strtod gives for the
// same characters in the C locale); a value too large for a double gives
// plus or minus infinity, one too small plus or minus 0. *stop, when given,
// receives the end of the converted characters (begin when there were none).
double parseE00Number(const char* begin, const char* end,
                      const char** stop = nullptr);

// atoi: leading whitespace, an optional sign, decimal digits; stops at the
// first non-digit; no digits give 0. Digits beyond the 32-bit range wrap
// around as the runtime's accumulation does.
int32_t parseE00Integer(const char* begin, const char* end);

// What sscanf(line, "%s %s %s %s %d %d %d", ...) takes from a line: the
// number of conversions made (0 to 7), the first two text fields and the
// seventh field. Like the runtime, a %d field needs at least one digit,
// continues right after the previous field's last character, and wraps
// around beyond the 32-bit range.
struct E00HeaderFields {
  int32_t count = 0;
  const char* first = nullptr;  // valid when count >= 1
  int32_t firstSize = 0;
  const char* second = nullptr;  // valid when count >= 2
  int32_t secondSize = 0;
  int32_t seventh = 0;  // valid when count == 7
};
E00HeaderFields splitE00HeaderFields(const char* begin, const char* end);

#endif  // MORVANE_E00_E00FIELDS_H_
