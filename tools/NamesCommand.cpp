// morvane-host names: the place-name command run as the host's menu would
// run it, with the file dialog answered by the command line
// (tools/DepotCommands.h), and the listing of the stand-in host's
// place-name database.

#include <charconv>
#include <cstdio>

#include "platform/Sjis.h"
#include "standin/StandinNameDb.h"
#include "tools/Commands.h"
#include "tools/DataSetFile.h"

namespace {

// The shortest text that reads back as the same double.
std::string number(double value) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

int listNames() {
  for (const standin::NameEntry& e : standin::nameEntries()) {
    std::printf("%s\t%s\t%s\n", sjisToUtf8(e.name).c_str(),
                number(e.latitude).c_str(), number(e.longitude).c_str());
  }
  return 0;
}

}  // namespace

int namesCommand(const HostOptions& options, const Arguments& args) {
  if (args.size() != 1 || args[0].empty()) {
    std::fprintf(stderr, "usage: morvane-host names FILE.e00 | --list\n");
    return 2;
  }
  if (args[0] == "--list") return listNames();
  if (args[0][0] == '-') {
    std::fprintf(stderr, "names: unknown option %s\n", args[0].c_str());
    return 2;
  }
  // A file that cannot be read is refused before the module is looked
  // for, as the file commands refuse it.
  if (inputPathOrComplain("names", args[0]).empty()) return 1;
  return namesDepotCommand(options, args);
}
