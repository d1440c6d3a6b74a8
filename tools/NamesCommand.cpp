// morvane-host names: the place-name command run as the host's menu would
// run it, with the file dialog answered by the command line, and the
// listing of the stand-in host's place-name database.

#include <charconv>
#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "standin/StandinNameDb.h"
#include "tools/DataSetFile.h"
#include "tools/Commands.h"
#include "tools/ToolSession.h"
#include "ui/headless/FileDialogHeadless.h"
#include "ui/headless/HeadlessUi.h"

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

int importNames(const HostOptions& options, const std::string& nativePath) {
  std::string path = inputPathOrComplain("names", nativePath);
  if (path.empty()) return 1;
  if (options.module.empty()) {
    std::fprintf(stderr, "morvane-host: no module to load (--module)\n");
    return 1;
  }
  // Results on stdout, failures on stderr: the messages are printed here
  // rather than echoed.
  headless::setEcho(false);
  headless::answerFileDialog(path);
  // A whole run of the host: the command chosen from the module's menu,
  // then the shutdown that keeps what it did.
  ToolSession session;
  if (!session.start(options)) return 1;
  session.invokeMenu(kPlaceNamesMenuItem);
  session.stop();  // a database it could not save is reported below
  bool counted = false;
  for (const headless::RecordedMessage& m : headless::messages()) {
    std::string text = sjisToUtf8(m.text);
    if (m.icon == MessageIcon::kInformation) {
      std::printf("%s\n", text.c_str());
      counted = true;
    } else {
      std::fprintf(stderr, "error: %s\n", text.c_str());
    }
  }
  // The host's own failures: names it could not keep (the count above says
  // how many it did keep), or a database it could not save.
  bool saved = standin::saveNameDb();
  std::string error = standin::nameDbError();
  if (!error.empty() || !saved) {
    std::fprintf(stderr, "names: %s; %s is as the names kept left it\n",
                 error.empty() ? "cannot save the place names" : error.c_str(),
                 standin::nameDbPath().c_str());
    return 1;
  }
  return counted ? 0 : 1;
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
  return importNames(options, args[0]);
}
