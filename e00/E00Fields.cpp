#include "e00/E00Fields.h"

#include <cfloat>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

using e00_detail::eightDigits;
using e00_detail::kExactMantissaLimit;
using e00_detail::kExactPowersOfTen;
using e00_detail::kFastPathIsExact;
using e00_detail::kLittleEndian;

// Four digits at once, as eightDigits.
bool fourDigits(const char* p, uint64_t* value) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  if ((((v & 0xF0F0F0F0u) | (((v + 0x06060606u) & 0xF0F0F0F0u) >> 4)) !=
       0x33333333u)) {
    return false;
  }
  v -= 0x30303030u;
  v = (v * 10) + (v >> 8);  // pairs in bytes 0 and 2
  *value = (v & 0xFF) * 100 + ((v >> 16) & 0xFF);
  return true;
}

// Appends a run of digits to the mantissa (which may wrap for more than 19
// digits; the caller then does not use it). Returns the end of the run.
const char* takeDigits(const char* p, const char* end, uint64_t* mantissa) {
  uint64_t m = *mantissa;
  uint64_t chunk;
  if (kLittleEndian) {
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      if (!eightDigits(word, &chunk)) break;
      m = m * 100000000u + chunk;
      p += 8;
    }
    if (end - p >= 4 && fourDigits(p, &chunk)) {
      m = m * 10000u + chunk;
      p += 4;
    }
  }
  while (p < end && isE00Digit(*p)) {
    m = m * 10 + static_cast<uint64_t>(*p - '0');
    ++p;
  }
  *mantissa = m;
  return p;
}

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

// What atof, atoi and %d all do first: skip white space, then take an
// optional sign. True when the sign was '-'.
bool skipSpaceAndSign(const char*& p, const char* end) {
  skipSpace(p, end);
  if (p < end && (*p == '+' || *p == '-')) return *p++ == '-';
  return false;
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
  const bool negative = skipSpaceAndSign(p, end);
  if (p == end || !isE00Digit(*p)) return false;
  int32_t v = wrappedDigits(p, end);
  *value = negative ? negateWrapped(v) : v;
  return true;
}

}  // namespace

namespace e00_detail {

double parseNumberGenerally(const char* begin, const char* end,
                            const char** stop) {
  const char* p = begin;
  const bool negative = skipSpaceAndSign(p, end);
  const char* numberBegin = p;

  // Digits before and after the point. Up to 19 digits fit the mantissa
  // whatever they are; longer numbers take the general conversion.
  uint64_t mantissa = 0;
  const char* digits = p;
  p = takeDigits(p, end, &mantissa);
  int64_t integerDigits = p - digits;
  int64_t fractionDigits = 0;
  if (p < end && *p == '.') {
    ++p;
    const char* fraction = p;
    p = takeDigits(p, end, &mantissa);
    fractionDigits = p - fraction;
  }
  if (integerDigits + fractionDigits == 0) {
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
      p = q;
    }
  }
  if (stop != nullptr) *stop = p;

  const bool exactMantissa = integerDigits + fractionDigits <= 19;
  const int64_t exponent = explicitExponent - fractionDigits;
  double value;
  if (exactMantissa && mantissa == 0) {
    value = 0.0;
  } else if (kFastPathIsExact && exactMantissa &&
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
      // Too large or too small: the value is about 0.d1d2... times ten to
      // the power of (significant digits + exponent).
      int64_t significant = 0;
      for (const char* d = numberBegin; d < p && *d != 'e' && *d != 'E'; ++d) {
        if (isE00Digit(*d) && (significant > 0 || *d != '0')) ++significant;
      }
      value = significant + exponent > 0
                  ? std::numeric_limits<double>::infinity()
                  : 0.0;
    } else if (r.ec != std::errc() || r.ptr != p) {
      value = 0.0;  // cannot happen for the characters checked above
    }
  }
  return negative ? -value : value;
}

}  // namespace e00_detail

int32_t parseE00Integer(const char* begin, const char* end) {
  const char* p = begin;
  const bool negative = skipSpaceAndSign(p, end);
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
