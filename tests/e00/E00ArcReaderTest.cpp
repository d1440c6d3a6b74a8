#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "platform/MemoryBlock.h"
#include "platform/headless/HeadlessUi.h"
#include "resources/Texts.h"
#include "standin/StandinHost.h"
#include "tests/e00/TempFile.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/ProgressWindow.h"

// LinePoint lives in the global namespace, where lookup finds these.
static bool operator==(const LinePoint& a, const LinePoint& b) {
  return a.latitude == b.latitude && a.longitude == b.longitude;
}
static void PrintTo(const LinePoint& p, std::ostream* os) {
  *os << "(" << p.latitude << ", " << p.longitude << ")";
}

namespace {

constexpr LinePoint kSep = kSeparatorPoint;

// Seven integers of 10 columns, as arc headers are written.
std::string arcHeader(int points) {
  char line[128];
  std::snprintf(line, sizeof line, "%10d%10d%10d%10d%10d%10d%10d\n", 1, 1, 1,
                2, 0, 0, points);
  return line;
}

std::string single(double x, double y) {
  char line[64];
  std::snprintf(line, sizeof line, "%14.7E%14.7E", x, y);
  return line;
}

std::string doubleField(double v) {
  char line[64];
  std::snprintf(line, sizeof line, "%21.14E", v);
  return line;
}

const std::string kTerminator = arcHeader(0);
const std::string kEndOfArcs = "SIN  2\n";

class E00ArcReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    headless::resetUi();
    headless::setEcho(false);
    standin::resetPump();
    setMemoryBlockLimitForTesting(0);
    progress_.create(nullptr);
  }
  void TearDown() override {
    setMemoryBlockLimitForTesting(0);
    headless::resetUi();
  }

  bool read(const std::string& contents) {
    TempFile file(contents);
    return data_.readE00Arcs(file.path(), progress_);
  }

  bool readSample(const char* name) {
    std::string path = modulePath(std::string(MORVANE_TEST_DATA) + "/" + name);
    return data_.readE00Arcs(path.c_str(), progress_);
  }

  std::vector<LinePoint> points() const {
    return std::vector<LinePoint>(data_.points.data(),
                                  data_.points.data() + data_.points.size());
  }

  const std::vector<int32_t>& positions() {
    return progress_.window()->positions;
  }

  ProgressDialog progress_;
  LineDataSet data_{1};
};

// --- Numbers and columns ---------------------------------------------------

