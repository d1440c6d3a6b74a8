#include "e00/E00PlaceNameReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/MemoryBlock.h"
#include "platform/MemoryFileSystem.h"
#include "resources/Texts.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "tests/TempName.h"
#include "tests/e00/TempFile.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

// Shift-JIS bytes of a few names.
const std::string kTokyo = "\x93\x8C\x8B\x9E";                  // 東京
const std::string kYokohama = "\x89\xA1\x95\x6C\x8E\x73";       // 横浜市
const std::string kSaitama =
    "\x82\xB3\x82\xA2\x82\xBD\x82\xDC\x8E\x73";                 // さいたま市
const std::string kMizu = "\x90\x85";                           // 水, 0x85

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
  char buffer[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  return buffer;
}

std::string stripTrailingBlanks(std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// Writes E00 text the way export writers lay it out.
struct E00Writer {
  bool doublePrecision = false;
  bool strip = false;  // writers that drop trailing blanks
  std::string text;

  void line(const std::string& s) {
    text += (strip ? stripTrailingBlanks(s) : s) + "\n";
  }
  void lab() { line(doublePrecision ? "LAB  3" : "LAB  2"); }
  void label(int id, int number, double x, double y) {
    if (doublePrecision) {
      line(format("%10d%10d%21.14E%21.14E", id, number, x, y));
      line(format("%21.14E%21.14E", x, y));
      line(format("%21.14E%21.14E", x, y));
    } else {
      line(format("%10d%10d%14.7E%14.7E", id, number, x, y));
      line(format("%14.7E%14.7E%14.7E%14.7E", x, y, x, y));
    }
  }
  void endLabels() {
    line(doublePrecision ? format("%10d%10d%21.14E%21.14E", -1, 0, 0.0, 0.0)
                         : format("%10d%10d%14.7E%14.7E", -1, 0, 0.0, 0.0));
  }
  void pat(const char* name = "CITIES.PAT") {
    line(format("%-32sXX   5   5  62         3", name));
    line("AREA              4-1   14-1  12 3 60-1  -1  -1-1                   1-");
    line("CITIES#           4-1   94-1   5-1 50-1  -1  -1-1                   2-");
    line("NAME             40-1  194-1  40-1 20-1  -1  -1-1                   3-");
  }
  // One record: AREA, PERIMETER, number, id, "JP", the 40-byte name, a
  // population; written as an 80-column line and the rest.
  void record(int number, int id, const std::string& name, int population = 7) {
    std::string padded = name;
    padded.resize(40, ' ');
    std::string r =
        doublePrecision
            ? format("%24.17E%24.17E%11d%11dJP", 0.0, 0.0, number, id)
            : format("%14.7E%14.7E%11d%11dJP", 0.0, 0.0, number, id);
    r += padded + format("%11d", population);
    line(r.substr(0, 80));
    line(r.substr(80));
  }
  void other(const std::string& s) { line(s); }
};

class PlaceNameReaderTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    home_ = uniqueTempPath("morvane-names-test-");
    std::filesystem::remove_all(home_);
    standin::setHome(home_);
    progress_.create(VPI_GetMainWnd());
  }
  void TearDown() override {
    progress_.destroyWindow();
    setMemoryBlockLimitForTesting(0);
    TestHost::TearDown();
    std::filesystem::remove_all(home_);
  }

  bool read(const std::string& text) {
    TempFile file(text);
    return readPath(file.path());
  }
  bool readSample(const char* name) {
    std::string native = std::string(MORVANE_TEST_DATA) + "/" + name;
    return readPath(modulePath(native).c_str());
  }
  // True when the file was read to its end.
  bool readPath(const char* path) {
    last_ = readE00PlaceNames(path, progress_);
    return static_cast<bool>(last_.result);
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : standin::nameEntries()) out.push_back(e.name);
    return out;
  }
  const std::vector<int32_t>& positions() {
    return headless::windowOf(progress_)->control(kProgressBarControl).positions;
  }
  std::string countMessage(int n) const {
    return format(kTextNamesAddedFormat, n);
  }
  // The one message the place-name command shows after the last read,
  // checked for text and icon: the count of a reading that went to its end
  // (information), else the reason's text (exclamation). The reader itself
  // shows nothing.
  void expectOnlyMessage(const std::string& text, MessageIcon icon) {
    EXPECT_TRUE(headless::messages().empty());
    if (last_.result) {
      EXPECT_EQ(countMessage(last_.namesAdded), text);
      EXPECT_EQ(icon, MessageIcon::kInformation);
      return;
    }
    const char* told = failureText(last_.result);
    ASSERT_NE(told, nullptr);
    EXPECT_EQ(told, text);
    EXPECT_EQ(icon, MessageIcon::kExclamation);
  }

  std::string home_;
  ProgressDialog progress_;
  PlaceNameRead last_ = {};
};

