// Memory running out at every allocation of import, reopen, restore and
// close, one allocation at a time: whatever fails, the registry, the panel's
// rows and the depot agree afterwards (every data set has its row, every
// item its whole file, no file without its item), nothing is freed twice or
// used after it is freed (AddressSanitizer watches), and the next start
// brings back whole data sets only.
//
// This program replaces the global operator new so that allocation number k
// of one step fails (a throwing new throws std::bad_alloc, a nothrow new
// gives null); every other allocation succeeds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <set>
#include <string>

#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "plugin/CloseCommand.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/OpenCommand.h"
#include "plugin/PluginEntry.h"
#include "plugin/ReopenList.h"
#include "resources/DialogIds.h"
#include "standin/StandinView2d.h"
#include "tests/plugin/HeadlessAnswers.h"
#include "tests/plugin/ModuleFixture.h"
#include "ui/LayerPanel.h"

namespace {

// Allocations left before the one that fails; negative: none fails.
int64_t gAllocationsLeft = -1;
bool gFailureHit = false;

void* allocate(size_t bytes, bool nothrow) {
  if (gAllocationsLeft == 0) {
    gAllocationsLeft = -1;
    gFailureHit = true;
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  if (gAllocationsLeft > 0) --gAllocationsLeft;
  void* p = std::malloc(bytes == 0 ? 1 : bytes);
  if (p == nullptr && !nothrow) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(size_t bytes) { return allocate(bytes, false); }
void* operator new[](size_t bytes) { return allocate(bytes, false); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept {
  return allocate(bytes, true);
}
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept {
  return allocate(bytes, true);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;

class OutOfMemoryTest : public ModuleFixture {
 public:
  void TearDown() override {
    gAllocationsLeft = -1;
    Release();
    ModuleFixture::TearDown();
    fs::remove(home_.string() + "-coast.e00");
  }

  // One start of the host on the home as it is on disk.
  void start() {
    resetHost();
    resetModule();
    ASSERT_EQ(Load(), 1);
  }
  void stop() {
    Close();
    Release();
  }
  void firstDraw() {
    tagDRAW2DEVENT record = standin::draw2dEvent();
    layerCallback(kLayerEventDraw2d, standin::kView2d,
                  reinterpret_cast<intptr_t>(&record));
  }
  // Each command in two halves: the robot's answers, then the module's
  // menu callback (the only part run with an allocation failing).
  void answerImport(const std::string& e00) {
    if (findDepotFolder() != 0) {
      answerReopenWithReadNew();
    }
    headless::answerFileDialog(e00);
  }
  void import(const std::string& e00) {
    answerImport(e00);
    openCommand(kMenuRunCommand, 0, 0);
  }
  static void answerReopenFirst() {
    headless::onModalDialog([](headless::Window& w) {
      auto& items = w.control(reopen_dialog::kListBox).items;
      if (!items.empty()) items.at(0).selected = true;
      w.click(reopen_dialog::kOk);
      if (!w.ended()) w.click(reopen_dialog::kCancel);
    });
  }
  static void answerCloseAll() {
    headless::onModalDialog([](headless::Window& w) {
      for (auto& item : w.control(close_data_dialog::kListBox).items) {
        item.selected = true;
      }
      w.click(close_data_dialog::kOk);
      if (!w.ended()) w.click(close_data_dialog::kCancel);
    });
  }
  void closeAll() {
    answerCloseAll();
    closeCommand(kMenuRunCommand, 0, 0);
  }

  // Runs step once per allocation it makes, allocation k failing, each
  // time on a fresh copy of the home that prepare left; after each, the
  // state is checked, then once more after the next start.
  template <typename Prepare, typename Answer, typename Step>
  void everyAllocation(Prepare prepare, Answer answer, Step step) {
    const fs::path prepared = home_.string() + "-prepared";
    fs::remove_all(prepared);
    fs::remove_all(home_);
    fs::create_directories(home_);
    start();
    prepare();
    stop();
    fs::rename(home_, prepared);
    for (int64_t k = 0;; ++k) {
      SCOPED_TRACE("allocation " + std::to_string(k));
      ASSERT_LT(k, 100000) << "the step never ran through";
      fs::remove_all(home_);
      fs::copy(prepared, home_, fs::copy_options::recursive);
      start();
      answer();
      // The host reads its depot index at its first use; a failure there is
      // the host's, not the module's.
      VPI_DD_EnumFirstID(0);
      gFailureHit = false;
      gAllocationsLeft = k;
      step();
      gAllocationsLeft = -1;
      expectConsistent();
      headless::resetUi();
      stop();
      start();
      firstDraw();
      expectConsistent();
      stop();
      if (!gFailureHit) break;
    }
    fs::remove_all(prepared);
  }

  // The registry, the rows and the depot agree; every data set open is
  // whole or marked as not read back whole.
  void expectConsistent() {
    const PluginModule& m = pluginModule();
    ASSERT_NE(m.panel, nullptr);
    ASSERT_EQ(m.panel->list->count(), m.registry.count());
    for (int32_t i = 0; i < m.registry.count(); ++i) {
      const LineDataSet& d = *m.registry.at(i);
      EXPECT_EQ(m.panel->list->entry(i).rowId, d.rowId);
      if (!d.cacheNotWhole) {
        EXPECT_EQ(d.points.size(), kPoints) << d.name;
      }
    }
    std::set<std::string> items;
    const uint32_t folder = depotSubFolderId(DepotLookup::kRootWithoutTop);
    for (uint32_t id = folder == 0 ? 0 : VPI_DD_EnumFirstID(folder); id != 0;
         id = VPI_DD_EnumNextID(folder, id)) {
      items.insert(std::string(VPI_DD_GetTitle(id)) + ".bin");
    }
    const fs::path directory = home_ / "depot" / "Morvane" / "ArcInfoExport";
    std::set<std::string> files;
    if (fs::is_directory(directory)) {
      for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name != kReopenListFile) files.insert(name);
      }
    }
    EXPECT_EQ(files, items);
  }

  // A small coverage: two arcs, five points and their separator.
  std::string smallE00() {
    const fs::path path = home_.string() + "-coast.e00";
    if (!fs::exists(path)) {
      std::ofstream(path, std::ios::binary)
          << "EXP  0 /COAST.E00\nARC  2\n"
             "         1         1         1         2         0         0"
             "         3\n"
             " 1.3970000E+02 3.5600000E+01 1.3980000E+02 3.5700000E+01\n"
             " 1.3990000E+02 3.5800000E+01\n"
             "         2         2         1         2         0         0"
             "         2\n"
             " 1.4000000E+02 3.5500000E+01 1.4010000E+02 3.5400000E+01\n"
             "        -1         0         0         0         0         0"
             "         0\nEOS\n";
    }
    return modulePath(path.string());
  }
  static constexpr int32_t kPoints = 7;  // five vertices, a separator after each arc
};

TEST_F(OutOfMemoryTest, ImportReopenRestoreAndCloseStayConsistent) {
  using Step = std::function<void(OutOfMemoryTest&)>;
  struct Case {
    const char* what;
    Step prepare;  // once, on an empty home
    Step answer;   // before each try, nothing failing
    Step step;     // the try: allocation k fails
  };
  const Step openMenu = [](OutOfMemoryTest&) {
    openCommand(kMenuRunCommand, 0, 0);
  };
  const Step importSmall = [](OutOfMemoryTest& t) { t.import(t.smallE00()); };
  const Case cases[] = {
      {"import", [](OutOfMemoryTest&) {},
       [](OutOfMemoryTest& t) { t.answerImport(t.smallE00()); }, openMenu},
      {"reopen",
       [](OutOfMemoryTest& t) {
         t.import(t.smallE00());
         t.closeAll();
       },
       [](OutOfMemoryTest&) { answerReopenFirst(); }, openMenu},
      {"restore", importSmall, [](OutOfMemoryTest&) {},
       [](OutOfMemoryTest& t) { t.firstDraw(); }},
      {"close", importSmall,
       [](OutOfMemoryTest& t) {
         t.firstDraw();
         pluginModule().registry.at(0)->lineColour = 0x00123456;
         answerCloseAll();
       },
       [](OutOfMemoryTest&) { closeCommand(kMenuRunCommand, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    everyAllocation([&] { c.prepare(*this); }, [&] { c.answer(*this); },
                    [&] { c.step(*this); });
  }
}

}  // namespace
