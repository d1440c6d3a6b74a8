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
#include "ui/FailureMessage.h"
#include "ui/ProgressDialog.h"

std::string modulePathOrComplain(const char* command,
                                 const std::string& nativePath) {
  std::string path = modulePath(nativePath);
  if (path.empty()) {
    // A Windows path always holds backslashes: only a name whose every
    // character has a Shift-JIS form can have been refused for one.
    const bool convertible = utf8ToSjis(nativePath).find('?') ==
                             nativePath.find('?');
    std::fprintf(stderr,
                 convertible && nativePath.find('\\') != std::string::npos
                     ? "%s: %s holds a backslash, which a Windows path reads "
                       "as a folder separator\n"
                     : "%s: %s has a character without a Shift-JIS form\n",
                 command, nativePath.c_str());
    return std::string();
  }
  if (path.size() >= static_cast<size_t>(kVpiPathSize)) {
    std::fprintf(stderr,
                 "%s: %s is too long for the module (%zu bytes as a Windows "
                 "path, at most %d)\n",
                 command, nativePath.c_str(), path.size(), kVpiPathSize - 1);
    return std::string();
  }
  return path;
}

bool refuseKind(const char* command, const std::string& nativePath,
                const std::string& path, bool missingIsFine) {
  const char* what = nullptr;
  switch (fileKind(path.c_str())) {
    case FileKind::kFile: return false;
    case FileKind::kMissing:
      if (missingIsFine) return false;
      what = "does not exist";
      break;
    case FileKind::kDirectory: what = "is a directory, not a file"; break;
    case FileKind::kFifo: what = "is a FIFO (named pipe), not a file"; break;
    case FileKind::kDevice: what = "is a device, not a file"; break;
    case FileKind::kUnusable:
      what = "names no single file (several names differ only in case)";
      break;
    case FileKind::kOther: what = "is not a regular file"; break;
  }
  std::fprintf(stderr, "%s: %s %s\n", command, nativePath.c_str(), what);
  return true;
}

std::string inputPathOrComplain(const char* command,
                                const std::string& nativePath) {
  std::string path = modulePathOrComplain(command, nativePath);
  // A missing file is left to the reader, whose message says so as the
  // module would.
  if (path.empty() || refuseKind(command, nativePath, path, true)) {
    return std::string();
  }
  return path;
}

bool sameFile(const std::string& a, const std::string& b) {
  const std::string hostA = hostPath(a.c_str());
  const std::string hostB = hostPath(b.c_str());
  if (hostA == a && hostB == b) {
    // A backend that hands module paths to the system as they are: Windows,
    // where names that differ in the case of ASCII letters are one file.
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(a[i])) !=
          std::tolower(static_cast<unsigned char>(b[i]))) {
        return false;
      }
    }
    return true;
  }
  return hostA == hostB;
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
  std::string path = inputPathOrComplain(command, nativePath);
  if (path.empty()) return false;
  std::string label =
      utf8ToSjis(std::filesystem::path(nativePath).stem().string());
  ProgressDialog progress;
  progress.setLabel(label.c_str());
  progress.create(nullptr);
  const Result read = readE00Arcs(data, path.c_str(), progress);
  // Told over the progress window, as the module tells it.
  showFailure(read);
  progress.destroyWindow();
  return static_cast<bool>(read);
}

bool readCacheFile(const char* command, const std::string& nativePath,
                   LineDataSet& data, char (&depot)[kVpiPathSize]) {
  std::error_code error;
  const std::filesystem::path given = nativePath;
  std::string absolute = given.has_root_directory()
                             ? nativePath
                             : std::filesystem::absolute(given, error).string();
  std::string path =
      error ? std::string() : inputPathOrComplain(command, absolute);
  if (path.empty()) return false;
  const char* fileName = splitFileName(path.c_str());
  const size_t folderSize = static_cast<size_t>(fileName - path.c_str());
  std::memcpy(depot, path.c_str(), folderSize);
  depot[folderSize] = '\0';
  data.name.assign(fileName, std::strlen(fileName) - 4);  // without ".bin"
  data.depotPath = depot;
  // The module opens name + ".bin"; for "X.BIN" that may be another file.
  const std::string opened = std::string(depot) + data.name + ".bin";
  if (!sameFile(opened, path)) {
    std::fprintf(stderr,
                 "%s: %s cannot be read as the module reads it: it would open "
                 "%s.bin beside it instead (names that differ only in case)\n",
                 command, nativePath.c_str(), sjisToUtf8(data.name).c_str());
    return false;
  }
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
