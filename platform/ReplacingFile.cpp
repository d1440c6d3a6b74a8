#include "platform/ReplacingFile.h"

#include <chrono>
#include <cstddef>
#include <utility>
#include <random>

#include "host/PluginIf.h"
#include "platform/SjisLeadByte.h"

namespace {

constexpr size_t kDigits = 8;

// Where "~N" goes: before the extension of the last component, or at the
// end. Shift-JIS aware: a trail byte may be 0x5C or 0x2E.
size_t insertionPoint(const std::string& path) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (isCodePage932LeadByte(c)) {
      ++i;
    } else if (c == '\\') {
      dot = std::string::npos;
    } else if (c == '.') {
      dot = i;
    }
  }
  return dot == std::string::npos ? path.size() : dot;
}

// Numbers another program (or a link planted for us) cannot guess: a
// predictable name would let a link or file made there in advance turn
// every write away. splitmix64 over a seed from the system's randomness,
// the clock and where the program was loaded.
uint32_t randomNumber() {
  static uint64_t state = [] {
    uint64_t seed = static_cast<uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    seed ^= static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&seed));
    try {
      std::random_device device;
      seed ^= (static_cast<uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
      // No system randomness: the clock and the address still vary.
    }
    return seed;
  }();
  state += 0x9E3779B97F4A7C15ull;
  uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 16);
}

uint32_t (*gNumberSource)() = nullptr;

}  // namespace

std::string ReplacingFile::temporaryName(const std::string& target,
                                         uint32_t n) {
  // "~" and at least one digit must fit beside the target.
  const size_t pathSize = static_cast<size_t>(kVpiPathSize);
  if (target.empty() || target.size() + 2 >= pathSize) return std::string();
  size_t room = pathSize - 1 - target.size() - 1;
  size_t digits = room < kDigits ? room : kDigits;
  static const char kHex[] = "0123456789ABCDEF";
  std::string number(digits, '0');
  for (size_t i = digits; i-- > 0; n >>= 4) number[i] = kHex[n & 15];
  const size_t at = insertionPoint(target);
  return target.substr(0, at) + "~" + number + target.substr(at);
}

int ReplacingFile::removeLeftovers(const std::string& target) {
  // The family's shape, from the name of number 0: what precedes the
  // digits and what follows them.
  const std::string model = temporaryName(target, 0);
  if (model.empty() || model.size() != target.size() + 1 + kDigits) return 0;
  const size_t at = insertionPoint(target);
  size_t slash = std::string::npos;
  for (size_t i = 0; i < target.size(); ++i) {
    if (isCodePage932LeadByte(static_cast<unsigned char>(target[i]))) {
      ++i;
    } else if (target[i] == '\\') {
      slash = i;
    }
  }
  const std::string folder =
      slash == std::string::npos ? std::string(".") : target.substr(0, slash);
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string stem = target.substr(nameStart, at - nameStart) + "~";
  const std::string extension = target.substr(at);
  int removed = 0;
  for (const std::string& name : folderEntries(folder.c_str())) {
    if (name.size() != stem.size() + kDigits + extension.size() ||
        name.compare(0, stem.size(), stem) != 0 ||
        name.compare(stem.size() + kDigits, std::string::npos, extension) !=
            0) {
      continue;
    }
    bool hex = true;
    for (size_t i = stem.size(); i < stem.size() + kDigits; ++i) {
      hex = hex && ((name[i] >= '0' && name[i] <= '9') ||
                    (name[i] >= 'A' && name[i] <= 'F'));
    }
    const std::string path =
        (slash == std::string::npos ? "" : folder + "\\") + name;
    if (hex && !isSymbolicLink(path.c_str()) &&
        fileKind(path.c_str()) == FileKind::kFile &&
        deleteFile(path.c_str())) {
      ++removed;
    }
  }
  return removed;
}

void ReplacingFile::setNumberSource(uint32_t (*source)()) {
  gNumberSource = source;
}

ReplacingFile::ReplacingFile(const std::string& target) : target_(target) {
  if (target.empty() || target.size() >= static_cast<size_t>(kVpiPathSize)) {
    return;
  }
  // What stands at the target must be a file (or a link, replaced itself):
  // a folder, FIFO or device there is never replaced.
  if (!isSymbolicLink(target.c_str())) {
    FileKind kind = fileKind(target.c_str());
    if (kind != FileKind::kFile && kind != FileKind::kMissing) return;
  }
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string candidate = temporaryName(
        target, gNumberSource != nullptr ? gNumberSource() : randomNumber());
    if (candidate.empty()) return;
    file_ = openFileForWriting(candidate.c_str(), FileCreation::kNew);
    if (file_) {
      temporary_ = std::move(candidate);  // no allocation: nothing can throw
      return;
    }
    // Only a name that is taken (a link included, dangling or not) is worth
    // another try; a folder that refuses a free name refuses every one.
    if (fileKind(candidate.c_str()) == FileKind::kMissing &&
        !isSymbolicLink(candidate.c_str())) {
      return;
    }
  }
}

ReplacingFile::~ReplacingFile() {
  if (temporary_.empty()) return;
  if (file_) file_->close();
  file_.reset();
  // Mapping the path may run out of memory; a destructor must not throw.
  try {
    deleteFile(temporary_.c_str());
  } catch (const std::exception&) {
  }
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
  if (!failed_) {
    // The content must be on the disk before the name is: otherwise a power
    // loss just after the rename may leave the target empty or cut.
    if (!file_) {
      file_ = openFileForReading(temporary_.c_str(), FileShare::kExclusive);
    }
    if (!file_ || !file_->flush()) failed_ = true;
  }
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
