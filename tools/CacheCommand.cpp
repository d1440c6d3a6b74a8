// morvane-host cache FILE.e00 OUT.bin: reads the arcs of an .e00 file the
// way the open command does and writes them as a cache file with the default
// display attributes. OUT's folder plays the depot folder and OUT's name
// without ".bin" the data set's name, so OUT is exactly the file the module
// would write. Prints "points=N bytes=B" (N counts separators too).
//
// OUT is replaced only by a whole file; it is never the input, and a cache
// file is no input.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/PathHelpers.h"
#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "tools/Commands.h"
#include "tools/DataSetFile.h"
#include "ui/FailureMessage.h"
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
  if (isCacheFileName(source)) {
    std::fprintf(stderr, "cache: %s is a cache file; cache reads an E00 file\n",
                 source.c_str());
    return 1;
  }

  // The whole output path must reach the module, name included: a name it
  // cannot hold would be written under another name.
  std::error_code error;
  // A rooted path stays as it is ("/x" has no drive on Windows, and Wine
  // reads it on drive Z:, as modulePath does).
  fs::path absolute = out.has_root_directory() ? out : fs::absolute(out, error);
  std::string target =
      error ? std::string()
            : modulePathOrComplain("cache", absolute.string());
  if (target.empty()) return 1;
  if (refuseKind("cache", args[1], target, true)) return 1;
  std::string input = modulePath(source);
  std::error_code ignored;
  if ((!input.empty() && sameFile(input, target)) ||
      fs::equivalent(source, out, ignored)) {
    std::fprintf(stderr, "cache: %s is the input; it is not overwritten\n",
                 args[1].c_str());
    return 1;
  }

  LineDataSet data(1);
  data.clear();
  if (!readE00File("cache", source, data)) return 1;

  // saveCache writes OUT whole or not at all: a new temporary file beside
  // it, flushed, then renamed over it (a full disk is told as the module
  // tells it, and what it cut short is removed), so whatever was at OUT stays as it was
  // until the new file is whole, and nothing this run did not make is
  // ever removed.
  const char* fileName = splitFileName(target.c_str());
  const std::string depot(target.c_str(), fileName);
  data.name.assign(fileName, std::strlen(fileName) -
                                 (sizeof(cache_format::kExtension) - 1));
  data.depotPath = depot.c_str();
  const Result saved = saveCache(data);
  if (!saved) {
    showFailure(saved);
    std::fprintf(stderr, "cache: %s could not be written\n", args[1].c_str());
    return 1;
  }
  const int64_t expected = cache_format::fileSize(data.points.size());
  std::printf("points=%d bytes=%lld\n", data.points.size(),
              static_cast<long long>(expected));
  return 0;
}
