// A fresh run of the module in a fresh stand-in host for every test: an
// empty home folder (depot, profile), no layers, and the module state as the
// host finds it when it loads the module.

#ifndef MORVANE_TESTS_PLUGIN_MODULEFIXTURE_H_
#define MORVANE_TESTS_PLUGIN_MODULEFIXTURE_H_

#include <filesystem>
#include <fstream>
#include <string>

#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "standin/StandinFiles.h"
#include "tests/TempName.h"
#include "tests/TestHost.h"

class ModuleFixture : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    home_ = std::filesystem::u8path(uniqueTempPath("morvane-plugin-test-"));
    std::filesystem::remove_all(home_);
    standin::setHome(home_.string());
    resetHost();
    resetModule();
  }
  void TearDown() override {
    resetModule();
    TestHost::TearDown();
    std::filesystem::remove_all(home_);
  }

  // The next run of the host: what it keeps on disk comes back.
  static void resetHost() { resetTestHost(); }
  static void resetModule() { pluginModule().reset(1); }

  static std::filesystem::path native(const char* modulePathText) {
    return standin::fileSystemPath(modulePathText);
  }
  static std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in),
                       std::istreambuf_iterator<char>());
  }
  static void writeAll(const std::filesystem::path& path,
                       const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::filesystem::path home_;
};

#endif  // MORVANE_TESTS_PLUGIN_MODULEFIXTURE_H_
