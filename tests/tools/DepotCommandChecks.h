// The module's commands (open, reopen, close, delete, set, list, names)
// checked the same way over both host programs: each program's test gives
// a host that plays one whole run of the program per command in a home
// folder of its own (morvane-host natively over the headless robot,
// morvane-window-host under Wine over the real menus and dialogs), and
// runs these scenarios. Every run starts where the last one ended: what
// was open comes back at the first map draw.

#ifndef MORVANE_TESTS_TOOLS_DEPOTCOMMANDCHECKS_H_
#define MORVANE_TESTS_TOOLS_DEPOTCOMMANDCHECKS_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "tests/tools/SmallCoverages.h"

struct DepotRun {
  int exit;
  std::string out;
  std::string err;
};

// A host program's runs in a folder of the test's own: its home (the
// depot in it), the inputs in its "in", removed at the end.
class DepotHost {
 public:
  explicit DepotHost(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::create_directories(folder_ / "in");
  }
  virtual ~DepotHost() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  // One run of the program with the module loaded: COMMAND ARGS..., the
  // arguments as its command line gives them (UTF-8).
  virtual DepotRun run(const std::vector<std::string>& command) = 0;
  // Writes an input file of the test's own into "in", name in UTF-8, and
  // returns its path as the command line gives it.
  virtual std::string input(const std::string& name,
                            const std::string& content) = 0;

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path home() const { return folder_ / "home"; }
  // A sample of tests/data as the command line gives it.
  std::string sample(const char* name) const {
    return (std::filesystem::path(MORVANE_TEST_DATA) / name).string();
  }
  // A path in a folder that does not exist.
  std::string missing() const {
    return (folder_ / "nonexistent" / "x.e00").string();
  }
  // The path of the module's cache file name.bin in the depot, as list
  // prints it (ASCII names).
  std::string depotFile(const char* name) const {
    return (home() / "depot" / "Morvane" / "ArcInfoExport" /
            (std::string(name) + ".bin"))
        .string();
  }
  bool depotFileExists(const char* name) const {
    return std::filesystem::is_regular_file(depotFile(name));
  }
  // Whether the module's depot folder exists.
  bool depotExists() const {
    return std::filesystem::exists(home() / "depot" / "Morvane");
  }

 private:
  std::filesystem::path folder_;
};

