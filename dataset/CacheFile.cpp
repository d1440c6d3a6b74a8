// saveCache, loadCache, writePoints and readPoints of LineDataSet: the cache
// file laid out in dataset/CacheFormat.h.

#include <cstdint>
#include <cstring>
#include <new>

#include "base/PathHelpers.h"
#include "base/Result.h"
#include "dataset/Archive.h"
#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "platform/SjisLeadByte.h"

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
// point at a time. kCut when the points end early, kOutOfMemory when the
// storage cannot grow.
CacheLoad readPointRuns(LineDataSet& dataSet, ArchiveReader& in, int32_t n,
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
        return CacheLoad::kOutOfMemory;
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
      return CacheLoad::kCut;
    }
    i += run;
    if (i - 1 == progress.nextCheck()) progress.check(i - 1);
  }
  return CacheLoad::kWhole;
}

// readPoints with the reason a block is not taken whole.
CacheLoad readPointBlock(LineDataSet& dataSet, ArchiveReader& in) {
  int32_t version = 0;
  if (!in.readInt32(&version)) return CacheLoad::kCut;
  if (version > kPointBlockVersion) return CacheLoad::kRefused;
  dataSet.clear();
  int32_t n = 0;
  if (!in.readInt32(&n)) return CacheLoad::kCut;
  if (n > 0) {
    // A count whose bytes do not even fit this target's address space
    // cannot be true, whatever the file's length: refused before any
    // storage is asked for.
    size_t bytes = 0;
    if (!checkedByteSize<size_t>(n, sizeof(LinePoint), &bytes)) {
      return CacheLoad::kRefused;
    }
    // A count the rest of the file can hold is taken at its word: the
    // storage for all of it is obtained at once (so a file of any size
    // costs one allocation), and never more than the file's own size.
    const int64_t inFile = in.remainingBytes() / kPointBytes;
    const bool reservedAll = n <= inFile && dataSet.points.reserve(n);
    const CacheLoad read = readPointRuns(dataSet, in, n, reservedAll);
    if (read != CacheLoad::kWhole) return read;
  }
  dataSet.compact();
  return CacheLoad::kWhole;
}

// Records what the file at path now holds: its stamp, and the attributes
// just read from it or written into it. Without a stamp nothing is known,
// and the next save writes the file again.
void recordCache(LineDataSet& dataSet, const char* path) {
  CacheRecord& r = dataSet.cacheRecord;
  try {
    r.known = fileStamp(path, &r.stamp);
  } catch (const std::bad_alloc&) {
    r.known = false;  // the file is whole all the same
  }
  r.showIn3d = dataSet.showIn3d;
  r.visible = dataSet.visible;
  r.lineColour = dataSet.lineColour;
  r.lineWidth = dataSet.lineWidth;
}

CacheLoad readCacheFile(LineDataSet& dataSet) {
  char directory[kVpiPathSize];
  char path[kVpiPathSize];
  if (!buildCachePaths(dataSet.depotPath, dataSet.name, directory, path)) {
    return CacheLoad::kCannotOpen;
  }
  // Only a regular file is read: not a link (which could lead anywhere), and
  // never a FIFO or device, which could keep the host waiting.
  FileStamp seen;
  if (!fileStamp(path, &seen)) return CacheLoad::kCannotOpen;
  std::unique_ptr<PlatformFile> file =
      openFileForReading(path, FileShare::kExclusive);
  if (!file) return CacheLoad::kCannotOpen;
  ArchiveReader in(*file);
  HostProgressBar bar;

  int32_t version = 0;
  if (!in.readInt32(&version)) return CacheLoad::kCut;
  if (version > kHeaderVersion) return CacheLoad::kRefused;
  // The attributes are taken only once all four have arrived, so a file cut
  // inside them leaves the data set as it was.
  int32_t attributes[4];
  if (in.readInt32Array(attributes, 4) != 4) return CacheLoad::kCut;
  dataSet.lineColour = static_cast<uint32_t>(attributes[0]);
  dataSet.lineWidth = attributes[1];
  dataSet.showIn3d = attributes[2];
  dataSet.visible = attributes[3];

  const CacheLoad points = readPointBlock(dataSet, in);
  if (points != CacheLoad::kWhole) return points;
  // Bytes past the last point are no file this module wrote: something
  // else has been written into it, so it is not taken as whole.
  if (file->length() != fileSize(dataSet.points.size())) {
    return CacheLoad::kRefused;
  }
  VPI_SetPosProgressBar(100);
  // Still held exclusively: the file is the one just read.
  recordCache(dataSet, path);
  if (dataSet.cacheRecord.stamp.size != file->length()) {
    dataSet.cacheRecord.known = false;
  }
  return CacheLoad::kWhole;
}

