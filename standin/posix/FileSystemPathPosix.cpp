#include <filesystem>

#include "platform/FileSystem.h"
#include "standin/StandinFiles.h"

namespace standin {

std::filesystem::path fileSystemPath(const std::string& modulePathText) {
  // The platform layer maps the drive and converts Shift-JIS to UTF-8.
  std::string native = hostPath(modulePathText.c_str());
  if (native.empty()) return std::filesystem::path();
  return std::filesystem::u8path(native);
}

}  // namespace standin
