// Feeds arbitrary bytes to LineDataSet::loadCache as the data set's cache
// file, and checks what must hold whatever the bytes: the progress bar is
// gone, the points are those of the file in order, bounds cover exactly the
// non-separator points, storage is compacted after a complete read.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dataset/CacheFile.h"
#include "dataset/LineDataSet.h"
#include "platform/MemoryFileSystem.h"
#include "standin/StandinProgressBar.h"
#include "ui/headless/HeadlessUi.h"

namespace {

// The depot folder is the root of a tree in memory; the input is its
// data set "f".
char kDepot[] = "M:\\depot";

int32_t le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) |
                              static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryFileSystem memory("M:\\");
  memory.putFile("M:\\depot\\f.bin",
                 std::string(reinterpret_cast<const char*>(data), size));

  standin::resetProgressBar();
  headless::resetUi();
  headless::setEcho(false);
  LineDataSet d(1);
  d.clear();
  d.name = "f";
  d.depotPath = kDepot;
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
