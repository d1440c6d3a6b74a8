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

#include <cfloat>
#include <cstdint>
#include <cstring>

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
inline double parseE00Number(const char* begin, const char* end,
                             const char** stop = nullptr);

// Below: the one form nearly every field has, converted inline.
namespace e00_detail {

// Powers of ten a double holds exactly.
inline constexpr double kExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr uint64_t kExactMantissaLimit = uint64_t{1} << 53;

// Where intermediate results are rounded to double (SSE2, every 64-bit
// target), one multiplication or division of two exact doubles is correctly
// rounded. With x87 extended intermediates it may round twice, so there
// every number goes through the exact general conversion.
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool kFastPathIsExact = true;
#else
constexpr bool kFastPathIsExact = false;
#endif

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif

// Eight digits loaded as one word (the first character in the lowest
// byte), checked and converted at once; digit by digit they would make one
// long chain of multiply-adds.
inline bool eightDigits(uint64_t v, uint64_t* value) {
  if ((((v & 0xF0F0F0F0F0F0F0F0u) |
        (((v + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) >> 4)) !=
       0x3333333333333333u)) {
    return false;
  }
  v -= 0x3030303030303030u;
  v = (v * 10) + (v >> 8);
  v = (((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
       (((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >> 32;
  *value = static_cast<uint32_t>(v);
  return true;
}

// The form E00 writers use, filling the field exactly: a blank or sign,
// one digit, a point, 7 (single) or 14 (double) digits, E, sign, two digits.
// False when the field has another form.
inline bool parseWrittenForm(const char* begin, const char* end,
                             double* result) {
  const int64_t size = end - begin;
  if ((size != 14 && size != 21) || !kLittleEndian || !kFastPathIsExact) {
    return false;
  }
  // The exponent part: E, sign, two digits, in one 32-bit word.
  uint32_t tail;
  std::memcpy(&tail, end - 4, 4);
  const uint32_t exponentSign = (tail >> 8) & 0xFF;
  const uint32_t tens = ((tail >> 16) & 0xFF) - '0';
  const uint32_t ones = (tail >> 24) - '0';
  const char sign = begin[0];
  if ((tail & 0xFF) != 'E' || (exponentSign != '+' && exponentSign != '-') ||
      tens > 9 || ones > 9 || begin[2] != '.' ||
      (sign != ' ' && sign != '-' && sign != '+')) {
    return false;
  }
  // The leading digit and the first 7 decimals as one run of 8 digits: the
  // point's byte replaced by the leading digit.
  uint64_t run;
  std::memcpy(&run, begin + 2, 8);
  run = (run & ~uint64_t{0xFF}) | static_cast<unsigned char>(begin[1]);
  uint64_t mantissa;
  if (!eightDigits(run, &mantissa)) return false;
  int64_t exponent = static_cast<int64_t>(tens * 10 + ones);
  if (exponentSign == '-') exponent = -exponent;
  if (size == 21) {
    // Decimals 8 to 14: the 8 bytes before the E, the first of them
    // already taken, read as a zero.
    std::memcpy(&run, begin + 9, 8);
    run = (run & ~uint64_t{0xFF}) | '0';
    uint64_t rest;
    if (!eightDigits(run, &rest)) return false;
    mantissa = mantissa * 10000000u + rest;
    exponent -= 14;
  } else {
    exponent -= 7;
  }
  if (exponent < -22 || exponent > 22) return false;
  double value = static_cast<double>(mantissa);
  if (exponent < 0) {
    value /= kExactPowersOfTen[-exponent];
  } else {
    value *= kExactPowersOfTen[exponent];
  }
  *result = sign == '-' ? -value : value;
  return true;
}

double parseNumberGenerally(const char* begin, const char* end,
                            const char** stop);

}  // namespace e00_detail

inline double parseE00Number(const char* begin, const char* end,
                             const char** stop) {
  double value;
  if (e00_detail::parseWrittenForm(begin, end, &value)) {
    if (stop != nullptr) *stop = end;
    return value;
  }
  return e00_detail::parseNumberGenerally(begin, end, stop);
}

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
