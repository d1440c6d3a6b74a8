#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "platform/MemoryBlock.h"
#include "platform/MemoryFileSystem.h"
#include "resources/Texts.h"
#include "tests/dataset/CacheFileTestSupport.h"

namespace {

using namespace cache_test;
using standin::ProgressBarEvent;

constexpr int32_t kSep = kSeparatorLatitude;

class CacheFileTest : public DepotFixture {
 protected:
  fs::path binPath(const std::string& name) {
    return folder_ / (name + ".bin");
  }

  // Loads name into a fresh data set.
  std::unique_ptr<LineDataSet> load(const std::string& name,
                                    int32_t* result) {
    auto d = makeDataSet(name);
    *result = loadCache(*d);
    return d;
  }

  std::vector<int32_t> reportedPositions() {
    std::vector<int32_t> out;
    for (const ProgressBarEvent& e : standin::progressBarEvents()) {
      if (e.kind == ProgressBarEvent::kSetPos) out.push_back(e.percent);
    }
    return out;
  }

  // A data set whose read was not whole is never written back: saveCache
  // refuses it, silently, and the file stays byte for byte.
  void expectNotWrittenBack(LineDataSet& d, const std::string& name) {
    const std::vector<unsigned char> before = readBytes(binPath(name));
    EXPECT_TRUE(d.cacheNotWhole) << name;
    EXPECT_FALSE(cacheUpToDate(d));
    d.lineColour ^= 1;  // even with a change to keep
    EXPECT_FALSE(saveCache(d));
    EXPECT_EQ(readBytes(binPath(name)), before);
  }

  // The bar was created once, removed once, removed last.
  void expectBarRemoved() {
    const auto& events = standin::progressBarEvents();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front().kind, ProgressBarEvent::kCreate);
    EXPECT_EQ(events.back().kind, ProgressBarEvent::kDelete);
    EXPECT_FALSE(standin::progressBarShown());
  }
};

std::vector<LinePoint> manyPoints(int32_t n) {
  std::vector<LinePoint> points;
  for (int32_t i = 0; i < n; ++i) {
    if (i % 7 == 6) {
      points.push_back({kSep, kSep});
    } else {
      points.push_back({i * 13 - 40000, 5000000 - i * 7});
    }
  }
  return points;
}

UnitBounds boxOf(const std::vector<LinePoint>& points) {
  UnitBounds b = kEmptyBounds;
  for (const LinePoint& p : points) {
    if (p.latitude == kSep) continue;
    b.left = std::min(b.left, p.longitude);
    b.right = std::max(b.right, p.longitude);
    b.top = std::min(b.top, p.latitude);
    b.bottom = std::max(b.bottom, p.latitude);
  }
  return b;
}

void expectBounds(const UnitBounds& a, const UnitBounds& b) {
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(a.bottom, b.bottom);
}

// What a check after every point reports for n points: 0 first, then
// (100 x i) / n whenever it is a multiple of 5 not reported before; then
// the 100 of the end.
std::vector<int32_t> progressOfEveryPoint(int32_t n) {
  std::vector<int32_t> expected = {0};
  int32_t last = -1;
  for (int64_t i = 0; i < n; ++i) {
    int32_t p = static_cast<int32_t>((100 * i) / n);
    if (p % 5 == 0 && p != last) {
      expected.push_back(p);
      last = p;
    }
  }
  expected.push_back(100);
  return expected;
}

// Capacity of the point storage after n single appends: 1, then 1000 more
// every time the room is used up.
int32_t capacityAfterAppends(int32_t n) {
  if (n == 0) return 0;
  return 1 + ((n - 1 + 999) / 1000) * 1000;
}

// --- Writing ------------------------------------------------------------

