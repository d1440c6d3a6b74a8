// Projected coverages through both readers, against GDAL's conversion of
// the same files (tests/data/projected, made by its make-samples), and the
// PRJ sections both refuse.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "e00/E00PlaceNameReader.h"
#include "e00/E00Projection.h"
#include "platform/FileSystem.h"
#include "resources/Texts.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "tests/TempName.h"
#include "tests/TestHost.h"
#include "tests/e00/TempFile.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace {

struct Vertex {
  double latitude;
  double longitude;
};

struct Expected {
  std::vector<std::vector<Vertex>> arcs;
  std::vector<std::string> names;
  std::vector<Vertex> namePositions;
};

Expected readExpected(const std::string& path) {
  Expected e;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (first == "arc") {
      e.arcs.emplace_back();
    } else if (first == "name") {
      std::string name;
      Vertex v;
      words >> name >> v.latitude >> v.longitude;
      e.names.push_back(name);
      e.namePositions.push_back(v);
    } else if (!first.empty()) {
      Vertex v;
      v.latitude = std::stod(first);
      words >> v.longitude;
      e.arcs.back().push_back(v);
    }
  }
  return e;
}

// GDAL's degrees in units: times 36000 truncated toward zero, either unit
// next to it when GDAL's value lies within 1e-6 of a unit boundary.
::testing::AssertionResult sameUnits(double gdalDegrees, int32_t units) {
  const double product = gdalDegrees * 36000.0;
  const int32_t truncated = static_cast<int32_t>(product);
  if (units == truncated) return ::testing::AssertionSuccess();
  if (std::fabs(product - std::round(product)) < 1e-6 &&
      std::abs(units - truncated) <= 1) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << units << " units, GDAL " << product << " (" << truncated << ")";
}

class ProjectedFilesTest : public TestHost,
                           public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    home_ = uniqueTempPath("morvane-projected-test-");
    std::filesystem::remove_all(home_);
    standin::setHome(home_);
    progress_.create(nullptr);
  }
  void TearDown() override {
    progress_.destroyWindow();
    TestHost::TearDown();
    std::filesystem::remove_all(home_);
  }

  static std::string sample(const std::string& name) {
    return std::string(MORVANE_TEST_DATA) + "/" + name;
  }

  ProgressDialog progress_;
  LineDataSet data_{1};
  std::string home_;
};

