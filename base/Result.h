// Why a reader, the cache file or a data set stopped short. They never show
// anything themselves: the command that called them tells the user (the
// module's commands, or the command-line host for the files it reads
// directly), with failureText below, so that every caller words a reason
// alike.

#ifndef MORVANE_BASE_RESULT_H_
#define MORVANE_BASE_RESULT_H_

#include <cstddef>
#include <cstdint>

enum class FailureReason : uint8_t {
  kNone,                    // done
  kCancelled,               // the user cancelled: nothing to tell
  kNotWritten,              // nothing was written, for a reason the caller
                            // words itself (it names what was not kept)
  kOutOfMemory,             // "not enough memory"
  kCannotReadGisFile,       // does not open, or breaks off while read
  kNotGeographicDegrees,    // the coordinates are not degrees
  kCannotConvertToDegrees,  // a point its projection cannot take
  kCoordinateSystemRefused, // the PRJ section refused: text() tells why
  kDepotDiskFull,           // a write, flush or replacement failed
  kCannotCreateNameDb,      // the host could make no place-name database
};

// Success, or a reason with the text that goes with it. Small enough to
// return by value; a text longer than kMaxText bytes is cut at a character
// boundary.
class Result {
 public:
  static constexpr size_t kMaxText = 255;

  Result() = default;
  // A reason whose text is fixed (every reason but
  // kCoordinateSystemRefused).
  Result(FailureReason reason) : reason_(reason) {}  // NOLINT: implicit
  // A refusal whose text (Shift-JIS) the refusing code composed.
  static Result refused(const char* text);

  explicit operator bool() const { return reason_ == FailureReason::kNone; }
  FailureReason reason() const { return reason_; }
  // The composed text of a refusal; "" for any other reason.
  const char* text() const { return text_; }

 private:
  FailureReason reason_ = FailureReason::kNone;
  char text_[kMaxText + 1] = {};
};

// What the user is told for result (Shift-JIS, with the exclamation icon),
// or nullptr when there is nothing to tell: success, a cancel, and
// kNotWritten, which the caller words.
const char* failureText(const Result& result);

#endif  // MORVANE_BASE_RESULT_H_
