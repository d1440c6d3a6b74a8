// readE00Arcs: the arcs of the first ARC section of an .e00
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

#include <cmath>
#include <cstring>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "e00/E00Fields.h"
#include "e00/E00LineReader.h"
#include "e00/ReadingProgress.h"
#include "host/PluginIf.h"
#include "platform/MessageBox.h"
#include "resources/Texts.h"

namespace {

constexpr int32_t kSingleFieldWidth = 14;
constexpr int32_t kDoubleFieldWidth = 21;

// The runtime sees a line as a C string: it ends at a zero byte.
int32_t cStringSize(const char* text, int32_t size) {
  const void* zero = std::memchr(text, '\0', static_cast<size_t>(size));
  return zero == nullptr
             ? size
             : static_cast<int32_t>(static_cast<const char*>(zero) - text);
}

// The number in columns [column, column + width) as atof reads a copy of
// just those columns (what lies past the end of the line is not there).
// *plain is cleared unless the columns hold blanks and at most one word,
// taken whole by the conversion.
double readField(const char* text, int32_t size, int32_t column,
                 int32_t width, bool* plain) {
  if (column >= size) return 0.0;
  const char* begin = text + column;
  const char* end = text + (column + width < size ? column + width : size);
  const char* stop;
  double value = parseE00Number(begin, end, &stop);
  while (stop < end && isE00Space(*stop)) ++stop;
  if (stop != end) *plain = false;
  return value;
}

// Reads count values (x y, or x1 y1 x2 y2) from a coordinate line. True
// when the line is plain: every field read held at most one word, taken
// whole, and only blanks follow the last field read. Such a line has no
// more words than fields, at most four, so it cannot give the seven fields
// of an arc header (the four text fields take four words, the integers at
// least one more), and it holds no zero byte.
bool readCoordinates(const char* text, int32_t size, bool doublePrecision,
                     int32_t count, double* values) {
  const int32_t width = doublePrecision ? kDoubleFieldWidth : kSingleFieldWidth;
  // The usual line: exactly the fields read, each in the written form, and
  // its line break.
  if (size == count * width + 1 && text[count * width] == '\n') {
    int32_t i = 0;
    while (i < count && e00_detail::parseWrittenForm(
                            text + i * width, text + (i + 1) * width,
                            &values[i])) {
      ++i;
    }
    if (i == count) return true;
  }
  bool plain = true;
  for (int32_t i = 0; i < count; ++i) {
    values[i] = readField(text, size, i * width, width, &plain);
  }
  for (int32_t i = count * width; plain && i < size; ++i) {
    if (!isE00Space(text[i])) plain = false;
  }
  return plain;
}

}  // namespace

bool readE00Arcs(LineDataSet& dataSet, const char* path,
                 ReadingProgressTarget& progress) {
  E00LineReader reader;
  if (!reader.open(path)) {
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return false;
  }
  ReadingProgress bar(progress, reader.length());
  progress.setPosition(0);
  dataSet.clear();

  bool inSection = false;
  bool doublePrecision = false;
  bool expectingHeader = false;
  int32_t declaredPoints = 0;
  int32_t pointsRead = 0;
  int32_t lastSeventh = 0;

  const char* text;
  int32_t size;
  while (reader.next(&text, &size)) {
    if (!bar.atPosition(reader.position())) return false;

    if (!inSection) {
      size = cStringSize(text, size);
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
      if (!dataSet.endArc()) return false;
      break;
    }

    if (expectingHeader) {
      size = cStringSize(text, size);
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
      declaredPoints = lastSeventh;
      if (!dataSet.endArc()) return false;
      pointsRead = 0;
      expectingHeader = false;
      continue;
    }

    double coordinates[4];
    int32_t count;
    if (doublePrecision) {
      count = 2;
    } else {
      count = declaredPoints >= static_cast<int64_t>(pointsRead) + 2 ? 4 : 2;
    }
    if (!readCoordinates(text, size, doublePrecision, count, coordinates)) {
      // Not plainly a coordinate line: read it again as the C string the
      // runtime would see, and scan it as an arc header would be, since
      // such a line may yet give seven fields.
      size = cStringSize(text, size);
      readCoordinates(text, size, doublePrecision, count, coordinates);
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
    }

    // Projected coordinates (metres and the like) have no place in units of
    // 1/36000 degree; rather than store clamped or wrapped values, refuse
    // the file at the first one.
    for (int32_t i = 0; i < count; ++i) {
      int32_t units;
      // Every degree value fits; only larger ones need the exact test.
      if (!(std::fabs(coordinates[i]) <= 360.0) &&
          !degreesToUnits(coordinates[i], &units)) {
        showMessageBox(kTextNotGeographicDegrees, MessageIcon::kExclamation);
        return false;
      }
    }
    for (int32_t i = 0; i < count; i += 2) {
      if (!dataSet.addPoint(coordinates[i + 1], coordinates[i])) return false;
    }
    pointsRead += count / 2;
    if (pointsRead >= declaredPoints) expectingHeader = true;
  }

  if (reader.failed()) {
    // Only part of the file was seen: the arcs read so far are not the
    // file's, so this is a failure, not a short file.
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return false;
  }
  dataSet.compact();
  reader.close();
  progress.setPosition(100);
  return true;
}
