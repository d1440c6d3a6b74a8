#include "e00/E00Fields.h"

#include <cfloat>
#include <charconv>
#include <limits>
#include <system_error>

namespace {

// Powers of ten a double holds exactly.
constexpr double kExactPowersOfTen[] = {
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

// Digits in the runtime's accumulation: value = value * 10 + digit, wrapping
// at 32 bits.
int32_t wrappedDigits(const char*& p, const char* end) {
  uint32_t value = 0;
  while (p < end && isE00Digit(*p)) {
    value = value * 10u + static_cast<uint32_t>(*p - '0');
    ++p;
  }
  return static_cast<int32_t>(value);
}

int32_t negateWrapped(int32_t value) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(value));
}

void skipSpace(const char*& p, const char* end) {
  while (p < end && isE00Space(*p)) ++p;
}

// One %s: false at the end of the input.
bool scanText(const char*& p, const char* end, const char** text,
              int32_t* size) {
  skipSpace(p, end);
  if (p == end) return false;
  const char* start = p;
  while (p < end && !isE00Space(*p)) ++p;
  *text = start;
  *size = static_cast<int32_t>(p - start);
  return true;
}

// One %d: false when no digit follows the optional sign.
bool scanInteger(const char*& p, const char* end, int32_t* value) {
  skipSpace(p, end);
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (p == end || !isE00Digit(*p)) return false;
  int32_t v = wrappedDigits(p, end);
  *value = negative ? negateWrapped(v) : v;
  return true;
}

}  // namespace

double parseE00Number(const char* begin, const char* end, const char** stop) {
  const char* p = begin;
  skipSpace(p, end);
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const char* numberBegin = p;

  // The first 19 significant digits, exactly; more mark the value inexact.
  uint64_t mantissa = 0;
  int32_t mantissaDigits = 0;
  int64_t significantDigits = 0;
  int64_t fractionDigits = 0;
  int64_t exponent = 0;  // power of ten that scales the mantissa
  bool sawDigit = false;
  bool truncated = false;
  auto takeDigit = [&](char c, bool fraction) {
    sawDigit = true;
    if (fraction) {
      --exponent;
      ++fractionDigits;
    }
    if (mantissa == 0 && c == '0') return;  // leading zero
    ++significantDigits;
    if (mantissaDigits < 19) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      ++mantissaDigits;
    } else {
      truncated = true;
      if (!fraction) ++exponent;
    }
  };
  while (p < end && isE00Digit(*p)) takeDigit(*p++, false);
  if (p < end && *p == '.') {
    ++p;
    while (p < end && isE00Digit(*p)) takeDigit(*p++, true);
  }
  if (!sawDigit) {
    if (stop != nullptr) *stop = begin;
    return 0.0;
  }
  int64_t explicitExponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (q < end && (*q == '+' || *q == '-')) {
      negativeExponent = *q == '-';
      ++q;
    }
    if (q < end && isE00Digit(*q)) {
      int64_t e = 0;
      while (q < end && isE00Digit(*q)) {
        // Far beyond any double; only the sign of the overflow matters.
        if (e < 1000000) e = e * 10 + (*q - '0');
        ++q;
      }
      explicitExponent = negativeExponent ? -e : e;
      exponent += explicitExponent;
      p = q;
    }
  }
  if (stop != nullptr) *stop = p;

  double value;
  if (mantissa == 0) {
    value = 0.0;
  } else if (kFastPathIsExact && !truncated &&
             mantissa <= kExactMantissaLimit && exponent >= -22 &&
             exponent <= 22) {
    value = static_cast<double>(mantissa);
    if (exponent < 0) {
      value /= kExactPowersOfTen[-exponent];
    } else {
      value *= kExactPowersOfTen[exponent];
    }
  } else {
    // from_chars is exact and ignores the locale; it takes no sign.
    std::from_chars_result r =
        std::from_chars(numberBegin, p, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
      // The value is about 0.d1d2... times 10 to this power.
      int64_t magnitude = significantDigits + explicitExponent - fractionDigits;
      value = magnitude > 0
                  ? std::numeric_limits<double>::infinity()
                  : 0.0;
    } else if (r.ec != std::errc() || r.ptr != p) {
      value = 0.0;  // cannot happen for the characters checked above
    }
  }
  return negative ? -value : value;
}

int32_t parseE00Integer(const char* begin, const char* end) {
  const char* p = begin;
  skipSpace(p, end);
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  int32_t v = wrappedDigits(p, end);
  return negative ? negateWrapped(v) : v;
}

E00HeaderFields splitE00HeaderFields(const char* begin, const char* end) {
  E00HeaderFields f;
  const char* p = begin;
  const char* ignoredText;
  int32_t ignoredSize;
  if (!scanText(p, end, &f.first, &f.firstSize)) return f;
  f.count = 1;
  if (!scanText(p, end, &f.second, &f.secondSize)) return f;
  f.count = 2;
  for (int i = 0; i < 2; ++i) {
    if (!scanText(p, end, &ignoredText, &ignoredSize)) return f;
    ++f.count;
  }
  int32_t value = 0;
  for (int i = 0; i < 3; ++i) {
    if (!scanInteger(p, end, &value)) return f;
    ++f.count;
  }
  f.seventh = value;
  return f;
}
