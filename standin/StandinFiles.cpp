#include "standin/StandinFiles.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "standin/StandinHost.h"

namespace standin {

namespace {

bool gFailed = false;

}  // namespace

std::string homeFile(const char* name) {
  const std::string& folder = home();
  const char separator =
      folder.find('\\') != std::string::npos ? '\\' : '/';
  if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) {
    return folder + name;
  }
  return folder + separator + name;
}

std::string hostFileProblem(const std::string& path) {
  const std::string module = modulePath(path);
  if (module.empty()) return path + " has no Windows path";
  if (isSymbolicLink(module.c_str())) {
    return path + " is a symbolic link, not a file of the host's own";
  }
  switch (fileKind(module.c_str())) {
    case FileKind::kFile:
    case FileKind::kMissing:
      return std::string();
    case FileKind::kDirectory:
      return path + " is a folder, not a file";
    case FileKind::kFifo:
      return path + " is a FIFO, not a file";
    case FileKind::kDevice:
      return path + " is a device, not a file";
    case FileKind::kOther:
    case FileKind::kUnusable:
      break;
  }
  return path + " cannot be examined";
}

HostFileRead readHostFile(const std::string& path, std::string* content,
                          std::string* problem) {
  content->clear();
  *problem = hostFileProblem(path);
  if (!problem->empty()) return HostFileRead::kRefused;
  const std::string module = modulePath(path);
  if (fileKind(module.c_str()) == FileKind::kMissing) {
    return HostFileRead::kMissing;
  }
  // Opened without waiting (a FIFO put there since is refused by the
  // platform layer, never waited on), shared with readers.
  std::unique_ptr<PlatformFile> file =
      openFileForReading(module.c_str(), FileShare::kReadShared);
  if (file) {
    char buffer[65536];
    for (;;) {
      int64_t n = file->read(buffer, sizeof buffer);
      if (n == 0) return HostFileRead::kRead;
      if (n < 0) break;
      content->append(buffer, static_cast<size_t>(n));
    }
  }
  content->clear();
  *problem = path + " cannot be read";
  return HostFileRead::kRefused;
}

bool readWholeFile(const std::string& path, std::string* content) {
  std::string problem;
  return readHostFile(path, content, &problem) == HostFileRead::kRead;
}

void createFolders(const std::string& nativeFolder) {
  for (size_t end = 1; end <= nativeFolder.size(); ++end) {
    if (end == nativeFolder.size() || nativeFolder[end] == '/' ||
        nativeFolder[end] == '\\') {
      std::string folder = modulePath(nativeFolder.substr(0, end));
      if (!folder.empty() && fileKind(folder.c_str()) == FileKind::kMissing) {
        createDirectory(folder.c_str());
      }
    }
  }
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
  const std::string module = modulePath(path);
  if (module.empty()) return false;
  size_t slash = path.find_last_of("/\\");
  if (slash != std::string::npos && slash > 0) {
    createFolders(path.substr(0, slash));
  }
  ReplacingFile out(module);
  return out.opened() && out.write(content) && out.commit();
}

void noteHostFileFailure(const std::string& sentence) {
  gFailed = true;
  std::fprintf(stderr, "morvane-host: %s\n", sentence.c_str());
}

void noteHostFileFailure(const char* sentence) noexcept {
  gFailed = true;
  std::fprintf(stderr, "morvane-host: %s\n", sentence);
}

bool hostFilesFailed() { return gFailed; }
void resetHostFileFailures() { gFailed = false; }

std::string setAsideUnreadable(const std::string& path) {
  namespace fs = std::filesystem;
  for (int n = 1; n < 1000; ++n) {
    std::string aside = path + ".bad" + (n == 1 ? "" : std::to_string(n));
    std::error_code ec;
    if (fs::symlink_status(fs::path(aside), ec).type() != fs::file_type::not_found) {
      continue;
    }
    fs::rename(fs::path(path), fs::path(aside), ec);
    return ec ? std::string() : aside;
  }
  return std::string();
}

std::string escapeField(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool unescapeField(const std::string& field, std::string* text) {
  text->clear();
  for (size_t i = 0; i < field.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(field[i]);
    if (c < 0x20 || c == 0x7F) return false;
    if (c != '%') {
      *text += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return false;
    int hi = hexValue(field[i + 1]);
    int lo = hexValue(field[i + 2]);
    if (hi < 0 || lo < 0) return false;
    *text += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

}  // namespace standin
