// Feeds arbitrary bytes to LineDataSet::loadCache as the data set's cache
// file, and checks what must hold whatever the bytes: the progress bar is
// gone, the points are those of the file in order, bounds cover exactly the
// non-separator points, storage is compacted after a complete read.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "dataset/CacheFile.h"
#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "standin/StandinProgressBar.h"
#include "ui/headless/HeadlessUi.h"

namespace {

struct Depot {
  std::string native;
  char module[kVpiPathSize] = {};
  Depot() {
    char pattern[] = "/tmp/morvane-fuzz-cache-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    native = pattern;
    std::string m = modulePath(native);
    if (m.empty() || m.size() >= sizeof(module)) std::abort();
    std::memcpy(module, m.c_str(), m.size() + 1);
    headless::setEcho(false);
  }
  // Whatever the run wrote goes with it.
  ~Depot() { std::filesystem::remove_all(native); }
};

int32_t le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) |
                              static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Depot depot;
  const std::string file = depot.native + "/f.bin";
  FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);

  standin::resetProgressBar();
  headless::resetUi();
  LineDataSet d(1);
  d.clear();
  d.name = "f";
  d.depotPath = depot.module;
  int32_t result = loadCache(d);

  if (standin::progressBarShown()) std::abort();
  if (!headless::messages().empty()) std::abort();
  // Every point kept is the file's point at that place.
  if (size < 28 && d.points.size() != 0) std::abort();
  UnitBounds box = kEmptyBounds;
  for (int32_t i = 0; i < d.points.size(); ++i) {
    const uint8_t* p = data + 28 + 8 * static_cast<size_t>(i);
    if (28 + 8 * static_cast<size_t>(i) + 8 > size) std::abort();
    const LinePoint& q = d.points[i];
    if (q.latitude != le32(p) || q.longitude != le32(p + 4)) std::abort();
    if (isSeparator(q)) continue;
    if (q.longitude < box.left) box.left = q.longitude;
    if (q.longitude > box.right) box.right = q.longitude;
    if (q.latitude < box.top) box.top = q.latitude;
    if (q.latitude > box.bottom) box.bottom = q.latitude;
  }
  if (std::memcmp(&box, &d.bounds, sizeof(box)) != 0) std::abort();
  if (result == 1) {
    if (size < 28 || le32(data) > 100 || le32(data + 20) > 100) std::abort();
    int32_t n = le32(data + 24);
    if (d.points.size() != (n > 0 ? n : 0)) std::abort();
    if (d.points.capacity() != d.points.size()) std::abort();
  }
  return 0;
}