// --- Reading the two precisions --------------------------------------------

class PrecisionTest : public PlaceNameReaderTest,
                      public ::testing::WithParamInterface<bool> {};

TEST_P(PrecisionTest, GivesTheSameNamesPositionsAndItems) {
  E00Writer w;
  w.doublePrecision = GetParam();
  w.other("EXP  0 /DATA/CITIES.E00");
  w.lab();
  // Values exact in both printed precisions.
  w.label(1001, 1, 139.6875, 35.6875);
  w.label(1002, 2, -139.625, -35.4375);
  w.label(1003, 3, 0.5, 0.25);
  w.endLabels();
  w.other("TOL  2");
  w.pat();
  w.record(1, 1001, kTokyo);
  w.record(2, 1002, kYokohama);
  w.record(3, 1003, "Kawasaki");
  w.other("CITIES.TIC                      XX   3   3  12         4");

  std::vector<tagNAMEDBITEM> items;
  standin::setNameItemFilter([&](int32_t, const tagNAMEDBITEM& item) {
    items.push_back(item);
    EXPECT_EQ(item.name, item.name2);
    return true;
  });
  ASSERT_TRUE(read(w.text));

  ASSERT_EQ(names(), (std::vector<std::string>{kTokyo, kYokohama, "Kawasaki"}));
  const auto& e = standin::nameEntries();
  EXPECT_EQ(e[0].latitude, 35.6875);
  EXPECT_EQ(e[0].longitude, 139.6875);
  EXPECT_EQ(e[1].latitude, -35.4375);
  EXPECT_EQ(e[1].longitude, -139.625);
  EXPECT_EQ(e[2].latitude, 0.25);
  EXPECT_EQ(e[2].longitude, 0.5);
  ASSERT_EQ(items.size(), 3u);
  for (const tagNAMEDBITEM& item : items) {
    EXPECT_EQ(item.size, 56);
    EXPECT_EQ(item.value32a, 0);
    EXPECT_EQ(item.value32b, 0);
    EXPECT_EQ(item.value8, 0);
    EXPECT_EQ(item.value16a, 1);
    EXPECT_EQ(item.value16b, 80);
    EXPECT_EQ(item.value32c, 1);
  }
  expectOnlyMessage(countMessage(3), MessageIcon::kInformation);
  EXPECT_EQ(standin::nameDbCalls().removeBlock,
            (std::vector<std::pair<int32_t, int32_t>>{{-1, -2}}));
  EXPECT_EQ(positions().back(), 100);
}

TEST_P(PrecisionTest, StrippedRecordLinesKeepTheirNames) {
  E00Writer w;
  w.doublePrecision = GetParam();
  w.strip = true;
  w.lab();
  w.label(7, 1, 135.5, 34.75);
  w.label(8, 2, 135.25, 34.5);
  w.endLabels();
  w.pat();
  // The name ends well before column 80, so the writer's stripping leaves
  // the first line short; the population follows on the second line.
  w.record(1, 7, kSaitama, 1193350);
  w.record(2, 8, "Kashihara-shi", 124521);
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(names(), (std::vector<std::string>{kSaitama, "Kashihara-shi"}));
}

INSTANTIATE_TEST_SUITE_P(SingleAndDouble, PrecisionTest,
                         ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Double" : "Single";
                         });

// --- Labels ------------------------------------------------------------------

// The terminator, here in the short form some writers use, ends the section
// and is no label; its missing x field does not make the file double
// precision either.
TEST_F(PlaceNameReaderTest, TerminatorEndsLabelsAndIsNotKept) {
  E00Writer w;
  w.lab();
  w.label(5, 1, 1.0, 2.0);
  w.other("        -1         0");
  w.other(format("%10d%10d%14.7E%14.7E", 6, 2, 3.0, 4.0));  // no label now
  w.pat();
  w.record(0, -1, "Terminator");  // the terminator's own keys
  w.record(2, 6, "AfterEnd");
  w.record(1, 5, "Kept");
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(names(), std::vector<std::string>{"Kept"});
}

