#include <windows.h>

#include <filesystem>
#include <string>

#include "standin/StandinFiles.h"

namespace standin {

std::filesystem::path fileSystemPath(const std::string& modulePathText) {
  // The module hands its paths to the ANSI file functions, which read them
  // in the ANSI code page; std::filesystem would not, so convert the same
  // way here and the host's files are the module's.
  if (modulePathText.empty()) return std::filesystem::path();
  int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS,
                                 modulePathText.data(),
                                 static_cast<int>(modulePathText.size()),
                                 nullptr, 0);
  if (size <= 0) return std::filesystem::path();
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, modulePathText.data(),
                      static_cast<int>(modulePathText.size()), &wide[0], size);
  return std::filesystem::path(wide);
}

}  // namespace standin
