#include "platform/ReplacingFile.h"

#include <cstddef>
#include <utility>

namespace {

constexpr size_t kPathSize = 260;  // with the terminating zero

bool isLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Where "~N" goes: before the extension of the last component, or at the
// end. Shift-JIS aware: a trail byte may be 0x5C or 0x2E.
size_t insertionPoint(const std::string& path) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (isLeadByte(c)) {
      ++i;
    } else if (c == '\\') {
      dot = std::string::npos;
    } else if (c == '.') {
      dot = i;
    }
  }
  return dot == std::string::npos ? path.size() : dot;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& target) : target_(target) {
  if (target.empty() || target.size() >= kPathSize) return;
  const size_t at = insertionPoint(target);
  for (char n = '0'; n <= '9'; ++n) {
    std::string candidate =
        target.substr(0, at) + "~" + n + target.substr(at);
    if (candidate.size() >= kPathSize) return;
    file_ = openFileForWriting(candidate.c_str(), FileCreation::kNew);
    if (file_) {
      temporary_ = std::move(candidate);  // no allocation: nothing can throw
      return;
    }
    // Only a name that is taken is worth another try.
    if (fileKind(candidate.c_str()) == FileKind::kMissing) return;
  }
}

ReplacingFile::~ReplacingFile() {
  if (temporary_.empty()) return;
  if (file_) file_->close();
  file_.reset();
  deleteFile(temporary_.c_str());
}

bool ReplacingFile::write(const void* bytes, int64_t size) {
  if (!file_ || failed_) return false;
  if (!file_->write(bytes, size)) failed_ = true;
  return !failed_;
}

void ReplacingFile::handOver() {
  if (!file_) return;
  if (!file_->close()) failed_ = true;
  file_.reset();
}

bool ReplacingFile::commit() {
  if (temporary_.empty()) return false;
  if (file_ && !file_->close()) failed_ = true;
  file_.reset();
  if (!failed_ && renameFile(temporary_.c_str(), target_.c_str())) {
    temporary_.clear();
    return true;
  }
  deleteFile(temporary_.c_str());
  temporary_.clear();
  return false;
}
