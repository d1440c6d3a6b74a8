// Whole host runs with the module loaded from its shared object, as the
// command-line host runs it: what one run leaves in the home folder is what
// the next one starts from, and every way a start can be refused leaves
// that folder as it was.

#include "standin/HostSession.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/MemoryFileSystem.h"
#include "resources/Texts.h"
#include "standin/StandinFiles.h"
#include "tests/TempName.h"
#include "tests/TestHost.h"

namespace {

namespace fs = std::filesystem;

class HostSessionTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    home_ = uniqueTempPath("morvane-session-test-");
    fs::remove_all(home_);
  }
  void TearDown() override {
    session_.stop();
    standin::setVersion(700);
    TestHost::TearDown();
    fs::remove_all(home_);
  }

  bool start(std::string* error = nullptr) {
    std::string ignored;
    return session_.start(home_.string(), MORVANE_MODULE_PATH,
                          error != nullptr ? error : &ignored);
  }
  // The next run of the host: nothing in memory survives.
  void restart() {
    ASSERT_TRUE(session_.stop());
    resetTestHost();
    std::string error;
    ASSERT_TRUE(start(&error)) << error;
  }
  static int32_t storedLoad() {
    standin::resetProfile();
    return VPI_GetProfileInt(standin::kSessionPluginHandle, "Load", -1);
  }
  static bool closeEnabled() {
    return standin::menuCommandEnabled(
        standin::findMenuCommand(kTextMenuTitle, kTextMenuE00File, 48));
  }
  static std::string read(const fs::path& path) {
    std::string content;
    standin::readWholeFile(path.string(), &content);
    return content;
  }

  fs::path home_;
  standin::HostSession session_;
};

TEST_F(HostSessionTest, LoadFollowsTheProfileAcrossRuns) {
  std::string error;
  ASSERT_TRUE(start(&error)) << error;
  EXPECT_EQ(standin::menus().size(), 2u);
  EXPECT_EQ(standin::panels().size(), 1u);
  EXPECT_TRUE(standin::layers().empty());
  EXPECT_FALSE(closeEnabled());
  restart();
  EXPECT_EQ(storedLoad(), 0);

  // A run that ended with data open.
  ASSERT_TRUE(session_.stop());
  resetTestHost();
  standin::setHome(home_.string());
  VPI_WriteProfileInt(standin::kSessionPluginHandle, "Load", 1);
  resetTestHost();
  ASSERT_TRUE(start(&error)) << error;
  ASSERT_EQ(standin::layers().size(), 2u);
  EXPECT_TRUE(closeEnabled());
  restart();
  EXPECT_EQ(standin::layers().size(), 2u);
  EXPECT_EQ(storedLoad(), 1);
}

// Whether the module's file is mapped into the process, as /proc/self/maps
// and the dynamic loader see it.
bool moduleMapped() {
  void* handle = dlopen(MORVANE_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  std::ifstream maps("/proc/self/maps");
  const std::string name = fs::path(MORVANE_MODULE_PATH).filename().string();
  bool mapped = false;
  for (std::string line; std::getline(maps, line);) {
    if (line.size() >= name.size() &&
        line.compare(line.size() - name.size(), name.size(), name) == 0) {
      mapped = true;
    }
  }
  EXPECT_EQ(mapped, handle != nullptr);
  return handle != nullptr;
}

// The next start must find the module's state as a first load does, so
// stop() really unloads it: nothing of it stays mapped.
TEST_F(HostSessionTest, StopUnloadsTheModuleWhole) {
  ASSERT_FALSE(moduleMapped());
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(moduleMapped());
    ASSERT_TRUE(session_.stop());
    EXPECT_FALSE(moduleMapped()) << "run " << run;
  }
}

TEST_F(HostSessionTest, PlaceNamesImportedThroughTheMenuSurviveTheNextStart) {
  ASSERT_TRUE(start());
  headless::answerFileDialog(MORVANE_TEST_DATA "/japan_cities.e00");
  EXPECT_EQ(session_.invokeMenu(kTextMenuTitle, kTextMenuE00PlaceNames),
            standin::MenuResult::kRan);
  size_t names = standin::nameEntries().size();
  ASSERT_GT(names, 0u);
  restart();
  EXPECT_EQ(standin::nameEntries().size(), names);
}

TEST_F(HostSessionTest, OldHostVersionIsRefusedByTheModule) {
  standin::setVersion(603);
  std::string error;
  EXPECT_FALSE(start(&error));
  EXPECT_NE(error.find("refused to start"), std::string::npos) << error;
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text, kTextHostTooOld);
  EXPECT_TRUE(standin::menus().empty());
  standin::setVersion(604);
  EXPECT_TRUE(start(&error)) << error;
}

