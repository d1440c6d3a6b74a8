#include "platform/MemoryFileSystem.h"

#include <cassert>
#include <cstring>

#include "host/PluginIf.h"
#include "platform/SjisLeadByte.h"

namespace {

// Mounted trees, most recent first. Null unless a test or fuzzer mounted one,
// so the system's files pay one test for the feature.
MemoryFileSystem* gMounted = nullptr;

// Stands for the clock of a file's last write: every change of a file's
// bytes takes the next value, so two writes never share a stamp.
int64_t gWriteCounter = 0;

// Whether path fits a path buffer with its terminating zero.
bool fitsPathBuffer(const char* path) {
  return std::strlen(path) < static_cast<size_t>(kVpiPathSize);
}

// Offset of the last separator, or npos. The second byte of a code page 932
// character may be 0x5C, which is then no separator.
size_t lastSeparator(const std::string& path) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (isCodePage932LeadByte(static_cast<unsigned char>(path[i]))) {
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
  bool link = false;
  std::string target;   // a link's
  std::string bytes;    // as the system shows the file
  std::string durable;  // as the disk holds it: the bytes at the last flush
  int32_t readers = 0;     // shared readers holding it open
  bool exclusive = false;  // a writer or an exclusive reader holds it
  int64_t modified = 0;    // the write counter when it last changed
};

struct MemoryFileSystem::Disk {
  int64_t operations = 0;
  int64_t crashAt = -1;
  int64_t flushes = 0;
  int64_t epoch = 0;  // files opened before the last applyCrash() are dead

  bool down() const { return crashAt >= 0 && operations + 1 >= crashAt; }
  bool operate() {
    if (down()) return false;
    ++operations;
    return true;
  }
};

namespace {

class MemoryFile : public PlatformFile {
 public:
  struct Limits {
    int64_t failWritesAt;
    int64_t failReadsAt;
    int64_t shortWritesAt;
  };

  MemoryFile(std::shared_ptr<MemoryFileSystem::Node> node,
             std::shared_ptr<MemoryFileSystem::Disk> disk, bool writing,
             bool exclusive, Limits limits)
      : node_(std::move(node)),
        disk_(std::move(disk)),
        epoch_(disk_->epoch),
        writing_(writing),
        exclusive_(exclusive),
        limits_(limits) {}
  ~MemoryFile() override { close(); }
  // The open that made it has marked the node as held (by a reader, or
  // exclusively); close() lets go of it.
  void hold() { holding_ = true; }

  int64_t length() override {
    return live() ? static_cast<int64_t>(node_->bytes.size()) : -1;
  }

