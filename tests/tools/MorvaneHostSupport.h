// Runs morvane-host's subcommands in the test's own process, as its main()
// does, and captures what they print.

#ifndef MORVANE_TESTS_TOOLS_MORVANEHOSTSUPPORT_H_
#define MORVANE_TESTS_TOOLS_MORVANEHOSTSUPPORT_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "tests/tools/SmallCoverages.h"
#include "tools/Commands.h"
#include "ui/headless/HeadlessUi.h"

namespace host_test {

// The module the sessions load; empty where the test program has none (on
// Windows, where the module loads into morvane-window-host instead).
inline std::string modulePathForTests() {
#ifdef MORVANE_MODULE_PATH
  return MORVANE_MODULE_PATH;
#else
  return std::string();
#endif
}

// A file's bytes, whole (empty when it cannot be read).
inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

struct HostRun {
  int exit;
  std::string out;
  std::string err;
};

// morvane-host --home HOME COMMAND ARGS...
inline HostRun runHost(const std::string& home, const Arguments& command) {
  HostOptions options;
  options.home = home;
  // Each session loads the module afresh and unloads it at its end.
  options.module = modulePathForTests();
  standin::setHome(home);
  standin::resetNameDb();
  headless::resetUi();
  Arguments args(command.begin() + 1, command.end());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int exit = 2;
  if (command[0] == "inspect") exit = inspectCommand(options, args);
  if (command[0] == "cache") exit = cacheCommand(options, args);
  if (command[0] == "draw") exit = drawCommand(options, args);
  if (command[0] == "names") exit = namesCommand(options, args);
  if (command[0] == "open") exit = openDepotCommand(options, args);
  if (command[0] == "reopen") exit = reopenDepotCommand(options, args);
  if (command[0] == "close") exit = closeDepotCommand(options, args);
  if (command[0] == "delete") exit = deleteDepotCommand(options, args);
  if (command[0] == "set") exit = setDepotCommand(options, args);
  if (command[0] == "list") exit = listDepotCommand(options, args);
  std::fflush(stdout);
  std::fflush(stderr);
  HostRun run{exit, ::testing::internal::GetCapturedStdout(),
          ::testing::internal::GetCapturedStderr()};
  standin::resetNameDb();  // saves while the home is still there
  return run;
}

}  // namespace host_test

#endif  // MORVANE_TESTS_TOOLS_MORVANEHOSTSUPPORT_H_
