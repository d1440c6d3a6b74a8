// saveCache, loadCache, writePoints and readPoints of LineDataSet: the cache
// file laid out in dataset/CacheFormat.h.

#include <cstdint>
#include <cstring>

#include "base/PathHelpers.h"
#include "base/SjisLeadByte.h"
#include "dataset/Archive.h"
#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "resources/Texts.h"

static_assert(sizeof(LinePoint) == 2 * sizeof(int32_t),
              "points are stored as they are held");

namespace {

using namespace cache_format;

// Whether the cache file of name lies inside the depot folder: no "/" or
// ":" (another separator, a drive or a stream), and no folder part made of
// dots and blanks only ("..", and "..." or ". ." that Windows shortens to
// it). The last part is safe: ".bin" follows it. A second byte 0x5C of a
// two-byte character separates nothing.
bool staysInFolder(const std::string& name) {
  bool onlyDots = true;  // the part so far holds nothing but dots and blanks
  bool anyDot = false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '\\') {
      if (onlyDots && anyDot) return false;
      onlyDots = true;
      anyDot = false;
    } else if (c == '/' || c == ':') {
      return false;
    } else if (c == '.') {
      anyDot = true;
    } else if (c != ' ') {
      onlyDots = false;
      if (isPathLeadByte(c) && i + 1 < name.size()) ++i;
    }
  }
  return true;
}

// Copies the depot folder into directory and builds the cache file's path
// in file: directory \ name + ".bin". False, with nothing to be written or
// read, when the folder is unknown (empty: a cache file must never land in
// the root of the current drive), the name leads out of that folder or the
// path does not fit kVpiPathSize bytes.
bool buildCachePaths(const char* depotPath, const std::string& name,
                     char (&directory)[kVpiPathSize],
                     char (&file)[kVpiPathSize]) {
  if (depotPath == nullptr || depotPath[0] == '\0') return false;
  size_t length = std::strlen(depotPath);
  if (length >= sizeof(directory)) return false;
  // A name with a zero byte inside would name another file than the one
  // the depot item lists.
  if (name.find('\0') != std::string::npos) return false;
  if (!staysInFolder(name)) return false;
  std::memcpy(directory, depotPath, length + 1);
  std::memcpy(file, depotPath, length + 1);
  if (!appendPathComponent(file, name.c_str())) return false;
  size_t fileLength = std::strlen(file);
  if (fileLength + sizeof(kExtension) > sizeof(file)) return false;
  std::memcpy(file + fileLength, kExtension, sizeof(kExtension));
  return true;
}

// The host's progress bar for the duration of one loadCache: removed on
// every way out.
class HostProgressBar {
 public:
  HostProgressBar() {
    VPI_CreateProgressBar();
    VPI_SetPosProgressBar(0);
  }
  ~HostProgressBar() { VPI_DeleteProgressBar(); }
  HostProgressBar(const HostProgressBar&) = delete;
  HostProgressBar& operator=(const HostProgressBar&) = delete;
};

// Reports p = (100 x i) / n for every point i, when p is a multiple of 5 that
// differs from the last one reported. It only computes p at the indexes where
// p can first reach the next multiple of 5, so the caller can move points in
// runs; the calls made are the ones a check after every point would make.
class PointProgress {
 public:
  explicit PointProgress(int64_t n) : n_(n) {}

  // The next index after which check() must be called.
  int64_t nextCheck() const { return next_; }

  // Called after point i (== nextCheck()) was stored.
  void check(int64_t i) {
    // 64-bit: 100 x i overflows 32 bits beyond 21 million points.
    int32_t p = static_cast<int32_t>((100 * i) / n_);
    if (p % 5 == 0 && p != last_) {
      VPI_SetPosProgressBar(p);
      last_ = p;
    }
    // Below the next multiple of 5 nothing can be reported; the first index
    // whose p reaches it is the ceiling of m x n / 100.
    int64_t m = (p / 5 + 1) * 5;
    next_ = (m * n_ + 99) / 100;
    if (next_ <= i) next_ = i + 1;
  }

