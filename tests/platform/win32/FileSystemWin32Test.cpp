// Windows sharing as another program meets it: an .e00 file held open for
// writing by a program that lets readers in can still be read.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "tests/TempName.h"

namespace {

TEST(FileSystemWin32Test, ReadersGetInWhileAnotherProgramWrites) {
  const std::string path = modulePath(uniqueTempPath("morvane-share-", ".e00"));
  // How a copy in progress or a GIS tool holds the file.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, "EXP  0\n", 7, &written, nullptr));
  {
    auto reader = openFileForReading(path.c_str(), FileShare::kReadShared);
    ASSERT_NE(reader, nullptr);
    char buffer[16];
    EXPECT_EQ(reader->read(buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(buffer, 7), "EXP  0\n");
    // The cache file's opens stay exclusive, and our own writer still
    // keeps the reader's way clear.
    EXPECT_EQ(openFileForReading(path.c_str(), FileShare::kExclusive), nullptr);
    EXPECT_EQ(openFileForWriting(path.c_str()), nullptr);
  }
  CloseHandle(writer);
  EXPECT_TRUE(deleteFile(path.c_str()));
}

// ReplacingFile on the Win32 backend: a target another program holds open
// without sharing is not replaced (MoveFileExA refuses it), and the
// temporary goes; a device name is no file to replace, and nothing is
// written to the device.
TEST(FileSystemWin32Test, ReplacementLeavesWhatItCannotReplace) {
  const std::string path = modulePath(uniqueTempPath("morvane-replace-", ".bin"));
  {
    auto out = openFileForWriting(path.c_str());
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(out->write("old", 3));
    ASSERT_TRUE(out->flush());
  }
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  std::string temporary;
  {
    ReplacingFile out(path);
    ASSERT_TRUE(out.opened());
    temporary = out.temporaryPath();
    EXPECT_TRUE(out.write("new"));
    EXPECT_FALSE(out.commit());
  }
  CloseHandle(holder);
  EXPECT_EQ(fileKind(temporary.c_str()), FileKind::kMissing);
  auto in = openFileForReading(path.c_str(), FileShare::kReadShared);
  ASSERT_NE(in, nullptr);
  char buffer[8];
  EXPECT_EQ(in->read(buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer, 3), "old");
  in.reset();
  EXPECT_TRUE(deleteFile(path.c_str()));

  const std::string folder = path.substr(0, path.rfind('\\'));
  for (const char* device : {"NUL", "CON", "nul.bin"}) {
    ReplacingFile out(folder + "\\" + device);
    EXPECT_FALSE(out.opened() && out.write("x") && out.commit()) << device;
  }
}

}  // namespace
