#include "base/Result.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/Texts.h"

namespace {

// Every reason words itself once, here, for every caller: the ones with
// nothing to tell give no text, so that no caller shows an empty box.
TEST(ResultTest, EachReasonHasItsTextOrNone) {
  struct Case {
    FailureReason reason;
    const char* text;  // nullptr: nothing to tell
  };
  const Case cases[] = {
      {FailureReason::kNone, nullptr},
      {FailureReason::kCancelled, nullptr},
      {FailureReason::kNotWritten, nullptr},
      {FailureReason::kOutOfMemory, kTextOutOfMemory},
      {FailureReason::kCannotReadGisFile, kTextCannotReadGisFile},
      {FailureReason::kNotGeographicDegrees, kTextNotGeographicDegrees},
      {FailureReason::kCannotConvertToDegrees, kTextCannotConvertToDegrees},
      {FailureReason::kDepotDiskFull, kTextDepotDiskFull},
      {FailureReason::kCannotCreateNameDb, kTextCannotCreateNameDb},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.reason));
    const Result result(c.reason);
    EXPECT_EQ(static_cast<bool>(result), c.reason == FailureReason::kNone);
    if (c.text == nullptr) {
      EXPECT_EQ(failureText(result), nullptr);
    } else {
      ASSERT_NE(failureText(result), nullptr);
      EXPECT_STREQ(failureText(result), c.text);
    }
  }
}

// A refusal carries the text its reader composed (a projection keyword, a
// parameter), bounded: a longer one is cut, never overrun, and never in the
// middle of a two-byte character.
TEST(ResultTest, RefusalKeepsItsTextBoundedAtACharacter) {
  const std::string kana = "\x83" "e";  // a two-byte character
  struct Case {
    const char* name;
    std::string text;
    std::string kept;
  };
  const std::string longest(Result::kMaxText, 'a');
  const Case cases[] = {
      {"short", "Projection STATEPLANE", "Projection STATEPLANE"},
      {"empty", "", ""},
      {"exactly the room", longest, longest},
      {"one byte over", longest + "b", longest},
      {"two-byte character at the limit",
       std::string(Result::kMaxText - 1, 'a') + kana,
       std::string(Result::kMaxText - 1, 'a')},
      {"two-byte character just inside",
       std::string(Result::kMaxText - 2, 'a') + kana + "zz",
       std::string(Result::kMaxText - 2, 'a') + kana},
      {"lead byte before the end of the text", "abc\x83", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result result = Result::refused(c.text.c_str());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.reason(), FailureReason::kCoordinateSystemRefused);
    ASSERT_NE(failureText(result), nullptr);
    EXPECT_EQ(std::string(failureText(result)), c.kept);
    EXPECT_LE(std::strlen(result.text()), Result::kMaxText);
  }
  // Copies carry their own text.
  Result copy = Result::refused("Units FEET");
  const Result original = copy;
  copy = Result();
  EXPECT_STREQ(failureText(original), "Units FEET");
}

}  // namespace
