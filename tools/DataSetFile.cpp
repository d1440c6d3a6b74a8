#include "dataset/CacheFile.h"
#include "e00/E00ArcReader.h"
#include "tools/DataSetFile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/PathHelpers.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "ui/ProgressDialog.h"

std::string modulePathOrComplain(const char* command,
                                 const std::string& nativePath) {
  std::string path = modulePath(nativePath);
  if (path.empty() || path.size() >= static_cast<size_t>(kVpiPathSize)) {
    std::fprintf(stderr,
                 "%s: %s cannot be given to the module (too long, or a "
                 "character without a Shift-JIS form)\n",
                 command, nativePath.c_str());
    return std::string();
  }
  return path;
}

bool isCacheFileName(const std::string& nativePath) {
  std::string ext = std::filesystem::path(nativePath).extension().string();
  for (char& c : ext) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return ext == ".bin";
}

bool readE00File(const char* command, const std::string& nativePath,
                 LineDataSet& data) {
  std::string path = modulePathOrComplain(command, nativePath);
  if (path.empty()) return false;
  std::string label =
      utf8ToSjis(std::filesystem::path(nativePath).stem().string());
  ProgressDialog progress;
  progress.setLabel(label.c_str());
  progress.create(nullptr);
  bool ok = readE00Arcs(data, path.c_str(), progress);
  progress.destroyWindow();
  return ok;
}

bool readCacheFile(const char* command, const std::string& nativePath,
                   LineDataSet& data, char (&depot)[kVpiPathSize]) {
  std::error_code error;
  std::string absolute = std::filesystem::absolute(nativePath, error).string();
  std::string path =
      error ? std::string() : modulePathOrComplain(command, absolute);
  if (path.empty()) return false;
  const char* fileName = splitFileName(path.c_str());
  const size_t folderSize = static_cast<size_t>(fileName - path.c_str());
  std::memcpy(depot, path.c_str(), folderSize);
  depot[folderSize] = '\0';
  data.name.assign(fileName, std::strlen(fileName) - 4);  // without ".bin"
  data.depotPath = depot;
  if (loadCache(data) != 1) {
    std::fprintf(stderr, "%s: %s cannot be read whole as a cache file\n",
                 command, nativePath.c_str());
    return false;
  }
  return true;
}

bool readDataSetFile(const char* command, const std::string& nativePath,
                     LineDataSet& data, char (&depot)[kVpiPathSize]) {
  return isCacheFileName(nativePath)
             ? readCacheFile(command, nativePath, data, depot)
             : readE00File(command, nativePath, data);
}