TEST_F(PlaceNameReaderTest, EarliestOfEqualKeysGivesThePosition) {
  E00Writer w;
  w.lab();
  w.label(5, 1, 10.0, 20.0);
  w.label(5, 1, 11.0, 21.0);
  w.endLabels();
  w.pat();
  w.record(1, 5, "First");
  ASSERT_TRUE(read(w.text));
  ASSERT_EQ(standin::nameEntries().size(), 1u);
  EXPECT_EQ(standin::nameEntries()[0].latitude, 20.0);
  EXPECT_EQ(standin::nameEntries()[0].longitude, 10.0);
}

TEST_F(PlaceNameReaderTest, BlankLinesDoNotShiftTheGrouping) {
  E00Writer w;
  w.lab();
  w.other("");
  w.other(format("%10d%10d%14.7E%14.7E", 1, 1, 1.0, 2.0));
  w.other("   ");
  w.other(format("%14.7E%14.7E%14.7E%14.7E", 1.0, 2.0, 1.0, 2.0));
  w.other("\t");
  w.label(2, 2, 3.0, 4.0);
  w.endLabels();
  w.other("");
  w.pat();
  E00Writer r;
  r.record(1, 1, "One");
  // A blank line between the two lines of a record.
  size_t cut = r.text.find('\n') + 1;
  w.text += r.text.substr(0, cut) + "\n  \n" + r.text.substr(cut);
  w.other("");
  w.record(2, 2, "Two");
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(names(), (std::vector<std::string>{"One", "Two"}));
}

TEST_F(PlaceNameReaderTest, SecondLabSectionJoinsLaterTables) {
  E00Writer w;
  w.lab();
  w.label(1, 1, 1.0, 1.0);
  w.endLabels();
  w.pat("A.PAT");
  w.record(2, 2, "NotYet");  // its label comes later in the file
  w.record(1, 1, "A1");
  w.other("A.TIC                           XX   3   3  12         4");
  w.lab();
  w.label(2, 2, 2.0, 2.0);
  w.endLabels();
  w.pat("B.PAT");
  w.record(2, 2, "B2");
  w.record(1, 1, "B1");
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(names(), (std::vector<std::string>{"A1", "B2", "B1"}));
}

// The join through the index must pick exactly what a search of the labels
// from the start would pick, duplicates and misses included, also once the
// index has grown several times.
TEST_F(PlaceNameReaderTest, JoinAgreesWithSearchFromTheStart) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> key(0, 1500);
  struct Label {
    int id, number;
    double x, y;
  };
  std::vector<Label> labels;
  E00Writer w;
  w.lab();
  for (int i = 0; i < 3000; ++i) {
    Label l{key(random), key(random) % 3, i / 16.0, i / 64.0};
    labels.push_back(l);
    w.label(l.id, l.number, l.x, l.y);
  }
  w.endLabels();
  w.pat();
  std::vector<standin::NameEntry> expected;
  for (int i = 0; i < 2000; ++i) {
    int id = key(random), number = key(random) % 3;
    std::string name = "N" + std::to_string(i);
    w.record(number, id, name);
    // The first label with both keys; failing that, as point coverages
    // join, the first with number 0 and the record's id.
    const Label* found = nullptr;
    for (int pass = 0; pass < 2 && found == nullptr; ++pass) {
      for (const Label& l : labels) {
        if (l.id == id && l.number == (pass == 0 ? number : 0)) {
          found = &l;
          break;
        }
      }
    }
    if (found != nullptr) expected.push_back({name, found->y, found->x});
  }
  ASSERT_TRUE(read(w.text));
  const auto& got = standin::nameEntries();
  ASSERT_EQ(got.size(), expected.size());
  ASSERT_GT(expected.size(), 500u);
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].name, expected[i].name);
    EXPECT_EQ(got[i].latitude, expected[i].latitude) << got[i].name;
    EXPECT_EQ(got[i].longitude, expected[i].longitude) << got[i].name;
  }
}

// --- Tables ------------------------------------------------------------------

struct HeaderCase {
  const char* lab;
  const char* pat;
  int added;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
  *os << c.lab << " / " << c.pat;
}

class HeaderTest : public PlaceNameReaderTest,
                   public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderTest, RecognisesHeaders) {
  E00Writer w;
  w.other(GetParam().lab);
  w.label(1, 1, 1.0, 2.0);
  w.endLabels();
  w.pat(GetParam().pat);
  w.record(1, 1, "Name");
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(static_cast<int>(standin::nameEntries().size()), GetParam().added);
  expectOnlyMessage(countMessage(GetParam().added), MessageIcon::kInformation);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderTest,
    ::testing::Values(HeaderCase{"LAB  2", "CITIES.PAT", 1},
                      HeaderCase{"LAB  2", "cities.pat", 1},
                      HeaderCase{"LAB  2", "X.PATTERN", 1},
                      HeaderCase{"lab  2", "CITIES.PAT", 0},
                      HeaderCase{"LABS 2", "CITIES.PAT", 0},
                      HeaderCase{"LAB  2", "CITIES.AAT", 0}));

