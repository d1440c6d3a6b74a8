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

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/GrowableArray.h"
#include "base/Result.h"
#include "base/SplitWork.h"
#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "e00/E00Fields.h"
#include "e00/E00LineReader.h"
#include "e00/E00Projection.h"
#include "e00/ReadingProgress.h"
#include "host/PluginIf.h"

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
  kFailed,   // refused, cancelled or out of memory: *failure says why
  kProjected,  // the points were taken before the PRJ section said how to
               // convert them: read again with the conversion
  kConvert,  // the points are kept as the file holds them (PendingPoints),
             // and the PRJ section says how to convert them
};

// The points of a projected file as the file holds them, kept from the
// first point on, so that the PRJ section which follows the arcs can
// convert them without a second reading. 16 bytes a point.
struct PendingPoint {
  double x, y;
};

struct PendingPoints {
  GrowableArray<PendingPoint> points{1 << 16};
  // The number of points before each end of an arc, in order (a number may
  // repeat: the data set keeps no empty arc).
  GrowableArray<int32_t> arcEnds{1 << 12};

  // False when memory runs out.
  bool add(double x, double y) { return points.append(PendingPoint{x, y}); }
  bool endArc() { return arcEnds.append(points.size()); }
};

// What the lines after the ARC section mean while only the PRJ section is
// looked for.
enum class Scan { kNext, kStop, kNone };
Scan scanAfterSection(E00Projection& projection, const char* text,
                      int32_t size) {
  if (projection.onLine(text, size)) {
    return projection.refuses() ? Scan::kStop : Scan::kNext;
  }
  if (isWord(text, size, "IFO") || isWord(text, size, "EOS")) {
    return Scan::kStop;
  }
  return Scan::kNone;
}

Result refusalOf(const E00Projection& projection) {
  char message[Result::kMaxText + 1];
  projection.refusal(message, sizeof message);
  return Result::refused(message);
}

// Ends a reading that failed, saying why.
Pass failed(Result* failure, Result why) {
  *failure = why;
  return Pass::kFailed;
}

// Where a reading stands in the file.
enum class Stage {
  kBeforeSection,  // the ARC header has not come yet
  kArcHeader,      // in the section: the next data line is an arc header
  kPoints,         // in the section: the coordinate lines of an arc
  kAfterSection,   // past the section: only the PRJ section is looked for
};

// Where the points read go.
enum class Destination {
  kDataSet,  // into the data set, in degrees (converted when projected)
  kPending,  // into *pending, as the file holds them, until the PRJ section
             // says how to convert them
};

// What the points read before the PRJ section came to.
enum class BeforePrj {
  kNoPoint,         // none was read before it (or there is none)
  kTakenAsDegrees,  // some were taken as degrees
  kNotDegrees,      // one was not degrees (after any taken as degrees)
};

