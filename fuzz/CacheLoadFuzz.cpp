// Feeds arbitrary bytes to readCache as the data set's cache file, and
// checks what must hold whatever the bytes: the progress bar is gone, the
// points are those of the file in order, bounds cover exactly the
// non-separator points, storage is compacted after a complete read; a read
// that is not whole is never written back (the file stays as it was), and a
// whole one is up to date and saves as the file's own points.

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
  const CacheLoad load = readCache(d);
  const int32_t result = load == CacheLoad::kWhole ? 1 : 0;
  if (d.cacheNotWhole != (result == 0)) std::abort();

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
    if (size != 28 + 8 * static_cast<size_t>(d.points.size())) std::abort();
    if (d.points.capacity() != d.points.size()) std::abort();
    if (!cacheUpToDate(d)) std::abort();
    // Written back, the file is the layout of what was read: this module's
    // versions, the input's attributes and its points up to the last one
    // stated (a count of 0 or less keeps none).
    if (!saveCache(d)) std::abort();
    std::string saved;
    if (!memory.fileBytes("M:\\depot\\f.bin", &saved)) std::abort();
    const size_t kept = 28 + 8 * static_cast<size_t>(d.points.size());
    const uint8_t* out = reinterpret_cast<const uint8_t*>(saved.data());
    if (saved.size() != kept || le32(out) != 100 || le32(out + 20) != 100 ||
        std::memcmp(out + 4, data + 4, 16) != 0 ||
        le32(out + 24) != d.points.size() ||
        std::memcmp(out + 28, data + 28, kept - 28) != 0) {
      std::abort();
    }
  } else {
    // Refused: a version newer than this module writes, or every stated
    // point there and bytes after them (no file this module wrote).
    const bool newer =
        size >= 4 && (le32(data) > 100 || (size >= 24 && le32(data + 20) > 100));
    const int64_t stated = size >= 28 && le32(data + 24) > 0 ? le32(data + 24) : 0;
    const bool trailing = size > static_cast<size_t>(28 + 8 * stated);
    if (load == CacheLoad::kRefused && !newer && !trailing) std::abort();
    if (saveCache(d)) std::abort();
    std::string after;
    if (!memory.fileBytes("M:\\depot\\f.bin", &after) ||
        after != std::string(reinterpret_cast<const char*>(data), size)) {
      std::abort();
    }
  }
  if (!headless::messages().empty()) std::abort();
  return 0;
}