TEST_F(PlaceNameReaderTest, LineAtARecordStartEndsTheTable) {
  E00Writer w;
  w.lab();
  w.label(1, 1, 1.0, 2.0);
  w.label(2, 2, 1.0, 2.0);
  w.endLabels();
  w.pat();
  w.record(1, 1, "InTable");
  w.other("CITIES.TIC                      XX   3   3  12         4");
  w.record(2, 2, "AfterTable");
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(names(), std::vector<std::string>{"InTable"});
}

TEST_F(PlaceNameReaderTest, TableBeforeLabSectionAddsNothing) {
  E00Writer w;
  w.pat();
  w.record(1, 1, "Early");
  w.other("CITIES.TIC                      XX   3   3  12         4");
  w.lab();
  w.label(1, 1, 1.0, 2.0);
  w.endLabels();
  ASSERT_TRUE(read(w.text));
  EXPECT_TRUE(standin::nameEntries().empty());
  expectOnlyMessage(countMessage(0), MessageIcon::kInformation);
  EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
}

// --- Names -------------------------------------------------------------------

struct NameCase {
  const char* what;
  std::string field;     // the 40 name columns as written (blank-padded)
  std::string expected;  // what reaches the host; empty: nothing added
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

class NameTest : public PlaceNameReaderTest,
                 public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameTest, CutAndTrimmed) {
  E00Writer w;
  w.lab();
  w.label(1, 1, 1.0, 2.0);
  w.endLabels();
  w.pat();
  w.record(1, 1, GetParam().field);
  ASSERT_TRUE(read(w.text));
  if (GetParam().expected.empty()) {
    EXPECT_TRUE(standin::nameEntries().empty());
    expectOnlyMessage(countMessage(0), MessageIcon::kInformation);
  } else {
    EXPECT_EQ(names(), std::vector<std::string>{GetParam().expected});
  }
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameTest,
    ::testing::Values(
        NameCase{"Blank", "", ""},
        NameCase{"Padded", "  Sendai  ", "Sendai"},
        NameCase{"InnerBlanks", "Nishi Tokyo", "Nishi Tokyo"},
        NameCase{"TabsTrimmed", "\tOita\t", "Oita"},
        // 0x85 is no white space here: it is the second byte of 水.
        NameCase{"TrailByte85", "Ko" + kMizu, "Ko" + kMizu},
        NameCase{"FullForty", repeat("ab", 20), repeat("ab", 20)},
        // One byte and 19 two-byte characters fill 39 bytes; the 40th is
        // the first byte of the 20th character, which goes whole.
        NameCase{"StraddlingCharacterDropped",
                 "A" + repeat(kTokyo, 10), "A" + repeat(kTokyo, 9) + "\x93\x8C"},
        NameCase{"StraddlingAfterBlank", repeat("x", 38) + " " + kTokyo,
                 repeat("x", 38)}),
    [](const ::testing::TestParamInfo<NameCase>& info) {
      return info.param.what;
    });

TEST_F(PlaceNameReaderTest, RecordEndingInsideTheNameColumns) {
  E00Writer w;
  w.lab();
  w.label(1, 1, 1.0, 2.0);
  w.endLabels();
  w.pat();
  // The record's first line ends inside the name, the second line is short:
  // the name is what lies before the end, its line break trimmed away.
  w.other(format("%14.7E%14.7E%11d%11dJP", 0.0, 0.0, 1, 1) + "Nara");
  w.other("1");
  ASSERT_TRUE(read(w.text));
  ASSERT_EQ(standin::nameEntries().size(), 1u);
  // Padding brings "1" to column 81, inside the name columns.
  EXPECT_EQ(names()[0], "Nara" + std::string(24, ' ') + "1");
}

// --- The host's database -------------------------------------------------------

std::string threeOrFourRecords(int records) {
  E00Writer w;
  w.lab();
  for (int i = 1; i <= 4; ++i) w.label(i, i, i, i);
  w.endLabels();
  w.pat();
  for (int i = 1; i <= records; ++i) w.record(i, i, "P" + std::to_string(i));
  return w.text;
}