 private:
  int64_t n_;
  int64_t next_ = 0;
  int32_t last_ = -1;
};

// LineDataSet::widenBounds over a run of points, separators skipped.
// Written without branches, the separator test turned into a mask, so that
// the compiler can vectorise it: a separator's latitude (the largest value)
// never lowers the top, and its other three contributions are replaced by
// values that change nothing.
inline __attribute__((always_inline)) void widenBoxLoop(
    UnitBounds& box, const LinePoint* run, int64_t count) {
  int32_t left = box.left, top = box.top;
  int32_t right = box.right, bottom = box.bottom;
  for (int64_t k = 0; k < count; ++k) {
    const int32_t latitude = run[k].latitude;
    const int32_t longitude = run[k].longitude;
    const int32_t separator =  // all bits set for a separator, else 0
        -static_cast<int32_t>(latitude == kSeparatorLatitude);
    const int32_t forMax = latitude ^ ((latitude ^ INT32_MIN) & separator);
    const int32_t lonForMin = longitude ^ ((longitude ^ INT32_MAX) & separator);
    const int32_t lonForMax = longitude ^ ((longitude ^ INT32_MIN) & separator);
    top = latitude < top ? latitude : top;
    bottom = forMax > bottom ? forMax : bottom;
    left = lonForMin < left ? lonForMin : left;
    right = lonForMax > right ? lonForMax : right;
  }
  box = {left, top, right, bottom};
}

#if defined(__x86_64__) || defined(__i386__)
// The module is built for SSE2, which has no 32-bit minimum or maximum: the
// vectorised loop emulates them and takes about as long as reading the file.
// A processor with AVX2 runs the same loop with the real instructions,
// about four times faster; the results are the same integers.
__attribute__((target("avx2"))) void widenBoxAvx2(UnitBounds& box,
                                                  const LinePoint* run,
                                                  int64_t count) {
  widenBoxLoop(box, run, count);
}

bool hasAvx2() {
  // Asks the processor and the system (which must save the wider
  // registers); once per process.
  static const bool avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return avx2;
}

void widenBox(UnitBounds& box, const LinePoint* run, int64_t count) {
  if (hasAvx2()) {
    widenBoxAvx2(box, run, count);
  } else {
    widenBoxLoop(box, run, count);
  }
}
#else
void widenBox(UnitBounds& box, const LinePoint* run, int64_t count) {
  widenBoxLoop(box, run, count);
}
#endif

// Points read at a time: few enough that they are still in the
// processor's cache when their bounds are taken.
constexpr int64_t kReadRunPoints = 32 * 1024;

// Reads the n points of a block straight into the point storage, in runs
// that end where progress may have to be reported. With reservedAll the
// storage for all n was obtained beforehand. Otherwise n is untrusted (the
// file cannot hold that many, or the storage could not be had at once), so
// the storage grows by setSize's rule (one point, then a step more) only as
// points actually arrive; if not a single point of a new step arrives, that
// room is given back, so the storage ends exactly as if it had grown one
// point at a time.
bool readPointRuns(LineDataSet& dataSet, ArchiveReader& in, int32_t n,
                   bool reservedAll) {
  GrowableArray<LinePoint>& points = dataSet.points;
  PointProgress progress(n);
  int64_t i = 0;
  while (i < n) {
    const int32_t first = points.size();
    bool grown = false;
    if (points.capacity() == first) {  // never once all n were reserved
      const int64_t next =
          first == 0 ? 1 : static_cast<int64_t>(first) + points.growthStep();
      if (next > INT32_MAX || !points.reserve(static_cast<int32_t>(next))) {
        return false;
      }
      grown = true;
    }
    int64_t run = points.capacity() - first;
    if (run > n - i) run = n - i;
    if (run > kReadRunPoints) run = kReadRunPoints;
    if (run > progress.nextCheck() - i + 1) run = progress.nextCheck() - i + 1;
    LinePoint* room = points.room();
    const int64_t arrived = static_cast<int64_t>(
        in.readInt32Array(&room->latitude, static_cast<size_t>(run) * 2) / 2);
    widenBox(dataSet.bounds, room, arrived);
    points.adopt(static_cast<int32_t>(arrived));
    if (arrived < run) {
      // Storage taken for points that never came is given back (all of it
      // when the storage came in one piece).
      if (reservedAll || (grown && arrived == 0)) points.compact();
      return false;
    }
    i += run;
    if (i - 1 == progress.nextCheck()) progress.check(i - 1);
  }
  return true;
}

}  // namespace