// Every vertex and every named point as GDAL puts them, through both
// readers, for each projection, ellipsoid and unit.
TEST_P(ProjectedFilesTest, ReadersAgreeWithGdal) {
  const std::string name = GetParam();
  const bool real = name.rfind("gdal_", 0) == 0;
  const std::string e00 = real ? sample(name + ".e00")
                               : sample("projected/" + name + ".e00");
  const Expected expected =
      readExpected(sample("projected/" + name + ".expected"));
  ASSERT_FALSE(expected.arcs.empty());

  ASSERT_TRUE(readE00Arcs(data_, modulePath(e00).c_str(), progress_));
  EXPECT_TRUE(headless::messages().empty());
  int32_t at = 0;
  for (size_t a = 0; a < expected.arcs.size(); ++a) {
    if (a > 0) {
      ASSERT_LT(at, data_.points.size());
      ASSERT_TRUE(isSeparator(data_.points[at++])) << "before arc " << a;
    }
    for (size_t v = 0; v < expected.arcs[a].size(); ++v, ++at) {
      SCOPED_TRACE(::testing::Message() << "arc " << a << " vertex " << v);
      ASSERT_LT(at, data_.points.size());
      EXPECT_TRUE(sameUnits(expected.arcs[a][v].latitude,
                            data_.points[at].latitude));
      EXPECT_TRUE(sameUnits(expected.arcs[a][v].longitude,
                            data_.points[at].longitude));
    }
  }
  // The separator after the last arc, and nothing else.
  EXPECT_EQ(data_.points.size(), at + 1);
  // Read twice when the PRJ section comes after the arcs, the bar climbing
  // all the way in steps of 5 even so: the dialog's 0, the reader's 0, ...
  const std::vector<int32_t>& bar =
      headless::windowOf(progress_)->control(kProgressBarControl).positions;
  ASSERT_GE(bar.size(), 3u);
  EXPECT_EQ(bar.back(), 100);
  for (size_t i = 3; i + 1 < bar.size(); ++i) {
    EXPECT_EQ(bar[i] % 5, 0);
    EXPECT_GT(bar[i], bar[i - 1]);
  }

  headless::resetUi();
  ASSERT_TRUE(readE00PlaceNames(modulePath(e00).c_str(), progress_).result);
  const auto& entries = standin::nameEntries();
  ASSERT_EQ(entries.size(), expected.names.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(expected.names[i]);
    EXPECT_EQ(entries[i].name, expected.names[i]);
    int32_t latitude, longitude;
    ASSERT_TRUE(degreesToUnits(entries[i].latitude, &latitude));
    ASSERT_TRUE(degreesToUnits(entries[i].longitude, &longitude));
    EXPECT_TRUE(sameUnits(expected.namePositions[i].latitude, latitude));
    EXPECT_TRUE(sameUnits(expected.namePositions[i].longitude, longitude));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ProjectedFilesTest,
    ::testing::Values(
        "gdal_test", "gdal_testpoly", "utm13n_nad27", "utm56s_wgs84",
        "utm18s_by_meridian", "utm10n_axes", "utm44n_everest",
        "utm54n_tokyo", "tm_airy_feet", "tm_bessel_south", "tm_clarke1880",
        "tm_grs1980_kilometers", "lcc_nad27", "lcc_gda94_south",
        "lcc_sphere", "albers_nad83", "albers_grs80_south", "albers_wgs72",
        "mercator_wgs84", "mercator_int1909", "polar_north", "polar_south",
        "polyconic_int1909", "eqdc_one_parallel", "eqdc_two_parallels",
        "eqdc_offset_origin", "laea_etrs", "laea_south_pole"));

// --- Refusals ----------------------------------------------------------

// A UTM zone 13 coverage (arcs and named points) with its PRJ section
// replaced by the given lines, each followed by "~"; without eop the file
// ends after them.
std::string coverage(const std::vector<std::string>& prj, bool eop = true) {
  std::ifstream in(std::string(MORVANE_TEST_DATA) +
                       "/projected/utm13n_nad27.e00",
                   std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(in)),
                std::istreambuf_iterator<char>());
  const size_t begin = s.find("PRJ  2\n");
  const size_t end = s.find("EOP\n", begin) + 4;
  std::string section = "PRJ  2\n";
  for (const std::string& line : prj) section += line + "\n~\n";
  if (!eop) return s.substr(0, begin) + section;
  return s.substr(0, begin) + section + "EOP\n" + s.substr(end);
}

std::string withoutPrj() {
  std::string s = coverage({});
  const size_t begin = s.find("PRJ  2\n");
  return s.erase(begin, s.find("EOP\n", begin) + 4 - begin);
}

const std::vector<std::string> kUtm = {
    "Projection    UTM",          "Zone          13",
    "Datum         NAD27",        "Zunits        NO",
    "Units         METERS",       "Spheroid      CLARKE1866",
    "Xshift        0.0000000000", "Yshift        0.0000000000",
    "Parameters"};

std::string notSupported(const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, kTextPrjNotSupportedFormat, what);
  return text;
}
std::string unreadable(const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, kTextPrjUnreadableFormat, what);
  return text;
}

std::vector<std::string> with(std::vector<std::string> lines, size_t i,
                              const std::string& replacement) {
  lines[i] = replacement;
  return lines;
}

