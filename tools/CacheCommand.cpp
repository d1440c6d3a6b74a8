// morvane-host cache FILE.e00 OUT.bin: reads the arcs of an .e00 file the
// way the open command does and writes them as a cache file with the default
// display attributes. OUT's folder plays the depot folder and OUT's name
// without ".bin" the data set's name, so OUT is exactly the file the module
// would write. Prints "points=N bytes=B" (N counts separators too).

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "tools/Commands.h"
#include "tools/DataSetFile.h"
#include "ui/ProgressDialog.h"

namespace {

namespace fs = std::filesystem;

bool endsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

int cacheCommand(const HostOptions& /*options*/, const Arguments& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: morvane-host cache FILE.e00 OUT.bin\n");
    return 2;
  }
  const std::string& source = args[0];
  const fs::path out = args[1];
  const std::string outName = out.filename().string();
  if (!endsWith(outName, cache_format::kExtension) ||
      outName.size() == sizeof(cache_format::kExtension) - 1) {
    std::fprintf(stderr,
                 "cache: %s must be a file name ending in .bin (the data set "
                 "is named after the rest)\n",
                 args[1].c_str());
    return 2;
  }

  std::error_code error;
  fs::path folder = fs::absolute(out, error).parent_path();
  std::string depot =
      error ? std::string() : modulePathOrComplain("cache", folder.string());
  if (depot.empty()) return 1;
  char depotFolder[kVpiPathSize];
  depot.copy(depotFolder, depot.size());
  depotFolder[depot.size()] = '\0';

  LineDataSet data(1);
  data.clear();
  data.name = utf8ToSjis(
      outName.substr(0, outName.size() - (sizeof(cache_format::kExtension) - 1)));
  data.depotPath = depotFolder;
  if (!readE00File("cache", source, data)) return 1;

  // saveCache reports a full disk itself and is silent when the file
  // cannot be created; the file on disk tells which way it went.
  fs::remove(out, error);
  saveCache(data);
  const int64_t expected = cache_format::fileSize(data.points.size());
  uintmax_t size = fs::file_size(out, error);
  if (error || static_cast<int64_t>(size) != expected) {
    std::fprintf(stderr, "cache: %s could not be written\n", args[1].c_str());
    return 1;
  }
  std::printf("points=%d bytes=%lld\n", data.points.size(),
              static_cast<long long>(expected));
  return 0;
}
