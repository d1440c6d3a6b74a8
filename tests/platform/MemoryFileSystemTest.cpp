#include "platform/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ReplacingFile.h"
#include "tests/TempName.h"

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  auto file = openFileForReading(path.c_str(), FileShare::kReadShared);
  if (!file) return "<none>";
  std::string out(static_cast<size_t>(file->length()) + 1, '\0');
  int64_t n = file->read(&out[0], static_cast<int64_t>(out.size()));
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

bool writeAll(const std::string& path, const std::string& bytes) {
  auto file = openFileForWriting(path.c_str());
  if (!file) return false;
  bool ok = file->write(bytes.data(), static_cast<int64_t>(bytes.size()));
  return file->close() && ok;
}

TEST(MemoryFileSystemTest, FaultsCutFilesWhereAsked) {
  const std::string data = "0123456789";
  struct Case {
    const char* fault;
    int64_t k;
    bool written;   // what the writes report
    bool closed;    // what close reports
    const char* kept;
  };
  const Case cases[] = {
      {"none", -1, true, true, "0123456789"},
      {"full", 0, false, true, ""},
      {"full", 4, false, true, "0123"},
      {"full", 10, true, true, "0123456789"},
      {"short", 4, true, false, "0123"},
      {"short", 0, true, false, ""},
      {"short", 10, true, true, "0123456789"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fault) + " at " + std::to_string(c.k));
    MemoryFileSystem memory("M:\\");
    if (std::string(c.fault) == "full") memory.failWritesAt(c.k);
    if (std::string(c.fault) == "short") memory.shortWritesAt(c.k);
    auto out = openFileForWriting("M:\\a.bin");
    ASSERT_NE(out, nullptr);
    // Two writes, so that a fault may fall into the second.
    bool written = out->write(data.data(), 3);
    written = out->write(data.data() + 3, 7) && written;
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(out->close(), c.closed);
    std::string bytes;
    ASSERT_TRUE(memory.fileBytes("M:\\a.bin", &bytes));
    EXPECT_EQ(bytes, c.kept);
  }
  // A read fails at byte k, after giving what came before.
  MemoryFileSystem memory("M:\\");
  memory.putFile("M:\\r.bin", data);
  memory.failReadsAt(6);
  auto in = openFileForReading("M:\\r.bin", FileShare::kReadShared);
  ASSERT_NE(in, nullptr);
  char buffer[16];
  EXPECT_EQ(in->read(buffer, 4), 4);
  EXPECT_EQ(in->read(buffer, 16), 2);
  EXPECT_EQ(in->read(buffer, 16), -1);
}

TEST(MemoryFileSystemTest, OnlyPathsUnderThePrefixStayInMemory) {
  const std::string native = uniqueTempPath("morvane-memory-test-");
  fs::create_directories(native);
  const std::string disk = modulePath(native) + "\\d.txt";
  {
    MemoryFileSystem memory("M:\\");
    EXPECT_TRUE(createDirectory("m:\\sub"));  // drive letters ignore case
    EXPECT_TRUE(writeAll("M:\\sub\\f.txt", "memory"));
    EXPECT_TRUE(writeAll(disk, "disk"));
    EXPECT_FALSE(writeAll("M:\\none\\f.txt", "x"));  // no such folder
    EXPECT_EQ(fileKind("M:\\sub"), FileKind::kDirectory);
    EXPECT_EQ(fileKind("M:\\"), FileKind::kDirectory);
    EXPECT_TRUE(findFirstFile("M:\\sub\\*.*"));
    EXPECT_EQ(readAll("M:\\sub\\f.txt"), "memory");
    EXPECT_EQ(memory.paths(),
              (std::vector<std::string>{"M:\\sub", "M:\\sub\\f.txt"}));
    // Windows sharing: a writer keeps readers out, shared readers admit
    // each other but no exclusive open.
    auto writer = openFileForWriting("M:\\sub\\f.txt");
    EXPECT_EQ(openFileForReading("M:\\sub\\f.txt", FileShare::kReadShared),
              nullptr);
    writer.reset();
    auto reader = openFileForReading("M:\\sub\\f.txt", FileShare::kReadShared);
    EXPECT_NE(openFileForReading("M:\\sub\\f.txt", FileShare::kReadShared),
              nullptr);
    EXPECT_EQ(openFileForReading("M:\\sub\\f.txt", FileShare::kExclusive),
              nullptr);
    EXPECT_FALSE(deleteFile("M:\\sub\\f.txt"));  // held open
  }
  EXPECT_NE(fileKind("M:\\sub"), FileKind::kDirectory);  // unmounted
  EXPECT_EQ(readAll(disk), "disk");
  fs::remove_all(native);
}