TEST_F(ProjectedFilesTest, SectionsNotUnderstoodRefuseTheFile) {
  const std::vector<std::string> tm = {
      "Projection    TRANSVERSE", "Spheroid      CLARKE1866", "Parameters",
      "0.9996", "-105 0 0.0", "0.0", "500000.0", "0.0"};
  struct Case {
    const char* name;
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {"projection not known",
       coverage(with(kUtm, 0, "Projection    STATEPLANE")),
       notSupported("Projection STATEPLANE")},
      {"spheroid not known", coverage(with(with(kUtm, 2, "Datum NONE"), 5,
                                           "Spheroid      HAYFORD1910")),
       notSupported("Spheroid HAYFORD1910")},
      {"datum not known, no spheroid",
       coverage(with(with(kUtm, 2, "Datum PULKOVO"), 5, "Zunits NO")),
       notSupported("Datum PULKOVO")},
      {"no ellipsoid at all",
       coverage(with(with(kUtm, 2, "Zunits NO"), 5, "Zunits NO")),
       unreadable("Spheroid")},
      {"unit not known", coverage(with(kUtm, 4, "Units         FURLONGS")),
       notSupported("Units FURLONGS")},
      {"degrees for a projection", coverage(with(kUtm, 4, "Units DD")),
       notSupported("Units DD")},
      {"zone out of range, no parameters",
       coverage(with(kUtm, 1, "Zone          61")), unreadable("Zone 61")},
      {"zone not a number", coverage(with(kUtm, 1, "Zone          l3")),
       unreadable("Zone l3")},
      {"shift not a number", coverage(with(kUtm, 7, "Yshift        O.0")),
       unreadable("Yshift O.0")},
      {"keyword not known", coverage(with(kUtm, 3, "Zumits        NO")),
       unreadable("Zumits")},
      {"parameter missing",
       coverage(std::vector<std::string>(tm.begin(), tm.end() - 1)),
       unreadable("Parameters 5")},
      {"parameter garbled", coverage(with(tm, 4, "-105 0")),
       unreadable("Parameters 2")},
      {"comment alone in a parameter's place",
       coverage(with(tm, 5, "/* latitude of origin")),
       unreadable("Parameters 3")},
      {"parameters the projection cannot take",
       coverage(with(tm, 3, "-0.9996")), unreadable("Parameters")},
      {"section cut before its EOP", coverage(kUtm, false),
       unreadable("EOP")},
      {"point outside the projection's domain",
       coverage({"Projection LAMBERT_AZIMUTHAL", "Spheroid GRS80",
                 "Units KILOMETERS", "Parameters", "-105", "0", "0", "0"}),
       kTextCannotConvertToDegrees},
      {"no PRJ section, metres", withoutPrj(), kTextNotGeographicDegrees},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool arcs : {true, false}) {
      SCOPED_TRACE(arcs ? "arcs" : "names");
      resetTestHost();
      standin::setHome(home_);
      TempFile file(c.file);
      const Result read =
          arcs ? readE00Arcs(data_, file.path(), progress_)
               : readE00PlaceNames(file.path(), progress_).result;
      EXPECT_FALSE(read);
      ASSERT_NE(failureText(read), nullptr);
      EXPECT_EQ(failureText(read), std::string(c.message));
      EXPECT_TRUE(headless::messages().empty());
      EXPECT_TRUE(standin::nameEntries().empty());
    }
  }
}

// The arcs of the UTM coverage written copies times over: enough points for
// the conversion to go block by block on two threads.
std::string manyArcs(const std::string& file, int copies) {
  const size_t begin = file.find("ARC  2\n") + 7;
  const size_t end = file.find("        -1         0", begin);
  std::string out = file.substr(0, begin);
  for (int i = 0; i < copies; ++i) out += file.substr(begin, end - begin);
  return out + file.substr(end);
}

