// saveCache and loadCache on 1 million points and on a 100 MB file (13.1
// million points), beside a plain read() of the same file into memory (the
// floor any loader is measured against). Writes are first writes (no file
// there), through the replacement as saveCache does them, with and without
// the file's data forced to the disk, against the in-place write the cache
// had before (the file created or truncated, then written).
// Throughput is in bytes of cache file per second of wall-clock time.

#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dataset/Archive.h"
#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "ui/headless/HeadlessUi.h"

namespace {

struct Depot {
  std::string native;
  char module[kVpiPathSize] = {};
  Depot() {
    char pattern[] = "/tmp/morvane-bench-cache-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    native = pattern;
    std::string m = modulePath(native);
    std::memcpy(module, m.c_str(), m.size() + 1);
    headless::setEcho(false);
  }
  // Whatever the run wrote goes with it.
  ~Depot() { std::filesystem::remove_all(native); }
};

Depot& depot() {
  static Depot d;
  return d;
}

std::string nameFor(int64_t n) { return "bench" + std::to_string(n); }

// A data set of n points: arcs of 50 points along a slow spiral.
void fill(LineDataSet& d, int64_t n) {
  d.clear();
  d.name = nameFor(n);
  d.depotPath = depot().module;
  for (int64_t i = 0; i < n; ++i) {
    LinePoint p = (i % 51 == 50)
                      ? kSeparatorPoint
                      : LinePoint{static_cast<int32_t>(1200000 + i % 360000),
                                  static_cast<int32_t>(4900000 + i / 7)};
    d.points.append(p);
    if (!isSeparator(p)) d.widenBounds(p);
  }
  d.compact();
}

// Makes sure the file exists (written once per size).
void ensureFile(int64_t n) {
  static std::vector<int64_t> written;
  for (int64_t w : written) {
    if (w == n) return;
  }
  LineDataSet d(1);
  fill(d, n);
  saveCache(d);
  written.push_back(n);
}

std::string nativePath(int64_t n) {
  return depot().native + "/" + nameFor(n) + ".bin";
}

std::string modulePathOf(int64_t n) {
  return std::string(depot().module) + "\\" + nameFor(n) + ".bin";
}

// Forces the file's data to the disk, as the replacement does before its
// rename.
void flushToDisk(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Each iteration writes the file anew: the one before is removed outside
// the timing, and so is the dirty data it left in the system's cache.
template <typename Write>
void firstWrites(benchmark::State& state, Write write) {
  const int64_t n = state.range(0);
  LineDataSet d(1);
  fill(d, n);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(nativePath(n));
    ::sync();
    state.ResumeTiming();
    if (!write(d, n)) {
      state.SkipWithError("write failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * cache_format::fileSize(n));
}

// saveCache: a temporary file beside the target, renamed over it.
void BM_SaveCache(benchmark::State& state) {
  firstWrites(state, [](LineDataSet& d, int64_t) {
    return static_cast<bool>(saveCache(d));
  });
}

// The same, the data forced to the disk before the rename is trusted.
void BM_SaveCacheFlushed(benchmark::State& state) {
  firstWrites(state, [](LineDataSet& d, int64_t n) {
    const bool saved = static_cast<bool>(saveCache(d));
    flushToDisk(nativePath(n));
    return saved;
  });
}

// The write the cache file had before: created or truncated in place, the
// same buffered stream, nothing forced to the disk.
void BM_InPlaceWrite(benchmark::State& state) {
  firstWrites(state, [](LineDataSet& d, int64_t n) {
    std::unique_ptr<PlatformFile> file =
        openFileForWriting(modulePathOf(n).c_str());
    if (!file) return false;
    bool written;
    {
      ArchiveWriter out(*file);
      out.writeInt32(cache_format::kHeaderVersion);
      out.writeInt32(static_cast<int32_t>(d.lineColour));
      out.writeInt32(d.lineWidth);
      out.writeInt32(d.showIn3d);
      out.writeInt32(d.visible);
      writePoints(d, out);
      written = out.close();
    }
    return file->close() && written;
  });
}

void BM_LoadCache(benchmark::State& state) {
  const int64_t n = state.range(0);
  ensureFile(n);
  for (auto _ : state) {
    LineDataSet d(1);
    d.clear();
    d.name = nameFor(n);
    d.depotPath = depot().module;
    if (loadCache(d) != 1 || d.points.size() != n) {
      state.SkipWithError("load failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * cache_format::fileSize(n));
}

// The floor: read() of the whole file into a buffer allocated for it.
void BM_PlainRead(benchmark::State& state) {
  const int64_t n = state.range(0);
  ensureFile(n);
  const std::string path = nativePath(n);
  const size_t size = static_cast<size_t>(cache_format::fileSize(n));
  for (auto _ : state) {
    std::vector<char> buffer(size);
    int fd = ::open(path.c_str(), O_RDONLY);
    size_t done = 0;
    while (done < size) {
      ssize_t got = ::read(fd, buffer.data() + done, size - done);
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    ::close(fd);
    if (done != size) {
      state.SkipWithError("short read");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(state.iterations() * cache_format::fileSize(n));
}

// 13,107,200 points: a 100 MB file.
constexpr int64_t kHundredMegabytes = 13107200;

BENCHMARK(BM_PlainRead)->Arg(1000000)->Arg(kHundredMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadCache)->Arg(1000000)->Arg(kHundredMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InPlaceWrite)->Arg(1000000)->Arg(kHundredMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCache)->Arg(1000000)->Arg(kHundredMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCacheFlushed)->Arg(1000000)->Arg(kHundredMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
