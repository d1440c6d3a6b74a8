#include "e00/E00Decompressor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e00/E00LineReader.h"
#include "platform/FileSystem.h"
#include "tests/e00/TempFile.h"

namespace {

std::string sample(const char* name) {
  std::ifstream in(std::string(MORVANE_TEST_DATA) + "/" + name,
                   std::ios::binary);
  EXPECT_TRUE(in) << name;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a stream of codes, decoded in memory.
struct Decoded {
  std::vector<std::string> lines;
  bool damaged = false;
};

Decoded decodeAll(const std::string& stored) {
  Decoded d;
  E00Decompressor decoder;
  const char* cursor = stored.data();
  const char* end = stored.data() + stored.size();
  for (;;) {
    switch (decoder.decodeLine(&cursor, end, true)) {
      case E00Decompressor::Result::kLine:
        d.lines.emplace_back(decoder.line(), decoder.lineSize());
        continue;
      case E00Decompressor::Result::kDamaged:
        d.damaged = true;
        break;
      case E00Decompressor::Result::kEnd:
        break;
    }
    return d;
  }
}

// What the line reader hands out for a file.
struct Read {
  std::vector<std::string> pieces;
  bool failed = false;
  E00Compression compression = E00Compression::kNone;
  int64_t endPosition = 0;
};

Read readPath(const char* path) {
  Read r;
  E00LineReader reader;
  EXPECT_TRUE(reader.open(path));
  const char* text;
  int32_t size;
  int64_t last = 0;
  while (reader.next(&text, &size)) {
    EXPECT_EQ(text[size], '\0');
    EXPECT_LE(size, E00LineReader::kMaxPiece);
    EXPECT_GE(reader.position(), last);
    last = reader.position();
    r.pieces.emplace_back(text, size);
  }
  r.failed = reader.failed();
  r.compression = reader.compression();
  r.endPosition = reader.position();
  return r;
}

Read readContents(const std::string& contents) {
  TempFile file(contents);
  return readPath(file.path());
}

Read readSample(const char* name) {
  return readPath(
      modulePath(std::string(MORVANE_TEST_DATA) + "/" + name).c_str());
}

// Whether the first cut bytes of a compressed file end with a line's end
// code "~}" (line breaks skipped, as the decoder skips them).
bool endsAfterWholeLine(const std::string& contents, size_t cut) {
  std::string code;
  for (size_t i = cut; i > 0 && code.size() < 2; --i) {
    if (contents[i - 1] != '\n' && contents[i - 1] != '\r') {
      code.insert(code.begin(), contents[i - 1]);
    }
  }
  return code == "~}";
}

// --- Codes -------------------------------------------------------------------

TEST(E00DecompressorTest, DecodesEveryCode) {
  struct Case {
    const char* name;
    std::string stored;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"plain characters", "ARC  2~}", {"ARC  2\n"}},
      {"empty line", "~}~}", {"\n", "\n"}},
      {"run of blanks", "~ )1~ #x~}", {"         1   x\n"}},
      {"escapes", "a~~b~-c~}", {"a~b-c\n"}},
      {"line breaks mean nothing, inside codes too",
       "a\nb~\n}c~\r\n \r\n$~}\r\n",
       {"ab\n", "c    \n"}},
      {"numbers with point and exponent", " ~1/6RW# ~1O!!!\"~}",
       {" 1.4214954E+02 4.6000000E+01\n"}},
      {"negative exponent", "-~@0$~}", {"-1.5E-03\n"}},
      {"odd count drops the padding digit", "~N-CS~}", {"12345\n"}},
      {"pairs 92 to 99 take two codes", "~!}!}(~}", {"9299\n"}},
      {"point after the last digit", "~%-C~}", {"1234.\n"}},
      {"'~' only ends a number", "~!-~.5~}", {"12.5\n"}},
      {"'~' ends a number before a code-like character", "~!-~!~}",
       {"12!\n"}},
      {"after a number, ~~ ~- and blanks", "~!-~~~!-~-~!-~ #x~}",
       {"12~12-12   x\n"}},
      {"a number split by a line break", "~1/6R\nW#~}", {"1.4214954E+02\n"}},
      {"bytes above 0x7F are characters", "\x93\x8C~~~}", {"\x93\x8C~\n"}},
      {"nothing after the last line but breaks", "a~}\r\n\n", {"a\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = decodeAll(c.stored);
    EXPECT_FALSE(d.damaged);
    EXPECT_EQ(d.lines, c.lines);
  }
}

TEST(E00DecompressorTest, RefusesWhatNoWriterWrites) {
  const std::string longest(E00Decompressor::kMaxLine, 'a');
  ASSERT_FALSE(decodeAll(longest + "~}").damaged);
  struct Case {
    const char* name;
    std::string stored;
  };
  const std::vector<Case> cases = {
      {"ends inside a line", "ab"},
      {"ends after '~'", "ab~"},
      {"ends inside a run code", "~ "},
      {"ends inside a number", "~1/6RW"},
      {"ends inside a high pair", "~!}"},
      {"run of no blanks", "~  x~}"},
      {"run count below blank", "~ \x05x~}"},
      {"unknown code", "~{~}"},
      {"unknown code above 0x7F", "~\x80~}"},
      {"number without pairs", "~! ~}"},
      {"number ended at once", "~!~}"},
      {"pair above 99", "~!})~}"},
      {"pair code above 0x7F", "~!\x80~}"},
      {"pair code below '!'", "~!\x10~}"},
      {"point beyond the digits", "~$-~}"},
      {"point after the padding digit", "~P-~}"},
      {"exponent without a mantissa", "~0#~}"},
      {"exponent before the point", "~3-C~}"},
      {"line longer than the limit", longest + "a~}"},
      {"run past the limit", longest.substr(10) + "~ +~}"},
      {"number past the limit", longest.substr(1) + "~!-~}"},
      {"stored line past its limit",
       "a" + std::string(E00Decompressor::kMaxStoredLine, '\n') + "~}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = decodeAll("ok~}" + c.stored);
    EXPECT_TRUE(d.damaged);
    EXPECT_EQ(d.lines, std::vector<std::string>{"ok\n"});
  }
}

// --- Through the line reader -------------------------------------------------

TEST(E00DecompressorTest, CompressionIsToldByTheSecondLine) {
  struct Case {
    const char* name;
    std::string contents;
    E00Compression compression;
    std::vector<std::string> pieces;
  };
  const std::vector<Case> cases = {
      {"compressed", "EXP  1 /X.E00\nARC  2~}EOS~}\n",
       E00Compression::kPartial,
       {"EXP  0 /X.E00\n", "ARC  2\n", "EOS\n"}},
      {"compressed with numbers", "EXP  1 /X.E00\nARC  2~}~!-~}\n",
       E00Compression::kFull,
       {"EXP  0 /X.E00\n", "ARC  2\n", "12\n"}},
      {"the content, not the digit", "EXP  0\nARC  2~}EOS~}",
       E00Compression::kPartial,
       {"EXP  0\n", "ARC  2\n", "EOS\n"}},
      {"CR LF", "EXP  1\r\nARC  2~}E~\r\n}O\r\n~}\r\n",
       E00Compression::kPartial,
       {"EXP  0\n", "ARC  2\n", "E\n", "O\n"}},
      {"plain file saying EXP 1", "EXP  1\nARC  2\nEOS\n",
       E00Compression::kNone,
       {"EXP  1\n", "ARC  2\n", "EOS\n"}},
      {"code on the third line only", "EXP  1\nARC  2\nA~}\n",
       E00Compression::kNone,
       {"EXP  1\n", "ARC  2\n", "A~}\n"}},
      {"no EXP", " EXP  1\nARC  2~}\n", E00Compression::kNone,
       {" EXP  1\n", "ARC  2~}\n"}},
      {"header longer than a piece",
       "EXP  1" + std::string(250, ' ') + "\nA~}\n", E00Compression::kNone,
       {"EXP  1" + std::string(248, ' '), "  \n", "A~}\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Read r = readContents(c.contents);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.compression, c.compression);
    EXPECT_EQ(r.pieces, c.pieces);
    EXPECT_EQ(r.endPosition, static_cast<int64_t>(c.contents.size()));
  }
}

TEST(E00DecompressorTest, LongLinesComeInPiecesAsInThePlainFile) {
  // 94 blanks a code; lines of 253, 254 and 300 characters.
  const std::string runs = "~ ~~ ~";  // 188 blanks
  for (int extra : {65, 66, 112}) {
    SCOPED_TRACE(extra);
    std::string tail(extra, 'x');
    Read compressed =
        readContents("EXP  1\n" + runs + tail + "~}" + runs + tail + "~}");
    Read plain = readContents("EXP  0\n" + std::string(188, ' ') + tail +
                              "\n" + std::string(188, ' ') + tail + "\n");
    EXPECT_FALSE(compressed.failed);
    EXPECT_EQ(compressed.pieces, plain.pieces);
  }
}

TEST(E00DecompressorTest, SamplesReadAsTheirPlainText) {
  struct Case {
    const char* compressed;
    const char* plain;
    E00Compression compression;
  };
  const Case cases[] = {
      {"derived_gdal_testpoly_partial.e00", "gdal_testpoly.e00",
       E00Compression::kPartial},
      {"derived_gdal_testpoly_full.e00", "gdal_testpoly.e00",
       E00Compression::kFull},
      {"japan_coast_50m_partial.e00", "japan_coast_50m.e00",
       E00Compression::kPartial},
      {"japan_coast_50m_full.e00", "japan_coast_50m.e00",
       E00Compression::kFull},
      {"japan_cities_partial.e00", "japan_cities.e00",
       E00Compression::kPartial},
      {"japan_cities_full.e00", "japan_cities.e00", E00Compression::kFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.compressed);
    Read compressed = readSample(c.compressed);
    Read plain = readSample(c.plain);
    EXPECT_FALSE(compressed.failed);
    EXPECT_EQ(compressed.compression, c.compression);
    EXPECT_EQ(plain.compression, E00Compression::kNone);
    EXPECT_EQ(compressed.pieces, plain.pieces);
    EXPECT_EQ(compressed.endPosition,
              static_cast<int64_t>(sample(c.compressed).size()));
  }
}

// A fragment: the file stops inside the 14th line (" ... 9.5E+84" in the
// uncompressed text); the 13 whole lines before it are handed out.
TEST(E00DecompressorTest, CutFileEndsAsAReadErrorAfterItsWholeLines) {
  Read r = readSample("gdal_compressed.e00");
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(r.compression, E00Compression::kFull);
  ASSERT_EQ(r.pieces.size(), 13u);
  EXPECT_EQ(r.pieces.back(),
            " 9.4783585E+01 7.3057823E+01 9.5668137E+01 7.3108955E+01\n");
}

// More than one block of the reader (1 MiB), with LF and with CR LF.
TEST(E00DecompressorTest, BlocksAndLineBreaksDoNotChangeTheText) {
  const std::string full = sample("japan_coast_50m_full.e00");
  const std::string plain = sample("japan_coast_50m.e00");
  const size_t fullHeader = full.find('\n') + 1;
  const size_t plainHeader = plain.find('\n') + 1;
  std::string big = full.substr(0, fullHeader);
  std::string bigPlain = plain.substr(0, plainHeader);
  while (big.size() < (1u << 20) + 100000) {
    big += full.substr(fullHeader);
    bigPlain += plain.substr(plainHeader);
  }
  std::string crlf;
  for (char ch : big) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  const std::vector<std::string> want = readContents(bigPlain).pieces;
  for (const std::string* contents : {&big, &crlf}) {
    Read r = readContents(*contents);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.pieces, want);
    EXPECT_EQ(r.endPosition, static_cast<int64_t>(contents->size()));
  }
}

// Cut anywhere, a compressed file gives whole lines of its text and
// nothing else; unless only line breaks followed the last whole line, the
// read ends as failed. The decoder is tried at every byte, the line reader
// (a file for each cut) at every byte of the start and of the end.
TEST(E00DecompressorTest, FileCutAtEveryByteGivesOnlyWholeLines) {
  for (const char* name :
       {"derived_gdal_testpoly_full.e00", "derived_gdal_testpoly_partial.e00"}) {
    const std::string contents = sample(name);
    const std::vector<std::string> whole = readContents(contents).pieces;
    const size_t body = contents.find('\n') + 1;
    for (size_t cut = body; cut < contents.size(); ++cut) {
      SCOPED_TRACE(testing::Message() << name << " decoded, cut at " << cut);
      Decoded d = decodeAll(contents.substr(body, cut - body));
      ASSERT_LT(d.lines.size(), whole.size());
      for (size_t i = 0; i < d.lines.size(); ++i) {
        ASSERT_EQ(d.lines[i], whole[i + 1]) << "line " << i;
      }
      ASSERT_EQ(d.damaged, cut > body && !endsAfterWholeLine(contents, cut));
    }
    for (size_t cut = 0; cut < contents.size(); ++cut) {
      if (cut == 600) cut = contents.size() - 600;
      SCOPED_TRACE(testing::Message() << name << " read, cut at " << cut);
      Read r = readContents(contents.substr(0, cut));
      if (r.compression == E00Compression::kNone) {
        // Cut before the first "~}": read as the plain text it then is.
        ASSERT_LE(r.pieces.size(), 2u);
        continue;
      }
      ASSERT_LE(r.pieces.size(), whole.size());
      for (size_t i = 0; i < r.pieces.size(); ++i) {
        ASSERT_EQ(r.pieces[i], whole[i]) << "piece " << i;
      }
      ASSERT_EQ(r.failed, !endsAfterWholeLine(contents, cut));
      if (!r.failed) {
        ASSERT_EQ(r.endPosition, static_cast<int64_t>(cut));
      }
    }
  }
}

}  // namespace
