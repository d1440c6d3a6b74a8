#include "base/PathHelpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// 表 in Shift-JIS: its second byte is a backslash byte.
const std::string kOmote = "\x95\x5C";
// ソ likewise (0x83 0x5C).
const std::string kSo = "\x83\x5C";

std::string join(const std::string& path, const std::string& name) {
  char buffer[kVpiPathSize];
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  EXPECT_TRUE(appendPathComponent(buffer, name.c_str()));
  return buffer;
}

struct EndsCase {
  std::string path;
  bool expected;
};

TEST(PathHelpersTest, EndsWithBackslashSeesOnlySingleByteBackslashes) {
  const EndsCase cases[] = {
      {"", false},
      {"\\", true},
      {"C:\\depot\\", true},
      {"C:\\depot", false},
      {"C:/depot/", false},                      // slashes are not separators
      {"C:\\" + kOmote, false},                  // 表 ends the path
      {"C:\\" + kOmote + "\\", true},
      {"C:\\" + kSo + kOmote, false},
      {"C:\\a\\" + kSo + "b", false},
      {"C:\\\xE0\x5C", false},                   // lead bytes E0-FF too
      {"C:\\\x41\x5C", true},                    // 0x41 is no lead byte
      {"C:\\\xA0\\", true},                      // half-width kana: 1 byte
      {"C:\\depot\\\x95", false},                // lead byte cut by the end
  };
  for (const EndsCase& c : cases) {
    EXPECT_EQ(endsWithBackslash(c.path.c_str()), c.expected) << c.path;
  }
}

struct JoinCase {
  std::string path;
  std::string name;
  std::string expected;
};

TEST(PathHelpersTest, AppendPutsExactlyOneBackslashBetween) {
  const JoinCase cases[] = {
      {"C:\\depot", "morvane.ini", "C:\\depot\\morvane.ini"},
      {"C:\\depot\\", "morvane.ini", "C:\\depot\\morvane.ini"},
      {"C:\\depot", "\\morvane.ini", "C:\\depot\\morvane.ini"},
      {"C:\\depot\\", "\\morvane.ini", "C:\\depot\\morvane.ini"},
      {"", "roads", "\\roads"},
      {"C:\\" + kOmote, "a.bin", "C:\\" + kOmote + "\\a.bin"},
      {"C:\\d", kOmote + ".bin", "C:\\d\\" + kOmote + ".bin"},
      {"C:\\d", "", "C:\\d\\"},
  };
  for (const JoinCase& c : cases) {
    EXPECT_EQ(join(c.path, c.name), c.expected) << c.path << " + " << c.name;
  }
}

TEST(PathHelpersTest, AppendRefusesWhatDoesNotFitAndLeavesBufferAlone) {
  // The result may be 259 bytes long, never 260.
  for (size_t pathLength : {1u, 100u, 250u, 257u, 258u, 259u}) {
    for (size_t nameLength : {0u, 1u, 2u, 8u}) {
      std::string path(pathLength, 'p');
      std::string name(nameLength, 'n');
      char buffer[kVpiPathSize + 8];
      std::memset(buffer, '#', sizeof(buffer));
      std::memcpy(buffer, path.c_str(), path.size() + 1);
      bool fits = pathLength + 1 + nameLength <= 259;
      EXPECT_EQ(appendPathComponent(buffer, name.c_str()), fits)
          << pathLength << "+" << nameLength;
      if (fits) {
        EXPECT_EQ(std::string(buffer), path + "\\" + name);
      } else {
        EXPECT_EQ(std::string(buffer), path);
      }
      // Nothing past the 260-byte buffer is ever touched.
      for (size_t i = kVpiPathSize; i < sizeof(buffer); ++i) {
        ASSERT_EQ(buffer[i], '#');
      }
    }
  }
  // With a final backslash no separator is added: 258 + 1 fits exactly.
  char buffer[kVpiPathSize];
  std::string path = std::string(257, 'p') + "\\";
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  EXPECT_TRUE(appendPathComponent(buffer, "\\x"));
  EXPECT_EQ(std::strlen(buffer), 259u);
}

TEST(PathHelpersTest, AppendRefusesBufferWithoutTerminator) {
  char buffer[kVpiPathSize];
  std::memset(buffer, 'p', sizeof(buffer));
  EXPECT_FALSE(appendPathComponent(buffer, "x"));
  EXPECT_EQ(buffer[kVpiPathSize - 1], 'p');
}

struct SplitCase {
  std::string path;
  std::string name;
};

TEST(PathHelpersTest, SplitFileNameTakesWhatFollowsLastSeparator) {
  const SplitCase cases[] = {
      {"D:\\data\\roads.e00", "roads.e00"},
      {"D:roads.e00", "roads.e00"},
      {"roads.e00", "roads.e00"},
      {"", ""},
      {"D:\\data\\", ""},
      {"D:\\data/roads.e00", "data/roads.e00"},  // slashes are not separators
      {"D:\\a:b\\c.e00", "c.e00"},               // backslash beats colon
      {"D:\\a\\b:c.e00", "b:c.e00"},
      {"D:\\" + kOmote + ".e00", kOmote + ".e00"},
      {"D:\\x\\" + kSo + kOmote, kSo + kOmote},
      {kOmote + "\\" + kOmote, kOmote},
  };
  for (const SplitCase& c : cases) {
    const char* name = splitFileName(c.path.c_str());
    EXPECT_EQ(std::string(name), c.name) << c.path;
    EXPECT_GE(name, c.path.c_str());
  }
}

}  // namespace

TEST(PathHelpersTest, ReservedWindowsNamesAreTold) {
  struct Case {
    const char* name;
    bool reserved;
  };
  const Case cases[] = {
      {"", true},         {".", true},          {"..", true},
      {" ", true},        {". .", true},        {"roads.", true},
      {"roads ", true},   {"CON", true},        {"con", true},
      {"nul.bin", true},  {"Com1 .txt", true},  {"LPT9", true},
      {"aux.tar.gz", true}, {"PRN", true},
      {"roads", false},   {"CONSOLE", false},   {"COM0", false},
      {"COM10", false},   {"LPT", false},       {"xCON", false},
      {".bin", false},    {"roads.old", false}, {" roads", false},
      {"\x93\xFA\x96\x7B", false},  // a two-byte name
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isReservedWindowsName(c.name), c.reserved) << '"' << c.name << '"';
  }
}