// Reads the file once from its start. projection follows the file's PRJ
// sections; a copy of a section read before gives the conversion from the
// first point on.
//
// A file whose first point is not degrees and whose PRJ section has not come
// yet has its points kept in *pending, which gives the same arcs as a
// second reading would, the lines after that point being scanned for the
// PRJ section as well as read (kConvert). A line there that the PRJ scan
// takes (a "PRJ" in the middle of the arcs) falls back to the second
// reading. On kFailed, *failure says why.
Pass readArcs(E00LineReader& reader, ReadingProgress& bar,
              LineDataSet& dataSet, E00Projection& projection,
              PendingPoints* pending, Result* failure) {
  Stage stage = Stage::kBeforeSection;
  Destination destination = Destination::kDataSet;
  BeforePrj before = BeforePrj::kNoPoint;
  bool doublePrecision = false;
  int32_t declaredPoints = 0;
  int32_t pointsRead = 0;
  int32_t lastSeventh = 0;

  const char* text;
  int32_t size;
  while (reader.next(&text, &size)) {
    if (!bar.atPosition(reader.position())) {
      return failed(failure, FailureReason::kCancelled);
    }

    if (stage == Stage::kAfterSection) {
      size = cStringSize(text, size);
      if (scanAfterSection(projection, text, size) == Scan::kStop) break;
      continue;
    }

    if (stage == Stage::kBeforeSection) {
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
          stage = Stage::kArcHeader;
        }
      }
      continue;
    }

    const char first = size > 0 ? text[0] : '\0';
    if (first != ' ' && first != '+' && first != '-') {
      stage = Stage::kAfterSection;
      size = cStringSize(text, size);
      if (destination == Destination::kPending) {
        if (!pending->endArc()) {
          return failed(failure, FailureReason::kOutOfMemory);
        }
        if (scanAfterSection(projection, text, size) == Scan::kStop) break;
        continue;
      }
      if (!dataSet.endArc()) {
        return failed(failure, FailureReason::kOutOfMemory);
      }
      if (projection.onLine(text, size) && projection.refuses()) break;
      continue;
    }

    if (stage == Stage::kArcHeader) {
      size = cStringSize(text, size);
      if (destination == Destination::kPending) {
        // Plain coordinate lines can mean nothing to the PRJ scan; this one
        // may.
        Scan scan = scanAfterSection(projection, text, size);
        if (scan == Scan::kStop) break;
        if (scan == Scan::kNext) {
          destination = Destination::kDataSet;
          stage = Stage::kAfterSection;
          continue;
        }
      }
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
      declaredPoints = lastSeventh;
      const bool ended = destination == Destination::kPending
                             ? pending->endArc()
                             : dataSet.endArc() != 0;
      if (!ended) {
        return failed(failure, FailureReason::kOutOfMemory);
      }
      pointsRead = 0;
      stage = Stage::kPoints;
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
      if (destination == Destination::kPending) {
        Scan scan = scanAfterSection(projection, text, size);
        if (scan == Scan::kStop) break;
        if (scan == Scan::kNext) {
          destination = Destination::kDataSet;
          stage = Stage::kAfterSection;
          continue;
        }
      }
      readCoordinates(text, size, doublePrecision, count, coordinates);
      E00HeaderFields f = splitE00HeaderFields(text, text + size);
      if (f.count == 7) lastSeventh = f.seventh;
    }
    const int32_t complete = completePoints(
        text, size, doublePrecision ? kDoubleFieldWidth : kSingleFieldWidth,
        count / 2);

    if (destination == Destination::kPending) {
      for (int32_t k = 0; k < complete; ++k) {
        if (!pending->add(coordinates[2 * k], coordinates[2 * k + 1])) {
          return failed(failure, FailureReason::kOutOfMemory);
        }
      }
    } else if (projection.projected()) {
      // Converted before the truncation to units; a point the projection
      // cannot take refuses the file rather than leave a hole in an arc.
      for (int32_t k = 0; k < complete; ++k) {
        double latitude, longitude;
        if (!projection.toDegrees(coordinates[2 * k], coordinates[2 * k + 1],
                                  &latitude, &longitude)) {
          return failed(failure, FailureReason::kCannotConvertToDegrees);
        }
        if (!dataSet.addPoint(latitude, longitude)) {
          return failed(failure, FailureReason::kOutOfMemory);
        }
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
          return failed(failure, FailureReason::kNotGeographicDegrees);
        }
        // The reading gets half the bar, the conversion (or the second
        // reading) the other half.
        const bool someTaken = before == BeforePrj::kTakenAsDegrees;
        before = BeforePrj::kNotDegrees;
        bar.narrow(reader.position(), 50);
        if (someTaken || pending == nullptr) {
          // Only the PRJ section is looked for now, and the file is then
          // read again.
          stage = Stage::kAfterSection;
          continue;
        }
        destination = Destination::kPending;
        // Each point takes at least two fields: room for all that can
        // come, in one step (it is only a guess, so a failure here is not
        // yet one).
        const int64_t most =
            (reader.length() - reader.position()) /
                (2 * (doublePrecision ? kDoubleFieldWidth : kSingleFieldWidth)) +
            2;
        if (most > 0 && most < INT32_MAX) {
          pending->points.reserve(static_cast<int32_t>(most));
        }
        for (int32_t k = 0; k < complete; ++k) {
          if (!pending->add(coordinates[2 * k], coordinates[2 * k + 1])) {
            return failed(failure, FailureReason::kOutOfMemory);
          }
        }
      } else {
        if (!projection.seen() && before == BeforePrj::kNoPoint) {
          before = BeforePrj::kTakenAsDegrees;
        }
        for (int32_t k = 0; k < complete; ++k) {
          if (!dataSet.addPoint(coordinates[2 * k + 1], coordinates[2 * k])) {
            return failed(failure, FailureReason::kOutOfMemory);
          }
        }
      }
    }
    if (complete < count / 2) {
      stage = Stage::kAfterSection;
      continue;
    }
    pointsRead += count / 2;
    if (pointsRead >= declaredPoints) stage = Stage::kArcHeader;
  }

  if (!reader.failed()) projection.endOfFile();
  if (projection.refuses()) return failed(failure, refusalOf(projection));
  if (reader.failed()) {
    // Only part of the file was seen: the arcs read so far are not the
    // file's, so this is a failure, not a short file.
    return failed(failure, FailureReason::kCannotReadGisFile);
  }
  if (destination == Destination::kPending && projection.projected()) {
    return Pass::kConvert;
  }
  if (projection.projected() && before != BeforePrj::kNoPoint) {
    return Pass::kProjected;
  }
  if (before == BeforePrj::kNotDegrees) {
    return failed(failure, FailureReason::kNotGeographicDegrees);
  }
  return Pass::kDone;
}

