// One imported line data set: every arc of one Arc/Info Export file as one
// flat run of integer vertices, arcs separated by separator points; the
// bounding box of those vertices; the display attributes the side panel
// edits; the name; the folder of its cache file; the id of its panel row.
//
// Coordinates are signed 32-bit integers in units of 1/36000 degree (a tenth
// of an arc-second), latitude first, in the host's datum 0. A separator is a
// point whose latitude field is kSeparatorLatitude (whatever its longitude).
// The sequence never begins with a separator and never holds two in a row.
//
// A data set is created on the heap and never copied. The registry of open
// data sets owns it. Everything runs on the host's user-interface thread.

#ifndef MORVANE_DATASET_LINEDATASET_H_
#define MORVANE_DATASET_LINEDATASET_H_

#include <cstdint>
#include <string>

#include "base/GrowableArray.h"
#include "host/PluginIf.h"
#include "platform/FileSystem.h"

struct LinePoint {
  int32_t latitude;
  int32_t longitude;
};

constexpr int32_t kSeparatorLatitude = 2147483647;
constexpr LinePoint kSeparatorPoint = {kSeparatorLatitude, kSeparatorLatitude};
constexpr int32_t kPointGrowthStep = 1000;

// Units of 1/36000 degree to degrees: multiply by the constant, never divide.
constexpr double kDegreesPerUnit = 1.0 / 36000.0;

inline bool isSeparator(const LinePoint& p) {
  return p.latitude == kSeparatorLatitude;
}

// Inclusive bounding box in units: left/right are longitudes, top/bottom
// latitudes (top the smallest latitude). The empty state overlaps nothing.
struct UnitBounds {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
constexpr UnitBounds kEmptyBounds = {2147483647, 2147483647, -2147483647,
                                     -2147483647};

// Degrees to units: times 36000, truncated toward zero. Returns false when
// the result does not fit a signed 32-bit integer other than the separator
// value (or the value is not a number); *units is then left alone.
inline bool degreesToUnits(double degrees, int32_t* units) {
  double product = degrees * 36000.0;
  // Written so that NaN fails too. 2147483647 is the separator and
  // -2147483648 lies beyond the empty box: neither may be a vertex.
  if (!(product > -2147483648.0 && product < 2147483647.0)) return false;
  *units = static_cast<int32_t>(product);  // truncates toward zero
  return true;
}

// Degrees to units as addPoint stores them: a value that does not fit is
// clamped to the largest vertex of its sign (NaN to the negative one).
inline int32_t clampedDegreesToUnits(double degrees) {
  int32_t units = 0;
  if (degreesToUnits(degrees, &units)) return units;
  return degrees > 0 ? 2147483646 : -2147483647;
}

// Line widths as the panel offers them. A width outside this range, which
// only a cache file can bring, is kept as it is but shown and drawn clamped.
constexpr int32_t kMinLineWidth = 1;
constexpr int32_t kMaxLineWidth = 9;
inline int32_t clampedLineWidth(int32_t width) {
  return width < kMinLineWidth   ? kMinLineWidth
         : width > kMaxLineWidth ? kMaxLineWidth
                                 : width;
}

// What a data set's cache file held when it was last read whole or written:
// the file's stamp and the display attributes stored in it (the points are
// not copied: they change only through clear and the appends, which forget
// the record).
struct CacheRecord {
  bool known = false;
  FileStamp stamp = {0, 0};
  int32_t showIn3d = 0;
  int32_t visible = 0;
  uint32_t lineColour = 0;
  int32_t lineWidth = 0;
};

class LineDataSet {
 public:
  explicit LineDataSet(int32_t rowId);
  ~LineDataSet();
  LineDataSet(const LineDataSet&) = delete;
  LineDataSet& operator=(const LineDataSet&) = delete;

  // Empties points and releases their storage (growth step 1000), bounds to
  // the empty state, and forgets the cache record. Attributes, name,
  // depotPath, rowId and cacheNotWhole stay.
  void clear();

  // Appends one point (degrees, truncated to units) and widens bounds; the
  // points no longer match the cache file, so its record is forgotten.
  // Returns 1, or 0 when memory ran out (nothing stored; the caller tells
  // the user). Values that do not fit are clamped; readers refuse them beforehand.
  int32_t addPoint(double latitude, double longitude);

  // Appends a separator unless points is empty or already ends with one.
  // Returns 1, or 0 when memory ran out (the caller tells the user).
  int32_t endArc();

  // Trims the point storage to exactly its size.
  void compact();

  // Widens bounds with a non-separator point given in units.
  void widenBounds(const LinePoint& p) {
    if (p.latitude > bounds.bottom) bounds.bottom = p.latitude;
    if (p.longitude > bounds.right) bounds.right = p.longitude;
    if (p.latitude < bounds.top) bounds.top = p.latitude;
    if (p.longitude < bounds.left) bounds.left = p.longitude;
  }

  GrowableArray<LinePoint> points{kPointGrowthStep};
  UnitBounds bounds = kEmptyBounds;
  int32_t showIn3d = 1;
  int32_t visible = 1;
  uint32_t lineColour = 0x0000FFFF;  // 0x00BBGGRR: yellow
  int32_t lineWidth = 1;
  // The module-wide depot folder buffer; never owned, never copied, so a
  // refreshed folder moves every data set's cache file with it.
  const char* depotPath = nullptr;
  std::string name;
  int32_t rowId;
  // Set by readCache when the cache file was not read whole (it could not
  // be opened, was refused, cut short, or memory ran out): what the data set
  // holds is not what the file holds, and saveCache never writes it over the
  // file. Cleared by the next whole read.
  bool cacheNotWhole = false;
  // Set by a whole read or a successful write; see cacheUpToDate.
  CacheRecord cacheRecord;
};

#endif  // MORVANE_DATASET_LINEDATASET_H_
