#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "standin/Scene.h"

extern char** environ;

namespace standin {
namespace {

// The converter's full path from PATH, or empty.
std::string findInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string list = path;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string dir = list.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

PngResult convertSvgToPng(const std::string& svgPath,
                          const std::string& pngPath) {
  std::string converter = findInPath("rsvg-convert");
  // A picture written into a tree in memory is out of the converter's
  // reach, as if there were none.
  if (converter.empty() || access(svgPath.c_str(), R_OK) != 0) {
    return PngResult::kNoConverter;
  }
  const std::string module = modulePath(pngPath);
  if (module.empty()) return PngResult::kFailed;
  ReplacingFile png(module);
  if (!png.opened()) return PngResult::kFailed;
  png.handOver();
  const std::string temporary = hostPath(png.temporaryPath().c_str());
  if (temporary.empty()) return PngResult::kFailed;
  // No shell: the paths are passed as they are, whatever they contain.
  std::string output = "--output=" + temporary;
  // --unlimited: a whole coastline makes a large file.
  char* argv[] = {const_cast<char*>(converter.c_str()),
                  const_cast<char*>("--unlimited"),
                  const_cast<char*>(output.c_str()),
                  const_cast<char*>("--"), const_cast<char*>(svgPath.c_str()),
                  nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, converter.c_str(), nullptr, nullptr, argv,
                  environ) != 0) {
    return PngResult::kFailed;
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return PngResult::kFailed;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return PngResult::kFailed;
  return png.commit() ? PngResult::kWritten : PngResult::kFailed;
}

}  // namespace standin