// The same rules for the rename that puts a finished file in place, on the
// disk and in memory: it replaces a file in one step, leaves a folder and a
// file held open alone, and never moves between a tree and the disk.
TEST(MemoryFileSystemTest, RenameReplacesAFileButNotAFolderOrAFileInUse) {
  const std::string native = uniqueTempPath("morvane-rename-test-");
  fs::create_directories(native);
  MemoryFileSystem memory("M:\\");
  for (const std::string& root : {modulePath(native), std::string("M:")}) {
    SCOPED_TRACE(root);
    const std::string a = root + "\\a.txt", b = root + "\\b.txt";
    const std::string folder = root + "\\folder";
    ASSERT_TRUE(writeAll(a, "new"));
    ASSERT_TRUE(writeAll(b, "old"));
    ASSERT_TRUE(createDirectory(folder.c_str()));
    {
      auto held = openFileForReading(b.c_str(), FileShare::kExclusive);
      ASSERT_NE(held, nullptr);
      EXPECT_FALSE(renameFile(a.c_str(), b.c_str()));
    }
    EXPECT_FALSE(renameFile(a.c_str(), folder.c_str()));
    EXPECT_EQ(fileKind(folder.c_str()), FileKind::kDirectory);
    EXPECT_EQ(readAll(b), "old");
    EXPECT_TRUE(renameFile(a.c_str(), b.c_str()));
    EXPECT_EQ(readAll(b), "new");
    EXPECT_EQ(fileKind(a.c_str()), FileKind::kMissing);
  }
  ASSERT_TRUE(writeAll("M:\\c.txt", "c"));
  EXPECT_FALSE(renameFile("M:\\c.txt", (modulePath(native) + "\\c.txt").c_str()));
  EXPECT_EQ(readAll("M:\\c.txt"), "c");
  fs::remove_all(native);
}

// A file replaced through ReplacingFile on a disk that fills at byte k, or
// that loses bytes past k (found at the flush before the rename): at every k
// the old file is whole and no temporary file is left.
TEST(MemoryFileSystemTest, ReplacingFileLeavesTheOldFileOnAnyFailure) {
  const std::string next(300, 'n');
  for (int fault = 0; fault < 2; ++fault) {
    for (int64_t k = 0; k <= static_cast<int64_t>(next.size()); ++k) {
      MemoryFileSystem memory("M:\\");
      memory.putFile("M:\\out.svg", "old");
      if (fault == 0) memory.failWritesAt(k);
      if (fault == 1) memory.shortWritesAt(k);
      ReplacingFile out("M:\\out.svg");
      ASSERT_TRUE(out.opened());
      out.write(next.data(), 100);
      out.write(next.data() + 100, 200);
      bool committed = out.commit();
      EXPECT_EQ(committed, k == static_cast<int64_t>(next.size())) << k;
      EXPECT_EQ(readAll("M:\\out.svg"), committed ? next : "old") << k;
      EXPECT_EQ(memory.paths().size(), 1u) << k;
      // What was committed reached the disk before its name did.
      EXPECT_EQ(memory.flushCount(), committed ? 1 : 0) << k;
    }
  }
  // Not committed: nothing changes, the temporary goes.
  MemoryFileSystem memory("M:\\");
  { ReplacingFile dropped("M:\\x.bin"); ASSERT_TRUE(dropped.write("abc")); }
  EXPECT_TRUE(memory.paths().empty());
}

