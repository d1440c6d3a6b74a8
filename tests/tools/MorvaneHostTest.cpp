// morvane-host never reports success on failure and never destroys what it
// did not make: the refusals of the cases that once went wrong, and every
// file it writes on a disk that fills (or loses writes) at every byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
#include "tests/TempName.h"
#include "tests/tools/MorvaneHostSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace host_test;

class MorvaneHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(uniqueTempPath("morvane-host-test-"));
    fs::create_directories(folder_);
    std::ofstream(folder_ / "small.e00", std::ios::binary) << smallArcs();
    std::ofstream(folder_ / "names.e00", std::ios::binary) << smallNames();
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string at(const std::string& name) const {
    return (folder_ / fs::u8path(name)).u8string();
  }
  std::vector<std::string> listing() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) {
      names.push_back(e.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

TEST_F(MorvaneHostTest, SmallInputsWork) {
  HostRun cache = runHost(at("home"), {"cache", at("small.e00"), at("s.bin")});
  EXPECT_EQ(cache.exit, 0) << cache.err;
  EXPECT_EQ(cache.out, "points=7 bytes=84\n");
  if (modulePathForTests().empty()) GTEST_SKIP() << "names needs the module";
  HostRun names = runHost(at("home"), {"names", at("names.e00")});
  EXPECT_EQ(names.exit, 0) << names.err;
  EXPECT_EQ(runHost(at("home"), {"names", "--list"}).out.size() > 0, true);
}

// Each refusal: its exit code, words that say why, and nothing changed on
// disk.
TEST_F(MorvaneHostTest, RefusalsChangeNothing) {
  fs::create_directory(folder_ / "x.bin");
  std::ofstream(folder_ / "good.bin", std::ios::binary) << "not a cache";
  ASSERT_EQ(runHost(at("home"), {"cache", at("small.e00"), at("c.bin")}).exit, 0);
  const std::string cache = slurp(folder_ / "c.bin");
  const std::string longName = at(std::string(300, 'a') + ".e00");
  struct Case {
    Arguments command;
    int exit;
    const char* says;
  };
  const Case cases[] = {
      // An empty directory where the cache file would go.
      {{"cache", at("small.e00"), at("x.bin")}, 1, "is a directory"},
      // The input as output, and a cache file as input.
      {{"cache", at("c.bin"), at("c.bin")}, 1, "is a cache file"},
      // A name without a Shift-JIS form leaves no ????.bin behind.
      {{"cache", at("small.e00"), at("\xF0\x9F\x98\x80.bin")}, 1,
       "without a Shift-JIS form"},
      // An extent whose span is no number.
      {{"draw", at("small.e00"), "--svg", at("o.svg"), "--extent",
        "-1e308,-1e308,1e308,1e308"}, 2, "--extent"},
      {{"draw", at("small.e00"), "--svg", at("o.svg"), "--3d", at("o3.svg"),
        "--eye", "35,1e308", "--distance", "10"}, 2, "--eye"},
      {{"draw", at("small.e00"), "--svg", at("o.svg"), "--3d", at("o3.svg"),
        "--eye", "35,139", "--distance", "1e308"}, 2, "--distance"},
      {{"draw", at("small.e00"), "--svg", at("x.bin")}, 1, "is a directory"},
      // Over-long paths say so, for every command that reads a file.
      {{"names", longName}, 1, "too long"},
      {{"inspect", longName}, 1, "too long"},
      {{"names", at("x.bin")}, 1, "is a directory"},
  };
  const std::vector<std::string> before = listing();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command[0] + " " + c.command.back());
    HostRun run = runHost(at("home"), c.command);
    EXPECT_EQ(run.exit, c.exit);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    // home appears with the first names run, which only reads.
    std::vector<std::string> after = listing();
    after.erase(std::remove(after.begin(), after.end(), "home"), after.end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(slurp(folder_ / "c.bin"), cache);
    EXPECT_TRUE(fs::is_directory(folder_ / "x.bin"));
  }
}

// A cache file held open by someone else is not replaced under them.
TEST_F(MorvaneHostTest, CacheLeavesAFileInUseAlone) {
  std::ofstream(folder_ / "held.bin", std::ios::binary) << "in use";
  const std::string held = modulePath(at("held.bin"));
  auto lock = openFileForReading(held.c_str(), FileShare::kExclusive);
  ASSERT_NE(lock, nullptr);
  HostRun run = runHost(at("home"), {"cache", at("small.e00"), at("held.bin")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("could not be written"), std::string::npos);
  lock.reset();
  EXPECT_EQ(slurp(folder_ / "held.bin"), "in use");
  EXPECT_EQ(listing(), (std::vector<std::string>{"held.bin", "names.e00",
                                                 "small.e00"}));
}

// The stand-in host's name database: a refusal is counted as one, and a
// names.tsv that is a folder is left as it is.
TEST_F(MorvaneHostTest, NameDatabaseCountsOnlyWhatItKeeps) {
  if (modulePathForTests().empty()) GTEST_SKIP() << "names needs the module";
  // Running out of memory inside VPI_AddNameDBItem refuses the name.
  standin::setHome(at("home"));
  standin::setNameDbOutOfMemoryAt(2);
  HostOptions options;
  options.home = at("home");
  options.module = modulePathForTests();
  headless::resetUi();
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(namesCommand(options, {at("names.e00")}), 0);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.compare(0, 4, "2\xE5\x80\x8B"), 0) << out;
  EXPECT_EQ(standin::nameEntries().size(), 2u);
  standin::resetNameDb();

  fs::create_directories(folder_ / "home2" / "names.tsv");
  HostRun run = runHost(at("home2"), {"names", at("names.e00")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("names.tsv"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::is_directory(folder_ / "home2" / "names.tsv"));
}

// Every file the tools write, on a disk in memory that fills at byte k or
// loses what is written past byte k: at every k the command fails with a
// message and exit 1, the old file is whole (or, where there was none,
// absent), no temporary file is left; past the file's size it succeeds.
TEST(MorvaneHostDiskFullTest, EveryFileIsWholeOrAsBefore) {
  const std::string root = "/morvane-memory";
  const std::string prefix = modulePath(root) + "\\";
  struct Case {
    const char* file;  // the file that is written, under root
    Arguments command;
  };
  const Case cases[] = {
      {"/out.bin", {"cache", root + "/small.e00", root + "/out.bin"}},
      {"/out.svg", {"draw", root + "/small.e00", "--svg", root + "/out.svg"}},
      {"/out3.svg",
       {"draw", root + "/small.e00", "--svg", root + "/big/out.svg", "--3d",
        root + "/out3.svg", "--eye", "35.6,139.8", "--distance", "50"}},
      {"/home/names.tsv", {"names", root + "/names.e00"}},
  };
  const size_t caseCount =
      modulePathForTests().empty() ? 3 : sizeof cases / sizeof cases[0];
  // PNG files come from another program, which cannot reach this tree and
  // only a real disk can fill (the tmpfs test).
  for (size_t i = 0; i < caseCount; ++i) {
    const Case& c = cases[i];
    for (int fault = 0; fault < 2; ++fault) {
      for (int withOld = 0; withOld < 2; ++withOld) {
        std::string whole;
        for (int64_t k = 0;; ++k) {
          SCOPED_TRACE(std::string(c.file) + " fault " +
                       std::to_string(fault) + " old " +
                       std::to_string(withOld) + " k " + std::to_string(k));
          MemoryFileSystem memory(prefix);
          memory.putFile(prefix + "small.e00", smallArcs());
          memory.putFile(prefix + "names.e00", smallNames());
          memory.putFile(prefix + "big\\out.svg", "old picture");
          const std::string target =
              modulePath(root + c.file);
          const std::string old =
              std::string(c.file).find(".tsv") != std::string::npos
                  ? "#morvane-names 1\nold\t1\t2\n"
                  : "old file";
          if (withOld) memory.putFile(target, old);
          const std::vector<std::string> before = memory.paths();
          if (fault == 0) memory.failWritesAt(k);
          if (fault == 1) memory.shortWritesAt(k);
          HostRun run = runHost(root + "/home", c.command);
          std::string now;
          bool there = memory.fileBytes(target, &now);
          if (run.exit == 0) {
            ASSERT_TRUE(there);
            ASSERT_GT(static_cast<int64_t>(now.size()), k - 1);
            whole = now;
            break;
          }
          ASSERT_EQ(run.exit, 1);
          ASSERT_NE(run.err, "");
          std::vector<std::string> after = memory.paths();
          std::vector<std::string> expected = before;
          if (std::string(c.file).find(".tsv") != std::string::npos) {
            // The home folder is made; names.tsv holds whole lines only:
            // the old ones and the names counted on stdout. The host's
            // own files of the run (its lock, its profile) are its own
            // affair, whole or absent by the host's tests.
            if (!withOld) {
              expected.push_back(prefix + "home");
              if (there) expected.push_back(target);
              std::sort(expected.begin(), expected.end());
            }
            for (const char* own : {"home\\host.lock", "home\\profile.tsv"}) {
              after.erase(std::remove(after.begin(), after.end(), prefix + own),
                          after.end());
            }
            if (there) {
              ASSERT_EQ(now.back(), '\n');
              ASSERT_EQ(now.compare(0, 17, "#morvane-names 1\n"), 0);
              size_t lines = static_cast<size_t>(
                  std::count(now.begin(), now.end(), '\n'));
              size_t kept = lines - 1 - (withOld ? 1 : 0);
              if (kept > 0) {
                ASSERT_EQ(run.out.compare(0, std::to_string(kept).size() + 3,
                                          std::to_string(kept) + "\xE5\x80\x8B"),
                          0) << run.out;
              }
            }
          } else {
            ASSERT_EQ(there, withOld == 1);
            if (there) {
              ASSERT_EQ(now, old);
            }
          }
          ASSERT_EQ(after, expected);
          ASSERT_LT(k, 100000) << "never succeeds";
        }
        EXPECT_FALSE(whole.empty());
      }
    }
  }
}

}  // namespace
