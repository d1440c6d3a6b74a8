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
//   MORVANE_BENCH_E00_UTM      >= 100 MB, single precision, UTM zone 13
//   MORVANE_BENCH_E00_UTM_DEGREES
//                              the same arcs in degrees, the same size
// A variable that is not set skips its benchmarks.
//
// InverseProjection/KIND (with MORVANE_BENCH_E00_UTM) times
// E00Projection::toDegrees alone, one point at a time over points within
// 300 km of the false origin, for each projection the readers convert.
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
#include "e00/E00Projection.h"
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
    {"MORVANE_BENCH_E00_UTM", "utm_single"},
    {"MORVANE_BENCH_E00_UTM_DEGREES", "utm_degrees"},
};

// A PRJ section of each projection, its lines after the header.
struct Section {
  const char* label;
  std::vector<const char*> lines;
};

const Section kSections[] = {
    {"UTM", {"Projection UTM", "Zone 13", "Datum NAD27", "Parameters"}},
    {"TRANSVERSE",
     {"Projection TRANSVERSE", "Spheroid AIRY", "Parameters", "0.9996",
      "-2", "49", "400000", "-100000"}},
    {"LAMBERT",
     {"Projection LAMBERT", "Datum NAD27", "Parameters", "33", "45", "-96",
      "23", "0", "0"}},
    {"ALBERS",
     {"Projection ALBERS", "Datum NAD83", "Parameters", "29.5", "45.5", "-96",
      "23", "0", "0"}},
    {"MERCATOR",
     {"Projection MERCATOR", "Datum WGS84", "Parameters", "0", "0", "0", "0"}},
    {"POLAR",
     {"Projection POLAR", "Datum WGS84", "Parameters", "-45", "70", "0",
      "0"}},
    {"POLYCONIC",
     {"Projection POLYCONIC", "Spheroid INT1909", "Parameters", "-54", "0",
      "0", "0"}},
    {"EQUIDISTANT_CONIC",
     {"Projection EQUIDISTANT_CONIC", "Spheroid KRASOVSKY", "Parameters", "2",
      "20", "60", "100", "0", "0", "0"}},
    {"LAMBERT_AZIMUTHAL",
     {"Projection LAMBERT_AZIMUTHAL", "Spheroid GRS80", "Parameters", "10",
      "52", "4321000", "3210000"}},
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

void inverseProjection(benchmark::State& state, const Section* section) {
  E00Projection projection;
  projection.onLine("PRJ  2", 6);
  for (const char* line : section->lines) {
    projection.onLine(line, static_cast<int32_t>(std::strlen(line)));
  }
  projection.onLine("EOP", 3);
  if (!projection.projected()) {
    state.SkipWithError("section not converted");
    return;
  }
  const ProjectionDefinition& d = projection.definition();
  std::vector<double> x, y;
  for (int i = 0; i < 64; ++i) {
    for (int j = 0; j < 64; ++j) {
      x.push_back(d.falseEasting - 300000.0 + i * 9375.0);
      y.push_back(d.falseNorthing - 300000.0 + j * 9375.0);
    }
  }
  int64_t converted = 0;
  for (auto _ : state) {
    converted = 0;
    for (size_t k = 0; k < x.size(); ++k) {
      double latitude, longitude;
      converted += projection.toDegrees(x[k], y[k], &latitude, &longitude);
      benchmark::DoNotOptimize(latitude);
      benchmark::DoNotOptimize(longitude);
    }
  }
  state.counters["converted"] =
      static_cast<double>(converted) / static_cast<double>(x.size());
  state.counters["time_per_point"] = benchmark::Counter(
      static_cast<double>(x.size()),
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
    // The CPU time of both threads of a projected file's conversion.
    benchmark::RegisterBenchmark(
        (std::string("ReadE00Arcs/") + f.label).c_str(), readArcs, native)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
  }
  // With the projected file: once, not beside every file.
  const char* utm = std::getenv("MORVANE_BENCH_E00_UTM");
  for (const Section& s : kSections) {
    if (utm == nullptr || *utm == '\0') break;
    benchmark::RegisterBenchmark(
        (std::string("InverseProjection/") + s.label).c_str(),
        inverseProjection, &s);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