// Power loss at every operation of three ways of writing a file over an old
// one. The replacement leaves the old file or the new one, whole; writing
// in place, or renaming before the content is flushed, loses the data: the
// strict model must show both, or it would pass code that loses data.
TEST(MemoryFileSystemTest, CrashKeepsOnlyWhatWasFlushed) {
  const std::string next(5000, 'n');
  enum Way { kReplacing, kInPlace, kRenameUnflushed };
  auto run = [&](Way way) {
    if (way == kReplacing) {
      ReplacingFile out("M:\\f.bin");
      out.write(next.data(), 2000) && out.write(next.data() + 2000, 3000) &&
          out.commit();
    } else {
      const char* path = way == kInPlace ? "M:\\f.bin" : "M:\\f~.bin";
      auto file = openFileForWriting(path);
      if (!file) return;
      file->write(next.data(), 2000) && file->write(next.data() + 2000, 3000);
      file->close();
      if (way == kRenameUnflushed) renameFile("M:\\f~.bin", "M:\\f.bin");
    }
  };
  struct Case {
    Way way;
    int64_t operations;  // counted by a run without a crash
    bool alwaysWhole;    // old or new at every crash point
  };
  const Case cases[] = {
      {kReplacing, 5, true},  // create, write, write, flush, rename
      {kInPlace, 3, false},
      {kRenameUnflushed, 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    {
      MemoryFileSystem memory("M:\\");
      memory.putFile("M:\\f.bin", "old");
      run(c.way);
      EXPECT_EQ(memory.operationCount(), c.operations);
    }
    bool everWhole = true;
    // k beyond the last operation: the crash comes after the run.
    for (int64_t k = 1; k <= c.operations + 1; ++k) {
      MemoryFileSystem memory("M:\\");
      memory.putFile("M:\\f.bin", "old");
      memory.crashAtOperation(k);
      run(c.way);
      memory.applyCrash();
      std::string kept;
      ASSERT_TRUE(memory.fileBytes("M:\\f.bin", &kept)) << k;
      bool whole = kept == "old" || kept == next;
      everWhole = everWhole && whole;
      if (c.alwaysWhole) {
        EXPECT_TRUE(whole) << k << ": " << kept.size() << " bytes";
        // Once renamed, the new one; before, the old one.
        EXPECT_EQ(kept, k > 5 ? next : "old") << k;
      }
      // The tree works again after the crash, open files of the dead run
      // included.
      EXPECT_TRUE(writeAll("M:\\g.bin", "g")) << k;
    }
    EXPECT_EQ(everWhole, c.alwaysWhole);
  }
  // After crashAtOperation every operation fails, and a file opened before
  // writes nowhere, also after the crash is applied.
  MemoryFileSystem memory("M:\\");
  auto open = openFileForWriting("M:\\h.bin");
  ASSERT_NE(open, nullptr);
  memory.crashAtOperation(memory.operationCount() + 1);
  EXPECT_TRUE(memory.crashed());
  EXPECT_FALSE(open->write("x", 1));
  EXPECT_EQ(openFileForWriting("M:\\i.bin"), nullptr);
  EXPECT_FALSE(createDirectory("M:\\d"));
  EXPECT_FALSE(deleteFile("M:\\h.bin"));
  memory.applyCrash();
  EXPECT_FALSE(open->write("x", 1));
  EXPECT_TRUE(deleteFile("M:\\h.bin"));  // no longer held open
}

}  // namespace

// The in-memory tree takes the paths the system's files take: 259 bytes and
// the terminating zero. One byte more is refused by every operation, and
// nothing is made under it.
TEST(MemoryFileSystemTest, PathsFitAPathBufferOrAreRefused) {
  MemoryFileSystem memory("M:\\");
  const std::string fits = "M:\\" + std::string(256, 'n');
  ASSERT_EQ(fits.size(), 259u);
  const std::string tooLong = fits + "x";
  const std::string folder = "M:\\" + std::string(256, 'f');
  const std::string folderTooLong = folder + "f";

  EXPECT_TRUE(writeAll(fits, "kept"));
  EXPECT_EQ(readAll(fits), "kept");
  EXPECT_EQ(fileKind(fits.c_str()), FileKind::kFile);
  EXPECT_TRUE(createDirectory(folder.c_str()));

  EXPECT_FALSE(writeAll(tooLong, "lost"));
  EXPECT_EQ(openFileForReading(tooLong.c_str(), FileShare::kReadShared),
            nullptr);
  EXPECT_EQ(fileKind(tooLong.c_str()), FileKind::kUnusable);
  EXPECT_FALSE(createDirectory(folderTooLong.c_str()));
  EXPECT_FALSE(renameFile(fits.c_str(), tooLong.c_str()));
  EXPECT_FALSE(deleteFile(tooLong.c_str()));
  EXPECT_FALSE(findFirstFile(tooLong.c_str()));
  // The file that fits is where it was; nothing was made under a name cut
  // to fit.
  EXPECT_EQ(readAll(fits), "kept");
  std::string bytes;
  EXPECT_FALSE(memory.fileBytes(tooLong, &bytes));
  EXPECT_EQ(fileKind(fits.substr(0, 258).c_str()), FileKind::kMissing);
}