TEST_F(CacheFileTest, EmptyDataSetGivesTheTwentyEightByteFile) {
  auto d = makeDataSet("empty");
  saveCache(*d);
  EXPECT_EQ(readBytes(binPath("empty")),
            documentedBytes(0x0000FFFF, 1, 1, 1, {}));
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileTest, OneArcOfTwoPointsGivesFiftyTwoBytes) {
  auto d = makeDataSet("arc");
  d->lineColour = 0x00123456;
  d->lineWidth = 9;
  d->showIn3d = 0;
  d->visible = 0;
  ASSERT_EQ(d->addPoint(35.5, 139.25), 1);
  ASSERT_EQ(d->addPoint(-0.0001, -179.9), 1);
  ASSERT_EQ(d->endArc(), 1);
  saveCache(*d);
  std::vector<unsigned char> bytes = readBytes(binPath("arc"));
  ASSERT_EQ(bytes.size(), 52u);
  EXPECT_EQ(bytes, documentedBytes(0x00123456, 9, 0, 0,
                                   {{1278000, 5013000},
                                    {-3, -6476400},
                                    {kSep, kSep}}));
}

TEST_F(CacheFileTest, SaveReplacesTheWholeFile) {
  auto d = makeDataSet("again");
  for (const LinePoint& p : manyPoints(3000)) d->points.append(p);
  saveCache(*d);
  EXPECT_EQ(fs::file_size(binPath("again")), 28u + 8u * 3000u);
  d->clear();
  d->points.append({1, 2});
  saveCache(*d);
  EXPECT_EQ(readBytes(binPath("again")),
            documentedBytes(0x0000FFFF, 1, 1, 1, {{1, 2}}));
}

TEST_F(CacheFileTest, SaveCreatesTheDepotFolderOneLevelDeep) {
  setDepot(folder_ / "sub");
  auto d = makeDataSet("x");
  saveCache(*d);
  EXPECT_TRUE(fs::exists(folder_ / "sub" / "x.bin"));
  EXPECT_TRUE(headless::messages().empty());
}

// --- Reading ------------------------------------------------------------

