// The open command on a 100 MB .e00 file, beside what it is made of:
//   OpenCommand     openCommand importing the file (reader, registry, depot
//                   item, cache file), the dialogs answered by the robot
//   ReaderAndCache  readE00Arcs and saveCache alone, on the same file
//   ReopenCommand   openCommand reopening the same data set from its cache
//   ReadCacheBytes  the cache file's bytes read into memory, nothing more
//
// The module, Morvane.so, is loaded as the host loads it (Init, Load) and
// reached only as a host reaches it: the commands are chosen from its menu
// and their dialogs answered by the robot, so they add their rows to a real
// side panel. Between iterations the data set is closed through the close
// command, outside the timing.
//
// The file is MORVANE_BENCH_E00_SINGLE when set; otherwise it is made once
// with gen-e00 (MORVANE_GEN_E00, default /work/shared/tools/gen-e00) as
// $MORVANE_BENCH_DIR/single-100mb.e00 (default /tmp/morvane-e00-bench), the
// file bench/run-e00-bench uses too. The stand-in host's home is a fresh
// folder under the same directory.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "dataset/CacheFile.h"
#include "e00/E00ArcReader.h"
#include "platform/FileSystem.h"
#include "plugin/DepotFolders.h"
#include "resources/DialogIds.h"
#include "resources/Texts.h"
#include "standin/HostSession.h"
#include "standin/StandinDepot.h"
#include "standin/StandinHost.h"
#include "ui/headless/FileDialogHeadless.h"
#include "ui/headless/HeadlessUi.h"

namespace {

class NullProgress : public ReadingProgressTarget {
 public:
  void setPosition(int32_t) override {}
  int32_t cancelRequested() const override { return 0; }
};

std::string gE00;   // module path of the .e00 file
std::string gHome;  // native
standin::HostSession gSession;
// The host positions of the module's two popups.
constexpr int32_t kOpenPopupPosition = 16;
constexpr int32_t kClosePopupPosition = 48;

std::string envOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : fallback;
}

bool prepare() {
  std::string dir = envOr("MORVANE_BENCH_DIR", "/tmp/morvane-e00-bench");
  std::string file = envOr("MORVANE_BENCH_E00_SINGLE", "");
  if (file.empty()) {
    file = dir + "/single-100mb.e00";
    std::filesystem::create_directories(dir);
    if (!std::filesystem::exists(file)) {
      std::string gen = envOr("MORVANE_GEN_E00", "/work/shared/tools/gen-e00");
      std::string command = "'" + gen + "' --labels 0 --target-mb 110 -o '" +
                            file + ".tmp' && mv '" + file + ".tmp' '" + file +
                            "'";
      if (std::system(command.c_str()) != 0) return false;
    }
  }
  gE00 = modulePath(file);
  gHome = dir + "/commands-home";
  std::filesystem::remove_all(gHome);
  headless::setEcho(false);
  std::string error;
  if (!gSession.start(gHome, MORVANE_MODULE_PATH, &error)) {
    std::fprintf(stderr, "commands_bench: %s\n", error.c_str());
    return false;
  }
  return !gE00.empty();
}

// The rows the side panel shows.
size_t rowCount() { return headless::findDialogs(kLayerRowTemplate).size(); }

// Closes every open data set through the close command, outside the
// timing: the rows and the data sets go.
void closeAll() {
  headless::onModalDialog([](headless::Window& w) {
    if (w.templateId() != kCloseDataDialogTemplate) return;
    for (headless::ListItem& item : w.control(close_data_dialog::kListBox).items) {
      item.selected = true;
    }
    w.click(close_data_dialog::kOk);
  });
  gSession.invokeMenu(kTextMenuTitle, kTextMenuE00File, kClosePopupPosition);
  headless::onModalDialog(nullptr);
}

void readNew() {
  headless::onModalDialog([](headless::Window& w) {
    if (w.templateId() != kReopenDialogTemplate) return;
    w.control(reopen_dialog::kOpenPreviousRadio).checked = false;
    w.control(reopen_dialog::kReadNewRadio).checked = true;
    w.click(reopen_dialog::kReadNewRadio);
    w.click(reopen_dialog::kOk);
  });
}

