#include "e00/E00Fields.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

double parse(const std::string& s, size_t* stopAt = nullptr) {
  const char* stop;
  double v = parseE00Number(s.data(), s.data() + s.size(), &stop);
  if (stopAt != nullptr) *stopAt = static_cast<size_t>(stop - s.data());
  return v;
}

// What the random comparison below rarely reaches: out of range values and
// the cases where the runtime stops early.
TEST(E00FieldsTest, NumbersStopWhereTheRuntimeStops) {
  size_t stop;
  EXPECT_EQ(parse("1e+", &stop), 1.0);
  EXPECT_EQ(stop, 1u);
  EXPECT_EQ(parse(".e5", &stop), 0.0);
  EXPECT_EQ(stop, 0u);
  EXPECT_TRUE(std::signbit(parse("-0.0000000E+00")));
  EXPECT_EQ(parse("1e400"), HUGE_VAL);
  EXPECT_EQ(parse("-1e99999999999"), -HUGE_VAL);
  EXPECT_EQ(parse("1e-400"), 0.0);
  EXPECT_EQ(parse("123456789012345678901234e-450"), 0.0);
}

// Same double and same stop as strtod on the same characters, for numbers
// the fast path takes and numbers it must hand on.
TEST(E00FieldsTest, NumbersMatchStrtodBitForBit) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  std::mt19937_64 random(7);
  const char alphabet[] = "0123456789000.eE+- ";
  for (int i = 0; i < 200000; ++i) {
    std::string s;
    if (i % 3 == 2) {
      // As writers print fields: %14.7E or %21.14E, filling the field.
      double v = std::ldexp(static_cast<double>(random() % (1u << 30)),
                            static_cast<int>(random() % 60) - 50);
      if (random() % 2) v = -v;
      char field[64];
      std::snprintf(field, sizeof field, (i % 2) ? "%14.7E" : "%21.14E", v);
      s = field;
    } else if (i % 2 == 0) {
      // Shaped like a coordinate: sign, digits, point, digits, exponent.
      s += " -+"[random() % 3];
      int whole = static_cast<int>(random() % 25);
      for (int k = 0; k < whole; ++k) s += static_cast<char>('0' + random() % 10);
      s += '.';
      int frac = static_cast<int>(random() % 25);
      for (int k = 0; k < frac; ++k) s += static_cast<char>('0' + random() % 10);
      if (random() % 2) {
        s += "eE"[random() % 2];
        s += "+-"[random() % 2];
        s += std::to_string(random() % 340);
      }
    } else {
      int n = static_cast<int>(random() % 30);
      for (int k = 0; k < n; ++k) s += alphabet[random() % (sizeof alphabet - 1)];
    }
    char* end;
    double want = std::strtod(s.c_str(), &end);
    size_t stop;
    double got = parse(s, &stop);
    SCOPED_TRACE(s);
    ASSERT_EQ(stop, static_cast<size_t>(end - s.c_str()));
    if (stop == 0) {
      // No number: some runtimes give -0 for a lone sign; 0 either way.
      ASSERT_EQ(got, 0.0);
    } else {
      ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0)
          << got << " vs " << want;
    }
  }
}

TEST(E00FieldsTest, IntegersReadLikeAtoi) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case cases[] = {
      {"2", 2},        {" +3", 3},   {"-12x", -12}, {"2~}~", 2},
      {"x2", 0},       {"", 0},      {"-", 0},
      {"4294967298", 2},  // wraps as the runtime's accumulation does
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseE00Integer(c.text, c.text + std::strlen(c.text)), c.value);
  }
}

TEST(E00FieldsTest, HeaderSplitCountsConversionsLikeScanf) {
  struct Case {
    const char* line;
    int32_t count;
    int32_t seventh;
  };
  const Case cases[] = {
      {"         1         1         1         2         0         0       385\n",
       7, 385},
      {"1 2 3 4 5-6-7", 7, -7},
      {"a b c d +5 -6 +7 8", 7, 7},
      {"ARC  2", 2, 0},
      {"1 2 3 4 5 6", 6, 0},
      {"1 2 3 4 x 6 7", 4, 0},
      {"1 2 3 4 5 - 7", 5, 0},
      {"", 0, 0},
      {"  \n", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    E00HeaderFields f =
        splitE00HeaderFields(c.line, c.line + std::strlen(c.line));
    EXPECT_EQ(f.count, c.count);
    if (c.count == 7) {
      EXPECT_EQ(f.seventh, c.seventh);
    }
  }
  const char line[] = "  ARC  3 x";
  E00HeaderFields f = splitE00HeaderFields(line, line + sizeof line - 1);
  ASSERT_EQ(f.count, 3);
  EXPECT_EQ(std::string(f.first, f.firstSize), "ARC");
  EXPECT_EQ(std::string(f.second, f.secondSize), "3");
}

}  // namespace
