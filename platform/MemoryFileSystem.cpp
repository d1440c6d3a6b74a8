#include "platform/MemoryFileSystem.h"

#include <cassert>
#include <cstring>

namespace {

// Mounted trees, most recent first. Null unless a test or fuzzer mounted one,
// so the system's files pay one test for the feature.
MemoryFileSystem* gMounted = nullptr;

// Stands for the clock of a file's last write: every change of a file's
// bytes takes the next value, so two writes never share a stamp.
int64_t gWriteCounter = 0;

constexpr size_t kPathSize = 260;  // with the terminating zero

// First byte of a two-byte character in code page 932; its second byte may
// be 0x5C, which is then no separator.
bool isLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Offset of the last separator, or npos.
size_t lastSeparator(const std::string& path) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (isLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;
    } else if (path[i] == '\\') {
      found = i;
    }
  }
  return found;
}

bool startsWithIgnoringCase(const char* text, const std::string& prefix) {
  for (size_t i = 0; i < prefix.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(text[i]);
    unsigned char b = static_cast<unsigned char>(prefix[i]);
    if (a == '\0') return false;
    if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

}  // namespace

struct MemoryFileSystem::Node {
  bool directory = false;
  std::string bytes;
  int32_t readers = 0;     // shared readers holding it open
  bool exclusive = false;  // a writer or an exclusive reader holds it
  int64_t modified = 0;    // the write counter when it last changed
};

namespace {

class MemoryFile : public PlatformFile {
 public:
  struct Limits {
    int64_t failWritesAt;
    int64_t failReadsAt;
    int64_t shortWritesAt;
  };

  MemoryFile(std::shared_ptr<MemoryFileSystem::Node> node, bool writing,
             bool exclusive, Limits limits)
      : node_(std::move(node)),
        writing_(writing),
        exclusive_(exclusive),
        limits_(limits) {}
  ~MemoryFile() override { close(); }

  int64_t length() override {
    return node_ ? static_cast<int64_t>(node_->bytes.size()) : -1;
  }

  int64_t read(void* buffer, int64_t bytes) override {
    if (!node_ || writing_ || bytes < 0) return -1;
    int64_t size = static_cast<int64_t>(node_->bytes.size());
    if (limits_.failReadsAt >= 0 && position_ >= limits_.failReadsAt &&
        position_ < size) {
      return -1;
    }
    int64_t end = position_ + bytes < size ? position_ + bytes : size;
    if (limits_.failReadsAt >= 0 && end > limits_.failReadsAt) {
      end = limits_.failReadsAt;
    }
    if (end <= position_) return 0;
    std::memcpy(buffer, node_->bytes.data() + position_,
                static_cast<size_t>(end - position_));
    int64_t done = end - position_;
    position_ = end;
    return done;
  }

  bool write(const void* buffer, int64_t bytes) override {
    if (!node_ || !writing_ || bytes < 0) return false;
    const char* in = static_cast<const char*>(buffer);
    int64_t size = static_cast<int64_t>(node_->bytes.size());
    int64_t room = bytes;
    if (limits_.failWritesAt >= 0 && size + bytes > limits_.failWritesAt) {
      room = limits_.failWritesAt > size ? limits_.failWritesAt - size : 0;
    }
    int64_t kept = room;
    if (limits_.shortWritesAt >= 0 && size + room > limits_.shortWritesAt) {
      kept = limits_.shortWritesAt > size ? limits_.shortWritesAt - size : 0;
      lost_ = true;
    }
    node_->bytes.append(in, static_cast<size_t>(kept));
    node_->modified = ++gWriteCounter;
    return room == bytes;
  }

  bool close() override {
    if (!node_) return true;
    if (exclusive_) {
      node_->exclusive = false;
    } else {
      --node_->readers;
    }
    node_.reset();
    return !lost_;
  }

 private:
  std::shared_ptr<MemoryFileSystem::Node> node_;
  bool writing_;
  bool exclusive_;
  Limits limits_;
  int64_t position_ = 0;
  bool lost_ = false;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem(const std::string& prefix)
    : prefix_(prefix) {
  assert(!prefix_.empty() && prefix_.back() == '\\');
  next_ = gMounted;
  gMounted = this;
}

MemoryFileSystem::~MemoryFileSystem() {
  for (MemoryFileSystem** p = &gMounted; *p != nullptr; p = &(*p)->next_) {
    if (*p == this) {
      *p = next_;
      break;
    }
  }
}

MemoryFileSystem* MemoryFileSystem::owning(const char* path) {
  if (gMounted == nullptr || path == nullptr) return nullptr;
  for (MemoryFileSystem* m = gMounted; m != nullptr; m = m->next_) {
    // The root may be named without its last backslash.
    const std::string& p = m->prefix_;
    if (startsWithIgnoringCase(path, p) ||
        (std::strlen(path) == p.size() - 1 &&
         startsWithIgnoringCase(path, p.substr(0, p.size() - 1)))) {
      return m;
    }
  }
  return nullptr;
}

std::string MemoryFileSystem::key(const char* path) const {
  size_t length = std::strlen(path);
  if (length < prefix_.size()) return std::string();  // the root
  std::string k(path + prefix_.size());
  // "dir\" names the folder "dir".
  while (!k.empty() && lastSeparator(k) == k.size() - 1) k.pop_back();
  return k;
}

bool MemoryFileSystem::parentIsDirectory(const std::string& k) const {
  size_t separator = lastSeparator(k);
  if (separator == std::string::npos) return true;  // in the root
  auto parent = nodes_.find(k.substr(0, separator));
  return parent != nodes_.end() && parent->second->directory;
}

void MemoryFileSystem::putDirectory(const std::string& path) {
  std::string k = key(path.c_str());
  if (k.empty()) return;
  size_t separator = lastSeparator(k);
  if (separator != std::string::npos) {
    putDirectory(prefix_ + k.substr(0, separator));
  }
  auto node = std::make_shared<Node>();
  node->directory = true;
  nodes_[k] = node;
}

void MemoryFileSystem::putFile(const std::string& path,
                               const std::string& bytes) {
  std::string k = key(path.c_str());
  size_t separator = lastSeparator(k);
  if (separator != std::string::npos) {
    putDirectory(prefix_ + k.substr(0, separator));
  }
  auto node = std::make_shared<Node>();
  node->bytes = bytes;
  node->modified = ++gWriteCounter;
  nodes_[k] = node;
}

bool MemoryFileSystem::fileBytes(const std::string& path,
                                 std::string* bytes) const {
  auto found = nodes_.find(key(path.c_str()));
  if (found == nodes_.end() || found->second->directory) return false;
  *bytes = found->second->bytes;
  return true;
}

std::vector<std::string> MemoryFileSystem::paths() const {
  std::vector<std::string> out;
  for (const auto& entry : nodes_) out.push_back(prefix_ + entry.first);
  return out;
}

std::unique_ptr<PlatformFile> MemoryFileSystem::openForReading(
    const char* path, FileShare share) {
  if (std::strlen(path) >= kPathSize) return nullptr;
  auto found = nodes_.find(key(path));
  if (found == nodes_.end() || found->second->directory) return nullptr;
  Node& node = *found->second;
  bool exclusive = share == FileShare::kExclusive;
  if (node.exclusive || (exclusive && node.readers > 0)) return nullptr;
  // Made before the node is marked held, so that running out of memory
  // leaves it free.
  std::unique_ptr<PlatformFile> file(new MemoryFile(
      found->second, false, exclusive,
      {failWritesAt_, failReadsAt_, shortWritesAt_}));
  if (exclusive) {
    node.exclusive = true;
  } else {
    ++node.readers;
  }
  return file;
}

std::unique_ptr<PlatformFile> MemoryFileSystem::openForWriting(
    const char* path, FileCreation creation) {
  if (std::strlen(path) >= kPathSize) return nullptr;
  std::string k = key(path);
  if (k.empty() || !parentIsDirectory(k)) return nullptr;
  std::shared_ptr<Node>& slot = nodes_[k];
  if (!slot) {
    slot = std::make_shared<Node>();
  } else if (slot->directory || slot->exclusive || slot->readers > 0 ||
             creation == FileCreation::kNew) {
    return nullptr;
  }
  slot->bytes.clear();
  slot->modified = ++gWriteCounter;
  slot->exclusive = true;
  return std::unique_ptr<PlatformFile>(
      new MemoryFile(slot, true, true,
                     {failWritesAt_, failReadsAt_, shortWritesAt_}));
}

FileKind MemoryFileSystem::kind(const char* path) const {
  if (std::strlen(path) >= kPathSize) return FileKind::kUnusable;
  std::string k = key(path);
  if (k.empty()) return FileKind::kDirectory;
  auto found = nodes_.find(k);
  if (found == nodes_.end()) return FileKind::kMissing;
  return found->second->directory ? FileKind::kDirectory : FileKind::kFile;
}

bool MemoryFileSystem::stamp(const char* path, FileStamp* stamp) const {
  if (std::strlen(path) >= kPathSize) return false;
  auto found = nodes_.find(key(path));
  if (found == nodes_.end() || found->second->directory) return false;
  stamp->size = static_cast<int64_t>(found->second->bytes.size());
  stamp->modified = found->second->modified;
  return true;
}

bool MemoryFileSystem::rename(const char* from, const char* to) {
  if (std::strlen(from) >= kPathSize || std::strlen(to) >= kPathSize ||
      owning(to) != this) {
    return false;
  }
  std::string source = key(from);
  std::string target = key(to);
  auto found = nodes_.find(source);
  if (found == nodes_.end() || found->second->directory ||
      found->second->exclusive || found->second->readers > 0 ||
      target.empty() || !parentIsDirectory(target)) {
    return false;
  }
  if (source == target) return true;
  auto there = nodes_.find(target);
  if (there != nodes_.end() &&
      (there->second->directory || there->second->exclusive ||
       there->second->readers > 0)) {
    return false;
  }
  nodes_[target] = found->second;
  nodes_.erase(source);
  return true;
}

bool MemoryFileSystem::makeDirectory(const char* path) {
  if (std::strlen(path) >= kPathSize) return false;
  std::string k = key(path);
  if (k.empty() || nodes_.count(k) != 0 || !parentIsDirectory(k)) {
    return false;
  }
  auto node = std::make_shared<Node>();
  node->directory = true;
  nodes_[k] = node;
  return true;
}

bool MemoryFileSystem::remove(const char* path) {
  if (std::strlen(path) >= kPathSize) return false;
  auto found = nodes_.find(key(path));
  if (found == nodes_.end() || found->second->directory ||
      found->second->exclusive || found->second->readers > 0) {
    return false;
  }
  nodes_.erase(found);
  return true;
}

bool MemoryFileSystem::findFirst(const char* pattern) const {
  if (std::strlen(pattern) >= kPathSize) return false;
  std::string k = key(pattern);
  size_t separator = lastSeparator(k);
  std::string name =
      separator == std::string::npos ? k : k.substr(separator + 1);
  if (name == "*.*" || name == "*") {
    std::string folder =
        prefix_ + (separator == std::string::npos ? "" : k.substr(0, separator));
    return kind(folder.c_str()) == FileKind::kDirectory;
  }
  return kind(pattern) != FileKind::kMissing;
}
