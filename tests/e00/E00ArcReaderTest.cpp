#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "platform/FileSystem.h"
#include "platform/MemoryBlock.h"
#include "platform/MemoryFileSystem.h"
#include "resources/Texts.h"
#include "standin/StandinHost.h"
#include "tests/e00/TempFile.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

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

class E00ArcReaderTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    setMemoryBlockLimitForTesting(0);
    progress_.create(nullptr);
  }
  void TearDown() override {
    setMemoryBlockLimitForTesting(0);
    TestHost::TearDown();
  }

  bool read(const std::string& contents) {
    TempFile file(contents);
    return readPath(file.path());
  }

  bool readSample(const char* name) {
    std::string path = modulePath(std::string(MORVANE_TEST_DATA) + "/" + name);
    return readPath(path.c_str());
  }

  bool readPath(const char* path) {
    last_ = readE00Arcs(data_, path, progress_);
    return static_cast<bool>(last_);
  }

  // What the caller of the last read tells the user: its reason's text, as
  // a message box would show it. The reader itself shows nothing.
  std::vector<headless::RecordedMessage> told() const {
    EXPECT_TRUE(headless::messages().empty());
    const char* text = failureText(last_);
    if (text == nullptr) return {};
    return {{text, MessageIcon::kExclamation}};
  }

  std::vector<LinePoint> points() const {
    return std::vector<LinePoint>(data_.points.data(),
                                  data_.points.data() + data_.points.size());
  }

  const std::vector<int32_t>& positions() {
    return headless::windowOf(progress_)->control(kProgressBarControl).positions;
  }

  ProgressDialog progress_;
  LineDataSet data_{1};
  Result last_;
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
      // Fields partly on the line, or holding no number, read as far as
      // they go (a y missing altogether: see MissingFieldsEndTheSection).
      {" 1.0000000E+00 2.5\n", {90000, 36000}},
      {"-             -\n", {0, 0}},
      {" 1.5xyz        2.5\n", {90000, 54000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_TRUE(read("ARC  2\n" + arcHeader(1) + c.line));
    ASSERT_EQ(points(), std::vector<LinePoint>{c.expected});
  }
}

