// morvane-host on a real POSIX disk: what only Linux names and files can
// show (FIFOs, names that differ in case, backslashes in names) and a
// small tmpfs that fills up under every file the tools write, PNG included.

#include <sys/mount.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/TempName.h"
#include "tests/tools/MorvaneHostSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace host_test;

class MorvaneHostPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = uniqueTempPath("morvane-host-posix-");
    fs::create_directories(folder_);
    std::ofstream(folder_ + "/small.e00") << smallArcs();
  }
  void TearDown() override {
    if (mounted_) umount((folder_ + "/small").c_str());
    fs::remove_all(folder_);
  }
  std::string at(const std::string& name) const { return folder_ + "/" + name; }
  std::string folder_;
  bool mounted_ = false;
};

TEST_F(MorvaneHostPosixTest, WhatWindowsCannotNameIsRefusedWithoutBlocking) {
  ASSERT_EQ(runHost(at("home"), {"cache", at("small.e00"), at("UPPER.bin")}).exit, 0);
  fs::copy_file(at("small.e00"), at("UPPER.BIN"));  // not a cache file
  ASSERT_EQ(mkfifo(at("f.e00").c_str(), 0600), 0);
  std::ofstream(at("a\\b.e00")) << smallArcs();
  struct Case {
    Arguments command;
    const char* says;
  };
  const Case cases[] = {
      {{"inspect", at("f.e00")}, "FIFO"},
      {{"names", at("f.e00")}, "FIFO"},
      {{"draw", at("f.e00"), "--svg", at("o.svg")}, "FIFO"},
      {{"inspect", "/dev/null"}, "device"},
      // The module reopens UPPER.BIN as UPPER.bin, another file here.
      {{"inspect", at("UPPER.BIN")}, "differ only in case"},
      {{"inspect", at("a\\b.e00")}, "backslash"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command.back());
    HostRun run = runHost(at("home"), c.command);
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  // Where only one name matches, it is the file Windows would open.
  fs::remove(at("UPPER.bin"));
  ASSERT_EQ(runHost(at("home"), {"cache", at("small.e00"), at("lower.bin")}).exit, 0);
  fs::rename(at("lower.bin"), at("LOWER.bin"));
  EXPECT_EQ(runHost(at("home"), {"inspect", at("lower.bin")}).exit, 0);
}

// A 64 KiB tmpfs: the old file of each output and a filler leave less room
// than the new file needs. Each command fails with a message, the old file
// is whole, and nothing new is left.
TEST_F(MorvaneHostPosixTest, FullTmpfsLeavesEveryOldFileWhole) {
  const std::string small = at("small");
  fs::create_directory(small);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  }
  mounted_ = true;
  // A coastline large enough to overflow what is left.
  const std::string coast = std::string(MORVANE_TEST_DATA) + "/world_land_110m.e00";
  struct Case {
    const char* file;
    Arguments command;
  };
  const Case cases[] = {
      {"out.bin", {"cache", coast, small + "/out.bin"}},
      {"out.svg", {"draw", coast, "--svg", small + "/out.svg"}},
      // The SVG of two arcs fits; the PNG beside it does not.
      {"out.png", {"draw", at("small.e00"), "--svg", small + "/out.svg"}},
      {"home/names.tsv",
       {"names", std::string(MORVANE_TEST_DATA) + "/japan_cities.e00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fs::create_directories(small + "/home");
    const bool names = std::string(c.file) == "home/names.tsv";
    std::ofstream(small + "/" + c.file)
        << (names ? "#morvane-names 1\nold\t1\t2\n" : "old");
    const std::string old = slurp(small + "/" + c.file);
    {
      std::ofstream filler(small + "/filler", std::ios::binary);
      std::string block(4096, 'f');
      while (filler.write(block.data(), block.size())) {
      }
    }
    // One page free: room for a small SVG, not for the files asked for.
    fs::resize_file(small + "/filler", fs::file_size(small + "/filler") - 4096);
    HostRun run = runHost(small + "/home", c.command);
    EXPECT_EQ(run.exit, 1) << run.out << run.err;
    // The message names the file that could not be written.
    EXPECT_NE(run.err.find(fs::path(c.file).filename().string()),
              std::string::npos) << run.err;
    const std::string now = slurp(small + "/" + c.file);
    if (names) {
      // The names that were kept, as many as the count says, in whole lines
      // after the old ones.
      ASSERT_EQ(now.compare(0, old.size(), old), 0);
      ASSERT_EQ(now.back(), '\n');
      const std::string kept = std::to_string(
          std::count(now.begin(), now.end(), '\n') - 2);
      EXPECT_EQ(run.out.compare(0, kept.size() + 3, kept + "\xE5\x80\x8B"), 0)
          << run.out;
    } else {
      EXPECT_EQ(now, old);
    }
    for (const auto& e : fs::recursive_directory_iterator(small)) {
      EXPECT_EQ(e.path().filename().string().find('~'), std::string::npos)
          << e.path();
    }
    fs::remove(small + "/filler");
    fs::remove(small + "/" + c.file);
    fs::remove(small + "/out.svg");
  }
}

}  // namespace
