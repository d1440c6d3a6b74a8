// Writing a 100 MB file over an old one: in place (truncate and write, as an
// unsafe writer does), through ReplacingFile (a new file, flushed to the
// disk, renamed over the old one), and in place with the same flush, so
// that the price of the flush and of the rename can be told apart. Wall
// clock time; the folder is made in the working directory (on the disk,
// where /tmp may be memory).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"

namespace {

constexpr int64_t kSize = 100 << 20;
constexpr int64_t kChunk = 1 << 20;  // as a writer's buffer hands them over

struct Folder {
  std::string native;
  std::string target;
  std::vector<char> bytes;
  Folder() : bytes(kChunk, 'x') {
    native = (std::filesystem::current_path() / "morvane-bench-replace").string();
    std::filesystem::create_directories(native);
    target = modulePath(native) + "\\data.bin";
  }
  ~Folder() { std::filesystem::remove_all(native); }
};

Folder& folder() {
  static Folder f;
  return f;
}

bool writeAll(PlatformFile& out) {
  for (int64_t done = 0; done < kSize; done += kChunk) {
    if (!out.write(folder().bytes.data(), kChunk)) return false;
  }
  return true;
}

void BM_InPlace(benchmark::State& state) {
  const bool flush = state.range(0) != 0;
  for (auto _ : state) {
    auto out = openFileForWriting(folder().target.c_str());
    if (!out || !writeAll(*out) || (flush && !out->flush()) || !out->close()) {
      state.SkipWithError("write failed");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_InPlace)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Replacing(benchmark::State& state) {
  for (auto _ : state) {
    ReplacingFile out(folder().target);
    bool ok = out.opened();
    for (int64_t done = 0; ok && done < kSize; done += kChunk) {
      ok = out.write(folder().bytes.data(), kChunk);
    }
    if (!ok || !out.commit()) {
      state.SkipWithError("write failed");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_Replacing)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