// However the points reach their conversion (kept while the file is read,
// or converted as they come when the PRJ section stands first), every
// vertex is the same, in the same arcs.
TEST_F(ProjectedFilesTest, KeptPointsConvertAsPointsReadAfterThePrj) {
  const std::string whole = coverage(kUtm);
  ASSERT_TRUE(readE00Arcs(data_, TempFile(whole).path(), progress_));
  const std::vector<LinePoint> one(data_.points.data(),
                                   data_.points.data() + data_.points.size());
  const size_t prj = whole.find("PRJ  2\n");
  const size_t eop = whole.find("EOP\n", prj) + 4;
  const size_t arcs = whole.find("ARC  2\n");
  const std::string prjFirst = whole.substr(0, arcs) +
                               whole.substr(prj, eop - prj) +
                               whole.substr(arcs, prj - arcs) +
                               whole.substr(eop);
  constexpr int kCopies = 3000;
  struct Case {
    const char* name;
    std::string file;
    int copies;
    bool kept;
  };
  const Case cases[] = {
      {"PRJ section first", prjFirst, 1, false},
      {"many arcs, kept", manyArcs(whole, kCopies), kCopies, true},
      {"many arcs, PRJ section first", manyArcs(prjFirst, kCopies), kCopies,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    resetTestHost();
    ProgressDialog progress;
    progress.create(nullptr);
    ASSERT_TRUE(readE00Arcs(data_, TempFile(c.file).path(), progress));
    EXPECT_TRUE(headless::messages().empty());
    ASSERT_EQ(data_.points.size(),
              static_cast<int32_t>(one.size()) * c.copies);
    int32_t wrong = 0;
    for (int32_t k = 0; k < data_.points.size(); ++k) {
      const LinePoint& want = one[static_cast<size_t>(k) % one.size()];
      if (data_.points[k].latitude != want.latitude ||
          data_.points[k].longitude != want.longitude) {
        ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
    const std::vector<int32_t>& bar =
        headless::windowOf(progress)->control(kProgressBarControl).positions;
    EXPECT_EQ(bar.back(), 100);
    if (c.kept) {
      // Every multiple of 5 from 0 to 100, the conversion's half included.
      std::vector<int32_t> steps;
      for (int32_t p = 0; p <= 100; p += 5) steps.push_back(p);
      std::vector<int32_t> shown(bar.begin() + 2, bar.end() - 1);
      EXPECT_EQ(shown, steps);
    }
  }

  // A cancel during the conversion stops it there, with nothing told.
  // The reading's pumps are those of 0 to 50; the conversion's are at 55,
  // 60 and 65, where the cancel is seen.
  resetTestHost();
  ProgressDialog progress;
  progress.create(nullptr);
  headless::scheduleClick(14, kProgressDialogTemplate, kProgressCancelButton);
  EXPECT_EQ(readE00Arcs(data_, TempFile(manyArcs(whole, kCopies)).path(),
                        progress)
                .reason(),
            FailureReason::kCancelled);
  EXPECT_TRUE(headless::messages().empty());
  EXPECT_EQ(standin::pumpCount(), 14);
  const std::vector<int32_t>& bar =
      headless::windowOf(progress)->control(kProgressBarControl).positions;
  EXPECT_EQ(bar.back(), 60);
}

// A UTM zone 13 coverage of arcs of uneven lengths (one point to a thousand)
// in single precision, enough points for every block of the conversion to
// be shared by two threads; the point at bad (when in range) lies far
// outside the zone. The PRJ section comes after the arcs, or first.
std::string unevenArcs(int32_t bad, bool prjFirst) {
  static const int32_t kLengths[] = {1, 2, 3, 500, 7, 64, 1000, 2, 1, 333};
  std::string prj = "PRJ  2\n";
  for (const std::string& line : kUtm) prj += line + "\n~\n";
  prj += "EOP\n";
  std::string s = "EXP  0 /DATA/UNEVEN.E00\n";
  if (prjFirst) s += prj;
  s += "ARC  2\n";
  int32_t point = 0;
  char line[128];
  for (int32_t arc = 0; point < 160000; ++arc) {
    const int32_t n = kLengths[arc % 10];
    std::snprintf(line, sizeof line, "%10d%10d%10d%10d%10d%10d%10d\n",
                  arc + 1, arc + 1, 1, 2, 0, 0, n);
    s += line;
    for (int32_t k = 0; k < n; ++k, ++point) {
      const double x =
          point == bad ? 9.9e9 : 200000.0 + (point * 7919) % 600000;
      // Northward with the points, so that the bounds grow to the last.
      const double y = 3500000.0 + point * 8.0 + (point * 104729LL) % 1000;
      std::snprintf(line, sizeof line, "%14.7E%14.7E", x, y);
      s += line;
      if (k % 2 == 1 || k == n - 1) s += "\n";
    }
  }
  s += "        -1         0         0         0         0         0"
       "         0\n";
  if (!prjFirst) s += prj;
  return s + "EOS\n";
}

UnitBounds boundsOf(const LinePoint* points, int32_t size) {
  LineDataSet bounds(0);
  for (int32_t k = 0; k < size; ++k) {
    if (!isSeparator(points[k])) bounds.widenBounds(points[k]);
  }
  return bounds.bounds;
}

// Kept points go to their places in the data set from both threads: the
// same points, separators and bounds as adding them one by one when the
// PRJ section stands first. A point that has no conversion refuses the
// file, the data set holding just what came before it.
TEST_F(ProjectedFilesTest, KeptArcsOfAnyLengthLandWhereTheyWouldOneByOne) {
  ASSERT_TRUE(readE00Arcs(data_, TempFile(unevenArcs(-1, true)).path(),
                          progress_));
  const std::vector<LinePoint> good(data_.points.data(),
                                    data_.points.data() + data_.points.size());
  const UnitBounds goodBounds = data_.bounds;
  ASSERT_GT(good.size(), 160000u);

  resetTestHost();
  ASSERT_TRUE(readE00Arcs(data_, TempFile(unevenArcs(-1, false)).path(),
                          progress_));
  EXPECT_TRUE(headless::messages().empty());
  ASSERT_EQ(data_.points.size(), static_cast<int32_t>(good.size()));
  int32_t wrong = 0;
  for (int32_t k = 0; k < data_.points.size(); ++k) {
    wrong += data_.points[k].latitude != good[k].latitude ||
             data_.points[k].longitude != good[k].longitude;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(std::memcmp(&data_.bounds, &goodBounds, sizeof goodBounds), 0);

  // Of the points, how many there are and where the first arc that starts
  // past 60% of them starts.
  int32_t count = 0, arcStart = 0;
  for (const LinePoint& p : good) {
    if (isSeparator(p)) {
      if (arcStart == 0 && count > 96000) arcStart = count;
    } else {
      ++count;
    }
  }
  ASSERT_GT(arcStart, 0);
  struct Case {
    const char* name;
    int32_t bad;
  };
  // The first of an arc in a later block has its separator not yet added.
  const Case cases[] = {
      {"first point", 0},
      {"first of an arc", arcStart},
      {"inside an arc", 100000},
      {"last point", count - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    resetTestHost();
    EXPECT_EQ(readE00Arcs(data_, TempFile(unevenArcs(c.bad, false)).path(),
                          progress_)
                  .reason(),
              FailureReason::kCannotConvertToDegrees);
    EXPECT_TRUE(headless::messages().empty());
    // The good points before the refused one, without the separator that
    // would have come before it.
    int32_t keep = 0;
    for (int32_t n = 0; n < c.bad; ++keep) n += !isSeparator(good[keep]);
    ASSERT_EQ(data_.points.size(), keep);
    EXPECT_EQ(std::memcmp(data_.points.data(), good.data(),
                          static_cast<size_t>(keep) * sizeof(LinePoint)),
              0);
    const UnitBounds want = boundsOf(good.data(), keep);
    EXPECT_EQ(std::memcmp(&data_.bounds, &want, sizeof want), 0);
  }
}

// Each line of a section cut away, or turned into something else: the file
// is read as before or refused with a message, never half converted.
TEST_F(ProjectedFilesTest, EveryLineCutOrGarbledIsReadOrRefused) {
  const std::string whole = coverage(kUtm);
  resetTestHost();
  ASSERT_TRUE(readE00Arcs(data_, TempFile(whole).path(), progress_));
  const std::vector<LinePoint> good(data_.points.data(),
                                    data_.points.data() + data_.points.size());
  for (size_t i = 0; i < kUtm.size(); ++i) {
    for (const char* replacement : {"", "#~?", "Projection"}) {
      SCOPED_TRACE(::testing::Message() << "line " << i << " as '"
                                        << replacement << "'");
      std::vector<std::string> lines = with(kUtm, i, replacement);
      for (const std::string& file : {coverage(lines), coverage(lines, false)}) {
        resetTestHost();
        TempFile temp(file);
        const Result read = readE00Arcs(data_, temp.path(), progress_);
        EXPECT_TRUE(headless::messages().empty());
        if (read) {
          EXPECT_EQ(data_.points.size(), static_cast<int32_t>(good.size()));
          for (int32_t k = 0; k < data_.points.size(); ++k) {
            EXPECT_EQ(data_.points[k].latitude, good[k].latitude);
            EXPECT_EQ(data_.points[k].longitude, good[k].longitude);
          }
        } else {
          // Refused with a reason the user is told.
          EXPECT_NE(failureText(read), nullptr);
        }
      }
    }
  }
}

// What GDAL reads from a parameter line, and where this reader differs.
TEST(E00ProjectionTest, ParametersReadAsWritten) {
  struct Case {
    const char* line;
    double centralMeridian;  // P2 of TRANSVERSE
  };
  const Case cases[] = {
      {"-105 30 0.000 /* longitude of central meridian", -105.5},
      {"-105.5", -105.5},
      {"  -105 30 36.0", -105.51},
      // Seconds beyond a minute are dropped, as GDAL does for files that
      // have them.
      {"-105 30 75.0", -105.5},
      // West of Greenwich by less than a degree; GDAL reads it east.
      {"-0 30 0", -0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    E00Projection p;
    const std::string lines[] = {"PRJ  2", "Projection TRANSVERSE", "~",
                                 "Spheroid CLARKE1866", "Parameters", "",
                                 "0.9996", c.line, "~", "0.0", "0.0 /* E",
                                 "0.0", "EOP"};
    for (const std::string& line : lines) {
      p.onLine(line.c_str(), static_cast<int32_t>(line.size()));
    }
    ASSERT_TRUE(p.projected());
    EXPECT_NEAR(p.definition().centralMeridian, c.centralMeridian, 1e-12);
  }
}

// The prj line names the conversion; geographic files keep theirs.
TEST(E00ProjectionTest, DescribeNamesTheConversion) {
  struct Case {
    std::vector<std::string> lines;
    const char* expected;
  };
  const Case cases[] = {
      {kUtm, "UTM zone 13, NAD27, CLARKE1866, METERS -> degrees, no datum "
             "shift"},
      {{"Projection LAMBERT_AZIMUTHAL", "Spheroid GRS80", "Units FEET",
        "Parameters", "10", "52", "0", "0"},
       "LAMBERT_AZIMUTHAL, GRS80, FEET -> degrees, no datum shift"},
      {{"Projection UTM", "Zone 56", "Datum WGS84", "Yshift 10000000",
        "Parameters"},
       "UTM zone 56 south, WGS84, METERS -> degrees, no datum shift"},
      {{"Projection STATEPLANE", "Units FEET", "Parameters"},
       "Projection STATEPLANE; Units FEET"},
      {{"Projection GEOGRAPHIC", "Units DD", "Parameters"},
       "Projection GEOGRAPHIC; Units DD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    E00Projection p;
    p.onLine("PRJ  2\n", 7);
    for (const std::string& line : c.lines) {
      p.onLine(line.c_str(), static_cast<int32_t>(line.size()));
    }
    p.onLine("EOP\n", 4);
    char text[160];
    p.describe(text, sizeof text);
    EXPECT_STREQ(text, c.expected);
  }
}

}  // namespace