TEST_F(E00ArcReaderTest, SinglePrecisionTakesTwoPointsALineAndOneAtTheEnd) {
  // The last line holds a pair too many, which is not read.
  std::string file = "ARC  2\n" + arcHeader(5) + single(1, 2) + single(3, 4) +
                     "\n" + single(5, 6) + single(7, 8) + "\n" +
                     single(9, 10) + single(50, 50) + "\n" + kTerminator +
                     kEndOfArcs;
  ASSERT_TRUE(read(file));
  std::vector<LinePoint> want = {{72000, 36000},   {144000, 108000},
                                 {216000, 180000}, {288000, 252000},
                                 {360000, 324000}, kSep};
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

// A point at (n, n) degrees.
LinePoint at(int n) { return {n * 36000, n * 36000}; }

TEST_F(E00ArcReaderTest, ArcsFollowTheCountsAndTheSectionBounds) {
  const std::string arc1 = arcHeader(1) + single(1, 1) + "\n";
  std::string longHeader = arcHeader(1);
  longHeader.pop_back();
  longHeader += std::string(254 - longHeader.size(), ' ') + "Zzz\n";
  std::string zeroByte = " 1.0";
  zeroByte += '\0';
  zeroByte += std::string(9, ' ') + "2.0\n";  // y 2 if read past the zero
  struct Case {
    const char* name;
    std::string file;
    std::vector<LinePoint> points;
  };
  const Case cases[] = {
      {"two arcs, terminator, end",
       "EXP  0 /DATA/X.E00\nARC  2\n" + arcHeader(2) + single(1, 1) +
           single(2, 2) + "\n" + arc1 + kTerminator + kEndOfArcs,
       {at(1), at(2), kSep, at(1), kSep}},
      {"file ends inside the section",
       "ARC  2\n" + arcHeader(2) + single(1, 1) + single(2, 2),
       {at(1), at(2)}},
      {"second section never read",
       "ARC  2\n" + arc1 + kTerminator + kEndOfArcs + "ARC  2\n" +
           arcHeader(1) + single(2, 2) + "\n",
       {at(1), kSep}},
      // Where the second arc's header would be: its points are not read.
      {"empty line ends", "ARC  2\n" + arc1 + "\n" + arc1, {at(1), kSep}},
      {"empty CR LF line ends", "ARC  2\n" + arc1 + "\r\n" + arc1,
       {at(1), kSep}},
      {"tab ends", "ARC  2\n" + arc1 + "\tx\n" + arc1, {at(1), kSep}},
      {"digit ends", "ARC  2\n" + arc1 + "7 7 7 7 7 7 7\n" + arc1,
       {at(1), kSep}},
      // A header with three fields keeps the count 2 of the one before; one
      // announcing 0 points still takes one, counted after the line.
      {"count from the last line with seven fields",
       "ARC  2\n" + arcHeader(2) + single(1, 1) + single(2, 2) + "\n" +
           "         1         2         3\n" + single(3, 3) +
           single(4, 4) + "\n" + arcHeader(0) + single(5, 5) + "\n" +
           kTerminator + kEndOfArcs,
       {at(1), at(2), kSep, at(3), at(4), kSep, at(5), kSep}},
      // A malformed coordinate line that scans as seven fields (last 3)
      // sets the count of the next header, which has fewer.
      {"coordinate line with seven fields",
       "ARC  2\n" + arcHeader(1) + " 1 1 1 1 1 1 3             2\n" +
           " 1 2\n" + single(1, 1) + single(2, 2) + "\n" + single(3, 3) +
           "\nX\n",
       {{72000, 36000}, kSep, at(1), at(2), at(3), kSep}},
      // Its second piece starts with Z and ends the section.
      {"300-character header",
       "ARC  2\n" + arc1 + longHeader + single(2, 2) + "\n", {at(1), kSep}},
      // As the runtime sees it the line holds no y: no point.
      {"zero byte ends the line", "ARC  2\n" + arcHeader(1) + zeroByte, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(read(c.file));
    EXPECT_EQ(points(), c.points);
    EXPECT_EQ(data_.points.capacity(), data_.points.size());
    EXPECT_EQ(positions().back(), 100);
  }
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
    resetTestHost();
    ProgressDialog progress;
    progress.create(nullptr);
    std::string file;
    for (int n : c.lineLengths) file += std::string(n - 1, 'x') + "\n";
    TempFile temp(file);
    ASSERT_TRUE(readE00Arcs(data_, temp.path(), progress));
    std::vector<int32_t> want = {0, 0};
    want.insert(want.end(), c.shown.begin(), c.shown.end());
    want.push_back(100);
    EXPECT_EQ(headless::windowOf(progress)->control(kProgressBarControl).positions, want);
    EXPECT_EQ(standin::pumpCount(), static_cast<int32_t>(c.shown.size()));
  }
}

TEST_F(E00ArcReaderTest, CancelAtAPumpStopsWithoutCompactingOrFinishing) {
  std::string file = "ARC  2\n" + arcHeader(2000);
  for (int i = 0; i < 1000; ++i) {
    file += single(i % 90, i % 90) + single(i % 90, i % 90) + "\n";
  }
  file += kTerminator + kEndOfArcs;
  headless::scheduleClick(3, kProgressDialogTemplate, kProgressCancelButton);
  EXPECT_FALSE(read(file));
  EXPECT_EQ(standin::pumpCount(), 3);
  // Shown: the dialog's 0, the reader's 0, then 0 % and 5 % at the first two
  // pumps; the third pump's 10 % is not shown.
  EXPECT_EQ(positions(), (std::vector<int32_t>{0, 0, 0, 5}));
  EXPECT_GT(data_.points.size(), 0);
  EXPECT_NE(data_.points.capacity(), data_.points.size());
  EXPECT_EQ(last_.reason(), FailureReason::kCancelled);
  EXPECT_TRUE(told().empty());
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
    resetTestHost();
    EXPECT_FALSE(readPath(path.c_str()));
    ASSERT_EQ(told().size(), 1u);
    EXPECT_EQ(told()[0].text, kTextCannotReadGisFile);
    EXPECT_EQ(told()[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(data_.points.size(), 1);
    EXPECT_EQ(positions().back(), 100);
  }
}

TEST_F(E00ArcReaderTest, ReadErrorIsAFailureNotAShortFile) {
#if defined(__linux__)
  // Reading this file fails with EIO at its first byte.
  std::string path = modulePath("/proc/self/mem");
  EXPECT_FALSE(readPath(path.c_str()));
  ASSERT_EQ(told().size(), 1u);
  EXPECT_EQ(told()[0].text, kTextCannotReadGisFile);
  EXPECT_NE(positions().back(), 100);
#else
  GTEST_SKIP() << "needs a file whose reads fail";
#endif
}

// The same on every backend, at any byte of a real file: reads that fail
// part way are a failure, never a file that ends early.
TEST_F(E00ArcReaderTest, ReadErrorAtAnyByteIsAFailure) {
  std::ifstream in(std::string(MORVANE_TEST_DATA) + "/japan_coast_50m.e00",
                   std::ios::binary);
  const std::string sample((std::istreambuf_iterator<char>(in)),
                           std::istreambuf_iterator<char>());
  const int64_t size = static_cast<int64_t>(sample.size());
  for (int64_t k : {int64_t{0}, int64_t{1}, size / 2, size - 1, size}) {
    SCOPED_TRACE(k);
    MemoryFileSystem memory("M:\\");
    memory.putFile("M:\\coast.e00", sample);
    memory.failReadsAt(k);
    headless::resetUi();
    headless::setEcho(false);
    bool ok = readPath("M:\\coast.e00");
    EXPECT_EQ(ok, k == size);
    if (k < size) {
      ASSERT_EQ(told().size(), 1u);
      EXPECT_EQ(told()[0].text, kTextCannotReadGisFile);
    } else {
      EXPECT_TRUE(told().empty());
      EXPECT_EQ(data_.points.size(), 1255);
    }
  }
}

TEST_F(E00ArcReaderTest, CoordinatesBeyondDegreesAreRefused) {
  struct Case {
    const char* x;
    bool accepted;
    int32_t longitude;  // when accepted
  };
  // Longitude -180...360, with 1e-4 degree for writers' rounding. Values
  // beyond 59652.3 (2147483647 / 36000) would even truncate to the
  // separator.
  const Case cases[] = {
      {" 3.6000000E+02", true, 12960000},  {"-1.8000000E+02", true, -6480000},
      {" 3.6000005E+02", true, 12960001},  {" 3.6001000E+02", false, 0},
      {"-1.8001000E+02", false, 0},        {" 5.0000000E+02", false, 0},
      {" 5.9652320E+04", false, 0},        {"-5.9652320E+04", false, 0},
      {" 5.9652324E+04", false, 0},        {"-5.9652324E+04", false, 0},
      {" 4.1000000E+06", false, 0},        {" 1.0000000E+99", false, 0},
      {"1e400         ", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    resetTestHost();
    bool ok = read("ARC  2\n" + arcHeader(2) + single(1, 1) + c.x +
                   " 1.0000000E+00\n" + kTerminator + kEndOfArcs);
    EXPECT_EQ(ok, c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(told().empty());
      ASSERT_EQ(data_.points.size(), 3);
      EXPECT_EQ(data_.points[1].longitude, c.longitude);
    } else {
      ASSERT_EQ(told().size(), 1u);
      EXPECT_EQ(told()[0].text, kTextNotGeographicDegrees);
      EXPECT_EQ(told()[0].icon, MessageIcon::kExclamation);
    }
  }
}

TEST_F(E00ArcReaderTest, FilesNotInDegreesAreRefused) {
  auto prj = [](const char* projection, const char* units) {
    return std::string("PRJ  2\nProjection    ") + projection +
           "\n~\nUnits         " + units + "\n~\nParameters\nEOP\n";
  };
  const std::string arc = "ARC  2\n" + arcHeader(2) + single(139, 35) +
                          single(1.5, 2.5) + "\n" + kTerminator;
  struct Case {
    const char* name;
    std::string file;
    bool refused;
  };
  const Case cases[] = {
      {"longitude 500",
       "ARC  2\n" + arcHeader(1) + single(500, 35) + "\n" + kTerminator, true},
      {"latitude 95",
       "ARC  2\n" + arcHeader(1) + single(139, 95) + "\n" + kTerminator, true},
      // The PRJ section follows the arcs, as writers order a file.
      // Named without its zone or ellipsoid: refused, by its own message.
      {"projection with small numbers",
       arc + kEndOfArcs + prj("UTM", "METERS") + "IFO  2\n", true},
      {"units other than degrees",
       arc + kEndOfArcs + prj("GEOGRAPHIC", "FEET") + "IFO  2\n", true},
      {"geographic, decimal degrees",
       arc + kEndOfArcs + prj("Geographic", "dd") + "IFO  2\n", false},
      // Past the INFO tables nothing is a PRJ section any more.
      {"after the tables", arc + kEndOfArcs + "IFO  2\n" + prj("UTM", "M"),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::resetUi();
    headless::setEcho(false);
    EXPECT_EQ(read(c.file), !c.refused);
    if (c.refused) {
      ASSERT_EQ(told().size(), 1u);
      char noEllipsoid[256];
      std::snprintf(noEllipsoid, sizeof noEllipsoid, kTextPrjUnreadableFormat,
                    "Spheroid");
      EXPECT_EQ(told()[0].text,
                std::string(c.name) == "projection with small numbers"
                    ? noEllipsoid
                    : kTextNotGeographicDegrees);
    } else {
      EXPECT_TRUE(told().empty());
      EXPECT_EQ(points(), (std::vector<LinePoint>{
                              {1260000, 5004000}, {90000, 54000}, kSep}));
    }
  }
}

// A download stopped short, at every byte of the last coordinate line: the
// points read are the file's, never one made from a missing field.
TEST_F(E00ArcReaderTest, FileCutInItsLastLineAddsOnlyItsOwnPoints) {
  const LinePoint p1 = {72000, 36000}, p2 = {144000, 108000},
                  p3 = {216000, 180000}, p4 = {288000, 252000};
  struct Case {
    const char* name;
    std::string head;  // up to the last line
    std::string last;
    int32_t width;     // of a field
  };
  const Case cases[] = {
      {"single", "ARC  2\n" + arcHeader(4) + single(1, 2) + single(3, 4) + "\n",
       single(5, 6) + single(7, 8) + "\n", 14},
      {"double",
       "ARC  3\n" + arcHeader(4) + doubleField(1) + doubleField(2) + "\n" +
           doubleField(3) + doubleField(4) + "\n" + doubleField(5) +
           doubleField(6) + "\n",
       doubleField(7) + doubleField(8) + "\n", 21},
  };
  for (const Case& c : cases) {
    for (size_t cut = 0; cut <= c.last.size(); ++cut) {
      SCOPED_TRACE(std::string(c.name) + " cut at " + std::to_string(cut));
      ASSERT_TRUE(read(c.head + c.last.substr(0, cut)));
      // Single precision: two points on the last line, double: one.
      const bool two = c.width == 14;
      std::vector<LinePoint> want = {p1, p2};
      if (!two || static_cast<int>(cut) >= 2 * c.width) want.push_back(p3);
      if (static_cast<int>(cut) >= (two ? 4 : 2) * c.width) {
        want.push_back(p4);
      }
      EXPECT_EQ(points(), want);
    }
  }
}

TEST_F(E00ArcReaderTest, MissingFieldsEndTheSection) {
  const LinePoint p1 = {72000, 36000}, p2 = {144000, 108000},
                  p3 = {216000, 180000};
  struct Case {
    const char* name;
    std::string file;
    std::vector<LinePoint> points;
  };
  const Case cases[] = {
      {"no y", "ARC  2\n" + arcHeader(1) + " 1.0000000E+00\n", {}},
      {"only a sign", "ARC  2\n" + arcHeader(1) + "-\n", {}},
      // Four announced, three follow: the third point's line has no second
      // pair, and the arc after it is not read as coordinates.
      {"arc announcing more points than follow",
       "ARC  2\n" + arcHeader(4) + single(1, 2) + single(3, 4) + "\n" +
           single(5, 6) + "\n" + arcHeader(1) + single(9, 9) + "\n" +
           kTerminator + kEndOfArcs,
       {p1, p2, p3}},
      {"earlier arcs kept",
       "ARC  2\n" + arcHeader(1) + single(1, 2) + "\n" + arcHeader(2) +
           single(3, 4) + "\n" + kTerminator + kEndOfArcs,
       {p1, kSep, p2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::resetUi();
    headless::setEcho(false);
    ASSERT_TRUE(read(c.file));
    EXPECT_EQ(points(), c.points);
    EXPECT_TRUE(told().empty());
    EXPECT_EQ(positions().back(), 100);
  }
}

TEST_F(E00ArcReaderTest, RunningOutOfMemoryStopsWithOneMessage) {
  std::string file = "ARC  2\n" + arcHeader(4000);
  for (int i = 0; i < 2000; ++i) file += single(1, 1) + single(2, 2) + "\n";
  setMemoryBlockLimitForTesting(1500 * sizeof(LinePoint));
  EXPECT_FALSE(read(file));
  setMemoryBlockLimitForTesting(0);
  EXPECT_EQ(last_.reason(), FailureReason::kOutOfMemory);
  ASSERT_EQ(told().size(), 1u);
  EXPECT_EQ(told()[0].text, kTextOutOfMemory);
}

// --- Sample files, against the figures of another reader ------------------

TEST_F(E00ArcReaderTest, SampleFilesAgreeWithTheirReferenceFigures) {
  struct Case {
    const char* file;
    bool result;
    int32_t points;
    int32_t separators;
    UnitBounds bounds;  // left, top, right, bottom
    const char* message = kTextNotGeographicDegrees;  // when refused
  };
  const UnitBounds japan = {4608000, 1088705, 5292000, 1656000};
  const UnitBounds utm13 = {-3844722, 1333240, -3844398, 1333370};
  const Case cases[] = {
      {"japan_coast_50m.e00", true, 1216, 39, japan},
      {"japan_coast_50m_double.e00", true, 1216, 39, japan},
      {"world_land_110m.e00", true, 5123, 126,
       {-6480000, -3081925, 6480000, 3011224}},
      {"japan_coast_50m_full.e00", true, 1216, 39, japan},
      {"japan_coast_50m_partial.e00", true, 1216, 39, japan},
      {"gdal_compressed.e00", false, 0, 0, kEmptyBounds,
       kTextCannotReadGisFile},
      // UTM zone 13 on NAD27, in degrees where GDAL puts them.
      {"derived_gdal_testpoly_full.e00", true, 18, 7, utm13},
      {"derived_gdal_testpoly_partial.e00", true, 18, 7, utm13},
      {"japan_cities.e00", true, 0, 0, kEmptyBounds},
      {"japan_cities_full.e00", true, 0, 0, kEmptyBounds},
      {"gdal_test.e00", true, 18, 7, utm13},
      {"gdal_testpoly.e00", true, 18, 7, utm13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    resetTestHost();
    ASSERT_EQ(readSample(c.file), c.result);
    if (!c.result) {
      ASSERT_EQ(told().size(), 1u);
      EXPECT_EQ(told()[0].text, c.message);
      continue;
    }
    EXPECT_TRUE(told().empty());
    EXPECT_EQ(positions().back(), 100);
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

// Compressed files read as their plain text: the same points, one by one.
TEST_F(E00ArcReaderTest, CompressedSamplesGiveThePointsOfTheirPlainForm) {
  ASSERT_TRUE(readSample("japan_coast_50m.e00"));
  const std::vector<LinePoint> plain = points();
  for (const char* file :
       {"japan_coast_50m_partial.e00", "japan_coast_50m_full.e00"}) {
    SCOPED_TRACE(file);
    data_.clear();
    ASSERT_TRUE(readSample(file));
    EXPECT_EQ(points(), plain);
  }
}

// A compressed file cut short inside its arcs is refused with one message,
// unless cut right after a whole line: then it gives the points of the whole
// file up to there. Never a point that is not in the file. Cut in its tail,
// after the arcs, it reads whole: the reader stops before the damage.
TEST_F(E00ArcReaderTest, CutCompressedFileAddsNoPointItDoesNotHold) {
  ASSERT_TRUE(readSample("japan_coast_50m.e00"));
  const std::vector<LinePoint> whole = points();
  std::string contents;
  {
    std::ifstream in(
        std::string(MORVANE_TEST_DATA) + "/japan_coast_50m_full.e00",
        std::ios::binary);
    contents.assign(std::istreambuf_iterator<char>(in), {});
  }
  ASSERT_GT(contents.size(), 2000u);
  // Before the first end-of-line code the file is not yet seen as
  // compressed.
  const size_t compressedFrom = contents.find("~}") + 2;
  for (size_t cut = 0; cut < contents.size(); ++cut) {
    if (cut == 1000) cut = contents.size() - 400;
    SCOPED_TRACE(cut);
    headless::resetUi();
    headless::setEcho(false);
    data_.clear();
    const bool ok = read(contents.substr(0, cut));
    if (!ok) {
      ASSERT_EQ(told().size(), 1u);
      ASSERT_EQ(told()[0].text, kTextCannotReadGisFile);
      continue;
    }
    if (cut < 1000 && cut >= compressedFrom) {
      ASSERT_TRUE(contents[cut - 1] == '}' ||
                  (contents[cut - 1] == '\n' && contents[cut - 2] == '}'));
    }
    const std::vector<LinePoint> got = points();
    ASSERT_LE(got.size(), whole.size());
    ASSERT_TRUE(std::equal(got.begin(), got.end(), whole.begin()));
    if (cut >= 1000) {
      EXPECT_EQ(got, whole);
    }
  }
}
}  // namespace
