// Windows sharing as another program meets it: an .e00 file held open for
// writing by a program that lets readers in can still be read.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
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

}  // namespace
