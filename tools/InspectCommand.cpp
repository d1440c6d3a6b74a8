// morvane-host inspect: what a file gives as a line data set, on one line
// that scripts can compare:
//
//   arcs=A points=P separators=S bounds=LEFT,TOP,RIGHT,BOTTOM
//
// Before it, on a line of its own, the PRJ section the file carries (the
// first one), as the readers judge it:
//
//   prj: Projection GEOGRAPHIC; Units DD         or   prj: none
//
// A cache file carries none. The prj line is printed once the file opens,
// also when the readers then refuse it.
// arcs counts the runs of points between separators, points the points that
// are not separators; bounds are in units of 1/36000 degree as the data set
// stores them (the empty state when there are no points).
//
// For an .e00 file a line saying how it is stored comes first, also when
// the file is then refused:
//
//   file: compression=none|partial|full
//
// full when the text holds number codes, partial when it is compressed
// without them; a damaged compressed file is named by what was read of it
// up to the damage.

#include <cstdio>

#include "dataset/LineDataSet.h"
#include "e00/E00LineReader.h"
#include "e00/E00Projection.h"
#include "platform/FileSystem.h"
#include "tools/Commands.h"
#include "tools/DataSetFile.h"

namespace {

void printLineDataSet(const LineDataSet& data) {
  int64_t arcs = 0;
  int64_t points = 0;
  int64_t separators = 0;
  bool inArc = false;
  for (int32_t i = 0; i < data.points.size(); ++i) {
    if (isSeparator(data.points[i])) {
      ++separators;
      inArc = false;
    } else {
      ++points;
      if (!inArc) ++arcs;
      inArc = true;
    }
  }
  std::printf("arcs=%lld points=%lld separators=%lld bounds=%d,%d,%d,%d\n",
              static_cast<long long>(arcs), static_cast<long long>(points),
              static_cast<long long>(separators), data.bounds.left,
              data.bounds.top, data.bounds.right, data.bounds.bottom);
}

// Reads as far as it takes to tell: a plain file is known at its first
// line, a partial one only at its end. Prints nothing for a file that cannot
// be opened; the reader says so.
void printCompression(const std::string& nativePath) {
  std::string path = modulePath(nativePath);
  E00LineReader reader;
  if (path.empty() || !reader.open(path.c_str())) return;
  const char* text;
  int32_t size;
  while (reader.next(&text, &size) &&
         reader.compression() == E00Compression::kPartial) {
  }
  const char* name = "none";
  if (reader.compression() == E00Compression::kPartial) name = "partial";
  if (reader.compression() == E00Compression::kFull) name = "full";
  std::printf("file: compression=%s\n", name);
  std::fflush(stdout);
}

// Prints the prj line; nothing when the file does not open (the reading
// that follows says why).
void printProjection(const std::string& nativePath) {
  E00Projection projection;
  if (!isCacheFileName(nativePath)) {
    std::string path = modulePath(nativePath);
    E00LineReader reader;
    if (path.empty() || !reader.open(path.c_str())) return;
    const char* text;
    int32_t size;
    while (!projection.seen() && reader.next(&text, &size)) {
      projection.onLine(text, size);
    }
  }
  char description[160];
  projection.describe(description, sizeof description);
  std::printf("prj: %s\n", description);
}

}  // namespace

int inspectCommand(const HostOptions& /*options*/, const Arguments& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: morvane-host inspect FILE.e00|FILE.bin\n");
    return 2;
  }
  LineDataSet data(1);
  data.clear();
  char depot[kVpiPathSize] = {};
  if (!isCacheFileName(args[0])) printCompression(args[0]);
  printProjection(args[0]);
  std::fflush(stdout);
  if (!readDataSetFile("inspect", args[0], data, depot)) return 1;
  printLineDataSet(data);
  return 0;
}
