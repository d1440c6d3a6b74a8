// readE00Arcs on large generated files, beside a plain newline count of the
// same file (the floor of any line reader, what `wc -l` does).
//
// The files come from the environment (bench/run-e00-bench makes them with
// gen-e00 and sets these):
//   MORVANE_BENCH_E00_SINGLE   >= 100 MB, single precision
//   MORVANE_BENCH_E00_DOUBLE   >= 100 MB, double precision
//   MORVANE_BENCH_E00_1M       1 million points
//   MORVANE_BENCH_E00_20M      20 million points
//   MORVANE_BENCH_E00_FULL     the single precision file compressed with
//                              full compression (e00conv ... FULL)
// A variable that is not set skips its benchmarks.
//
// Counters: bytes_per_second (the file as stored), text/s (its text as the
// readers see it, decompressed), points/s, and time_per_point (the import
// time divided by the points read). ReadLines is the line reader alone.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "e00/E00LineReader.h"
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
    {"MORVANE_BENCH_E00_FULL", "single_full"},
};

int64_t fileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<int64_t>(in.tellg()) : -1;
}

// Characters of the text the readers see (a compressed file decompressed,
// CR LF counted as one); -1 when the file cannot be read whole.
int64_t textSize(const std::string& path) {
  E00LineReader reader;
  if (!reader.open(path.c_str())) return -1;
  int64_t total = 0;
  const char* text;
  int32_t size;
  while (reader.next(&text, &size)) total += size;
  return reader.failed() ? -1 : total;
}

void setTextRate(benchmark::State& state, int64_t text) {
  state.counters["text/s"] = benchmark::Counter(
      static_cast<double>(text), benchmark::Counter::kIsIterationInvariantRate,
      benchmark::Counter::kIs1000);
}

void readLines(benchmark::State& state, std::string native) {
  std::string path = modulePath(native);
  int64_t bytes = fileSize(native);
  int64_t text = 0;
  for (auto _ : state) {
    E00LineReader reader;
    if (!reader.open(path.c_str())) {
      state.SkipWithError("cannot open");
      return;
    }
    const char* line;
    int32_t size;
    text = 0;
    while (reader.next(&line, &size)) text += size;
    if (reader.failed()) {
      state.SkipWithError("read failed");
      return;
    }
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  setTextRate(state, text);
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
  setTextRate(state, textSize(path));
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
        (std::string("ReadLines/") + f.label).c_str(), readLines, native)
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
