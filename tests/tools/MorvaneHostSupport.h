// Runs morvane-host's subcommands in the test's own process, as its main()
// does, and captures what they print; small E00 inputs for them.

#ifndef MORVANE_TESTS_TOOLS_MORVANEHOSTSUPPORT_H_
#define MORVANE_TESTS_TOOLS_MORVANEHOSTSUPPORT_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
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

inline std::string e00Line(const char* format, double a, double b) {
  char line[64];
  std::snprintf(line, sizeof line, format, a, b);
  return line;
}

// Two arcs of three and two vertices around Tokyo: 7 points with the
// separators, a cache file of 28 + 7 x 8 = 84 bytes.
inline std::string smallArcs() {
  std::string t = "EXP  0 /SMALL.E00\nARC  2\n";
  t += "         1         1         1         2         0         0         3\n";
  t += e00Line("%14.7E%14.7E", 139.7, 35.6) + e00Line("%14.7E%14.7E", 139.8, 35.7) + "\n";
  t += e00Line("%14.7E%14.7E", 139.9, 35.8) + "\n";
  t += "         2         2         1         2         0         0         2\n";
  t += e00Line("%14.7E%14.7E", 140.0, 35.5) + e00Line("%14.7E%14.7E", 140.1, 35.4) + "\n";
  t += "        -1         0         0         0         0         0         0\n";
  t += "EOS\n";
  return t;
}

// Three labelled points with their names (東京, 横浜市, 千葉).
inline std::string smallNames() {
  const char* names[] = {"\x93\x8C\x8B\x9E", "\x89\xA1\x95\x6C\x8E\x73",
                         "\x90\xE7\x97\x74"};
  std::string t = "EXP  0 /NAMES.E00\nLAB  2\n";
  char line[160];
  for (int i = 1; i <= 3; ++i) {
    std::snprintf(line, sizeof line, "%10d%10d%14.7E%14.7E\n", i, i,
                  139.0 + i * 0.1, 35.0 + i * 0.1);
    t += line;
    std::snprintf(line, sizeof line, "%14.7E%14.7E%14.7E%14.7E\n", 0.0, 0.0,
                  0.0, 0.0);
    t += line;
  }
  std::snprintf(line, sizeof line, "%10d%10d%14.7E%14.7E\n", -1, 0, 0.0, 0.0);
  t += line;
  t += "CITIES.PAT                      XX   5   5  62         3\n";
  t += "AREA              4-1   14-1  12 3 60-1  -1  -1-1                   1-\n";
  t += "CITIES#           4-1   94-1   5-1 50-1  -1  -1-1                   2-\n";
  t += "NAME             40-1  194-1  40-1 20-1  -1  -1-1                   3-\n";
  for (int i = 1; i <= 3; ++i) {
    std::string name = names[i - 1];
    name.resize(40, ' ');
    std::snprintf(line, sizeof line, "%14.7E%14.7E%11d%11dJP", 0.0, 0.0, i, i);
    std::string r = line + name + "          7";
    t += r.substr(0, 80) + "\n" + r.substr(80) + "\n";
  }
  t += "EOS\n";
  return t;
}

}  // namespace host_test

#endif  // MORVANE_TESTS_TOOLS_MORVANEHOSTSUPPORT_H_
