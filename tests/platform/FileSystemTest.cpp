#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/MemoryFileSystem.h"
#include "platform/ReplacingFile.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder per test; `module_` is its path as the module writes it.
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info =
        ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(::testing::TempDir()) /
              (std::string("morvane-fs-") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    module_ = modulePath(folder_.u8string());
    ASSERT_FALSE(module_.empty());
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string in(const std::string& name) const {
    return module_ + "\\" + name;
  }

  // Through the file functions, so that a path in memory works too.
  static bool writeFile(const std::string& path, const std::string& bytes) {
    auto file = openFileForWriting(path.c_str());
    return file && file->write(bytes.data(), static_cast<int64_t>(bytes.size())) &&
           file->close();
  }
  static std::string read(const std::string& path) {
    auto file = openFileForReading(path.c_str(), FileShare::kReadShared);
    if (!file) return "<none>";
    std::string out(1024, '\0');
    int64_t n = file->read(&out[0], static_cast<int64_t>(out.size()));
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
  }

  static std::string contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file),
                       std::istreambuf_iterator<char>());
  }

  fs::path folder_;
  std::string module_;
};

TEST_F(FileSystemTest, WrittenBytesReadBack) {
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  {
    auto out = openFileForWriting(in("a.bin").c_str());
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->write(data.data(), static_cast<int64_t>(data.size())));
    EXPECT_TRUE(out->close());
  }
  auto file = openFileForReading(in("a.bin").c_str(), FileShare::kReadShared);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->length(), static_cast<int64_t>(data.size()));
  std::string back(data.size() + 10, 'x');
  EXPECT_EQ(file->read(&back[0], static_cast<int64_t>(back.size())),
            static_cast<int64_t>(data.size()));
  back.resize(data.size());
  EXPECT_EQ(back, data);
  EXPECT_EQ(file->read(&back[0], 10), 0);  // at the end
  EXPECT_TRUE(file->close());
}

TEST_F(FileSystemTest, WritingTruncatesAnExistingFile) {
  std::ofstream(folder_ / "a.bin") << "a longer old content";
  auto out = openFileForWriting(in("a.bin").c_str());
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->write("new", 3));
  EXPECT_TRUE(out->close());
  EXPECT_EQ(contents(folder_ / "a.bin"), "new");
}

// Windows sharing: an exclusive open keeps everyone else out; shared readers
// admit each other but no writer, and a refused writer truncates nothing.
TEST_F(FileSystemTest, SharingModesDecideWhoElseGetsIn) {
  std::ofstream(folder_ / "a.bin") << "kept";
  const std::string path = in("a.bin");
  {
    auto held = openFileForReading(path.c_str(), FileShare::kExclusive);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(openFileForReading(path.c_str(), FileShare::kReadShared),
              nullptr);
    EXPECT_EQ(openFileForReading(path.c_str(), FileShare::kExclusive), nullptr);
    EXPECT_EQ(openFileForWriting(path.c_str()), nullptr);
  }
  {
    auto reader = openFileForReading(path.c_str(), FileShare::kReadShared);
    ASSERT_NE(reader, nullptr);
    auto second = openFileForReading(path.c_str(), FileShare::kReadShared);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(openFileForReading(path.c_str(), FileShare::kExclusive), nullptr);
    EXPECT_EQ(openFileForWriting(path.c_str()), nullptr);
  }
  {
    auto writer = openFileForWriting(in("b.bin").c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(openFileForReading(in("b.bin").c_str(), FileShare::kReadShared),
              nullptr);
  }
  EXPECT_EQ(contents(folder_ / "a.bin"), "kept");
  // Once closed, anyone may open it again.
  EXPECT_NE(openFileForReading(path.c_str(), FileShare::kExclusive), nullptr);
}

TEST_F(FileSystemTest, WhatIsNoFileCannotBeOpenedForReading) {
  fs::create_directory(folder_ / "dir");
  EXPECT_EQ(openFileForReading(in("dir").c_str(), FileShare::kReadShared),
            nullptr);
  EXPECT_EQ(openFileForReading(in("missing").c_str(), FileShare::kReadShared),
            nullptr);
  EXPECT_EQ(openFileForReading("", FileShare::kReadShared), nullptr);
  EXPECT_EQ(openFileForReading(nullptr, FileShare::kReadShared), nullptr);
}

TEST_F(FileSystemTest, DirectoriesAndDeletion) {
  EXPECT_FALSE(findFirstFile(in("sub\\*.*").c_str()));
  EXPECT_TRUE(createDirectory(in("sub").c_str()));
  EXPECT_FALSE(createDirectory(in("sub").c_str()));  // exists already
  EXPECT_TRUE(fs::is_directory(folder_ / "sub"));
  EXPECT_TRUE(findFirstFile(in("sub\\*.*").c_str()));  // empty: finds "."
  EXPECT_FALSE(createDirectory(in("none\\sub").c_str()));  // one level only

  std::ofstream(folder_ / "sub" / "x.bin") << "x";
  EXPECT_TRUE(findFirstFile(in("sub\\x.bin").c_str()));
  EXPECT_TRUE(deleteFile(in("sub\\x.bin").c_str()));
  EXPECT_FALSE(fs::exists(folder_ / "sub" / "x.bin"));
  EXPECT_FALSE(deleteFile(in("sub\\x.bin").c_str()));
  EXPECT_FALSE(findFirstFile(in("sub\\x.bin").c_str()));
}

// 表 is 0x95 0x5C in Shift-JIS. Its second byte is not a separator: the
// module's path must reach the folder the user sees, in both directions.
TEST_F(FileSystemTest, ShiftJisNamesReachTheRealFolder) {
  const std::string omote = "\x95\x5C";
  ASSERT_TRUE(createDirectory(in(omote).c_str()));
  EXPECT_TRUE(fs::is_directory(folder_ / fs::u8path("\xE8\xA1\xA8")));
  auto out = openFileForWriting(in(omote + "\\" + omote + ".bin").c_str());
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->close());
  EXPECT_TRUE(fs::exists(folder_ / fs::u8path("\xE8\xA1\xA8") /
                         fs::u8path("\xE8\xA1\xA8.bin")));
  EXPECT_EQ(modulePath((folder_ / fs::u8path("\xE8\xA1\xA8")).u8string()),
            in(omote));
}