// The smallest and largest units of the points one thread converted, taken
// into bounds shared with the other thread.
void widenShared(std::atomic<int32_t>& least, int32_t value) {
  int32_t seen = least.load(std::memory_order_relaxed);
  while (value < seen &&
         !least.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
  }
}
void narrowShared(std::atomic<int32_t>& most, int32_t value) {
  int32_t seen = most.load(std::memory_order_relaxed);
  while (value > seen &&
         !most.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
  }
}

// Converts the kept points into dataSet, the arcs ended where they were
// read, the bar going on from shownBefore to 100 with the points converted.
// Fails when cancelled, out of memory or a point has no conversion. What
// dataSet holds then, and in every case, is what adding
// the points one by one in order would leave: the points before the one
// that stopped it, each arc ended before its next point.
Result convertPending(const PendingPoints& pending,
                      const E00Projection& projection, LineDataSet& dataSet,
                      ReadingProgressTarget& progress, int32_t shownBefore) {
  const int32_t count = pending.points.size();
  const PendingPoint* points = pending.points.data();
  const int32_t base = dataSet.points.size();

  // The ends of arcs that give a separator: the data set keeps no empty
  // arc, so of equal ends only the first, and none before the first point
  // unless the data set already ends with one. An end after the last point
  // is left to the final endArc, as it would be when adding one by one.
  GrowableArray<int32_t> breaks{1 << 12};
  bool endsOpen = base > 0 && !isSeparator(dataSet.points.back());
  int32_t last = -1;
  for (int32_t k = 0; k < pending.arcEnds.size(); ++k) {
    const int32_t at = pending.arcEnds[k];
    if (at >= count) break;
    if (at == last || (at == 0 && !endsOpen)) continue;
    if (!breaks.append(at)) {
      return FailureReason::kOutOfMemory;
    }
    last = at;
  }
  const int32_t* breakData = breaks.data();
  const int32_t breakCount = breaks.size();
  // Where the separator of point i (when it has one), else point i itself,
  // goes in dataSet: every point and separator before it comes first.
  auto placeOf = [base, breakData, breakCount](int32_t i) -> int64_t {
    const int32_t before = static_cast<int32_t>(
        std::lower_bound(breakData, breakData + breakCount, i) - breakData);
    return static_cast<int64_t>(base) + i + before;
  };

  // Every point and separator goes straight to its place, so the room for
  // all of them is taken first.
  if (count > 0) {
    const int64_t total = placeOf(count);
    if (total > INT32_MAX ||
        !dataSet.points.reserve(static_cast<int32_t>(total))) {
      return FailureReason::kOutOfMemory;
    }
    dataSet.cacheRecord.known = false;
  }
  LinePoint* placed = dataSet.points.data();

  ReadingProgress bar(progress, count, shownBefore);
  // A block for each percent of the points, so that the bar, which shows
  // only the multiples of 5 it lands on, lands on each of them.
  int32_t begin = 0;
  for (int32_t percent = 1; percent <= 100; ++percent) {
    const int32_t end =
        static_cast<int32_t>(static_cast<int64_t>(count) * percent / 100);
    if (end == begin) continue;
    // Each point converts on its own, so the block is shared between two
    // threads, each writing its points, their separators and its bounds;
    // the first point that has no conversion refuses the file. Every point
    // before it is placed; a piece after it may be left undone.
    std::atomic<int32_t> refused{end};
    std::atomic<int32_t> top{kEmptyBounds.top};
    std::atomic<int32_t> bottom{kEmptyBounds.bottom};
    std::atomic<int32_t> left{kEmptyBounds.left};
    std::atomic<int32_t> right{kEmptyBounds.right};
    splitWork(end - begin, [&, begin](int32_t from, int32_t to) {
      from += begin;
      to += begin;
      if (from > refused.load(std::memory_order_relaxed)) return;
      int64_t place = placeOf(from);
      const int32_t* nextBreak =
          std::lower_bound(breakData, breakData + breakCount, from);
      const int32_t* breaksEnd = breakData + breakCount;
      UnitBounds piece = kEmptyBounds;
      for (int32_t i = from; i < to; ++i) {
        double latitude, longitude;
        if (!projection.toDegrees(points[i].x, points[i].y, &latitude,
                                  &longitude)) {
          int32_t first = refused.load(std::memory_order_relaxed);
          while (i < first && !refused.compare_exchange_weak(
                                  first, i, std::memory_order_relaxed)) {
          }
          // The bounds of a block that is refused are taken again from
          // the points placed before the refused one.
          return;
        }
        if (nextBreak != breaksEnd && *nextBreak == i) {
          placed[place++] = kSeparatorPoint;
          ++nextBreak;
        }
        const LinePoint p = {clampedDegreesToUnits(latitude),
                             clampedDegreesToUnits(longitude)};
        placed[place++] = p;
        if (p.latitude > piece.bottom) piece.bottom = p.latitude;
        if (p.longitude > piece.right) piece.right = p.longitude;
        if (p.latitude < piece.top) piece.top = p.latitude;
        if (p.longitude < piece.left) piece.left = p.longitude;
      }
      widenShared(top, piece.top);
      widenShared(left, piece.left);
      narrowShared(bottom, piece.bottom);
      narrowShared(right, piece.right);
    });
    const int32_t stop = refused.load(std::memory_order_relaxed);
    const int32_t from = dataSet.points.size();
    dataSet.points.adopt(static_cast<int32_t>(placeOf(stop) - from));
    if (stop < end) {
      for (int32_t k = from; k < dataSet.points.size(); ++k) {
        if (!isSeparator(placed[k])) dataSet.widenBounds(placed[k]);
      }
      return FailureReason::kCannotConvertToDegrees;
    }
    dataSet.widenBounds(LinePoint{top.load(), left.load()});
    dataSet.widenBounds(LinePoint{bottom.load(), right.load()});
    begin = end;
    if (!bar.atPosition(end)) return FailureReason::kCancelled;
  }
  const bool lastEndAfterThePoints =
      pending.arcEnds.size() > 0 &&
      pending.arcEnds[pending.arcEnds.size() - 1] >= count;
  if (lastEndAfterThePoints && !dataSet.endArc()) {
    return FailureReason::kOutOfMemory;
  }
  return Result();
}

}  // namespace

