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
// Written without branches so that the compiler can vectorise it: a
// separator's latitude (the largest value) never lowers the top, and its
// other three contributions are replaced by values that change nothing.
void widenBox(UnitBounds& box, const LinePoint* run, int32_t count) {
  int32_t left = box.left, top = box.top;
  int32_t right = box.right, bottom = box.bottom;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t latitude = run[k].latitude;
    const int32_t longitude = run[k].longitude;
    const bool separator = latitude == kSeparatorLatitude;
    const int32_t forMax = separator ? INT32_MIN : latitude;
    const int32_t lonForMin = separator ? INT32_MAX : longitude;
    const int32_t lonForMax = separator ? INT32_MIN : longitude;
    top = latitude < top ? latitude : top;
    bottom = forMax > bottom ? forMax : bottom;
    left = lonForMin < left ? lonForMin : left;
    right = lonForMax > right ? lonForMax : right;
  }
  box = {left, top, right, bottom};
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

  // n is untrusted: storage grows by the usual rule (1, then 1000 at a
  // time) only as points actually arrive. When the room is used up it is
  // grown by the rule and the next run is read straight into it; if not a
  // single point arrives, the new room is given back, so the storage ends
  // exactly as if it had grown one point at a time.
  PointProgress progress(n);
  int64_t i = 0;
  while (i < n) {
    const int32_t first = dataSet.points.size();
    const bool grown = dataSet.points.capacity() == first;
    if (grown && !dataSet.points.setSize(first + 1)) return false;
    int64_t run = dataSet.points.capacity() - first;
    if (run > n - i) run = n - i;
    if (run > progress.nextCheck() - i + 1) run = progress.nextCheck() - i + 1;
    dataSet.points.setSize(first + static_cast<int32_t>(run));  // within capacity
    LinePoint* stored = dataSet.points.data() + first;
    size_t values = in.readInt32Array(&stored->latitude,
                                      static_cast<size_t>(run) * 2);
    const int32_t arrived = static_cast<int32_t>(values / 2);
    widenBox(dataSet.bounds, stored, arrived);
    dataSet.points.setSize(first + arrived);  // 0 releases the storage
    if (arrived == 0 && grown) dataSet.points.compact();
    if (arrived < run) return false;
    i += run;
    if (i - 1 == progress.nextCheck()) progress.check(i - 1);
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
