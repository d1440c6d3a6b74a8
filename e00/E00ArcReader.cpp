// LineDataSet::readE00Arcs: the arcs of the first ARC section of an .e00
// file.
//
// The section, as this reader takes it:
//
//   ARC  2                                  header: 2 single, 3 double
//            1         1         2 ...   5  arc header, 7th field = points
//   -1.2345678E+02 3.4567890E+01-1.2...     single: up to two points a line,
//                                           x y in 14-column fields
//   -1.23456780000000E+02 3.45678900000000E+01   double: one point, 21 cols
//           -1         0 ...             0  seven integers after the last arc
//   SIN  2                                  anything not starting with a
//                                           blank, '+' or '-' ends it
//
// Which data line is an arc header follows only from counting the points
// announced by the previous header, never from the line's look; the
// announced count is the seventh field of the last line that had seven.

#include <cstring>

#include "dataset/LineDataSet.h"
#include "e00/E00Fields.h"
#include "e00/E00LineReader.h"
#include "host/PluginIf.h"
#include "platform/MessageBox.h"
#include "resources/Texts.h"
#include "ui/ProgressDialog.h"

namespace {

constexpr int32_t kSingleFieldWidth = 14;
constexpr int32_t kDoubleFieldWidth = 21;

// The fixed-column fields of one coordinate line.
class CoordinateLine {
 public:
  CoordinateLine(const char* text, int32_t size) : text_(text), size_(size) {}

  // The number in columns [column, column + width) as atof reads a copy of
  // just those columns. Notes whether the columns held more than one
  // blank-delimited word, or a word the conversion did not take whole.
  double field(int32_t column, int32_t width) {
    if (column >= size_) return 0.0;
    const char* begin = text_ + column;
    const char* end = text_ + (column + width < size_ ? column + width : size_);
    const char* stop;
    double value = parseE00Number(begin, end, &stop);
    if (stop != end) {
      // What follows the number (or the blanks of an empty field) must be
      // blanks only, else the line is not plainly a coordinate line.
      while (stop < end && isE00Space(*stop)) ++stop;
      if (stop != end) plain_ = false;
    }
    return value;
  }

  // True when every field read so far held at most one word, taken whole by
  // the conversion, and nothing but blanks follows column `after`: the line
  // then has at most as many words as fields, so it cannot give the seven
  // fields of an arc header, and nobody needs to split it.
  bool plainUpTo(int32_t after) const {
    if (!plain_) return false;
    for (int32_t i = after; i < size_; ++i) {
      if (!isE00Space(text_[i])) return false;
    }
    return true;
  }

 private:
  const char* text_;
  int32_t size_;
  bool plain_ = true;
};

}  // namespace

bool LineDataSet::readE00Arcs(const char* path, ProgressDialog& progress) {
  E00LineReader reader;
  if (!reader.open(path)) {
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return false;
  }
  const int64_t length = reader.length();
  int32_t lastShown = -1;
  // Position from which the percentage can next change.
  int64_t nextPercentAt = 0;
  progress.setPosition(0);
  clear();

  bool inSection = false;
  bool doublePrecision = false;
  bool expectingHeader = false;
  int32_t declaredPoints = 0;
  int32_t pointsRead = 0;
  int32_t lastSeventh = 0;

  const char* text;
  int32_t size;
  while (reader.next(&text, &size)) {
    const int64_t position = reader.position();
    if (position >= nextPercentAt) {
      // A file that grew while being read must not push the bar past 100,
      // nor may an empty one divide by zero.
      int64_t percent = length > 0 ? position * 100 / length : 100;
      if (percent > 100) percent = 100;
      nextPercentAt =
          percent >= 100 ? INT64_MAX : ((percent + 1) * length + 99) / 100;
      if (percent % 5 == 0 && percent != lastShown) {
        VPI_Pump();
        if (progress.cancelRequested()) return false;
        progress.setPosition(static_cast<int32_t>(percent));
        lastShown = static_cast<int32_t>(percent);
      }
    }

    // The runtime would see the line as a C string: it ends at a zero byte.
    const void* zero = std::memchr(text, '\0', static_cast<size_t>(size));
    if (zero != nullptr) {
      size = static_cast<int32_t>(static_cast<const char*>(zero) - text);
    }

    if (!inSection) {
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
      if (f.count >= 2 && f.firstSize == 3 &&
          std::memcmp(f.first, "ARC", 3) == 0) {
        int32_t precision = parseE00Integer(f.second, f.second + f.secondSize);
        if (precision == 2 || precision == 3) {
          doublePrecision = precision == 3;
          inSection = true;
          expectingHeader = true;
        }
      }
      continue;
    }

    const char first = size > 0 ? text[0] : '\0';
    if (first != ' ' && first != '+' && first != '-') {
      if (!endArc()) return false;
      break;
    }

    if (expectingHeader) {
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
      declaredPoints = lastSeventh;
      if (!endArc()) return false;
      pointsRead = 0;
      expectingHeader = false;
      continue;
    }

    CoordinateLine line(text, size);
    double coordinates[4];
    int32_t count;
    int32_t lastColumn;
    if (doublePrecision) {
      coordinates[0] = line.field(0, kDoubleFieldWidth);
      coordinates[1] = line.field(kDoubleFieldWidth, kDoubleFieldWidth);
      count = 2;
      lastColumn = 2 * kDoubleFieldWidth;
    } else {
      count = declaredPoints >= static_cast<int64_t>(pointsRead) + 2 ? 4 : 2;
      for (int32_t i = 0; i < count; ++i) {
        coordinates[i] = line.field(i * kSingleFieldWidth, kSingleFieldWidth);
      }
      lastColumn = count * kSingleFieldWidth;
    }
    if (!line.plainUpTo(lastColumn)) {
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
    }

    // Projected coordinates (metres and the like) have no place in units of
    // 1/36000 degree; rather than store clamped or wrapped values, refuse
    // the file at the first one.
    for (int32_t i = 0; i < count; ++i) {
      int32_t units;
      if (!degreesToUnits(coordinates[i], &units)) {
        showMessageBox(kTextNotGeographicDegrees, MessageIcon::kExclamation);
        return false;
      }
    }
    for (int32_t i = 0; i < count; i += 2) {
      if (!addPoint(coordinates[i + 1], coordinates[i])) return false;
    }
    pointsRead += count / 2;
    if (pointsRead >= declaredPoints) expectingHeader = true;
  }

  compact();
  reader.close();
  progress.setPosition(100);
  return true;
}