TEST_F(HostSessionTest, ModulesThatCannotBeLoadedAreRefused) {
  fs::create_directories(home_);
  fs::path text = home_ / "notes.so";
  std::ofstream(text) << "not a module\n";
  const struct {
    std::string path;
    const char* says;
  } cases[] = {
      {(home_ / "missing.so").string(), "no module at"},
      {text.string(), "is not a plug-in module"},
      {home_.string(), "not a regular file"},
      {MORVANE_INCOMPLETE_MODULE, "no entry point About"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string error;
    EXPECT_FALSE(session_.start(home_.string(), c.path, &error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_FALSE(session_.running());
  }
  // Nothing stayed locked or loaded.
  std::string error;
  EXPECT_TRUE(start(&error)) << error;
}

TEST_F(HostSessionTest, DamagedProfileStopsTheStartAndIsKept) {
  fs::create_directories(home_);
  const std::string damaged = "#morvane-profile 1\n1\tLoad\tlots\n";
  std::ofstream(home_ / "profile.tsv", std::ios::binary) << damaged;
  std::string error;
  EXPECT_FALSE(start(&error));
  EXPECT_NE(error.find("profile"), std::string::npos) << error;
  EXPECT_FALSE(session_.running());
  EXPECT_EQ(read(home_ / "profile.tsv"), damaged);
  EXPECT_FALSE(fs::exists(home_ / "profile.tsv.bad"));
}

TEST_F(HostSessionTest, HomeThatIsAFileIsRefused) {
  std::ofstream(home_) << "a file\n";
  std::string error;
  EXPECT_FALSE(start(&error));
  EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
  EXPECT_EQ(read(home_), "a file\n");
}

TEST_F(HostSessionTest, SecondHostOnTheSameHomeIsRefused) {
  fs::create_directories(home_);
  std::string error;
  // Another host (its lock) holds the home.
  void* other = standin::lockHome(home_.string(), &error);
  ASSERT_NE(other, nullptr) << error;
  EXPECT_FALSE(start(&error));
  EXPECT_NE(error.find("in use by another host"), std::string::npos) << error;
  EXPECT_TRUE(standin::menus().empty());
  standin::unlockHome(other);

  ASSERT_TRUE(start(&error)) << error;
  standin::HostSession second;
  EXPECT_FALSE(second.start(home_.string(), MORVANE_MODULE_PATH, &error));
  EXPECT_FALSE(second.running());
  // The first carries on and shuts down as usual.
  EXPECT_EQ(standin::menus().size(), 2u);
  EXPECT_TRUE(session_.stop());
  EXPECT_EQ(storedLoad(), 0);
}

// A folder, FIFO, device or link in place of one of the host's own files
// stops the start with the file named; nothing waits on it (ctest gives
// the program 10 s) and it is left as it was, a link's target untouched.
TEST_F(HostSessionTest, HostFilesThatAreNoFilesStopTheStart) {
  fs::create_directories(home_);
  const fs::path outside = home_.string() + "-outside";
  std::ofstream(outside) << "outside\n";
  enum What { kFolder, kFifo, kDevice, kLink };
  for (const char* name : {"profile.tsv", "depot.idx", "names.tsv"}) {
    for (What what : {kFolder, kFifo, kDevice, kLink}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(what));
      const fs::path at = home_ / name;
      bool made = true;
      if (what == kFolder) fs::create_directory(at);
      if (what == kFifo) made = mkfifo(at.c_str(), 0600) == 0;
      if (what == kDevice) {
        made = mknod(at.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
      }
      if (what == kLink) fs::create_symlink(outside, at);
      if (!made) {
        std::printf("cannot make a %s here; skipped\n",
                    what == kFifo ? "FIFO" : "device");
        continue;
      }
      std::string error;
      EXPECT_FALSE(start(&error));
      EXPECT_NE(error.find(at.string()), std::string::npos) << error;
      EXPECT_FALSE(session_.running());
      EXPECT_EQ(read(outside), "outside\n");
      struct stat st;
      EXPECT_EQ(lstat(at.c_str(), &st), 0);
      fs::remove(at);
    }
  }
  std::string error;
  EXPECT_TRUE(start(&error)) << error;  // nothing stayed locked
  fs::remove(outside);
}

// A file the host could not write during a run (here the profile, which
// the module's Close writes) fails the run, told on stderr; the next run
// starts from the files as they were.
TEST_F(HostSessionTest, FilesTheHostCouldNotWriteFailTheRun) {
  MemoryFileSystem memory("Z:\\morvane-session-memory\\");
  const std::string home = "/morvane-session-memory/home";
  std::string error;
  ASSERT_TRUE(session_.start(home, MORVANE_MODULE_PATH, &error)) << error;
  ASSERT_TRUE(session_.stop());
  std::string profile;
  ASSERT_TRUE(memory.fileBytes(modulePath(home + "/profile.tsv"), &profile));
  resetTestHost();
  ASSERT_TRUE(session_.start(home, MORVANE_MODULE_PATH, &error)) << error;
  memory.failWritesAt(0);
  VPI_WriteProfileInt(standin::kSessionPluginHandle, "Load", 1);
  EXPECT_FALSE(session_.stop());
  memory.failWritesAt(-1);
  std::string after;
  ASSERT_TRUE(memory.fileBytes(modulePath(home + "/profile.tsv"), &after));
  EXPECT_EQ(after, profile);
  resetTestHost();
  ASSERT_TRUE(session_.start(home, MORVANE_MODULE_PATH, &error)) << error;
  EXPECT_TRUE(session_.stop());
  // The whole home stayed in memory.
  EXPECT_FALSE(fs::exists("/morvane-session-memory"));
}

}  // namespace