void reopenFirst() {
  headless::onModalDialog([](headless::Window& w) {
    if (w.templateId() != kReopenDialogTemplate) return;
    w.control(reopen_dialog::kListBox).items.at(0).selected = true;
    w.click(reopen_dialog::kOk);
  });
}

void setFileRate(benchmark::State& state, const std::string& modulePathText) {
  int64_t bytes = static_cast<int64_t>(
      std::filesystem::file_size(hostPath(modulePathText.c_str())));
  state.SetBytesProcessed(bytes * state.iterations());
}

// The headless windows are not forgotten between commands (resetUi): the
// panel and its rows live on from one command to the next.
void openOnce() {
  readNew();
  headless::answerFileDialog(gE00);
  gSession.invokeMenu(kTextMenuTitle, kTextMenuE00File, kOpenPopupPosition);
}

// Whether the last command left exactly one row and showed no error.
bool oneRowNoError() {
  for (const headless::RecordedMessage& m : headless::messages()) {
    if (m.icon == MessageIcon::kExclamation) return false;
  }
  return rowCount() == 1;
}

void BM_OpenCommand(benchmark::State& state) {
  for (auto _ : state) {
    openOnce();
    state.PauseTiming();
    if (!oneRowNoError()) {
      state.SkipWithError("not opened");
      break;
    }
    closeAll();
    state.ResumeTiming();
  }
  setFileRate(state, gE00);
}

// The directory of the module's depot sub-folder, as the host keeps it.
char gDepotFolder[kVpiPathSize] = "";

const char* depotFolder() {
  uint32_t top = VPI_DD_GetID(0, kDepotTopTitle);
  uint32_t sub = top != 0 ? VPI_DD_GetID(top, kDepotSubTitle) : 0;
  if (sub == 0 || !VPI_DD_GetPath(sub, gDepotFolder)) gDepotFolder[0] = '\0';
  return gDepotFolder;
}

void BM_ReaderAndCache(benchmark::State& state) {
  NullProgress progress;
  for (auto _ : state) {
    LineDataSet dataSet(1);
    dataSet.name = "single-100mb";
    dataSet.depotPath = depotFolder();
    if (!readE00Arcs(dataSet, gE00.c_str(), progress)) {
      state.SkipWithError("not read");
      break;
    }
    saveCache(dataSet);
  }
  setFileRate(state, gE00);
}

std::string cachePath() {
  return std::string(depotFolder()) + "\\single-100mb.bin";
}

void BM_ReopenCommand(benchmark::State& state) {
  for (auto _ : state) {
    reopenFirst();
    gSession.invokeMenu(kTextMenuTitle, kTextMenuE00File, kOpenPopupPosition);
    state.PauseTiming();
    // A cache file that does not read back whole is told in a message.
    if (!oneRowNoError()) {
      state.SkipWithError("not reopened");
      break;
    }
    closeAll();
    state.ResumeTiming();
  }
  setFileRate(state, cachePath());
}

// Into fresh memory each time, as loadCache's points are: the pages are
// faulted in by the read, as they are by any reader of the file.
void BM_ReadCacheBytes(benchmark::State& state) {
  const std::string path = cachePath();
  for (auto _ : state) {
    std::unique_ptr<PlatformFile> file =
        openFileForReading(path.c_str(), FileShare::kReadShared);
    if (!file) {
      state.SkipWithError("no cache file");
      break;
    }
    const int64_t size = file->length();
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size)]);
    int64_t done = 0;
    while (done < size) {
      int64_t n = file->read(buffer.get() + done, size - done);
      if (n <= 0) break;
      done += n;
    }
    benchmark::DoNotOptimize(buffer.get());
  }
  setFileRate(state, path);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!prepare()) {
    std::fprintf(stderr, "commands_bench: cannot make the .e00 file\n");
    return 1;
  }
  // The first open makes the depot folders and the cache file the others
  // read.
  openOnce();
  closeAll();
  benchmark::RegisterBenchmark("OpenCommand", BM_OpenCommand)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ReaderAndCache", BM_ReaderAndCache)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ReopenCommand", BM_ReopenCommand)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ReadCacheBytes", BM_ReadCacheBytes)
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gSession.stop();
  std::filesystem::remove_all(gHome);
  return 0;
}
