// morvane-host: runs the module's capabilities in the stand-in host from the
// command line. Output is meant to be read by people and by scripts alike:
// results on stdout, progress and messages on stderr.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"
#include "tools/Commands.h"
#include "tools/ToolSession.h"
#include "tools/ProgressLine.h"
#include "ui/headless/HeadlessUi.h"

namespace {

struct Subcommand {
  const char* name;
  int (*run)(const HostOptions&, const Arguments&);
  const char* usage;
};

const Subcommand kSubcommands[] = {
    {"inspect", inspectCommand,
     "inspect FILE.e00|FILE.bin   print how the file is stored and its PRJ "
     "section, then arcs, points, separators and bounds"},
    {"cache", cacheCommand,
     "cache FILE.e00 OUT.bin      write the arcs as a cache file"},
    {"draw", drawCommand,
     "draw [FILE.e00|FILE.bin] --svg OUT.svg [--extent W,S,E,N] [--datum N] "
     "[--3d OUT3D.svg --eye LAT,LON --distance KM]   draw the file, or the "
     "open data sets, in the 2D (and 3D) view as SVG/PNG"},
    {"names", namesCommand,
     "names FILE.e00|--list       import place names / list them (name, "
     "latitude, longitude)"},
    {"open", openDepotCommand,
     "open FILE.e00...            import each file through the open command"},
    {"reopen", reopenDepotCommand,
     "reopen NAME...              reopen depot items through the open command"},
    {"close", closeDepotCommand,
     "close NAME...               close open data sets (cache files kept)"},
    {"delete", deleteDepotCommand,
     "delete NAME...              close open data sets, removing their depot "
     "items"},
    {"set", setDepotCommand,
     "set NAME [--colour RRGGBB] [--width N] [--visible 0|1]   change an "
     "open data set's row in the side panel"},
    {"list", listDepotCommand,
     "list                        open data sets (row id, name, attributes), "
     "then depot items (id, title, file)"},
};

int usage(FILE* out) {
  std::fprintf(out,
               "usage: morvane-host [--home DIR] [--module PATH] COMMAND "
               "[ARGS]\n\n");
  for (const Subcommand& s : kSubcommands) std::fprintf(out, "  %s\n", s.usage);
  std::fprintf(out,
               "\n  --home DIR   the stand-in host's folder (default "
               "$HOME/.morvane-host)\n"
               "  --module PATH the module the host loads (default: the "
               "Morvane.so beside morvane-host)\n");
  return out == stdout ? 0 : 2;
}

std::string defaultHome() {
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.morvane-host";
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  options.home = defaultHome();
  options.module = defaultModulePath();
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc) {
      options.home = argv[++i];
    } else if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc) {
      options.module = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 ||
               std::strcmp(argv[i], "-h") == 0) {
      return usage(stdout);
    } else {
      std::fprintf(stderr, "morvane-host: unknown option %s\n", argv[i]);
      return usage(stderr);
    }
  }
  if (i >= argc) return usage(stderr);
  standin::setHome(options.home);
  standin::setMessageDispatcher(headless::dispatchPending);
  // Progress rewrites one line in place: for a person at a terminal only.
  static ProgressLine progressLine;
  if (isatty(fileno(stderr)) != 0) headless::setObserver(&progressLine);
  const std::string name = argv[i];
  Arguments args(argv + i + 1, argv + argc);
  for (const Subcommand& s : kSubcommands) {
    if (name != s.name) continue;
    int status = s.run(options, args);
    // A host file (profile, depot index) that could not be written was told
    // when it happened; however the module took the failed call, the run
    // failed.
    return status == 0 && standin::hostFilesFailed() ? 1 : status;
  }
  std::fprintf(stderr, "morvane-host: unknown command %s\n", name.c_str());
  return usage(stderr);
}