TEST_F(CacheFileTest, RoundTripKeepsPointsBoundsAndAttributes) {
  struct Attributes {
    uint32_t colour;
    int32_t width, showIn3d, visible;
  };
  const Attributes cases[] = {
      {0x0000FFFF, 1, 1, 1},  // the defaults
      {0x00FF0000, 9, 0, 1},
      {0xFFFFFFFF, -1, 2, 0},  // stored as they are, whatever they hold
  };
  std::vector<LinePoint> points = manyPoints(2500);
  points.push_back({kSep, 42});  // a separator by its latitude alone
  points.push_back({-7, 8});
  for (const Attributes& a : cases) {
    auto d = makeDataSet("rt");
    d->lineColour = a.colour;
    d->lineWidth = a.width;
    d->showIn3d = a.showIn3d;
    d->visible = a.visible;
    for (const LinePoint& p : points) {
      d->points.append(p);
      if (!isSeparator(p)) d->widenBounds(p);
    }
    saveCache(*d);
    int32_t result = 0;
    auto back = load("rt", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(back->lineColour, a.colour);
    EXPECT_EQ(back->lineWidth, a.width);
    EXPECT_EQ(back->showIn3d, a.showIn3d);
    EXPECT_EQ(back->visible, a.visible);
    ASSERT_EQ(pointsOf(*back).size(), points.size());
    EXPECT_EQ(std::memcmp(back->points.data(), points.data(),
                          points.size() * sizeof(LinePoint)),
              0);
    expectBounds(back->bounds, boxOf(points));
    expectBounds(back->bounds, d->bounds);
    EXPECT_EQ(back->points.capacity(), back->points.size());  // compacted
  }
}

TEST_F(CacheFileTest, ProgressRisesInStepsOfFiveBelowOneHundred) {
  for (int32_t n : {0, 1, 3, 19, 20, 21, 39, 40, 99, 100, 101, 1001, 7777}) {
    standin::resetProgressBar();
    writeBytes(binPath("p"), documentedBytes(1, 1, 1, 1, manyPoints(n)));
    int32_t result = 0;
    load("p", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(reportedPositions(), progressOfEveryPoint(n)) << n;
    expectBarRemoved();
  }
  // Three points report only the 0 of readPoints.
  standin::resetProgressBar();
  writeBytes(binPath("p"), documentedBytes(1, 1, 1, 1, manyPoints(3)));
  int32_t result = 0;
  load("p", &result);
  EXPECT_EQ(reportedPositions(), (std::vector<int32_t>{0, 0, 100}));
}

// Files of several read runs, with the values the bounds must get right
// wherever they stand: a separator whose longitude is no separator value,
// and real points at the extremes of the range (a longitude of 2147483647
// counts when the latitude is not the separator's).
TEST_F(CacheFileTest, LargeFilesComeBackWithExactBoundsAndProgress) {
  struct Extreme {
    LinePoint point;
    int32_t index;  // from the end when negative
  };
  const int32_t n = 100003;  // three runs of 32768 points and a rest
  const std::vector<std::vector<Extreme>> cases = {
      {},
      {{{kSep, INT32_MIN}, 50000}, {{kSep, INT32_MAX - 1}, -1}},
      {{{-5, INT32_MAX}, 0}, {{INT32_MIN, INT32_MIN}, -3}},
      {{{INT32_MAX - 1, 0}, 32767}, {{INT32_MIN, -1}, 32768},
       {{0, INT32_MAX}, -1}},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    std::vector<LinePoint> points = manyPoints(n);
    for (const Extreme& e : cases[c]) {
      points[e.index >= 0 ? e.index : n + e.index] = e.point;
    }
    standin::resetProgressBar();
    writeBytes(binPath("big"), documentedBytes(7, 2, 1, 0, points));
    int32_t result = 0;
    auto d = load("big", &result);
    ASSERT_EQ(result, 1) << c;
    ASSERT_EQ(d->points.size(), n);
    EXPECT_EQ(std::memcmp(d->points.data(), points.data(),
                          points.size() * sizeof(LinePoint)),
              0);
    expectBounds(d->bounds, boxOf(points));
    EXPECT_EQ(d->points.capacity(), n);
    EXPECT_EQ(reportedPositions(), progressOfEveryPoint(n)) << c;
  }
  // The storage comes in one piece of exactly the points the file holds.
  setMemoryBlockLimitForTesting(sizeof(LinePoint) * n);
  int32_t result = 0;
  auto d = load("big", &result);
  setMemoryBlockLimitForTesting(0);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(d->points.size(), n);
}

// A file as long as its count says whose reading fails part way: the
// points before the failure stay, with their bounds, and no more storage.
TEST_F(CacheFileTest, ReadFailureInsideALargeFileKeepsWhatArrived) {
  const int32_t n = 70000;
  const std::vector<LinePoint> points = manyPoints(n);
  const std::vector<unsigned char> bytes =
      documentedBytes(9, 1, 1, 1, points);
  for (int64_t k : {int64_t{28}, int64_t{4096}, int64_t{28 + 8 * 32768},
                    int64_t{28 + 8 * 40000 + 3}, int64_t{28 + 8 * 70000 - 1}}) {
    MemoryFileSystem memory("M:\\");
    memory.putFile("M:\\depot\\big.bin",
                   std::string(bytes.begin(), bytes.end()));
    memory.failReadsAt(k);
    standin::resetProgressBar();
    char depot[] = "M:\\depot";
    LineDataSet d(1);
    d.clear();
    d.name = "big";
    d.depotPath = depot;
    EXPECT_EQ(loadCache(d), 0) << k;
    const size_t kept = static_cast<size_t>((k - 28) / 8);
    ASSERT_EQ(d.points.size(), static_cast<int32_t>(kept)) << k;
    EXPECT_EQ(d.points.capacity(), d.points.size()) << k;
    const std::vector<LinePoint> arrived(points.begin(),
                                         points.begin() + kept);
    if (kept > 0) {
      EXPECT_EQ(std::memcmp(d.points.data(), arrived.data(),
                            kept * sizeof(LinePoint)),
                0);
    }
    expectBounds(d.bounds, boxOf(arrived));
    expectBarRemoved();
  }
}

TEST_F(CacheFileTest, OlderVersionsAreReadAndNewerOnesRefused) {
  const std::vector<LinePoint> points = {{10, 20}, {30, 40}};
  struct Case {
    int32_t header, block, result;
    bool attributesTaken;
    size_t points;
  };
  const Case cases[] = {
      {99, 100, 1, true, 2},
      {100, 99, 1, true, 2},
      {-5, 0, 1, true, 2},
      {101, 100, 0, false, 0},
      {INT32_MAX, 100, 0, false, 0},
      {100, 101, 0, true, 0},
      {99, INT32_MAX, 0, true, 0},
  };
  for (const Case& c : cases) {
    standin::resetProgressBar();
    writeBytes(binPath("v"), documentedBytes(0x00ABCDEF, 4, 0, 0, points,
                                             c.header, c.block));
    auto d = makeDataSet("v");
    const CacheLoad read = readCache(*d);
    EXPECT_EQ(read, c.result == 1 ? CacheLoad::kWhole : CacheLoad::kRefused);
    const int32_t result = read == CacheLoad::kWhole ? 1 : 0;
    EXPECT_EQ(result, c.result) << c.header << "/" << c.block;
    EXPECT_EQ(d->lineColour, c.attributesTaken ? 0x00ABCDEFu : 0x0000FFFFu);
    EXPECT_EQ(d->lineWidth, c.attributesTaken ? 4 : 1);
    EXPECT_EQ(d->visible, c.attributesTaken ? 0 : 1);
    EXPECT_EQ(d->points.size(), static_cast<int32_t>(c.points));
    if (c.points == 0) expectBounds(d->bounds, kEmptyBounds);
    expectBarRemoved();
    if (result == 0) expectNotWrittenBack(*d, "v");
  }
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileTest, FileCutAtEveryByteKeepsWhatArrived) {
  const std::vector<LinePoint> points = {
      {1, 2}, {3, -4}, {kSep, kSep}, {-5, 6}, {7, 8}};
  const std::vector<unsigned char> whole =
      documentedBytes(0x00010203, 3, 0, 1, points);
  for (size_t cut = 0; cut <= whole.size(); ++cut) {
    standin::resetProgressBar();
    writeBytes(binPath("cut"),
               std::vector<unsigned char>(whole.begin(), whole.begin() + cut));
    auto d = makeDataSet("cut");
    const CacheLoad read = readCache(*d);
    EXPECT_EQ(read, cut == whole.size() ? CacheLoad::kWhole : CacheLoad::kCut)
        << cut;
    EXPECT_EQ(d->lineColour, cut >= 20 ? 0x00010203u : 0x0000FFFFu) << cut;
    size_t kept = cut < 28 ? 0 : (cut - 28) / 8;
    std::vector<LinePoint> expected(points.begin(), points.begin() + kept);
    std::vector<LinePoint> got = pointsOf(*d);
    ASSERT_EQ(got.size(), kept) << cut;
    for (size_t i = 0; i < kept; ++i) {
      EXPECT_EQ(got[i].latitude, expected[i].latitude);
      EXPECT_EQ(got[i].longitude, expected[i].longitude);
    }
    expectBounds(d->bounds, boxOf(expected));
    expectBarRemoved();
    if (cut < whole.size()) expectNotWrittenBack(*d, "cut");
  }
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileTest, UntrustedCountsNeverAllocateAheadOfTheData) {
  struct Case {
    int32_t n;
    int32_t present;  // points actually in the file
    int32_t result;
  };
  const Case cases[] = {
      {-1, 3, 0},  // no points follow, yet bytes do: not a file we wrote
      {INT32_MIN, 0, 1},
      {INT32_MAX, 0, 0},
      {INT32_MAX, 1, 0},
      {INT32_MAX, 2, 0},
      {INT32_MAX, 1001, 0},
      {INT32_MAX, 1002, 0},
      {5000, 2500, 0},
      {2, 10, 0},  // points beyond N: not a file we wrote either
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes =
        documentedBytes(1, 1, 1, 1, manyPoints(c.present));
    bytes[24] = static_cast<unsigned char>(c.n);
    bytes[25] = static_cast<unsigned char>(c.n >> 8);
    bytes[26] = static_cast<unsigned char>(c.n >> 16);
    bytes[27] = static_cast<unsigned char>(static_cast<uint32_t>(c.n) >> 24);
    writeBytes(binPath("n"), bytes);
    int32_t result = -1;
    auto d = load("n", &result);
    EXPECT_EQ(result, c.result) << c.n << "/" << c.present;
    int32_t kept = c.n <= 0 ? 0 : std::min(c.n, c.present);
    EXPECT_EQ(d->points.size(), kept) << c.n << "/" << c.present;
    // Storage grew by the rule as the points came, compacted on success.
    // (All N points read, then refused for the bytes after them.)
    const bool complete = c.n <= c.present;
    EXPECT_EQ(d->points.capacity(),
              complete ? kept : capacityAfterAppends(kept))
        << c.n << "/" << c.present;
  }
}

TEST_F(CacheFileTest, StorageThatCannotGrowEndsTheReadKeepingPoints) {
  writeBytes(binPath("oom"), documentedBytes(5, 2, 1, 1, manyPoints(3000)));
  setMemoryBlockLimitForTesting(sizeof(LinePoint) * 1001);
  int32_t result = -1;
  auto d = load("oom", &result);
  setMemoryBlockLimitForTesting(0);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(d->points.size(), 1001);
  EXPECT_EQ(d->lineColour, 5u);
  EXPECT_TRUE(headless::messages().empty());
  expectBarRemoved();
}

TEST_F(CacheFileTest, FilesThatCannotBeOpenedGiveZeroWithoutBar) {
  int32_t result = -1;
  auto missing = load("missing", &result);
  EXPECT_EQ(result, 0);
  // Saving what did not come back would make the loss permanent: a 28-byte
  // file in place of one briefly missing (a network folder, another drive).
  EXPECT_FALSE(saveCache(*missing));
  EXPECT_FALSE(fs::exists(binPath("missing")));

  fs::create_directory(binPath("dir"));  // a directory named like the file
  auto directory = load("dir", &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(directory->lineColour, 0x0000FFFFu);
  saveCache(*directory);  // cannot be created: nothing written, nothing said
  EXPECT_TRUE(fs::is_directory(binPath("dir")));

  EXPECT_TRUE(standin::progressBarEvents().empty());
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileTest, FileHeldOpenElsewhereIsNeitherReadNorReplaced) {
  const std::vector<unsigned char> original =
      documentedBytes(7, 2, 1, 1, {{1, 1}});
  writeBytes(binPath("held"), original);
  std::string module = std::string(depot_) + "\\held.bin";
  {
    std::unique_ptr<PlatformFile> holder =
        openFileForReading(module.c_str(), FileShare::kExclusive);
    ASSERT_TRUE(holder);
    int32_t result = -1;
    auto d = load("held", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(d->points.size(), 0);
    EXPECT_TRUE(standin::progressBarEvents().empty());
    d->points.append({9, 9});
    saveCache(*d);  // cannot be opened: the old file stays
  }
  EXPECT_EQ(readBytes(binPath("held")), original);
  EXPECT_TRUE(headless::messages().empty());
  int32_t result = -1;
  load("held", &result);
  EXPECT_EQ(result, 1);  // released again
}

// --- Knowing the file is unchanged ------------------------------------------

// After a whole read or a successful write the file holds the data set
// until an attribute or a point changes, or the file on disk does.
TEST_F(CacheFileTest, UpToDateOnlyWhileTheFileHoldsTheDataSet) {
  using Change = std::function<void(LineDataSet&, const fs::path&)>;
  struct Case {
    const char* what;
    Change change;
    bool upToDate;
  };
  const Case cases[] = {
      {"nothing", [](LineDataSet&, const fs::path&) {}, true},
      {"colour", [](LineDataSet& d, const fs::path&) { d.lineColour ^= 1; },
       false},
      {"colour and back",
       [](LineDataSet& d, const fs::path&) {
         d.lineColour ^= 1;
         d.lineColour ^= 1;
       },
       true},
      {"width", [](LineDataSet& d, const fs::path&) { d.lineWidth = 5; }, false},
      {"visible", [](LineDataSet& d, const fs::path&) { d.visible = 0; }, false},
      {"3D", [](LineDataSet& d, const fs::path&) { d.showIn3d = 0; }, false},
      {"a point", [](LineDataSet& d, const fs::path&) { d.addPoint(1, 1); },
       false},
      {"an arc ended", [](LineDataSet& d, const fs::path&) { d.endArc(); },
       false},
      {"cleared", [](LineDataSet& d, const fs::path&) { d.clear(); }, false},
      {"file written again, same size",
       [](LineDataSet&, const fs::path& f) {
         const std::vector<unsigned char> bytes = readBytes(f);
         writeBytes(f, bytes);
         fs::last_write_time(f, fs::last_write_time(f) + std::chrono::seconds(2));
       },
       false},
      {"file cut",
       [](LineDataSet&, const fs::path& f) {
         fs::resize_file(f, fs::file_size(f) - 8);
       },
       false},
      {"file gone", [](LineDataSet&, const fs::path& f) { fs::remove(f); },
       false},
      {"folder in its place",
       [](LineDataSet&, const fs::path& f) {
         fs::remove(f);
         fs::create_directory(f);
       },
       false},
  };
  const std::vector<LinePoint> points = manyPoints(50);
  for (bool fromRead : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (fromRead ? " after a read" : " after a write"));
      fs::remove_all(binPath("u"));
      auto d = makeDataSet("u");
      for (const LinePoint& p : points) d->points.append(p);
      EXPECT_FALSE(cacheUpToDate(*d));  // an import never saved
      ASSERT_TRUE(saveCache(*d));
      if (fromRead) {
        d = makeDataSet("u");
        ASSERT_EQ(readCache(*d), CacheLoad::kWhole);
      }
      EXPECT_TRUE(cacheUpToDate(*d));
      c.change(*d, binPath("u"));
      EXPECT_EQ(cacheUpToDate(*d), c.upToDate);
    }
  }
}

// --- Paths --------------------------------------------------------------

TEST_F(CacheFileTest, FolderEndingInTwoByteCharacterWithBackslashByte) {
  // 表 is 0x95 0x5C in Shift-JIS: its second byte must not pass for the
  // separator, or the file would land beside the folder as "表x.bin".
  fs::path omote = folder_ / fs::u8path("\xE8\xA1\xA8");
  setDepot(omote);
  ASSERT_EQ(std::string(depot_).substr(std::strlen(depot_) - 2), "\x95\x5C");
  auto d = makeDataSet("x");
  d->points.append({1, 2});
  saveCache(*d);
  EXPECT_TRUE(fs::exists(omote / "x.bin"));
  EXPECT_FALSE(fs::exists(folder_ / fs::u8path("\xE8\xA1\xA8x.bin")));
  int32_t result = -1;
  EXPECT_EQ(load("x", &result)->points.size(), 1);
  EXPECT_EQ(result, 1);
}

// A cache file is written through a temporary file beside it, whose name
// is the file's with "~" and at least one more character: the longest path
// that can be written is 257 bytes. 258 and 259 bytes are still read; a
// write is refused cleanly and the file stays as it is. 260 is refused both
// ways.
TEST_F(CacheFileTest, PathsUpTo259BytesAreReadAndUpTo257Written) {
  // depot \ name .bin: the name length that makes the path `length` bytes.
  size_t depotLength = std::strlen(depot_);
  ASSERT_LT(depotLength + 1 + 1 + 4, 257u);
  // The name may hold backslashes to stay within one folder level of 255.
  auto nameOf = [](size_t length) {
    std::string name;
    while (name.size() < length) {
      size_t part = std::min<size_t>(100, length - name.size());
      if (!name.empty()) {
        name += "\\";
        --part;
        if (part == 0) part = 1;
      }
      name += std::string(part, 'n');
    }
    return name.substr(0, length);
  };
  struct Case {
    size_t pathLength;
    bool read, written;
  };
  const Case cases[] = {
      {257, true, true}, {258, true, false}, {259, true, false},
      {260, false, false}};
  for (const Case& c : cases) {
    std::string name = nameOf(c.pathLength - depotLength - 1 - 4);
    ASSERT_NE(name.back(), '\\');
    // Make the intermediate folders so that only the length decides.
    std::string native = name;
    for (char& ch : native) ch = ch == '\\' ? '/' : ch;
    const fs::path file = folder_ / (native + ".bin");
    fs::create_directories(file.parent_path());

    auto d = makeDataSet(name);
    d->points.append({1, 2});
    EXPECT_EQ(static_cast<bool>(saveCache(*d)), c.written) << c.pathLength;
    EXPECT_EQ(fs::exists(file), c.written) << c.pathLength;

    const std::vector<unsigned char> byHand =
        documentedBytes(5, 1, 1, 1, {{3, 4}});
    writeBytes(file, byHand);
    standin::resetProgressBar();
    auto back = makeDataSet(name);
    EXPECT_EQ(readCache(*back),
              c.read ? CacheLoad::kWhole : CacheLoad::kCannotOpen)
        << c.pathLength;
    EXPECT_EQ(back->lineColour, c.read ? 5u : 0x0000FFFFu);
    EXPECT_EQ(standin::progressBarEvents().empty(), !c.read);
    EXPECT_EQ(static_cast<bool>(saveCache(*back)), c.written);
    EXPECT_EQ(readBytes(file), byHand) << c.pathLength;  // rewritten the same
    // Nothing beside it: no temporary file was left.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()),
                            fs::directory_iterator()),
              1)
        << c.pathLength;
    fs::remove(file);
  }
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileTest, NoDepotFolderMeansNoFileAnywhere) {
  // With an empty folder the path would be "\name.bin": the root of the
  // current drive. Nothing may be written there, nor read from it.
  const std::string name = "morvane-cache-test-no-depot";
  const fs::path rootFile = fs::path(hostPath(("\\" + name + ".bin").c_str()));
  for (const char* folder : {"", static_cast<const char*>(nullptr)}) {
    auto d = makeDataSet(name);
    d->depotPath = folder;
    saveCache(*d);
    if (!rootFile.empty()) {
      EXPECT_FALSE(fs::exists(rootFile));
    }
    EXPECT_EQ(loadCache(*d), 0);
  }
  EXPECT_TRUE(standin::progressBarEvents().empty());
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileTest, NamesThatLeadOutOfTheFolderWriteAndReadNothing) {
  // The depot folder's parent holds the file each name would reach.
  const fs::path depot = folder_ / "depot";
  fs::create_directories(depot / "sub");
  setDepot(depot);
  struct Case {
    const char* name;
    bool kept;
  } cases[] = {
      {"..\\out", false},        {"sub\\..\\..\\out", false},
      {"... \\out", false},      {". .\\out", false},
      {"a/../../out", false},      {"C:out", false},
      {"sub\\in", true},         {"..", true},  // "...bin", in the folder
      {"\x95\x5C..\x95\x5C", true},
  };
  std::ofstream(folder_ / "out.bin") << "kept";
  for (const Case& c : cases) {
    auto d = makeDataSet(c.name);
    d->points.append({1, 2});
    saveCache(*d);
    int32_t result = -1;
    load(c.name, &result);
    EXPECT_EQ(result, c.kept ? 1 : 0) << c.name;
  }
  std::ifstream in(folder_ / "out.bin");
  std::string text((std::istreambuf_iterator<char>(in)),
                   std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "kept");
}

}  // namespace
