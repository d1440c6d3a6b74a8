// morvane-host inspect: what a file gives as a line data set, on one line
// that scripts can compare:
//
//   arcs=A points=P separators=S bounds=LEFT,TOP,RIGHT,BOTTOM
//
// arcs counts the runs of points between separators, points the points that
// are not separators; bounds are in units of 1/36000 degree as the data set
// stores them (the empty state when there are no points).

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "plugin/PathHelpers.h"
#include "tools/Commands.h"
#include "ui/ProgressDialog.h"

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

int inspectE00(const std::string& nativePath, const std::string& path) {
  // The dialog's label is the file name without its extension, as the open
  // command names the data set.
  std::string label =
      utf8ToSjis(std::filesystem::path(nativePath).stem().string());
  ProgressDialog progress;
  progress.setLabel(label.c_str());
  progress.create(nullptr);
  LineDataSet data(1);
  data.clear();
  bool ok = data.readE00Arcs(path.c_str(), progress);
  progress.destroyWindow();
  if (!ok) return 1;  // the reader has shown why
  printLineDataSet(data);
  return 0;
}

// A cache file: its folder plays the depot folder and its name without
// ".bin" the data set's name, as when the module reopens a data set.
int inspectBin(const std::string& nativePath) {
  std::error_code error;
  std::string path =
      modulePath(std::filesystem::absolute(nativePath, error).string());
  if (error || path.empty() || path.size() >= size_t(kVpiPathSize)) {
    std::fprintf(stderr, "inspect: %s cannot be given to the module\n",
                 nativePath.c_str());
    return 1;
  }
  const char* fileName = splitFileName(path.c_str());
  std::string folder(path.c_str(), fileName);
  LineDataSet data(1);
  data.clear();
  data.name.assign(fileName, std::strlen(fileName) - 4);  // without ".bin"
  data.depotPath = folder.c_str();
  if (data.loadCache() != 1) {
    std::fprintf(stderr, "inspect: %s cannot be read whole as a cache file\n",
                 nativePath.c_str());
    return 1;
  }
  printLineDataSet(data);
  return 0;
}

}  // namespace

int inspectCommand(const HostOptions& /*options*/, const Arguments& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: morvane-host inspect FILE.e00|FILE.bin\n");
    return 2;
  }
  const std::string& nativePath = args[0];
  std::string path = modulePath(nativePath);
  if (path.empty() || path.size() >= static_cast<size_t>(kVpiPathSize)) {
    std::fprintf(stderr,
                 "inspect: %s cannot be given to the module (too long, or a "
                 "character without a Shift-JIS form)\n",
                 nativePath.c_str());
    return 1;
  }
  const std::string kBin = ".bin";
  if (nativePath.size() > kBin.size() &&
      nativePath.compare(nativePath.size() - kBin.size(), kBin.size(), kBin) ==
          0) {
    return inspectBin(nativePath);
  }
  return inspectE00(nativePath, path);
}