TEST_F(PlaceNameReaderTest, RefusedItemIsNotCounted) {
  // Accepts 3, refuses the second call.
  standin::setNameItemFilter(
      [](int32_t call, const tagNAMEDBITEM&) { return call != 2; });
  ASSERT_TRUE(read(threeOrFourRecords(4)));
  EXPECT_EQ(names(), (std::vector<std::string>{"P1", "P3", "P4"}));
  expectOnlyMessage(countMessage(3), MessageIcon::kInformation);
  EXPECT_EQ(standin::nameDbCalls().removeBlock,
            (std::vector<std::pair<int32_t, int32_t>>{{-1, -2}}));
}

TEST_F(PlaceNameReaderTest, CreatesTheDatabaseOnlyForTheFirstName) {
  ASSERT_FALSE(standin::nameDbOpen());
  ASSERT_TRUE(read(threeOrFourRecords(3)));
  EXPECT_EQ(standin::nameDbCalls().isOpenName, 1);
  EXPECT_EQ(standin::nameDbCalls().newNameDb, 1);
  EXPECT_EQ(standin::nameEntries().size(), 3u);
  // A second file goes into the open database.
  ASSERT_TRUE(read(threeOrFourRecords(2)));
  EXPECT_EQ(standin::nameDbCalls().isOpenName, 2);
  EXPECT_EQ(standin::nameDbCalls().newNameDb, 1);
  EXPECT_EQ(standin::nameEntries().size(), 5u);
  // What the host keeps on disk comes back in the next run.
  standin::resetNameDb();
  EXPECT_TRUE(standin::nameDbOpen());
  EXPECT_EQ(names(), (std::vector<std::string>{"P1", "P2", "P3", "P1", "P2"}));
}

TEST_F(PlaceNameReaderTest, HostRefusingEverythingIsAskedAgainAtEachName) {
  standin::setNameItemFilter([](int32_t, const tagNAMEDBITEM&) { return false; });
  ASSERT_TRUE(read(threeOrFourRecords(3)));
  EXPECT_EQ(standin::nameDbCalls().isOpenName, 3);
  expectOnlyMessage(countMessage(0), MessageIcon::kInformation);
  EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
}

TEST_F(PlaceNameReaderTest, DatabaseThatCannotBeCreatedStopsReading) {
  standin::setNewNameDbFails(true);
  EXPECT_FALSE(read(threeOrFourRecords(3)));
  EXPECT_EQ(last_.result.reason(), FailureReason::kCannotCreateNameDb);
  expectOnlyMessage(kTextCannotCreateNameDb, MessageIcon::kExclamation);
  EXPECT_EQ(standin::nameDbCalls().newNameDb, 1);  // stopped at the first
  EXPECT_EQ(standin::nameDbCalls().addItem, 0);
  EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
  // The bar is left where the reading stopped, for the command to finish
  // once it has told the user.
  EXPECT_NE(positions().back(), 100);
}

// --- Failures, progress and cancel ---------------------------------------------

TEST_F(PlaceNameReaderTest, MissingFileIsReported) {
  std::string missing = modulePath(home_ + "/missing.e00");
  EXPECT_FALSE(readPath(missing.c_str()));
  expectOnlyMessage(kTextCannotReadGisFile, MessageIcon::kExclamation);
  EXPECT_EQ(standin::nameDbCalls().isOpenName, 0);
}

TEST_F(PlaceNameReaderTest, ReadErrorIsAFailureWithoutTheCount) {
#if defined(__linux__)
  // Reading this file fails with EIO at its first byte.
  EXPECT_FALSE(readPath(modulePath("/proc/self/mem").c_str()));
  expectOnlyMessage(kTextCannotReadGisFile, MessageIcon::kExclamation);
  EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
#else
  GTEST_SKIP() << "needs a file whose reads fail";
#endif
}

// On every backend, at any byte: the names read before the failure stay
// (the read ends like a cancelled one), the count is not shown.
TEST_F(PlaceNameReaderTest, ReadErrorAtAnyByteIsAFailureWithoutTheCount) {
  std::ifstream in(std::string(MORVANE_TEST_DATA) + "/japan_cities.e00",
                   std::ios::binary);
  const std::string sample((std::istreambuf_iterator<char>(in)),
                           std::istreambuf_iterator<char>());
  const int64_t size = static_cast<int64_t>(sample.size());
  for (int64_t k : {int64_t{0}, size / 3, size - 1}) {
    SCOPED_TRACE(k);
    MemoryFileSystem memory("M:\\");
    memory.putFile("M:\\cities.e00", sample);
    memory.failReadsAt(k);
    headless::resetUi();
    headless::setEcho(false);
    EXPECT_FALSE(readPath("M:\\cities.e00"));
    expectOnlyMessage(kTextCannotReadGisFile, MessageIcon::kExclamation);
    EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
  }
}