TEST_F(E00ArcReaderTest, CoordinatesAreTruncatedTowardZeroLatitudeFirst) {
  struct Case {
    const char* line;
    LinePoint expected;
  };
  const Case cases[] = {
      {" 9.7656250E-04 1.9531250E-03\n", {70, 35}},
      {"-9.7656250E-04-1.9531250E-03\n", {-70, -35}},
      {" 1.3969171E+02 3.5689499E+01\n", {1284821, 5028901}},
      // Fields are their columns alone: x ends at column 14, before the
      // "1" that would otherwise lengthen its exponent.
      {" 1.0000000E+001.0000000E+01\n", {360000, 36000}},
      // Fields past the end of the line, or holding no number, give 0.
      {" 1.0000000E+00\n", {0, 36000}},
      {"-\n", {0, 0}},
      {" 1.5xyz        2.5\n", {90000, 54000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_TRUE(read("ARC  2\n" + arcHeader(1) + c.line));
    ASSERT_EQ(points(), std::vector<LinePoint>{c.expected});
  }
}

TEST_F(E00ArcReaderTest, SinglePrecisionTakesTwoPointsALineAndOneAtTheEnd) {
  std::string file = "ARC  2\n" + arcHeader(5) + single(1, 2) + single(3, 4) +
                     "\n" + single(5, 6) + single(7, 8) + "\n" +
                     single(9, 10) + "\n" + kTerminator + kEndOfArcs;
  ASSERT_TRUE(read(file));
  std::vector<LinePoint> want = {{72000, 36000},   {144000, 108000},
                                 {216000, 180000}, {288000, 252000},
                                 {360000, 324000}, kSep};
  EXPECT_EQ(points(), want);
}

TEST_F(E00ArcReaderTest, SecondPairOfTheLastLineIsIgnored) {
  // Three points: the second line holds a pair too many, which is not read.
  std::string file = "ARC  2\n" + arcHeader(3) + single(1, 2) + single(3, 4) +
                     "\n" + single(5, 6) + single(50, 50) + "\n" +
                     kTerminator + kEndOfArcs;
  ASSERT_TRUE(read(file));
  std::vector<LinePoint> want = {
      {72000, 36000}, {144000, 108000}, {216000, 180000}, kSep};
  EXPECT_EQ(points(), want);
}

TEST_F(E00ArcReaderTest, DoublePrecisionTakesOnePointALine) {
  std::string file = "ARC  3\n" + arcHeader(3);
  for (double v : {-1.0, 45.5, 139.5}) {
    file += doubleField(v) + doubleField(v / 4) + "\n";
  }
  file += kTerminator + kEndOfArcs;
  ASSERT_TRUE(read(file));
  std::vector<LinePoint> want = {
      {-9000, -36000}, {409500, 1638000}, {1255500, 5022000}, kSep};
  EXPECT_EQ(points(), want);
  EXPECT_EQ(data_.bounds.top, -9000);
  EXPECT_EQ(data_.bounds.bottom, 1255500);
  EXPECT_EQ(data_.bounds.left, -36000);
  EXPECT_EQ(data_.bounds.right, 5022000);
}

// --- Section structure -----------------------------------------------------

TEST_F(E00ArcReaderTest, ArcsAreSeparatedAndStorageIsCompacted) {
  std::string file = "EXP  0 /DATA/X.E00\nARC  2\n" + arcHeader(2) +
                     single(1, 1) + single(2, 2) + "\n" + arcHeader(1) +
                     single(3, 3) + "\n" + kTerminator + kEndOfArcs;
  ASSERT_TRUE(read(file));
  std::vector<LinePoint> want = {
      {36000, 36000}, {72000, 72000}, kSep, {108000, 108000}, kSep};
  EXPECT_EQ(points(), want);
  EXPECT_EQ(data_.points.capacity(), data_.points.size());
  EXPECT_EQ(positions().back(), 100);
}

TEST_F(E00ArcReaderTest, FileEndingInsideTheSectionHasNoFinalSeparator) {
  ASSERT_TRUE(read("ARC  2\n" + arcHeader(2) + single(1, 1) + single(2, 2)));
  std::vector<LinePoint> want = {{36000, 36000}, {72000, 72000}};
  EXPECT_EQ(points(), want);
  EXPECT_EQ(positions().back(), 100);
}

TEST_F(E00ArcReaderTest, OnlyTheFirstSectionIsRead) {
  std::string file = "ARC  2\n" + arcHeader(1) + single(1, 1) + "\n" +
                     kTerminator + kEndOfArcs + "ARC  2\n" + arcHeader(1) +
                     single(2, 2) + "\n" + kTerminator;
  ASSERT_TRUE(read(file));
  EXPECT_EQ(points(), (std::vector<LinePoint>{{36000, 36000}, kSep}));
}

TEST_F(E00ArcReaderTest, OnlyAnExactArcTokenWithPrecision2Or3StartsASection) {
  struct Case {
    const char* header;
    bool starts;
  };
  const Case cases[] = {
      {"ARC  2\n", true},      {"ARC  3\n", true},
      {"  ARC 2\n", true},     {"ARC\t+3\n", true},
      {"ARC  2~}~\n", true},  // as in compressed files
      {"ARC  1\n", false},     {"ARC  4\n", false},
      {"arc  2\n", false},     {"ARCS 2\n", false},
      {"ARC\n", false},        {"ARC x2\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    ASSERT_TRUE(read(std::string(c.header) + arcHeader(1) + single(1, 1) +
                     "\n" + kTerminator + kEndOfArcs));
    EXPECT_EQ(data_.points.size(), c.starts ? 2 : 0);
  }
}

TEST_F(E00ArcReaderTest, LineNotStartingWithBlankOrSignEndsTheSection) {
  const char* enders[] = {"\n", "\r\n", "\tx\n", "7 7 7 7 7 7 7\n", "X\n"};
  for (const char* ender : enders) {
    SCOPED_TRACE(testing::Message() << "ender of " << strlen(ender) << " bytes");
    // The end comes where the second arc's header would be: its points are
    // never read, and the first arc is closed.
    ASSERT_TRUE(read("ARC  2\n" + arcHeader(1) + single(1, 1) + "\n" + ender +
                     arcHeader(1) + single(2, 2) + "\n"));
    EXPECT_EQ(points(), (std::vector<LinePoint>{{36000, 36000}, kSep}));
  }
}

TEST_F(E00ArcReaderTest, FileWithoutSectionGivesEmptyDataSet) {
  ASSERT_TRUE(read("EXP  0 /DATA/X.E00\nLAB  2\nEOS\n"));
  EXPECT_TRUE(data_.points.empty());
  EXPECT_EQ(data_.bounds.left, kEmptyBounds.left);
  EXPECT_EQ(data_.bounds.bottom, kEmptyBounds.bottom);
  EXPECT_EQ(positions().back(), 100);
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(E00ArcReaderTest, PointCountComesFromTheLastLineWithSevenFields) {
  // The second header has only three fields: the count of the first (2)
  // still holds. A header announcing 0 points is followed by one point
  // anyway, since points are counted after a coordinate line.
  std::string file = "ARC  2\n" + arcHeader(2) + single(1, 1) + single(2, 2) +
                     "\n" + "         1         2         3\n" + single(3, 3) +
                     single(4, 4) + "\n" + arcHeader(0) + single(5, 5) + "\n" +
                     kTerminator + kEndOfArcs;
  ASSERT_TRUE(read(file));
  std::vector<LinePoint> want = {{36000, 36000},   {72000, 72000},   kSep,
                                 {108000, 108000}, {144000, 144000}, kSep,
                                 {180000, 180000}, kSep};
  EXPECT_EQ(points(), want);
}

TEST_F(E00ArcReaderTest, SeventhFieldIsReadLikeTheRuntimeScansIt) {
  struct Case {
    const char* header;
    int32_t announced;  // the previous header announced 1
  };
  const Case cases[] = {
      {" 1 2 3 4 5-6 3\n", 3},  // an integer starts right after the digits
      {" 1 2 3 4 5 6 3x\n", 3},
      {" a b c d 5 6 +3\n", 3},
      {" 1 2 3 4 5 6 x3\n", 1},  // six fields: the count before holds
      {" 1 2 3 4 5 - 3\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    std::string file = "ARC  3\n" + arcHeader(1) + doubleField(1) +
                       doubleField(1) + "\n" + c.header;
    for (int i = 0; i < 3; ++i) file += doubleField(2) + doubleField(2) + "\n";
    ASSERT_TRUE(read(file + "X\n"));
    // Announced 3: three points. Announced 1: one point, then a line read
    // as the next header, then one more point.
    int32_t separators = 0;
    for (int32_t i = 0; i < data_.points.size(); ++i) {
      separators += isSeparator(data_.points[i]);
    }
    EXPECT_EQ(separators, c.announced == 3 ? 2 : 3);
    EXPECT_EQ(data_.points.size() - separators, c.announced == 3 ? 4 : 3);
  }
}

TEST_F(E00ArcReaderTest, CoordinateLineWithSevenFieldsSetsTheNextCount) {
  // A malformed coordinate line that scans as seven fields (the last 3)
  // decides the count of a following header that has fewer.
  std::string file = "ARC  2\n" + arcHeader(1) + " 1 1 1 1 1 1 3\n" +
                     " 1 2\n" + single(1, 1) + single(1, 1) + "\n" +
                     single(1, 1) + "\nX\n";
  ASSERT_TRUE(read(file));
  EXPECT_EQ(data_.points.size(), 1 + 1 + 3 + 1);
}

TEST_F(E00ArcReaderTest, LongLinesAreReadInPiecesOf254) {
  // A 300-character arc header: its second piece starts with 'Z' and ends
  // the section after the header has been taken.
  std::string header = arcHeader(1);
  header.pop_back();
  header += std::string(254 - header.size(), ' ') + "Z" +
            std::string(45, 'z') + "\n";
  ASSERT_TRUE(read("ARC  2\n" + arcHeader(1) + single(1, 1) + "\n" + header +
                   single(2, 2) + "\n"));
  EXPECT_EQ(points(), (std::vector<LinePoint>{{36000, 36000}, kSep}));
}

TEST_F(E00ArcReaderTest, ZeroByteEndsTheLineForTheFields) {
  // y would be 2 if the columns after the zero byte were read.
  std::string line = " 1.0";
  line += '\0';
  line += std::string(9, ' ') + "2.0\n";
  ASSERT_TRUE(read("ARC  2\n" + arcHeader(1) + line));
  EXPECT_EQ(points(), (std::vector<LinePoint>{{0, 36000}}));
}

// --- Progress and cancel ---------------------------------------------------

TEST_F(E00ArcReaderTest, ProgressShowsMultiplesOfFiveReachedAtLineEnds) {
  struct Case {
    const char* name;
    std::vector<int> lineLengths;
    std::vector<int32_t> shown;  // after the dialog's own 0 and the reset
  };
  const Case cases[] = {
      // 25 lines of 4 bytes: 4 %, 8 %, ... 5 % and 10 % fall inside lines.
      {"4 % lines", std::vector<int>(25, 4), {20, 40, 60, 80, 100}},
      // First line ends below 1 %: 0 is shown.
      {"tiny first line", {1, 99, 100}, {0, 50, 100}},
      {"one line", {10}, {100}},
      {"every percent", std::vector<int>(100, 1),
       {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85,
        90, 95, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::resetUi();
    headless::setEcho(false);
    standin::resetPump();
    ProgressDialog progress;
    progress.create(nullptr);
    std::string file;
    for (int n : c.lineLengths) file += std::string(n - 1, 'x') + "\n";
    TempFile temp(file);
    ASSERT_TRUE(data_.readE00Arcs(temp.path(), progress));
    std::vector<int32_t> want = {0, 0};
    want.insert(want.end(), c.shown.begin(), c.shown.end());
    want.push_back(100);
    EXPECT_EQ(progress.window()->positions, want);
    EXPECT_EQ(standin::pumpCount(), static_cast<int32_t>(c.shown.size()));
  }
}

TEST_F(E00ArcReaderTest, CancelAtAPumpStopsWithoutCompactingOrFinishing) {
  std::string file = "ARC  2\n" + arcHeader(2000);
  for (int i = 0; i < 1000; ++i) file += single(i, i) + single(i, i) + "\n";
  file += kTerminator + kEndOfArcs;
  headless::scheduleClick(3, kProgressDialogTemplate, kProgressCancelButton);
  EXPECT_FALSE(read(file));
  EXPECT_EQ(standin::pumpCount(), 3);
  // Shown: the dialog's 0, the reader's 0, then 0 % and 5 % at the first two
  // pumps; the third pump's 10 % is not shown.
  EXPECT_EQ(positions(), (std::vector<int32_t>{0, 0, 0, 5}));
  EXPECT_GT(data_.points.size(), 0);
  EXPECT_NE(data_.points.capacity(), data_.points.size());
  EXPECT_TRUE(headless::messages().empty());
}

// --- Failures --------------------------------------------------------------

TEST_F(E00ArcReaderTest, UnreadableFileIsReportedAndLeavesTheDataSet) {
  ASSERT_TRUE(read("ARC  2\n" + arcHeader(1) + single(1, 1) + "\n"));
  std::string missing = TempFile("").path();  // removed again at once
  std::string folder = modulePath(std::string(MORVANE_TEST_DATA));
  // Longer than any path the system takes (259 bytes and the zero).
  std::string tooLong = folder + "\\" + std::string(300, 'a') + ".e00";
  for (const std::string& path : {missing, folder, tooLong}) {
    SCOPED_TRACE(path);
    headless::resetUi();
    headless::setEcho(false);
    EXPECT_FALSE(data_.readE00Arcs(path.c_str(), progress_));
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, kTextCannotReadGisFile);
    EXPECT_EQ(headless::messages()[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(data_.points.size(), 1);
    EXPECT_EQ(positions().back(), 100);
  }
}

TEST_F(E00ArcReaderTest, CoordinatesBeyondDegreesAreRefused) {
  struct Case {
    const char* x;
    bool accepted;
  };
  // 2147483647 / 36000 = 59652.3235...; a product of 2147483647.x would
  // truncate to the separator value.
  const Case cases[] = {
      {" 5.9652320E+04", true},   {"-5.9652320E+04", true},
      {" 5.9652324E+04", false},  {"-5.9652324E+04", false},
      {" 4.1000000E+06", false},  {" 1.0000000E+99", false},
      {"1e400         ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    headless::resetUi();
    headless::setEcho(false);
    bool ok = read("ARC  2\n" + arcHeader(2) + single(1, 1) + c.x +
                   " 1.0000000E+00\n" + kTerminator + kEndOfArcs);
    EXPECT_EQ(ok, c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(headless::messages().empty());
      ASSERT_EQ(data_.points.size(), 3);
      EXPECT_FALSE(isSeparator(data_.points[1]));
      EXPECT_EQ(std::abs(data_.points[1].longitude), 2147483520);
    } else {
      ASSERT_EQ(headless::messages().size(), 1u);
      EXPECT_EQ(headless::messages()[0].text, kTextNotGeographicDegrees);
      EXPECT_EQ(headless::messages()[0].icon, MessageIcon::kExclamation);
    }
  }
}

TEST_F(E00ArcReaderTest, RunningOutOfMemoryStopsWithOneMessage) {
  std::string file = "ARC  2\n" + arcHeader(4000);
  for (int i = 0; i < 2000; ++i) file += single(1, 1) + single(2, 2) + "\n";
  setMemoryBlockLimitForTesting(1500 * sizeof(LinePoint));
  EXPECT_FALSE(read(file));
  setMemoryBlockLimitForTesting(0);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text, kTextOutOfMemory);
}

// --- Sample files, against the figures of another reader ------------------

TEST_F(E00ArcReaderTest, SampleFilesAgreeWithTheirReferenceFigures) {
  struct Case {
    const char* file;
    bool result;
    int32_t points;
    int32_t separators;
    UnitBounds bounds;  // left, top, right, bottom
  };
  const UnitBounds japan = {4608000, 1088705, 5292000, 1656000};
  const Case cases[] = {
      {"japan_coast_50m.e00", true, 1216, 39, japan},
      {"japan_coast_50m_double.e00", true, 1216, 39, japan},
      {"world_land_110m.e00", true, 5123, 126,
       {-6480000, -3081925, 6480000, 3011224}},
      {"japan_coast_50m_full.e00", true, 0, 0, kEmptyBounds},
      {"japan_coast_50m_partial.e00", true, 0, 0, kEmptyBounds},
      {"gdal_compressed.e00", true, 0, 0, kEmptyBounds},
      {"derived_gdal_testpoly_full.e00", true, 0, 0, kEmptyBounds},
      {"japan_cities.e00", true, 0, 0, kEmptyBounds},
      {"gdal_test.e00", false, 0, 0, kEmptyBounds},
      {"gdal_testpoly.e00", false, 0, 0, kEmptyBounds},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    headless::resetUi();
    headless::setEcho(false);
    ASSERT_EQ(readSample(c.file), c.result);
    if (!c.result) {
      ASSERT_EQ(headless::messages().size(), 1u);
      EXPECT_EQ(headless::messages()[0].text, kTextNotGeographicDegrees);
      continue;
    }
    EXPECT_TRUE(headless::messages().empty());
    int32_t separators = 0;
    for (int32_t i = 0; i < data_.points.size(); ++i) {
      separators += isSeparator(data_.points[i]);
    }
    EXPECT_EQ(data_.points.size() - separators, c.points);
    EXPECT_EQ(separators, c.separators);
    EXPECT_EQ(data_.bounds.left, c.bounds.left);
    EXPECT_EQ(data_.bounds.top, c.bounds.top);
    EXPECT_EQ(data_.bounds.right, c.bounds.right);
    EXPECT_EQ(data_.bounds.bottom, c.bounds.bottom);
  }
}

}  // namespace
