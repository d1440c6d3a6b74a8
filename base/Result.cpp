#include "base/Result.h"

#include <cstring>

#include "platform/SjisLeadByte.h"
#include "resources/Texts.h"

Result Result::refused(const char* text) {
  Result result(FailureReason::kCoordinateSystemRefused);
  size_t n = 0;
  // Whole characters only: a lead byte never stands before the terminator.
  while (text[n] != '\0' && n < kMaxText) {
    const bool lead = isCodePage932LeadByte(static_cast<unsigned char>(text[n]));
    if (lead && (text[n + 1] == '\0' || n + 1 >= kMaxText)) break;
    n += lead ? 2 : 1;
  }
  std::memcpy(result.text_, text, n);
  result.text_[n] = '\0';
  return result;
}

const char* failureText(const Result& result) {
  switch (result.reason()) {
    case FailureReason::kNone:
    case FailureReason::kCancelled:
    case FailureReason::kNotWritten:
      return nullptr;
    case FailureReason::kOutOfMemory:
      return kTextOutOfMemory;
    case FailureReason::kCannotReadGisFile:
      return kTextCannotReadGisFile;
    case FailureReason::kNotGeographicDegrees:
      return kTextNotGeographicDegrees;
    case FailureReason::kCannotConvertToDegrees:
      return kTextCannotConvertToDegrees;
    case FailureReason::kCoordinateSystemRefused:
      return result.text();
    case FailureReason::kDepotDiskFull:
      return kTextDepotDiskFull;
    case FailureReason::kCannotCreateNameDb:
      return kTextCannotCreateNameDb;
  }
  return nullptr;
}