// A path must fit 259 bytes and its terminator. A longer one is refused
// before the system sees it: nothing is created under a shortened name.
TEST_F(FileSystemTest, OverlongPathsAreRefused) {
  ASSERT_LT(module_.size() + 1, 200u);
  std::string fits = in(std::string(259 - module_.size() - 1, 'n'));
  ASSERT_EQ(fits.size(), 259u);
  std::string tooLong = fits + "x";
  EXPECT_EQ(openFileForWriting(tooLong.c_str()), nullptr);
  EXPECT_FALSE(createDirectory(tooLong.c_str()));
  EXPECT_FALSE(deleteFile(tooLong.c_str()));
  EXPECT_FALSE(findFirstFile(tooLong.c_str()));
  EXPECT_EQ(openFileForReading(tooLong.c_str(), FileShare::kReadShared),
            nullptr);
  EXPECT_TRUE(fs::is_empty(folder_));
  EXPECT_TRUE(hostPath(tooLong.c_str()).empty());
}

// What a writer killed before its commit leaves (its temporary file) is
// deleted; anything else of a like name, a link or a folder, never.
TEST_F(FileSystemTest, LeftoverTemporariesAndNothingElseAreRemoved) {
  MemoryFileSystem memory("M:\\");
  for (const std::string& root : {module_, std::string("M:")}) {
    SCOPED_TRACE(root);
    const std::string target = root + "\\t.bin";
    const char* kept[] = {"t.bin", "t~0123ABC.bin", "t~0123GBCD.bin",
                          "u~0123ABCD.bin", "t~0123ABCD.bin.x",
                          "t~0123ABCDE.bin"};
    for (const char* name : kept) ASSERT_TRUE(writeFile(root + "\\" + name, "k"));
    ASSERT_TRUE(writeFile(root + "\\t~0123ABCD.bin", "left"));
    ASSERT_TRUE(writeFile(root + "\\t~FFFFFFFF.bin", "left"));
    ASSERT_TRUE(createDirectory((root + "\\t~00000000.bin").c_str()));
    EXPECT_EQ(ReplacingFile::removeLeftovers(target), 2);
    for (const char* name : kept) EXPECT_EQ(read(root + "\\" + name), "k") << name;
    EXPECT_EQ(fileKind((root + "\\t~0123ABCD.bin").c_str()), FileKind::kMissing);
    EXPECT_EQ(fileKind((root + "\\t~00000000.bin").c_str()),
              FileKind::kDirectory);
  }
}

TEST(ModulePathTest, NativePathsBecomeWindowsPaths) {
  EXPECT_EQ(modulePath("/work/main/tests/data"), "Z:\\work\\main\\tests\\data");
  EXPECT_EQ(modulePath("/"), "Z:\\");
  EXPECT_EQ(modulePath("a/b.e00"), "a\\b.e00");
  EXPECT_EQ(modulePath("/d/\xE8\xA1\xA8/x"), "Z:\\d\\\x95\x5C\\x");
  EXPECT_EQ(modulePath("/d/\xED\x95\x9C"), "");  // 한 has no Shift-JIS form
}

uint32_t gNextNumber = 0;
uint32_t countingNumbers() { return gNextNumber++; }

