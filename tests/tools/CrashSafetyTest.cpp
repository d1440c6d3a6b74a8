// Power lost at every file operation of open, reopen, close, delete, set and
// shutdown: each command is one whole run of morvane-host on a home held in
// memory, stopped at operation k, the disk then taken as it would be after
// the power came back (only what was flushed is there), and the host
// started again. Whatever k, each data set is whole or absent, never
// partial, and the depot index, the reopen list and the cache files agree:
// no file without its item, no item without its whole file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dataset/CacheFormat.h"
#include "platform/MemoryFileSystem.h"
#include "standin/StandinDepot.h"
#include "standin/StandinLayers.h"
#include "standin/StandinProfile.h"
#include "tests/TempName.h"
#include "tests/tools/MorvaneHostSupport.h"
#include "ui/headless/FileDialogHeadless.h"

namespace {

namespace fs = std::filesystem;
using namespace host_test;

// The home in the tree: "/mem/home" natively is "Z:\mem\home".
constexpr char kTreePrefix[] = "Z:\\mem\\";
constexpr char kHome[] = "/mem/home";
constexpr char kDepot[] = "Z:\\mem\\home\\depot\\Morvane\\ArcInfoExport\\";
constexpr int64_t kWholeCache = cache_format::fileSize(7);  // smallArcs()

using Tree = std::map<std::string, std::string>;  // file path: bytes

class CrashSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    inputs_ = fs::path(uniqueTempPath("morvane-crash-test-"));
    fs::create_directories(inputs_);
    for (const char* name : {"roads", "rivers"}) {
      std::ofstream(inputs_ / (std::string(name) + ".e00"), std::ios::binary)
          << smallArcs();
    }
  }
  void TearDown() override { fs::remove_all(inputs_); }

  // One run of the host on the tree's home.
  HostRun run(const Arguments& command) {
    standin::resetDepot();
    standin::resetProfile();
    standin::resetLayers();
    headless::resetFileDialogs();
    return runHost(kHome, command);
  }
  std::string in(const char* name) const {
    return (inputs_ / name).string();
  }

  static Tree files(const MemoryFileSystem& tree) {
    Tree out;
    for (const std::string& path : tree.paths()) {
      std::string bytes;
      if (tree.fileBytes(path, &bytes)) out[path] = bytes;
    }
    return out;
  }
  static void load(MemoryFileSystem& tree, const Tree& from) {
    for (const auto& [path, bytes] : from) tree.putFile(path, bytes);
  }

  // The depot after a crash, as the next two starts leave it: each exits 0,
  // every item's cache file is whole, every cache file is an item's
  // (temporary files a crash left behind aside), every name of the reopen
  // list is an item.
  void expectWholeOrAbsent(const MemoryFileSystem& tree, int64_t k) {
    SCOPED_TRACE("crash at operation " + std::to_string(k));
    for (int pass = 0; pass < 2; ++pass) {
      HostRun listed = run({"list"});
      const Tree now = files(tree);
      EXPECT_EQ(listed.exit, 0) << listed.err;
      std::set<std::string> items;
      size_t at = 0;
      while ((at = listed.out.find("item\t", at)) != std::string::npos) {
        const size_t end = listed.out.find('\n', at);
        const std::string line = listed.out.substr(at, end - at);
        items.insert(line.substr(line.rfind('/') + 1));
        at = end;
      }
      std::set<std::string> caches;
      std::string list;
      for (const auto& [path, bytes] : now) {
        if (path.compare(0, std::strlen(kDepot), kDepot) != 0) continue;
        const std::string name = path.substr(std::strlen(kDepot));
        if (name == "morvane.ini") {
          list = bytes;
        } else if (name.find('~') == std::string::npos) {
          caches.insert(name);
          EXPECT_EQ(static_cast<int64_t>(bytes.size()), kWholeCache) << name;
        }
      }
      EXPECT_EQ(caches, items) << listed.out;
      std::string line;
      for (char c : list) {
        if (c != '\n') {
          line += c;
          continue;
        }
        EXPECT_EQ(items.count(line + ".bin"), 1u) << "listed: " << line;
        line.clear();
      }
    }
  }

  // Runs command on the home left by prepare, crashing at each of its
  // operations in turn.
  void everyOperation(const std::vector<Arguments>& prepare,
                      const Arguments& command) {
    MemoryFileSystem tree(kTreePrefix);
    for (const Arguments& step : prepare) {
      HostRun r = run(step);
      ASSERT_EQ(r.exit, 0) << r.err;
    }
    const Tree prepared = files(tree);
    const int64_t before = tree.operationCount();
    HostRun whole = run(command);
    ASSERT_EQ(whole.exit, 0) << whole.err;
    const int64_t operations = tree.operationCount() - before;
    ASSERT_GT(operations, 0);
    for (int64_t k = 1; k <= operations; ++k) {
      MemoryFileSystem crashed(kTreePrefix);
      load(crashed, prepared);
      crashed.crashAtOperation(crashed.operationCount() + k);
      run(command);
      crashed.applyCrash();
      expectWholeOrAbsent(crashed, k);
      if (HasFailure()) return;  // one crash point's report is enough
    }
  }

  fs::path inputs_;
};

TEST_F(CrashSafetyTest, EveryCommandIsWholeOrAbsentAfterPowerLoss) {
  const std::vector<Arguments> both = {
      {"open", in("roads.e00"), in("rivers.e00")}};
  struct Case {
    const char* what;
    std::vector<Arguments> prepare;
    Arguments command;
  };
  const Case cases[] = {
      {"open", {}, {"open", in("roads.e00"), in("rivers.e00")}},
      {"open beside", {{"open", in("roads.e00")}}, {"open", in("rivers.e00")}},
      {"reopen",
       {both[0], {"close", "roads"}},
       {"reopen", "roads"}},
      {"close", both, {"close", "rivers"}},
      {"delete", both, {"delete", "rivers"}},
      {"set", both, {"set", "roads", "--colour", "3CB371", "--width", "3"}},
      {"shutdown", both, {"list"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    everyOperation(c.prepare, c.command);
    if (HasFailure()) return;
  }
}

}  // namespace
