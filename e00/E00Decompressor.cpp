#include "e00/E00Decompressor.h"

#include <cstring>

namespace {

// Pair codes: '!' is 00; '}' is followed by a second code for 92..99.
constexpr int kFirstCode = '!';
constexpr int kLastPairCode = '|';  // 91
constexpr int kHighPairs = '}';
constexpr int kHighPairBase = 92;
constexpr int kMaxPair = 99;
// Number forms run from '!' to 'z': 45 * odd + 15 * exponent + point.
constexpr int kLastForm = 'z';
constexpr int kFormsPerExponent = 15;
constexpr int kOddForms = 45;

// The two digits of each pair, "00" to "99".
struct PairDigits {
  char digits[kMaxPair + 1][2];
  constexpr PairDigits() : digits() {
    for (int i = 0; i <= kMaxPair; ++i) {
      digits[i][0] = static_cast<char>('0' + i / 10);
      digits[i][1] = static_cast<char>('0' + i % 10);
    }
  }
};
constexpr PairDigits kPairTable;
constexpr const char (&kPairDigits)[kMaxPair + 1][2] = kPairTable.digits;

}  // namespace

void E00Decompressor::reset() {
  line_[0] = '\0';
  lineSize_ = 0;
  sawNumbers_ = false;
}

E00Decompressor::Result E00Decompressor::decodeLine(const char** cursor,
                                                    const char* end,
                                                    bool endOfData) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(*cursor);
  const unsigned char* stop = reinterpret_cast<const unsigned char*>(end);
  if (stop - p > kMaxStoredLine) {
    stop = p + kMaxStoredLine;
    endOfData = false;  // what lies past the limit is not the end
  }
  char* const out = line_;
  int32_t n = 0;
  bool numbers = false;
  // Right after a number, where "~x" stands for x.
  bool afterNumber = false;

  // The next byte of the stream, or -1 at stop; line breaks are skipped
  // wherever they fall, inside a code too.
  auto take = [&p, stop]() -> int {
    while (p < stop) {
      const unsigned char c = *p++;
      if (c > '\r' || (c != '\n' && c != '\r')) return c;
    }
    return -1;
  };
  auto damaged = [this]() {
    line_[0] = '\0';
    lineSize_ = 0;
    return Result::kDamaged;
  };
// Writes one character, refusing the line once it would exceed kMaxLine.
#define MORVANE_PUT(ch)                    \
  do {                                     \
    const char written = static_cast<char>(ch); \
    if (n >= kMaxLine) return damaged();   \
    out[n++] = written;                    \
  } while (0)

  int c = take();
  if (c < 0) {
    if (!endOfData) return damaged();  // only line breaks, for too long
    *cursor = end;
    line_[0] = '\0';
    lineSize_ = 0;
    return Result::kEnd;
  }
  for (;; c = take()) {
    if (c < 0) return damaged();  // the data ends inside the line
    if (c != '~') {
      MORVANE_PUT(c);
      afterNumber = false;
      // The characters up to the next code, at once.
      while (p < stop && *p != '~') {
        const unsigned char next = *p++;
        if (next == '\n' || next == '\r') continue;
        MORVANE_PUT(next);
      }
      continue;
    }
    c = take();
    if (c < 0) return damaged();
    if (c == '}') break;
    if (c == ' ') {
      const int count = take();
      if (count < 0) return damaged();
      const int blanks = count - ' ';
      if (blanks < 1 || blanks > kMaxLine - n) return damaged();
      std::memset(out + n, ' ', static_cast<size_t>(blanks));
      n += blanks;
      afterNumber = false;
      continue;
    }
    if (afterNumber || c == '~' || c == '-') {
      MORVANE_PUT(c);
      afterNumber = false;
      continue;
    }
    if (c < kFirstCode || c > kLastForm) return damaged();

    const int form = c - kFirstCode;
    const int point = form % kFormsPerExponent;
    const int exponent = form / kFormsPerExponent % 3;
    const int odd = form >= kOddForms ? 1 : 0;
    int digits = 0;
    for (;;) {
      if (p == stop) return damaged();
      unsigned pair = static_cast<unsigned>(*p) - kFirstCode;
      if (pair > static_cast<unsigned>(kLastPairCode - kFirstCode)) {
        const int code = *p;
        // The end of the number belongs to what follows.
        if (code == ' ' || code == '~') break;
        ++p;
        if (code == '\n' || code == '\r') continue;
        if (code != kHighPairs) return damaged();
        const int second = take();
        if (second < kFirstCode) return damaged();  // also the end of data
        pair = static_cast<unsigned>(kHighPairBase + second - kFirstCode);
        if (pair > kMaxPair) return damaged();
      } else {
        ++p;
      }
      // Room for two digits and a point, checked before any is written.
      if (kMaxLine - n < 3) return damaged();
      out[n++] = kPairDigits[pair][0];
      if (++digits == point) out[n++] = '.';
      out[n++] = kPairDigits[pair][1];
      if (++digits == point) out[n++] = '.';
    }
    const int kept = digits - odd;
    if (digits == 0 || point > kept) return damaged();
    if (odd) --n;  // the padding digit, never the point (point <= kept)
    if (exponent != 0) {
      // "E+" or "E-" goes before the last two digits, which follow the
      // point and at least one digit of the mantissa.
      if (kept < 3 || point > kept - 2) return damaged();
      MORVANE_PUT(out[n - 2]);
      MORVANE_PUT(out[n - 2]);
      out[n - 4] = 'E';
      out[n - 3] = exponent == 1 ? '+' : '-';
    }
    numbers = true;
    afterNumber = true;
  }
#undef MORVANE_PUT

  out[n] = '\n';
  out[n + 1] = '\0';
  lineSize_ = n + 1;
  if (numbers) sawNumbers_ = true;
  *cursor = reinterpret_cast<const char*>(p);
  return Result::kLine;
}
