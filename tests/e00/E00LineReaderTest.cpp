#include "e00/E00LineReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/e00/TempFile.h"

namespace {

struct Piece {
  std::string text;
  int64_t position;
  bool operator==(const Piece& o) const {
    return text == o.text && position == o.position;
  }
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
  std::string shown;
  for (char c : p.text) {
    if (c == '\n') shown += "\\n";
    else if (c == '\r') shown += "\\r";
    else shown += c;
  }
  return os << "{\"" << shown << "\" @" << p.position << "}";
}

std::vector<Piece> readAll(const std::string& contents) {
  TempFile file(contents);
  E00LineReader reader;
  EXPECT_TRUE(reader.open(file.path()));
  EXPECT_EQ(reader.length(), static_cast<int64_t>(contents.size()));
  std::vector<Piece> pieces;
  const char* text;
  int32_t size;
  while (reader.next(&text, &size)) {
    EXPECT_EQ(text[size], '\0');
    pieces.push_back({std::string(text, size), reader.position()});
  }
  return pieces;
}

// The text-mode runtime, one byte at a time: a CR directly followed by LF is
// dropped, every other byte is a character; a piece ends after an LF or at
// 254 characters.
std::vector<Piece> reference(const std::string& raw) {
  std::vector<Piece> pieces;
  std::string piece;
  size_t i = 0;
  while (i < raw.size()) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
      ++i;
      continue;
    }
    piece += raw[i++];
    if (piece.back() == '\n' || piece.size() == 254) {
      pieces.push_back({piece, static_cast<int64_t>(i)});
      piece.clear();
    }
  }
  if (!piece.empty()) pieces.push_back({piece, static_cast<int64_t>(i)});
  return pieces;
}

TEST(E00LineReaderTest, CutsPiecesLikeTextModeFgets) {
  const std::string a253(253, 'a'), a254(254, 'a'), a255(255, 'a');
  struct Case {
    const char* name;
    std::string raw;
    std::vector<Piece> expected;
  };
  const std::vector<Case> cases = {
      {"empty file", "", {}},
      {"lf", "ab\ncd\n", {{"ab\n", 3}, {"cd\n", 6}}},
      {"crlf counts two bytes", "ab\r\ncd\r\n", {{"ab\n", 4}, {"cd\n", 8}}},
      {"empty lines", "\r\n\n", {{"\n", 2}, {"\n", 3}}},
      {"no final newline", "ab\ncd", {{"ab\n", 3}, {"cd", 5}}},
      {"lone cr is a character", "a\rb\r\n", {{"a\rb\n", 5}}},
      {"cr cr lf keeps one cr", "a\r\r\n", {{"a\r\n", 4}}},
      {"cr at end of file stays", "ab\r", {{"ab\r", 3}}},
      {"253 chars and lf fit", a253 + "\n", {{a253 + "\n", 254}}},
      {"253 chars and crlf fit", a253 + "\r\n", {{a253 + "\n", 255}}},
      {"254 chars and lf split", a254 + "\n", {{a254, 254}, {"\n", 255}}},
      {"254 chars and crlf split",
       a254 + "\r\nx",
       {{a254, 254}, {"\n", 256}, {"x", 257}}},
      {"255 chars",
       a255 + "\n",
       {{a254, 254}, {"a\n", 256}}},
      {"254 chars then lone cr",
       a254 + "\rb\n",
       {{a254, 254}, {"\rb\n", 257}}},
      {"lone cr inside a long line",
       a253 + "\r" + "b\n",
       {{a253 + "\r", 254}, {"b\n", 256}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(readAll(c.raw), c.expected);
    EXPECT_EQ(reference(c.raw), c.expected);  // keeps the model honest
  }
}

// The reader takes the file in blocks of 1 MiB; a CR LF whose halves fall
// into two blocks must still become one LF, and a lone CR at the end of a
// block must stay a character.
TEST(E00LineReaderTest, CrAtTheEndOfABlockLooksAtTheNextBlock) {
  constexpr size_t kBlock = 1 << 20;
  for (size_t crAt : {kBlock - 1, 2 * kBlock - 1, kBlock - 256, kBlock}) {
    for (char after : {'\n', 'x'}) {
      SCOPED_TRACE(testing::Message() << "cr at " << crAt << " before "
                                      << (after == '\n' ? "lf" : "x"));
      std::string raw;
      // Lines of 79 characters and CR LF, then one line ending on the CR.
      while (raw.size() + 81 < crAt) raw += std::string(79, '7') + "\r\n";
      raw += std::string(crAt - raw.size(), 'y');
      raw += '\r';
      raw += after;
      raw += "tail\r\n";
      std::vector<Piece> got = readAll(raw);
      std::vector<Piece> want = reference(raw);
      ASSERT_EQ(got.size(), want.size());
      for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i]);
    }
  }
}

TEST(E00LineReaderTest, AgreesWithTheTextModeModelOnRandomText) {
  std::mt19937 random(20261207);
  const char alphabet[] = {'\r', '\n', 'a', ' ', '-', '1'};
  for (int round = 0; round < 6; ++round) {
    // Short lines, long lines and long runs without a break, around and
    // across the block size.
    size_t bytes = round < 3 ? 5000 : (1 << 20) + 3000 * round;
    int breakEvery = 1 + static_cast<int>(random() % 400);
    std::string raw;
    raw.reserve(bytes);
    while (raw.size() < bytes) {
      if (static_cast<int>(random() % breakEvery) == 0) {
        raw += (random() % 2) ? "\r\n" : "\n";
      } else {
        raw += alphabet[random() % sizeof alphabet];
      }
    }
    SCOPED_TRACE(testing::Message() << "round " << round);
    std::vector<Piece> got = readAll(raw);
    std::vector<Piece> want = reference(raw);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i]);
    ASSERT_EQ(got.back().position, static_cast<int64_t>(raw.size()));
  }
}

}  // namespace