void writePoints(const LineDataSet& dataSet, ArchiveWriter& out) {
  out.writeInt32(kPointBlockVersion);
  out.writeInt32(dataSet.points.size());
  if (dataSet.points.size() > 0) {
    out.writeInt32Array(reinterpret_cast<const int32_t*>(dataSet.points.data()),
                        static_cast<size_t>(dataSet.points.size()) * 2);
  }
}

bool readPoints(LineDataSet& dataSet, ArchiveReader& in) {
  int32_t version = 0;
  if (!in.readInt32(&version) || version > kPointBlockVersion) return false;
  dataSet.clear();
  int32_t n = 0;
  if (!in.readInt32(&n)) return false;
  if (n > 0) {
    // A count the rest of the file can hold is taken at its word: the
    // storage for all of it is obtained at once (so a file of any size
    // costs one allocation), and never more than the file's own size.
    const int64_t inFile = in.remainingBytes() / kPointBytes;
    const bool reservedAll = n <= inFile && dataSet.points.reserve(n);
    if (!readPointRuns(dataSet, in, n, reservedAll)) return false;
  }
  dataSet.compact();
  return true;
}

void saveCache(const LineDataSet& dataSet) {
  char directory[kVpiPathSize];
  char path[kVpiPathSize];
  if (!buildCachePaths(dataSet.depotPath, dataSet.name, directory, path)) return;
  createDirectory(directory);  // an existing folder is fine
  std::unique_ptr<PlatformFile> file = openFileForWriting(path);
  if (!file) return;

  bool written;
  {
    ArchiveWriter out(*file);
    out.writeInt32(kHeaderVersion);
    out.writeInt32(static_cast<int32_t>(dataSet.lineColour));
    out.writeInt32(dataSet.lineWidth);
    out.writeInt32(dataSet.showIn3d);
    out.writeInt32(dataSet.visible);
    writePoints(dataSet, out);
    written = out.close();
  }
  written = file->close() && written;
  file.reset();
  if (!written) {
    // Never leave a cut-short cache file behind: it would reopen as a data
    // set missing its last points.
    deleteFile(path);
    showMessageBox(kTextDepotDiskFull, MessageIcon::kExclamation);
  }
}

int32_t loadCache(LineDataSet& dataSet) {
  char directory[kVpiPathSize];
  char path[kVpiPathSize];
  if (!buildCachePaths(dataSet.depotPath, dataSet.name, directory, path)) return 0;
  std::unique_ptr<PlatformFile> file =
      openFileForReading(path, FileShare::kExclusive);
  if (!file) return 0;
  ArchiveReader in(*file);
  HostProgressBar bar;

  int32_t version = 0;
  if (!in.readInt32(&version) || version > kHeaderVersion) return 0;
  // The attributes are taken only once all four have arrived, so a file cut
  // inside them leaves the data set as it was.
  int32_t attributes[4];
  if (in.readInt32Array(attributes, 4) != 4) return 0;
  dataSet.lineColour = static_cast<uint32_t>(attributes[0]);
  dataSet.lineWidth = attributes[1];
  dataSet.showIn3d = attributes[2];
  dataSet.visible = attributes[3];

  if (!readPoints(dataSet, in)) return 0;
  VPI_SetPosProgressBar(100);
  return 1;
}
