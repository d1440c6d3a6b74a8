// Subcommands of morvane-host, the command-line host built on the stand-in
// host. Each takes the arguments after its own name and returns the process
// exit code: 0 success, 1 the work failed (the message was printed), 2 the
// command line was wrong.

#ifndef MORVANE_TOOLS_COMMANDS_H_
#define MORVANE_TOOLS_COMMANDS_H_

#include <string>
#include <vector>

struct HostOptions {
  std::string home;  // the stand-in host's home folder (--home)
  // The module the host loads (--module); empty: the commands that need
  // the module refuse to run ("no module to load").
  std::string module;
};

using Arguments = std::vector<std::string>;

int inspectCommand(const HostOptions& options, const Arguments& args);
int cacheCommand(const HostOptions& options, const Arguments& args);
int drawCommand(const HostOptions& options, const Arguments& args);
int namesCommand(const HostOptions& options, const Arguments& args);
// The module's commands, played over the headless robot
// (tools/HeadlessDepotRobot.cpp, tools/DepotCommands.h).
int openDepotCommand(const HostOptions& options, const Arguments& args);
int reopenDepotCommand(const HostOptions& options, const Arguments& args);
int closeDepotCommand(const HostOptions& options, const Arguments& args);
int deleteDepotCommand(const HostOptions& options, const Arguments& args);
int setDepotCommand(const HostOptions& options, const Arguments& args);
int listDepotCommand(const HostOptions& options, const Arguments& args);
// The place-name command, args its one FILE.e00.
int namesDepotCommand(const HostOptions& options, const Arguments& args);

#endif  // MORVANE_TOOLS_COMMANDS_H_