TEST_F(PlaceNameReaderTest, LabelsBeyondMemoryStopTheRead) {
  // Room for the first label's storage only; the table grows by 1024.
  setMemoryBlockLimitForTesting(sizeof(LabelRecord) * 100);
  E00Writer w;
  w.lab();
  for (int i = 1; i <= 5; ++i) w.label(i, i, i, i);
  w.endLabels();
  w.pat();
  w.record(1, 1, "One");
  EXPECT_FALSE(read(w.text));
  setMemoryBlockLimitForTesting(0);
  expectOnlyMessage(kTextOutOfMemory, MessageIcon::kExclamation);
  EXPECT_TRUE(standin::nameEntries().empty());
}

std::string longFileWithNamesFirst() {
  E00Writer w;
  w.lab();
  w.label(1, 1, 1.0, 1.0);
  w.label(2, 2, 2.0, 2.0);
  w.endLabels();
  w.pat();
  w.record(1, 1, "Early1");
  w.record(2, 2, "Early2");
  w.other("CITIES.TIC                      XX   3   3  12         4");
  for (int i = 0; i < 400; ++i) {
    w.other(format("%11d%14.7E%14.7E", i, 1.0, 2.0));
  }
  return w.text;
}

TEST_F(PlaceNameReaderTest, ProgressRunsFromZeroToHundredInFives) {
  ASSERT_TRUE(read(longFileWithNamesFirst()));
  // The dialog's creation and the start of reading set 0; then each 5 %.
  std::vector<int32_t> expected{0, 0};
  // The command, not the reader, sets 100 again after it told the count.
  for (int p = 0; p <= 100; p += 5) expected.push_back(p);
  EXPECT_EQ(positions(), expected);
  EXPECT_EQ(standin::pumpCount(), 21);
}

TEST_F(PlaceNameReaderTest, CancelKeepsNamesAddedAndSaysNothing) {
  // Pumps come at 0 %, 5 %, 10 %: the click lands at the third.
  headless::scheduleClick(3, kProgressDialogTemplate, kProgressCancelButton);
  EXPECT_FALSE(read(longFileWithNamesFirst()));
  EXPECT_EQ(names(), (std::vector<std::string>{"Early1", "Early2"}));
  EXPECT_TRUE(headless::messages().empty());
  EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
  EXPECT_EQ(positions(), (std::vector<int32_t>{0, 0, 0, 5}));
}

// --- The sample files ------------------------------------------------------------

TEST_F(PlaceNameReaderTest, SampleFilesGiveAllTwoHundredNames) {
  ASSERT_TRUE(readSample("japan_cities.e00"));
  std::vector<standin::NameEntry> single = standin::nameEntries();
  ASSERT_EQ(single.size(), 200u);
  EXPECT_EQ(single[0].name, kTokyo);
  EXPECT_EQ(single[0].longitude, 139.69171);   // 1.3969171E+02
  EXPECT_EQ(single[0].latitude, 35.689499);    // 3.5689499E+01
  EXPECT_EQ(single[1].name, kYokohama);
  EXPECT_EQ(single[8].name, "Kawasaki");
  EXPECT_EQ(single[9].name, kSaitama);
  EXPECT_EQ(single[199].name, "Kashihara-shi");
  expectOnlyMessage(countMessage(200), MessageIcon::kInformation);

  for (const char* other :
       {"japan_cities_double.e00", "japan_cities_stripped.e00"}) {
    SCOPED_TRACE(other);
    resetTestHost();
    std::filesystem::remove_all(home_);
    ASSERT_TRUE(readSample(other));
    const auto& got = standin::nameEntries();
    ASSERT_EQ(got.size(), 200u);
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].name, single[i].name) << i;
      // Single precision prints 8 significant digits.
      EXPECT_NEAR(got[i].latitude, single[i].latitude, 5e-5) << i;
      EXPECT_NEAR(got[i].longitude, single[i].longitude, 5e-5) << i;
    }
  }
  EXPECT_EQ(standin::nameEntries()[0].longitude, 139.69171);
}


// --- Tables as export writers lay them out ------------------------------------

// An item definition line, columns as writers put them.
std::string item(const char* name, int width, int position, int type) {
  int format = type == 60 ? 12 : type == 50 ? 5 : width;
  int decimals = type == 60 ? 3 : -1;
  return ::format("%-16s%3d-1%4d4-1%4d%2d%3d-1  -1  -1-1%16s%4d-", name,
                  width, position, format, decimals, type, "", 1);
}

std::string tableHeader(const char* name, int items, int bytes, int records) {
  return format("%-32sXX%4d%4d%4d%10d", name, items, items, bytes, records);
}

