// readE00Arcs on large generated files, beside a plain newline count of the
// same file (the floor of any line reader, what `wc -l` does).
//
// The files come from the environment (bench/run-e00-bench makes them with
// gen-e00 and sets these):
//   MORVANE_BENCH_E00_SINGLE   >= 100 MB, single precision
//   MORVANE_BENCH_E00_DOUBLE   >= 100 MB, double precision
//   MORVANE_BENCH_E00_1M       1 million points
//   MORVANE_BENCH_E00_20M      20 million points
// A variable that is not set skips its benchmarks.
//
// Counters: bytes_per_second (the file), points/s, and time_per_point (the
// import time divided by the points read).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "platform/FileSystem.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace {

struct BenchFile {
  const char* variable;
  const char* label;
};

const BenchFile kFiles[] = {
    {"MORVANE_BENCH_E00_SINGLE", "single"},
    {"MORVANE_BENCH_E00_DOUBLE", "double"},
    {"MORVANE_BENCH_E00_1M", "1M_points"},
    {"MORVANE_BENCH_E00_20M", "20M_points"},
};

int64_t fileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<int64_t>(in.tellg()) : -1;
}

void readArcs(benchmark::State& state, std::string native) {
  headless::setEcho(false);
  std::string path = modulePath(native);
  int64_t bytes = fileSize(native);
  // Only the read is timed: not releasing the previous points, not
  // counting them.
  LineDataSet data(1);
  for (auto _ : state) {
    state.PauseTiming();
    data.clear();
    ProgressDialog progress;
    progress.create(nullptr);
    state.ResumeTiming();
    if (!readE00Arcs(data, path.c_str(), progress)) {
      state.SkipWithError("readE00Arcs failed");
      return;
    }
    benchmark::DoNotOptimize(data.points.data());
  }
  int64_t points = 0;
  for (int32_t i = 0; i < data.points.size(); ++i) {
    points += !isSeparator(data.points[i]);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["points"] = static_cast<double>(points);
  state.counters["points/s"] = benchmark::Counter(
      static_cast<double>(points), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["time_per_point"] = benchmark::Counter(
      static_cast<double>(points),
      benchmark::Counter::kIsIterationInvariantRate |
          benchmark::Counter::kInvert);
}

// Newlines counted in 1 MiB blocks, as wc -l does.
void countLines(benchmark::State& state, std::string native) {
  std::vector<char> block(1 << 20);
  int64_t bytes = fileSize(native);
  for (auto _ : state) {
    std::FILE* f = std::fopen(native.c_str(), "rb");
    if (f == nullptr) {
      state.SkipWithError("cannot open");
      return;
    }
    int64_t lines = 0;
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), f)) > 0) {
      const char* p = block.data();
      const char* end = p + n;
      while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p)))) {
        ++lines;
        ++p;
      }
    }
    std::fclose(f);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

}  // namespace

int main(int argc, char** argv) {
  for (const BenchFile& f : kFiles) {
    const char* path = std::getenv(f.variable);
    if (path == nullptr || *path == '\0') continue;
    std::string native = path;
    benchmark::RegisterBenchmark(
        (std::string("CountLines/") + f.label).c_str(), countLines, native)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        (std::string("ReadE00Arcs/") + f.label).c_str(), readArcs, native)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
