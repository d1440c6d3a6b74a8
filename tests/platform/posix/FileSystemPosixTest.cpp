// How the POSIX backend finds what a Windows program would find on a
// case-blind file system, and refuses what no Windows path can name.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileSystem.h"
#include "tests/TempName.h"

namespace {

namespace fs = std::filesystem;

class FileSystemPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = uniqueTempPath("morvane-posix-fs-");
    fs::create_directories(folder_);
    module_ = modulePath(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  void put(const std::string& name, const std::string& text) {
    std::ofstream(folder_ + "/" + name) << text;
  }
  std::string read(const std::string& name) {
    auto file = openFileForReading((module_ + "\\" + name).c_str(),
                                   FileShare::kReadShared);
    if (!file) return "<refused>";
    char buffer[64];
    int64_t n = file->read(buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(n < 0 ? 0 : n));
  }
  std::string folder_;
  std::string module_;
};

TEST_F(FileSystemPosixTest, ExactNameFirstThenTheOneThatDiffersInCase) {
  put("UPPER.bin", "exact lower");
  put("UPPER.BIN", "exact upper");
  put("Only.E00", "only");
  put("twin.txt", "1");
  put("TWIN.txt", "2");
  fs::create_directory(folder_ + "/Sub");
  put("Sub/In.txt", "inside");
  struct Case {
    const char* asked;
    const char* found;
  };
  const Case cases[] = {
      {"UPPER.bin", "exact lower"}, {"UPPER.BIN", "exact upper"},
      {"only.e00", "only"},         {"ONLY.E00", "only"},
      {"Twin.txt", "<refused>"},    // two candidates, no exact name
      {"twin.txt", "1"},            {"sub\\in.TXT", "inside"},
      {"missing.e00", "<refused>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read(c.asked), c.found) << c.asked;
  }
  // A new file under a folder named in another case lands in that folder.
  auto out = openFileForWriting((module_ + "\\SUB\\new.txt").c_str());
  ASSERT_NE(out, nullptr);
  out.reset();
  EXPECT_TRUE(fs::exists(folder_ + "/Sub/new.txt"));
}

TEST_F(FileSystemPosixTest, WhatNoWindowsPathNamesIsRefused) {
  put("a\\b.e00", "backslash");
  EXPECT_EQ(modulePath(folder_ + "/a\\b.e00"), "");
  mkfifo((folder_ + "/pipe.e00").c_str(), 0600);
  fs::create_directory(folder_ + "/dir.e00");
  struct Case {
    std::string path;
    FileKind kind;
  };
  const Case cases[] = {
      {module_ + "\\pipe.e00", FileKind::kFifo},
      {module_ + "\\dir.e00", FileKind::kDirectory},
      {"Z:\\dev\\null", FileKind::kDevice},
      {module_ + "\\a", FileKind::kMissing},
      {module_ + "\\" + std::string(300, 'x'), FileKind::kUnusable},
      {"C:\\x.e00", FileKind::kUnusable},  // only Z: exists natively
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fileKind(c.path.c_str()), c.kind) << c.path;
  }
  // Opening a FIFO neither blocks nor succeeds, for reading or writing.
  EXPECT_EQ(read("pipe.e00"), "<refused>");
  EXPECT_EQ(openFileForWriting((module_ + "\\pipe.e00").c_str()), nullptr);
}

}  // namespace