Result readE00Arcs(LineDataSet& dataSet, const char* path,
                   ReadingProgressTarget& progress) {
  E00LineReader reader;
  if (!reader.open(path)) return FailureReason::kCannotReadGisFile;
  dataSet.clear();
  E00Projection projection;
  Result failure;
  Pass pass;
  int32_t shown;
  {
    PendingPoints pending;
    ReadingProgress bar(progress, reader.length());
    progress.setPosition(0);
    pass = readArcs(reader, bar, dataSet, projection, &pending, &failure);
    shown = bar.shown();
    if (pass == Pass::kConvert) {
      reader.close();
      failure = convertPending(pending, projection, dataSet, progress, shown);
      if (!failure) return failure;
      pass = Pass::kDone;
    }
  }
  if (pass == Pass::kProjected) {
    // Writers put the PRJ section after the arcs. The first reading kept
    // the points as the file holds them unless some were taken as degrees
    // first (or the arcs held a line the PRJ scan took), and then only
    // looked for the PRJ section. The second converts each point as it
    // comes, the bar going on from where the first left it.
    reader.close();
    dataSet.clear();
    if (!reader.open(path)) return FailureReason::kCannotReadGisFile;
    ReadingProgress bar(progress, reader.length(), shown);
    E00Projection known = projection;
    pass = readArcs(reader, bar, dataSet, known, nullptr, &failure);
    // The file changed between the readings.
    if (pass == Pass::kProjected) return FailureReason::kCannotReadGisFile;
  }
  if (pass != Pass::kDone) return failure;
  dataSet.compact();
  reader.close();
  progress.setPosition(100);
  return Result();
}