  int64_t read(void* buffer, int64_t bytes) override {
    if (!live() || disk_->down() || writing_ || bytes < 0) return -1;
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
    if (!live() || !writing_ || bytes < 0 || !disk_->operate()) return false;
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

  bool flush() override {
    if (!live() || !disk_->operate()) return false;
    // A disk that lost bytes says so when asked to make them durable.
    if (lost_) return false;
    node_->durable = node_->bytes;
    ++disk_->flushes;
    return true;
  }

  bool close() override {
    if (!node_) return true;
    if (live() && holding_) {
      if (exclusive_) {
        node_->exclusive = false;
      } else {
        --node_->readers;
      }
    }
    node_.reset();
    return !lost_;
  }

 private:
  // A file of a session that crashed is gone with it.
  bool live() const { return node_ && epoch_ == disk_->epoch; }

  std::shared_ptr<MemoryFileSystem::Node> node_;
  std::shared_ptr<MemoryFileSystem::Disk> disk_;
  int64_t epoch_;
  bool writing_;
  bool exclusive_;
  Limits limits_;
  int64_t position_ = 0;
  bool lost_ = false;
  bool holding_ = false;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem(const std::string& prefix)
    : prefix_(prefix), disk_(std::make_shared<Disk>()) {
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
  node->durable = bytes;
  nodes_[k] = node;
}

void MemoryFileSystem::putLink(const std::string& path,
                               const std::string& target) {
  std::string k = key(path.c_str());
  size_t separator = lastSeparator(k);
  if (separator != std::string::npos) {
    putDirectory(prefix_ + k.substr(0, separator));
  }
  auto node = std::make_shared<Node>();
  node->link = true;
  node->target = target;
  nodes_[k] = node;
}

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::resolve(
    const std::string& k) const {
  std::string at = k;
  // As a system gives up on a loop of links.
  for (int hops = 0; hops < 8; ++hops) {
    auto found = nodes_.find(at);
    if (found == nodes_.end()) return nullptr;
    if (!found->second->link) return found->second;
    const std::string& target = found->second->target;
    if (owning(target.c_str()) != this ||
        target.size() >= static_cast<size_t>(kVpiPathSize)) {
      return nullptr;
    }
    at = key(target.c_str());
  }
  return nullptr;
}

bool MemoryFileSystem::operate() { return disk_->operate(); }
int64_t MemoryFileSystem::operationCount() const { return disk_->operations; }
int64_t MemoryFileSystem::flushCount() const { return disk_->flushes; }
void MemoryFileSystem::crashAtOperation(int64_t k) { disk_->crashAt = k; }
bool MemoryFileSystem::crashed() const { return disk_->down(); }

void MemoryFileSystem::applyCrash() {
  for (auto& entry : nodes_) {
    Node& node = *entry.second;
    node.bytes = node.durable;
    node.readers = 0;
    node.exclusive = false;
  }
  ++disk_->epoch;
  disk_->crashAt = -1;
}

bool MemoryFileSystem::fileBytes(const std::string& path,
                                 std::string* bytes) const {
  auto found = nodes_.find(key(path.c_str()));
  if (found == nodes_.end() || found->second->directory ||
      found->second->link) {
    return false;
  }
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
  if (!fitsPathBuffer(path) || disk_->down()) return nullptr;
  std::shared_ptr<Node> found = resolve(key(path));
  if (!found || found->directory) return nullptr;
  Node& node = *found;
  bool exclusive = share == FileShare::kExclusive;
  if (node.exclusive || (exclusive && node.readers > 0)) return nullptr;
  // Made before the node is marked open: out of memory changes nothing.
  std::unique_ptr<MemoryFile> file(new MemoryFile(
      found, disk_, false, exclusive,
      {failWritesAt_, failReadsAt_, shortWritesAt_}));
  if (exclusive) {
    node.exclusive = true;
  } else {
    ++node.readers;
  }
  file->hold();
  return file;
}

std::unique_ptr<PlatformFile> MemoryFileSystem::openForWriting(
    const char* path, FileCreation creation) {
  if (!fitsPathBuffer(path)) return nullptr;
  std::string k = key(path);
  if (k.empty() || !parentIsDirectory(k)) return nullptr;
  auto there = nodes_.find(k);
  // A link is never followed: taken for kNew, refused for kReplace.
  if (there != nodes_.end() &&
      (there->second->directory || there->second->link ||
       there->second->exclusive || there->second->readers > 0 ||
       creation == FileCreation::kNew)) {
    return nullptr;
  }
  // Everything that may run out of memory first, then the changes.
  std::shared_ptr<Node> node =
      there != nodes_.end() ? there->second : std::make_shared<Node>();
  std::unique_ptr<MemoryFile> file(
      new MemoryFile(node, disk_, true, true,
                     {failWritesAt_, failReadsAt_, shortWritesAt_}));
  const bool created = there == nodes_.end();
  if (created) there = nodes_.emplace(k, node).first;
  if (!operate()) {
    if (created) nodes_.erase(there);  // the crash came first
    return nullptr;
  }
  // Creating or truncating reaches the disk at once: a file truncated and
  // not yet written again is empty after a crash.
  node->bytes.clear();
  node->durable.clear();
  node->modified = ++gWriteCounter;
  node->exclusive = true;
  file->hold();
  return file;
}

FileKind MemoryFileSystem::kind(const char* path) const {
  if (!fitsPathBuffer(path)) return FileKind::kUnusable;
  std::string k = key(path);
  if (k.empty()) return FileKind::kDirectory;
  std::shared_ptr<Node> found = resolve(k);
  if (!found) return FileKind::kMissing;
  return found->directory ? FileKind::kDirectory : FileKind::kFile;
}

bool MemoryFileSystem::isLink(const char* path) const {
  if (!fitsPathBuffer(path)) return false;
  auto found = nodes_.find(key(path));
  return found != nodes_.end() && found->second->link;
}

bool MemoryFileSystem::stamp(const char* path, FileStamp* stamp) const {
  if (!fitsPathBuffer(path)) return false;
  auto found = nodes_.find(key(path));
  // The name itself: a link is no regular file, wherever it leads.
  if (found == nodes_.end() || found->second->directory ||
      found->second->link) {
    return false;
  }
  stamp->size = static_cast<int64_t>(found->second->bytes.size());
  stamp->modified = found->second->modified;
  return true;
}

bool MemoryFileSystem::rename(const char* from, const char* to) {
  if (!fitsPathBuffer(from) || !fitsPathBuffer(to) ||
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
  if (!operate()) return false;
  nodes_[target] = found->second;
  nodes_.erase(source);
  return true;
}

bool MemoryFileSystem::makeDirectory(const char* path) {
  if (!fitsPathBuffer(path)) return false;
  std::string k = key(path);
  if (k.empty() || nodes_.count(k) != 0 || !parentIsDirectory(k) ||
      !operate()) {
    return false;
  }
  auto node = std::make_shared<Node>();
  node->directory = true;
  nodes_[k] = node;
  return true;
}

bool MemoryFileSystem::remove(const char* path) {
  if (!fitsPathBuffer(path)) return false;
  auto found = nodes_.find(key(path));
  if (found == nodes_.end() || found->second->directory ||
      found->second->exclusive || found->second->readers > 0 || !operate()) {
    return false;
  }
  nodes_.erase(found);
  return true;
}

bool MemoryFileSystem::removeTree(const char* path) {
  if (!fitsPathBuffer(path)) return false;
  const std::string k = key(path);
  auto top = nodes_.find(k);
  if (k.empty() || top == nodes_.end() || !top->second->directory) {
    return false;
  }
  // Deepest first, as a system deletes a tree; a file held open stays, and
  // so do the folders above it.
  // The folder first, so that walked backwards it comes last.
  std::vector<std::string> inside = {k};
  for (const auto& entry : nodes_) {
    if (entry.first.size() > k.size() &&
        entry.first.compare(0, k.size(), k) == 0 &&
        entry.first[k.size()] == '\\') {
      inside.push_back(entry.first);
    }
  }
  bool all = true;
  for (auto it = inside.rbegin(); it != inside.rend(); ++it) {
    auto found = nodes_.find(*it);
    const Node& node = *found->second;
    bool stays = node.exclusive || node.readers > 0;
    if (!stays && node.directory) {
      const std::string below = *it + "\\";
      auto next = nodes_.lower_bound(below);
      stays = next != nodes_.end() &&
              next->first.compare(0, below.size(), below) == 0;
    }
    if (stays || !operate()) {
      all = false;
      continue;
    }
    nodes_.erase(found);
  }
  return all;
}

std::vector<std::string> MemoryFileSystem::entries(const char* folder) const {
  std::vector<std::string> names;
  if (!fitsPathBuffer(folder) ||
      kind(folder) != FileKind::kDirectory) {
    return names;
  }
  const std::string k = key(folder);
  const std::string below = k.empty() ? k : k + "\\";
  for (auto it = nodes_.lower_bound(below); it != nodes_.end(); ++it) {
    if (it->first.compare(0, below.size(), below) != 0) break;
    const std::string rest = it->first.substr(below.size());
    if (!rest.empty() && lastSeparator(rest) == std::string::npos) {
      names.push_back(rest);
    }
  }
  return names;
}

bool MemoryFileSystem::findFirst(const char* pattern) const {
  if (!fitsPathBuffer(pattern)) return false;
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
