// What a real POSIX disk can put where a cache file or its temporary file
// belongs: a FIFO, a directory, a symbolic link to a file outside the depot
// or to nothing, files and links already at the temporary names. Reading
// never waits and never follows a link; writing never goes through one, and
// whatever a link leads to stays byte for byte.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "dataset/CacheFile.h"
#include "dataset/LineDataSet.h"
#include "tests/dataset/CacheFileTestSupport.h"

namespace {

using namespace cache_test;

class CacheFilePlacesTest : public DepotFixture {
 protected:
  // A file outside the depot folder, which nothing may change.
  fs::path outside() { return folder_ / "outside.bin"; }
};

TEST_F(CacheFilePlacesTest, WhatStandsInTheFilesPlace) {
  const fs::path depot = folder_ / "depot";
  fs::create_directories(depot);
  setDepot(depot);
  const std::vector<unsigned char> outsideBytes =
      documentedBytes(0x00112233, 2, 1, 1, {{7, 8}, {9, 10}});
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    bool written;  // a fresh data set's save replaces it with the file
  };
  const Case cases[] = {
      {"FIFO", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); },
       false},
      {"directory", [](const fs::path& p) { fs::create_directory(p); }, false},
      {"link to a file outside",
       [&](const fs::path& p) { fs::create_symlink(outside(), p); }, true},
      {"dangling link",
       [&](const fs::path& p) {
         fs::create_symlink(folder_ / "nowhere.bin", p);
       },
       true},
      {"link to a directory outside",
       [&](const fs::path& p) { fs::create_directory_symlink(folder_, p); },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeBytes(outside(), outsideBytes);
    const fs::path file = depot / "x.bin";
    c.make(file);
    standin::resetProgressBar();

    // Read: refused before anything is opened that could wait or lead out.
    auto read = makeDataSet("x");
    EXPECT_EQ(readCache(*read), CacheLoad::kCannotOpen);
    EXPECT_EQ(read->lineColour, 0x0000FFFFu);
    EXPECT_EQ(read->points.size(), 0);
    EXPECT_TRUE(standin::progressBarEvents().empty());
    EXPECT_FALSE(saveCache(*read));  // never written back

    // A data set that is whole in memory (an import) replaces only a name.
    auto imported = makeDataSet("x");
    imported->points.append({1, 2});
    EXPECT_EQ(static_cast<bool>(saveCache(*imported)), c.written);
    if (c.written) {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
      EXPECT_EQ(readBytes(file), documentedBytes(0x0000FFFF, 1, 1, 1, {{1, 2}}));
      EXPECT_TRUE(cacheUpToDate(*imported));
    }
    EXPECT_EQ(readBytes(outside()), outsideBytes);
    EXPECT_FALSE(fs::exists(folder_ / "nowhere.bin"));
    EXPECT_EQ(std::distance(fs::directory_iterator(depot),
                            fs::directory_iterator()),
              1);  // no temporary file left
    EXPECT_TRUE(headless::messages().empty());
    fs::remove(file);
  }
}

// Files and links already at the names the temporary file could take are
// left alone, and the cache file is written all the same.
TEST_F(CacheFilePlacesTest, NamesTakenBesideTheFileAreLeftAlone) {
  const std::vector<unsigned char> outsideBytes =
      documentedBytes(1, 1, 1, 1, {});
  writeBytes(outside(), outsideBytes);
  fs::create_directories(folder_ / "depot");
  setDepot(folder_ / "depot");
  const fs::path depot = folder_ / "depot";
  std::vector<fs::path> taken;
  for (int n = 0; n < 6; ++n) {
    const fs::path p = depot / ("x~" + std::to_string(n) + ".bin");
    if (n % 2 == 0) {
      writeBytes(p, {static_cast<unsigned char>('a' + n)});
    } else {
      fs::create_symlink(outside(), p);
    }
    taken.push_back(p);
  }
  auto d = makeDataSet("x");
  d->points.append({3, 4});
  ASSERT_TRUE(saveCache(*d));
  EXPECT_EQ(readBytes(depot / "x.bin"),
            documentedBytes(0x0000FFFF, 1, 1, 1, {{3, 4}}));
  for (size_t n = 0; n < taken.size(); ++n) {
    if (n % 2 == 0) {
      EXPECT_EQ(readBytes(taken[n]),
                std::vector<unsigned char>{static_cast<unsigned char>('a' + n)});
    } else {
      EXPECT_TRUE(fs::is_symlink(taken[n]));
    }
  }
  EXPECT_EQ(readBytes(outside()), outsideBytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(depot),
                          fs::directory_iterator()),
            7);
}

}  // namespace
