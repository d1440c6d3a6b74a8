// The whole place-name import of a file with N labels and N attribute
// records joined one to one: reading, the join, and handing every name to the
// stand-in host's database. The join goes through an index, so the time
// should grow with the file, not with labels x records: compare N = 10 000
// with N = 100 000 (ratio about 10).
//
// Files named on the command line (after the benchmark's own flags) are
// measured as they are, e.g. made by gen-e00 --labels 100000 --arcs 1;
// without any, files of the same layout are written to /tmp first, one of
// them with its labels in UTM zone 54 and a PRJ section after them, so that
// every label is converted to degrees.

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e00/E00PlaceNameReader.h"
#include "platform/FileSystem.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace {

// Labels numbered 1..n with ids 1000 + i, then a .PAT table with one record
// per label in the same order, names "Place <i>". Projected: the labels in
// metres of UTM zone 54 (31.6 to 44.2 degrees north), the PRJ section after
// them.
std::string writeFile(int n, bool projected) {
  std::string path = "/tmp/morvane-names-bench-" + std::to_string(n) +
                     (projected ? "-utm54" : "") + ".e00";
  if (std::filesystem::exists(path)) return path;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fprintf(f, "EXP  0 /DATA/BENCH.E00\nLAB  2\n");
  for (int i = 1; i <= n; ++i) {
    double x = 129.0 + (i % 1700) / 100.0, y = 31.0 + (i % 1400) / 100.0;
    if (projected) {
      x = 200000.0 + (i % 1700) * 350.0;
      y = 3500000.0 + (i % 1400) * 1000.0;
    }
    std::fprintf(f, "%10d%10d%14.7E%14.7E\n", 1000 + i, i, x, y);
    std::fprintf(f, "%14.7E%14.7E%14.7E%14.7E\n", x, y, x, y);
  }
  std::fprintf(f, "%10d%10d%14.7E%14.7E\n", -1, 0, 0.0, 0.0);
  if (projected) {
    std::fprintf(f, "PRJ  2\nProjection    UTM\n~\nZone          54\n~\n"
                    "Datum         TOKYO\n~\nUnits         METERS\n~\n"
                    "Parameters\n~\nEOP\n");
  }
  std::fprintf(f, "BENCH.PAT                       XX   7   7  62%10d\n", n);
  std::fprintf(f, "AREA              4-1   14-1  12 3 60-1  -1  -1-1"
                  "                   1-\n");
  for (int i = 1; i <= n; ++i) {
    char name[48];
    std::snprintf(name, sizeof name, "Place %d", i);
    char record[160];
    std::snprintf(record, sizeof record, "%14.7E%14.7E%11d%11dJP%-40s%11d",
                  0.0, 0.0, i, 1000 + i, name, i);
    std::fprintf(f, "%.80s\n%s\n", record, record + 80);
  }
  std::fprintf(f, "BENCH.TIC                       XX   3   3  12         4\nEOS\n");
  std::fclose(f);
  return path;
}

void BM_ImportPlaceNames(benchmark::State& state, std::string native) {
  headless::setEcho(false);
  char home[] = "/tmp/morvane-bench-names-XXXXXX";
  if (mkdtemp(home) == nullptr) std::abort();
  standin::setHome(home);
  std::string path = modulePath(native);
  int64_t bytes = static_cast<int64_t>(std::filesystem::file_size(native));
  size_t names = 0;
  for (auto _ : state) {
    state.PauseTiming();
    standin::resetNameDb();
    std::filesystem::remove(standin::nameDbPath());
    headless::resetUi();
    ProgressDialog progress;
    progress.create(nullptr);
    state.ResumeTiming();
    if (!readE00PlaceNames(path.c_str(), progress).result) {
      state.SkipWithError("import failed");
      break;
    }
    state.PauseTiming();
    names = standin::nameEntries().size();
    state.ResumeTiming();
  }
  state.counters["names"] = static_cast<double>(names);
  state.counters["names_per_s"] = benchmark::Counter(
      static_cast<double>(names), benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(state.iterations() * bytes);
  standin::resetNameDb();
  std::filesystem::remove_all(home);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<std::string> files(argv + 1, argv + argc);
  if (files.empty()) {
    files.push_back(writeFile(10000, false));
    files.push_back(writeFile(100000, false));
    files.push_back(writeFile(100000, true));
  }
  for (const std::string& file : files) {
    benchmark::RegisterBenchmark(
        ("ImportPlaceNames/" + std::filesystem::path(file).filename().string())
            .c_str(),
        BM_ImportPlaceNames, file)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
