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
//
// A coordinate line that lacks a field of a point it must hold (the y of
// the point lies past the end of the line's text, or the end of the file
// cuts a field short) ends the section where it stands, as the end of a
// cut file does: the points before it are kept, none is made up.
//
// After the section the reader goes on to the PRJ section, which writers
// put after the ARC section and before the INFO tables (IFO), to learn
// whether the coordinates are degrees at all.

#include <cstring>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "e00/E00Fields.h"
#include "e00/E00LineReader.h"
#include "e00/E00Projection.h"
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

// Of the points a coordinate line must hold, those whose fields are all
// there: a point whose y starts past the end of the line's text is missing,
// and on a line without a line break (the end of the file) so is one whose
// y is shorter than its columns. A field partly there on a whole line is
// read as far as it goes.
int32_t completePoints(const char* text, int32_t size, int32_t width,
                       int32_t points) {
  const bool lineBreak = size > 0 && text[size - 1] == '\n';
  const int32_t content = lineBreak ? size - 1 : size;
  for (int32_t k = 0; k < points; ++k) {
    const int32_t yBegin = (2 * k + 1) * width;
    if (yBegin >= content || (!lineBreak && yBegin + width > content)) {
      return k;
    }
  }
  return points;
}

bool isWord(const char* text, int32_t size, const char* word) {
  int32_t i = 0;
  while (i < size && isE00Space(text[i])) ++i;
  const int32_t n = static_cast<int32_t>(std::strlen(word));
  return size - i >= n &&
         std::memcmp(text + i, word, static_cast<size_t>(n)) == 0 &&
         (size - i == n || isE00Space(text[i + n]));
}

// How one reading of the file ended.
enum class Pass {
  kDone,     // the arcs are read
  kFailed,   // refused, cancelled or out of memory: already told
  kProjected,  // the points were taken before the PRJ section said how to
               // convert them: read again with the conversion
};

void showRefusal(const E00Projection& projection) {
  char message[256];
  projection.refusal(message, sizeof message);
  showMessageBox(message, MessageIcon::kExclamation);
}

// Reads the file once from its start. projection follows the file's PRJ
// sections; a copy of a section read before gives the conversion from the
// first point on.
Pass readArcs(E00LineReader& reader, ReadingProgress& bar,
              LineDataSet& dataSet, E00Projection& projection) {
  bool inSection = false;
  // Past the ARC section: only the PRJ section is still looked for.
  bool afterSection = false;
  bool doublePrecision = false;
  bool expectingHeader = false;
  int32_t declaredPoints = 0;
  int32_t pointsRead = 0;
  int32_t lastSeventh = 0;
  // Points were kept as degrees, or passed over as not degrees, before the
  // PRJ section said whether they are.
  bool takenAsDegrees = false;
  bool notDegrees = false;

  const char* text;
  int32_t size;
  while (reader.next(&text, &size)) {
    if (!bar.atPosition(reader.position())) return Pass::kFailed;

    if (afterSection) {
      size = cStringSize(text, size);
      if (projection.onLine(text, size)) {
        if (projection.refuses()) break;
        continue;
      }
      if (isWord(text, size, "IFO") || isWord(text, size, "EOS")) break;
      continue;
    }

    if (!inSection) {
      size = cStringSize(text, size);
      if (projection.onLine(text, size)) {
        if (projection.refuses()) break;
        continue;
      }
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
      if (!dataSet.endArc()) return Pass::kFailed;
      afterSection = true;
      size = cStringSize(text, size);
      if (projection.onLine(text, size) && projection.refuses()) break;
      continue;
    }

    if (expectingHeader) {
      size = cStringSize(text, size);
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
      declaredPoints = lastSeventh;
      if (!dataSet.endArc()) return Pass::kFailed;
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
    const int32_t complete = completePoints(
        text, size, doublePrecision ? kDoubleFieldWidth : kSingleFieldWidth,
        count / 2);

    if (projection.projected()) {
      // Converted before the truncation to units; a point the projection
      // cannot take refuses the file rather than leave a hole in an arc.
      for (int32_t k = 0; k < complete; ++k) {
        double latitude, longitude;
        if (!projection.toDegrees(coordinates[2 * k], coordinates[2 * k + 1],
                                  &latitude, &longitude)) {
          showMessageBox(kTextCannotConvertToDegrees,
                         MessageIcon::kExclamation);
          return Pass::kFailed;
        }
        if (!dataSet.addPoint(latitude, longitude)) return Pass::kFailed;
      }
    } else {
      // Coordinates that cannot be degrees (metres and the like) have no
      // place in units of 1/36000 degree; rather than store clamped or
      // wrapped values, refuse the file at the first one, unless a PRJ
      // section still to come says how to convert them.
      bool degrees = true;
      for (int32_t k = 0; k < complete; ++k) {
        if (!isGeographicPosition(coordinates[2 * k + 1], coordinates[2 * k])) {
          degrees = false;
        }
      }
      if (!degrees) {
        if (projection.seen()) {
          showMessageBox(kTextNotGeographicDegrees, MessageIcon::kExclamation);
          return Pass::kFailed;
        }
        // Only the PRJ section is looked for now, and the file is then
        // read again: half the bar for each.
        notDegrees = true;
        afterSection = true;
        bar.narrow(reader.position(), 50);
        continue;
      }
      if (!projection.seen()) takenAsDegrees = true;
      for (int32_t k = 0; k < complete; ++k) {
        if (!dataSet.addPoint(coordinates[2 * k + 1], coordinates[2 * k])) {
          return Pass::kFailed;
        }
      }
    }
    if (complete < count / 2) {
      afterSection = true;
      continue;
    }
    pointsRead += count / 2;
    if (pointsRead >= declaredPoints) expectingHeader = true;
  }

  if (!reader.failed()) projection.endOfFile();
  if (projection.refuses()) {
    showRefusal(projection);
    return Pass::kFailed;
  }
  if (reader.failed()) {
    // Only part of the file was seen: the arcs read so far are not the
    // file's, so this is a failure, not a short file.
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return Pass::kFailed;
  }
  if (projection.projected() && (takenAsDegrees || notDegrees)) {
    return Pass::kProjected;
  }
  if (notDegrees) {
    showMessageBox(kTextNotGeographicDegrees, MessageIcon::kExclamation);
    return Pass::kFailed;
  }
  return Pass::kDone;
}

}  // namespace

bool readE00Arcs(LineDataSet& dataSet, const char* path,
                 ReadingProgressTarget& progress) {
  E00LineReader reader;
  if (!reader.open(path)) {
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return false;
  }
  dataSet.clear();
  E00Projection projection;
  Pass pass;
  int32_t shown;
  {
    ReadingProgress bar(progress, reader.length());
    progress.setPosition(0);
    pass = readArcs(reader, bar, dataSet, projection);
    shown = bar.shown();
  }
  if (pass == Pass::kProjected) {
    // Writers put the PRJ section after the arcs: the first reading only
    // looked for it (once a point was plainly not degrees) or took the
    // points as they stand. The second converts each point as it comes,
    // the bar going on from where the first left it.
    reader.close();
    dataSet.clear();
    if (!reader.open(path)) {
      showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
      return false;
    }
    ReadingProgress bar(progress, reader.length(), shown);
    E00Projection known = projection;
    pass = readArcs(reader, bar, dataSet, known);
    // The file changed between the readings.
    if (pass == Pass::kProjected) {
      showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
      return false;
    }
  }
  if (pass != Pass::kDone) return false;
  dataSet.compact();
  reader.close();
  progress.setPosition(100);
  return true;
}