// Whatever stands at the temporary names of a ReplacingFile (a file, a
// folder, a link to a file outside, a dangling link) is never touched or
// followed: the write goes to the first free name. With every name taken it
// fails cleanly. A link at the target is replaced itself, a folder or FIFO
// there never. On the disk and in memory.
TEST_F(FileSystemTest, ReplacingFileNeverTouchesWhatIsAtItsNames) {
  MemoryFileSystem memory("M:\\");
  ReplacingFile::setNumberSource(countingNumbers);
  for (const std::string& root : {module_, std::string("M:")}) {
    const bool onDisk = root == module_;
    // Links on the disk need the system's permission (and Wine's support).
    auto makeLink = [&](const std::string& at, const std::string& to) {
      if (!onDisk) {
        memory.putLink(at, to);
        return true;
      }
      std::error_code ec;
      fs::create_symlink(fs::u8path(hostPath(to.c_str())),
                         fs::u8path(hostPath(at.c_str())), ec);
      return !ec;
    };
    enum What { kFile, kFolder, kLinkOut, kDangling };
    for (What what : {kFile, kFolder, kLinkOut, kDangling}) {
      SCOPED_TRACE(root + " " + std::to_string(what));
      const std::string target = root + "\\t.bin";
      const std::string outsideFile = root + "\\outside.txt";
      ASSERT_TRUE(writeFile(target, "old"));
      ASSERT_TRUE(writeFile(outsideFile, "outside"));
      bool made = true;
      for (uint32_t n = 0; n + 1 < ReplacingFile::kAttempts && made; ++n) {
        const std::string name = ReplacingFile::temporaryName(target, n);
        if (what == kFile) made = writeFile(name, "someone's");
        if (what == kFolder) made = createDirectory(name.c_str());
        if (what == kLinkOut) made = makeLink(name, outsideFile);
        if (what == kDangling) made = makeLink(name, root + "\\gone\\x");
      }
      if (!made) {
        std::printf("links cannot be made under %s here; skipped\n",
                    root.c_str());
        continue;
      }
      gNextNumber = 0;
      {
        ReplacingFile out(target);
        ASSERT_TRUE(out.opened());
        EXPECT_EQ(out.temporaryPath(),
                  ReplacingFile::temporaryName(
                      target, ReplacingFile::kAttempts - 1));
        EXPECT_TRUE(out.write("new") && out.commit());
      }
      EXPECT_EQ(read(target), "new");
      EXPECT_EQ(read(outsideFile), "outside");
      EXPECT_EQ(fileKind((root + "\\gone").c_str()), FileKind::kMissing);
      // Every name taken: refused, nothing followed or left.
      ASSERT_TRUE(writeFile(ReplacingFile::temporaryName(
                                target, ReplacingFile::kAttempts - 1),
                            "last"));
      gNextNumber = 0;
      {
        ReplacingFile out(target);
        EXPECT_FALSE(out.opened());
        EXPECT_FALSE(out.commit());
      }
      EXPECT_EQ(read(target), "new");
      EXPECT_EQ(read(outsideFile), "outside");
      for (uint32_t n = 0; n < ReplacingFile::kAttempts; ++n) {
        const std::string name = ReplacingFile::temporaryName(target, n);
        if (fileKind(name.c_str()) == FileKind::kDirectory) {
          fs::remove(fs::u8path(hostPath(name.c_str())));
          memory.remove(name.c_str());
        }
        deleteFile(name.c_str());
      }
    }
    // A link at the target: replaced itself, its file untouched.
    const std::string linked = root + "\\linked.bin";
    if (makeLink(linked, root + "\\outside.txt")) {
      // Written in place, the link is refused, not followed.
      EXPECT_EQ(openFileForWriting(linked.c_str()), nullptr);
      EXPECT_EQ(read(root + "\\outside.txt"), "outside");
      gNextNumber = 100;
      ReplacingFile out(linked);
      EXPECT_TRUE(out.write("mine") && out.commit());
      EXPECT_FALSE(isSymbolicLink(linked.c_str()));
      EXPECT_EQ(read(linked), "mine");
      EXPECT_EQ(read(root + "\\outside.txt"), "outside");
    }
    // A folder at the target is never replaced.
    ASSERT_TRUE(createDirectory((root + "\\dir.bin").c_str()));
    ReplacingFile intoFolder(root + "\\dir.bin");
    EXPECT_FALSE(intoFolder.opened());
    EXPECT_EQ(fileKind((root + "\\dir.bin").c_str()), FileKind::kDirectory);
  }
  ReplacingFile::setNumberSource(nullptr);
  // Long paths get fewer digits, never a name past 259 bytes.
  for (size_t size : {240u, 250u, 256u, 257u, 258u}) {
    const std::string target = "M:\\" + std::string(size - 3, 'x');
    const std::string name = ReplacingFile::temporaryName(target, 0xABCDEF12);
    EXPECT_LE(name.size(), 259u);
    EXPECT_EQ(name.empty(), size > 257) << size;
  }
}

}  // namespace