// ArchiveWriter's file, writing into a ReplacingFile's temporary file.
class ReplacementSink : public PlatformFile {
 public:
  explicit ReplacementSink(ReplacingFile& out) : out_(out) {}
  int64_t length() override { return -1; }
  int64_t read(void*, int64_t) override { return -1; }
  bool write(const void* buffer, int64_t bytes) override {
    return out_.write(buffer, bytes);
  }
  bool close() override { return true; }  // commit() closes the file

 private:
  ReplacingFile& out_;
};

// Whether the file at path is held open by another program, so that it
// cannot be replaced now (and that is no full disk).
bool heldElsewhere(const char* path) {
  if (fileKind(path) != FileKind::kFile) return false;
  return !openFileForReading(path, FileShare::kExclusive);
}

Result writeCacheFile(LineDataSet& dataSet) {
  char directory[kVpiPathSize];
  char path[kVpiPathSize];
  if (!buildCachePaths(dataSet.depotPath, dataSet.name, directory, path)) {
    return FailureReason::kNotWritten;
  }
  createDirectory(directory);  // an existing folder is fine
  // Only a file, or nothing, is replaced: a directory, FIFO or device in its
  // place stays, and so does a file another program holds (nothing is
  // written for a rename that would be refused). A link is replaced as a
  // name; what it leads to is never opened for writing.
  const FileKind kind = fileKind(path);
  if ((kind != FileKind::kMissing && kind != FileKind::kFile) ||
      heldElsewhere(path)) {
    return FailureReason::kNotWritten;
  }

  ReplacingFile out(path);
  if (!out.opened()) return FailureReason::kNotWritten;
  bool written;
  {
    ReplacementSink sink(out);
    ArchiveWriter archive(sink);
    archive.writeInt32(kHeaderVersion);
    archive.writeInt32(static_cast<int32_t>(dataSet.lineColour));
    archive.writeInt32(dataSet.lineWidth);
    archive.writeInt32(dataSet.showIn3d);
    archive.writeInt32(dataSet.visible);
    writePoints(dataSet, archive);
    written = archive.close();
  }
  // Until commit() the old file is as it was; on any failure the temporary
  // file goes with out.
  if (!written || !out.commit()) {
    // Taken by another program meanwhile: no full disk.
    if (written && heldElsewhere(path)) return FailureReason::kNotWritten;
    return FailureReason::kDepotDiskFull;
  }
  recordCache(dataSet, path);
  return Result();
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
  return readPointBlock(dataSet, in) == CacheLoad::kWhole;
}

Result saveCache(LineDataSet& dataSet) {
  // What a data set holds after a read that was not whole is not what the
  // file holds: writing it would make the loss permanent.
  if (dataSet.cacheNotWhole) return FailureReason::kNotWritten;
  try {
    return writeCacheFile(dataSet);
  } catch (const std::bad_alloc&) {
    // The temporary file, if any, is gone with its owner.
    return FailureReason::kNotWritten;
  }
}

bool deleteCacheFile(const LineDataSet& dataSet) {
  char directory[kVpiPathSize];
  char path[kVpiPathSize];
  if (!buildCachePaths(dataSet.depotPath, dataSet.name, directory, path) ||
      fileKind(path) != FileKind::kFile || isSymbolicLink(path)) {
    return false;
  }
  return deleteFile(path);
}

CacheLoad readCache(LineDataSet& dataSet) {
  CacheLoad result;
  try {
    result = readCacheFile(dataSet);
  } catch (const std::bad_alloc&) {
    result = CacheLoad::kOutOfMemory;
  }
  dataSet.cacheNotWhole = result != CacheLoad::kWhole;
  if (dataSet.cacheNotWhole) dataSet.cacheRecord.known = false;
  return result;
}

int32_t loadCache(LineDataSet& dataSet) {
  return readCache(dataSet) == CacheLoad::kWhole ? 1 : 0;
}

bool cacheUpToDate(const LineDataSet& dataSet) {
  const CacheRecord& r = dataSet.cacheRecord;
  if (!r.known || dataSet.cacheNotWhole || r.showIn3d != dataSet.showIn3d ||
      r.visible != dataSet.visible || r.lineColour != dataSet.lineColour ||
      r.lineWidth != dataSet.lineWidth) {
    return false;
  }
  try {
    char directory[kVpiPathSize];
    char path[kVpiPathSize];
    FileStamp now;
    return buildCachePaths(dataSet.depotPath, dataSet.name, directory,
                           path) &&
           fileStamp(path, &now) && now.size == r.stamp.size &&
           now.modified == r.stamp.modified;
  } catch (const std::bad_alloc&) {
    return false;
  }
}