namespace depot_checks {

// The rows list printed: each "open" line's row id and name.
inline std::vector<std::string> openRows(const std::string& out) {
  std::vector<std::string> rows;
  size_t at = 0;
  while ((at = out.find("open\t", at)) != std::string::npos) {
    size_t end = out.find('\t', out.find('\t', at + 5) + 1);
    rows.push_back(out.substr(at + 5, end - at - 5));
    at = end;
  }
  return rows;
}

inline int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

// A sample file of tests/data, whole.
inline std::string sampleBytes(const char* name) {
  std::ifstream in(std::filesystem::path(MORVANE_TEST_DATA) / name,
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

// 海岸線, as the command line gives it (UTF-8).
constexpr char kJapaneseName[] = "\xE6\xB5\xB7\xE5\xB2\xB8\xE7\xB7\x9A";

}  // namespace depot_checks

// Three opened, listed at the next start with their attributes and depot
// items; two closed (their items stay), one of them reopened twice (a name
// given twice takes a second run of the reopen dialog), then deleted with
// the third, which removes their cache files and leaves nothing open.
inline void checkOpenListCloseReopenDelete(DepotHost& host) {
  using depot_checks::openRows;
  const std::string roads = host.input("roads.e00", host_test::smallArcs());
  const std::string rivers =
      host.input("rivers.e00", host_test::smallArcs());
  const std::string coast = host.input("coast.e00", host_test::smallArcs());
  DepotRun r = host.run({"open", roads, rivers, coast});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "opened\t1\troads\nopened\t2\trivers\nopened\t3\tcoast\n");
  for (const char* f : {"roads", "rivers", "coast"}) {
    EXPECT_TRUE(host.depotFileExists(f)) << f;
  }

  // The three open at the end of the run come back at the next one with
  // row ids 1, 2, 3 and their attributes.
  r = host.run({"list"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(openRows(r.out),
            (std::vector<std::string>{"1\troads", "2\trivers", "3\tcoast"}));
  EXPECT_EQ(depot_checks::count(
                r.out, "\tvisible=1\tcolour=FFFF00\twidth=1\tshowIn3d=1\n"),
            3)
      << r.out;
  EXPECT_EQ(depot_checks::count(r.out, "item\t"), 3) << r.out;
  EXPECT_NE(r.out.find("\troads\t" + host.depotFile("roads") + "\n"),
            std::string::npos)
      << r.out;

  r = host.run({"close", "roads", "rivers"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "closed\troads\nclosed\trivers\n");
  r = host.run({"list"});
  EXPECT_EQ(openRows(r.out), (std::vector<std::string>{"1\tcoast"}));
  EXPECT_TRUE(host.depotFileExists("roads"));

  r = host.run({"reopen", "roads", "roads"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "reopened\t2\troads\nreopened\t3\troads\n");

  r = host.run({"delete", "coast", "roads", "roads"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "deleted\tcoast\ndeleted\troads\ndeleted\troads\n");
  EXPECT_FALSE(host.depotFileExists("coast"));
  EXPECT_FALSE(host.depotFileExists("roads"));
  EXPECT_TRUE(host.depotFileExists("rivers"));
  // Nothing open: the layers went, and the next run starts without them;
  // the close command is greyed.
  r = host.run({"list"});
  EXPECT_TRUE(openRows(r.out).empty()) << r.out;
  EXPECT_EQ(r.out.find("\troads\t"), std::string::npos) << r.out;
  r = host.run({"close", "rivers"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("close: nothing is open"), std::string::npos) << r.err;
}

// Refused, printing nothing on the output and changing nothing: wrong
// command lines (2), and work that cannot be done (1).
inline void checkFailuresChangeNothing(DepotHost& host) {
  struct Case {
    std::vector<std::string> command;
    int exit;
    const char* says;  // on the error stream
  } cases[] = {
      {{"open"}, 2, "usage"},
      {{"list", "x"}, 2, "usage"},
      {{"close"}, 2, "usage"},
      {{"reopen", "-v"}, 2, "unknown option -v"},
      {{"open", host.missing()}, 1, "error: GIS \xE3\x83\x95\xE3\x82\xA1"
                                    "\xE3\x82\xA4\xE3\x83\xAB"},  // GIS ファイル
      {{"reopen", "roads"}, 1, "reopen: the depot holds no data sets"},
      {{"close", "roads"}, 1, "close: nothing is open"},
      {{"delete", "roads"}, 1, "delete: nothing is open"},
      {{"set", "roads", "--width", "2"}, 1, "set: roads is not open"},
  };
  for (const Case& c : cases) {
    DepotRun r = host.run(c.command);
    EXPECT_EQ(r.exit, c.exit) << c.command[0] << " " << r.err;
    EXPECT_EQ(r.out, "") << c.command[0];
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.command[0] << " "
                                                     << r.err;
  }
  EXPECT_FALSE(host.depotExists());

  // Names that are not listed: the dialog is cancelled and nothing changes.
  ASSERT_EQ(host.run({"open", host.input("roads.e00", host_test::smallArcs())})
                .exit,
            0);
  DepotRun r = host.run({"reopen", "roads", "lakes"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("reopen: not every name is in the depot"),
            std::string::npos)
      << r.err;
  r = host.run({"close", "lakes"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("close: not every name is open"), std::string::npos)
      << r.err;
  EXPECT_EQ(depot_checks::openRows(host.run({"list"}).out),
            (std::vector<std::string>{"1\troads"}));
}

// set works the row's check box, width combo box and colour dialog; what
// it set comes back at the next start and the other row is untouched; a
// wrong set changes nothing.
inline void checkSetWorksTheRowAndSurvivesTheNextStart(DepotHost& host) {
  const std::string roads = host.input("roads.e00", host_test::smallArcs());
  const std::string rivers =
      host.input("rivers.e00", host_test::smallArcs());
  ASSERT_EQ(host.run({"open", roads, rivers}).exit, 0);
  const std::string changed =
      "open\t2\trivers\tvisible=0\tcolour=FF8000\twidth=3\tshowIn3d=1\n";
  DepotRun r = host.run({"set", "rivers", "--colour", "FF8000", "--width",
                         "3", "--visible", "0"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, changed);
  r = host.run({"list"});
  EXPECT_NE(r.out.find("open\t1\troads\tvisible=1\tcolour=FFFF00\twidth=1\t"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(changed), std::string::npos) << r.out;

  // Setting what the row already shows changes nothing.
  r = host.run({"set", "rivers", "--visible", "0"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, changed);

  const std::vector<std::vector<std::string>> wrong = {
      {"set", "rivers"},  // nothing to change
      {"set", "rivers", "--width"},
      {"set", "rivers", "--width", "0"},
      {"set", "rivers", "--width", "10"},
      {"set", "rivers", "--visible", "2"},
      {"set", "rivers", "--colour", "FF80"},
      {"set", "rivers", "--colour", "GG8000"},
      {"set", "rivers", "--color", "FF8000"},
      {"set", "--width", "2", "rivers"},
  };
  for (const std::vector<std::string>& command : wrong) {
    r = host.run(command);
    const std::string what = command.back();
    EXPECT_EQ(r.exit, 2) << what << " " << r.err;
    EXPECT_EQ(r.out, "") << what;
    EXPECT_FALSE(r.err.empty()) << what;
  }
  r = host.run({"list"});
  EXPECT_NE(r.out.find(changed), std::string::npos) << r.out;
}

// Real coverages (one of them partly compressed) and a Japanese file name:
// its title is the name, which close, reopen and delete take as the command
// line gives it; a reopened data set takes the row after the ones restored.
inline void checkJapaneseNamesAndASampleCoverage(DepotHost& host) {
  using depot_checks::kJapaneseName;
  DepotRun r = host.run({"open", host.sample("japan_coast_50m.e00")});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "opened\t1\tjapan_coast_50m\n");
  EXPECT_TRUE(host.depotFileExists("japan_coast_50m"));

  const std::string japanese =
      host.input(std::string(kJapaneseName) + ".e00",
                 depot_checks::sampleBytes("japan_coast_50m_partial.e00"));
  r = host.run({"open", japanese});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, std::string("opened\t2\t") + kJapaneseName + "\n");
  r = host.run({"list"});
  EXPECT_EQ(depot_checks::openRows(r.out),
            (std::vector<std::string>{"1\tjapan_coast_50m",
                                      std::string("2\t") + kJapaneseName}));
  EXPECT_NE(r.out.find("\tjapan_coast_50m\t" + host.depotFile("japan_coast_50m") +
                       "\n"),
            std::string::npos)
      << r.out;

  r = host.run({"close", kJapaneseName});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, std::string("closed\t") + kJapaneseName + "\n");
  r = host.run({"reopen", kJapaneseName});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, std::string("reopened\t2\t") + kJapaneseName + "\n");

  r = host.run({"delete", "japan_coast_50m", kJapaneseName});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_FALSE(host.depotFileExists("japan_coast_50m"));
  r = host.run({"list"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "");
}

// names prints the count the module reports as its one output line; a
// file it refuses (metres without a PRJ section) or cannot open prints
// nothing there, the module's message on the error stream, and exits 1.
inline void checkPlaceNames(DepotHost& host) {
  DepotRun r = host.run({"names", host.sample("japan_cities.e00")});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out.compare(0, 4, "200\xE5"), 0) << r.out;  // 200個...
  EXPECT_EQ(depot_checks::count(r.out, "\n"), 1) << r.out;
  EXPECT_EQ(r.err, "");
  for (const std::string& file :
       {host.sample("gdal_testpoint.e00"), host.missing()}) {
    r = host.run({"names", file});
    EXPECT_EQ(r.exit, 1) << file;
    EXPECT_EQ(r.out, "") << file;
    EXPECT_EQ(r.err.compare(0, 11, "error: GIS "), 0) << r.err;
  }
}

// A file named relative to the current folder is that folder's, also
// when the file dialog was last used in another folder and after the
// dialog of the run's first file (a system dialog reads a typed name in
// the folder it shows, and may leave the process in another folder).
inline void checkRelativeNamesAreTheCurrentFolders(DepotHost& host) {
  ASSERT_EQ(host.run({"names", host.sample("japan_cities.e00")}).exit, 0);
  host.input("roads.e00", host_test::smallArcs());
  host.input("rivers.e00", host_test::smallArcs());
  host.input("names.e00", host_test::smallNames());
  const std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(host.folder() / "in");
  DepotRun opened = host.run({"open", "roads.e00", "rivers.e00"});
  DepotRun named = host.run({"names", "names.e00"});
  std::filesystem::current_path(was);
  EXPECT_EQ(opened.exit, 0) << opened.err;
  EXPECT_EQ(opened.out, "opened\t1\troads\nopened\t2\trivers\n");
  EXPECT_EQ(named.exit, 0) << named.err;
  EXPECT_EQ(named.out.compare(0, 2, "3\xE5"), 0) << named.out;  // 3個...
}

#endif  // MORVANE_TESTS_TOOLS_DEPOTCOMMANDCHECKS_H_