TEST_F(PlaceNameReaderTest, ExportedTablesGiveTheirTextItemOrNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> items;
    int bytes;
    int records;
    std::vector<std::string> lines;  // the records' lines, blanks stripped
    std::vector<std::string> expected;
  };
  const std::string area = item("AREA", 4, 1, 60);
  const std::string perimeter = item("PERIMETER", 4, 5, 60);
  const std::string number = item("P#", 4, 9, 50);
  const std::string id = item("P-ID", 4, 13, 50);
  const Case cases[] = {
      // Labels carry number 0 and the record's id; the text sits at 51-80.
      {"point coverage",
       {area, perimeter, number, id, item("DATA", 30, 17, 20)}, 46, 2,
       {" 0.0000000E+00 0.0000000E+00          1        10105103084340000",
        " 0.0000000E+00 0.0000000E+00          2        102WELL TWO"},
       {"05103084340000", "WELL TWO"}},
      // The universe polygon first, with its negative area; no text item.
      {"polygon coverage",
       {area, perimeter, number, id}, 16, 3,
       {"-1.7982806E+05 2.3455293E+03          1          0",
        " 8.0025000E+04 1.6990741E+03          2        101",
        " 8.9864000E+04 1.5285940E+03          3        102"},
       {}},
      // Numbers where names usually stand, a record of two lines.
      {"numbers at the name columns",
       {area, perimeter, number, id, item("HEIGHT", 4, 17, 60),
        item("DEPTH", 4, 21, 60), item("CODE", 4, 25, 50)}, 28, 1,
       {" 0.0000000E+00 0.0000000E+00          2        101 1.5000000E+02"
        " 9.2500001E+00",
        "      150"},
       {}},
      // A code before the name: NAME is taken, not the first text item. The
      // record's second line holds only the name's blanks, stripped.
      {"name after a code",
       {area, perimeter, number, id, item("CODE", 8, 17, 20),
        item("POP", 4, 25, 50), item("NAME", 20, 29, 20)}, 48, 1,
       {" 0.0000000E+00 0.0000000E+00          2        101JP-13          "
        "1234Shinjuku",
        ""},
       {"Shinjuku"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::resetNameDb();
    std::filesystem::remove_all(home_);
    headless::resetUi();
    E00Writer w;
    w.lab();
    bool point = std::string(c.name) == "point coverage";
    w.label(101, point ? 0 : 2, 139.5, 35.5);
    w.label(102, point ? 0 : 3, 140.5, 36.5);
    w.endLabels();
    w.other(tableHeader("P.PAT", static_cast<int>(c.items.size()), c.bytes,
                        c.records));
    for (const std::string& line : c.items) w.other(line);
    for (const std::string& line : c.lines) w.other(line);
    w.other(tableHeader("P.TIC", 3, 12, 0));
    ASSERT_TRUE(read(w.text));
    EXPECT_EQ(names(), c.expected);
    expectOnlyMessage(countMessage(static_cast<int>(c.expected.size())),
                      MessageIcon::kInformation);
  }
}

TEST_F(PlaceNameReaderTest, ExportedPointCoverageGivesItsDataItem) {
  // GDAL's WELLS point coverage, labels brought into degrees.
  ASSERT_TRUE(readSample("derived_gdal_testpoint_degrees.e00"));
  const auto& got = standin::nameEntries();
  ASSERT_EQ(got.size(), 80u);
  EXPECT_EQ(got[0].name, "05103084340000");
  EXPECT_EQ(got[0].longitude, 50.49407);
  EXPECT_EQ(got[0].latitude, 4.4200809);
  EXPECT_EQ(got[8].name, "05103089070001");
  EXPECT_EQ(got[79].name, "05103084150000");
  expectOnlyMessage(countMessage(80), MessageIcon::kInformation);
}

TEST_F(PlaceNameReaderTest, FilesNotInDegreesAddNothing) {
  struct Case {
    const char* name;
    double x, y;
    std::string prj;
    bool refused;
    std::string message = kTextNotGeographicDegrees;
  };
  auto prj = [](const char* projection, const char* units) {
    return format("PRJ  2\nProjection    %s\n~\nUnits         %s\n~\n"
                  "Parameters\nEOP\n", projection, units);
  };
  char noEllipsoid[256];
  std::snprintf(noEllipsoid, sizeof noEllipsoid, kTextPrjUnreadableFormat,
                "Spheroid");
  const Case cases[] = {
      {"longitude 500", 500.0, 35.0, "", true},
      {"latitude 95", 139.0, 95.0, "", true},
      // A projection named without its zone or ellipsoid.
      {"projection with small numbers", 1.5, 2.5, prj("UTM", "METERS"), true,
       noEllipsoid},
      {"units other than degrees", 1.5, 2.5, prj("GEOGRAPHIC", "FEET"), true},
      {"geographic, longitude 0...360", 359.5, -89.5,
       prj("GEOGRAPHIC", "DD"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::resetNameDb();
    std::filesystem::remove_all(home_);
    headless::resetUi();
    E00Writer w;
    w.lab();
    w.label(5, 1, 139.0, 35.0);
    w.label(6, 1, c.x, c.y);
    w.endLabels();
    w.text += c.prj;
    w.pat();
    w.record(1, 5, "Nagano");
    w.record(1, 6, "Elsewhere");
    if (c.refused) {
      EXPECT_FALSE(read(w.text));
      expectOnlyMessage(c.message, MessageIcon::kExclamation);
      EXPECT_TRUE(names().empty());
      EXPECT_TRUE(standin::nameDbCalls().removeBlock.empty());
    } else {
      EXPECT_TRUE(read(w.text));
      EXPECT_EQ(names(), (std::vector<std::string>{"Nagano", "Elsewhere"}));
    }
  }
  // Metres without a PRJ section to say how to convert them.
  for (const char* sample : {"gdal_testpoint.e00"}) {
    SCOPED_TRACE(sample);
    standin::resetNameDb();
    std::filesystem::remove_all(home_);
    headless::resetUi();
    EXPECT_FALSE(readSample(sample));
    expectOnlyMessage(kTextNotGeographicDegrees, MessageIcon::kExclamation);
    EXPECT_TRUE(names().empty());
  }
}

TEST_F(PlaceNameReaderTest, LabelWithoutItsYEndsTheLabels) {
  E00Writer w;
  w.lab();
  w.label(5, 1, 139.0, 35.0);
  w.other("         6         1 1.3900000E+02");  // y missing
  w.other(" 1.3900000E+02 3.5000000E+01 1.3900000E+02 3.5000000E+01");
  w.endLabels();
  w.pat();
  w.record(1, 5, "Nagano");
  w.record(1, 6, "AtLatitudeZero");
  ASSERT_TRUE(read(w.text));
  EXPECT_EQ(names(), std::vector<std::string>{"Nagano"});
}

// Compressed forms give exactly the names and positions of the plain file;
// one cut short is refused, as a file that cannot be read.
TEST_F(PlaceNameReaderTest, CompressedSamplesGiveTheNamesOfTheirPlainForm) {
  ASSERT_TRUE(readSample("japan_cities.e00"));
  const std::vector<standin::NameEntry> plain = standin::nameEntries();
  ASSERT_EQ(plain.size(), 200u);
  for (const char* file :
       {"japan_cities_partial.e00", "japan_cities_full.e00"}) {
    SCOPED_TRACE(file);
    standin::resetNameDb();
    std::filesystem::remove_all(home_);
    headless::resetUi();
    ASSERT_TRUE(readSample(file));
    const auto& got = standin::nameEntries();
    ASSERT_EQ(got.size(), plain.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].name, plain[i].name) << i;
      EXPECT_EQ(got[i].latitude, plain[i].latitude) << i;
      EXPECT_EQ(got[i].longitude, plain[i].longitude) << i;
    }
    expectOnlyMessage(countMessage(200), MessageIcon::kInformation);
  }

  standin::resetNameDb();
  std::filesystem::remove_all(home_);
  headless::resetUi();
  EXPECT_FALSE(readSample("gdal_compressed.e00"));
  EXPECT_TRUE(names().empty());
  expectOnlyMessage(kTextCannotReadGisFile, MessageIcon::kExclamation);

  // Cut inside the table: the names of the whole records before the cut
  // stay, as after a read error, and the user is told the file is unreadable.
  std::ifstream in(std::string(MORVANE_TEST_DATA) + "/japan_cities_full.e00",
                   std::ios::binary);
  std::string contents(std::istreambuf_iterator<char>(in), {});
  standin::resetNameDb();
  std::filesystem::remove_all(home_);
  headless::resetUi();
  EXPECT_FALSE(read(contents.substr(0, contents.size() * 3 / 4)));
  const auto& got = standin::nameEntries();
  ASSERT_GT(got.size(), 0u);
  ASSERT_LT(got.size(), plain.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].name, plain[i].name);
  expectOnlyMessage(kTextCannotReadGisFile, MessageIcon::kExclamation);
}

}  // namespace
