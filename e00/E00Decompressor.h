// Decodes the text of a compressed export file, one line at a time.
//
// A compressed file keeps its first line ("EXP  1 ...") as it is. All that
// follows is one stream of characters in which the file's line breaks mean
// nothing: writers cut the stream into physical lines of 80 characters
// (fewer where a blank would end one), and a code may run across such a
// break. In the stream, '~' starts a code:
//
//   ~}        ends a line of the text
//   ~ c       a run of blanks, c - ' ' of them (c from '!')
//   ~~  ~-    a '~', a '-'
//   ~f p...   a number (full compression only), which ends before the next
//             ' ' or '~'. f, from '!' to 'z', gives its form:
//               f - '!' = 45 * odd + 15 * exponent + point
//             point (0..14): a '.' after that many digits, 0 for none;
//             exponent: 1 "E+", 2 "E-" before the last two digits, 0 none;
//             odd: the last digit only pads the last pair and is dropped.
//             Each p is a pair of digits: p - '!' for 00..91 ('!'..'|'), or
//             '}' and q for 92 + (q - '!'), 92..99.
//             Right after a number, '~' followed by anything but ' ' or '}'
//             only marked the number's end: "~x" stands for x alone.
//
// So " 1.4214954E+02 4.6000000E+01" can be stored as
// " ~1/6RW# ~1O!!!"" ('1' = point 1, exponent E+, even; '/' = 14, '6' = 21,
// 'R' = 49, 'W' = 54, '#' = 02), and nine blanks and a 1 as "~ )1".
//
// Writers put "~}" after every line, the last one included, and never write
// the forms refused below; a file holding one is damaged, and so is one that
// ends inside a line (a download cut short).

#ifndef MORVANE_E00_E00DECOMPRESSOR_H_
#define MORVANE_E00_E00DECOMPRESSOR_H_

#include <cstdint>

class E00Decompressor {
 public:
  // Characters one decoded line may hold, its line break not counted; the
  // lines of an export file have 80.
  static constexpr int32_t kMaxLine = 1024;
  // Bytes of the file one line may take as stored, line breaks included.
  static constexpr int64_t kMaxStoredLine = 16 * 1024;

  enum class Result {
    kLine,     // line() holds the next line
    kEnd,      // nothing but line breaks was left
    kDamaged,  // the bytes do not hold a whole line of valid codes
  };

  // Decodes the line whose codes start at *cursor and, for kLine and kEnd,
  // moves *cursor past what it took (for kEnd, to end). The bytes up to end
  // must be at least kMaxStoredLine, or all that is left of the file when
  // endOfData. kDamaged leaves *cursor where it was and line() empty.
  // Refused:
  // a code '~' with anything but the forms above; a run of no blanks; a
  // number without pairs, with a pair above 99, with a point beyond its
  // digits, or with an exponent that does not follow at least one digit
  // and any point; a line longer than kMaxLine at any moment of decoding
  // (checked before each character is written); a line whose stored
  // form is longer than kMaxStoredLine; the end of the data inside a line.
  Result decodeLine(const char** cursor, const char* end, bool endOfData);

  // The last line decoded, with its LF and a zero after it.
  const char* line() const { return line_; }
  int32_t lineSize() const { return lineSize_; }

  // True once a line holding a number code was decoded (full compression).
  bool sawNumbers() const { return sawNumbers_; }

  void reset();

 private:
  // The line being decoded; the LF and the zero take the last two bytes.
  char line_[kMaxLine + 2] = {'\0'};
  int32_t lineSize_ = 0;
  bool sawNumbers_ = false;
};

#endif  // MORVANE_E00_E00DECOMPRESSOR_H_
