#include "standin/StandinDepot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>
#include <vector>

#include "base/HostBoundary.h"
#include "base/PathHelpers.h"
#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/SjisLeadByte.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"

namespace standin {
namespace {

namespace fs = std::filesystem;

constexpr char kHeader[] = "#morvane-depot 1";

struct Entry {
  uint32_t id;
  uint32_t parent;  // 0: the depot root
  bool folder;
  // Written to the index as being removed: its file (or folder) is deleted
  // next, and a start that finds the mark finishes the removal.
  bool removing;
  std::string title;
  std::string name;  // on disk, Shift-JIS
};

struct Depot {
  bool loaded = false;
  // The index is there but cannot be read: the depot shows nothing and
  // changes nothing, so that the file stays as it is for the user.
  bool unusable = false;
  uint32_t nextId = 1;
  // In the order added; unique_ptr keeps the titles VPI_DD_GetTitle hands
  // out in place while others are added.
  std::vector<std::unique_ptr<Entry>> entries;
};

Depot& depot() {
  (void)home();  // built first, destroyed last
  static Depot d;
  return d;
}

Entry* findEntry(uint32_t id) {
  if (id == 0) return nullptr;
  for (auto& e : depot().entries) {
    if (e->id == id) return e.get();
  }
  return nullptr;
}

bool safeComponent(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (isPathLeadByte(c)) {
      if (i + 1 >= name.size()) return false;  // cut inside a character
      if (static_cast<unsigned char>(name[i + 1]) < 0x40) return false;
      ++i;
      continue;
    }
    if (c < 0x20 || c == 0x7F || std::strchr("\\/:<>\"|?*", c) != nullptr) {
      return false;
    }
  }
  // Windows makes a device of CON, NUL, COM1 and their kin in every folder
  // (with any extension), and drops a trailing dot or blank.
  return !isReservedWindowsName(name.c_str());
}

bool sameNameOnDisk(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (isPathLeadByte(x) && i + 1 < a.size()) {
      // Two-byte characters compare exactly.
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string rootModulePath() {
  std::error_code ec;
  fs::path root = fs::absolute(fs::path(depotRoot()), ec);
  if (ec) return std::string();
  std::string path = modulePath(root.lexically_normal().u8string());
  // '/' (0x2F) is never the second byte of a Shift-JIS character.
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

// The module path of a folder (0: the root) or item; empty when an
// ancestor is unknown.
std::string entryModulePath(uint32_t id) {
  if (id == 0) return rootModulePath();
  std::vector<const Entry*> chain;
  for (const Entry* e = findEntry(id); e != nullptr;
       e = e->parent == 0 ? nullptr : findEntry(e->parent)) {
    chain.push_back(e);
    if (chain.size() > depot().entries.size()) return std::string();
  }
  if (chain.empty() || chain.back()->parent != 0) return std::string();
  std::string path = rootModulePath();
  if (path.empty()) return path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path += '\\';
    path += (*it)->name;
  }
  return path;
}

// Whether a module path lies under the root (which the checks on names make
// certain; asked all the same before anything is made or deleted).
bool underRoot(const std::string& module) {
  std::string root = rootModulePath();
  return !root.empty() && module.size() > root.size() + 1 &&
         module.compare(0, root.size(), root) == 0 &&
         module[root.size()] == '\\';
}

// Makes the folder at a module path when missing; false when there is no
// folder there afterwards, or a link stands there (a depot folder that is a
// link would put the depot's files outside the home).
bool makeFolderAt(const std::string& path) {
  if (isSymbolicLink(path.c_str())) return false;
  if (fileKind(path.c_str()) == FileKind::kMissing) {
    createDirectory(path.c_str());
  }
  return fileKind(path.c_str()) == FileKind::kDirectory;
}

// Makes the directory of folder id (0: the root) and those above it where
// missing (a folder deleted on disk comes back), through the platform layer,
// so that a home in an in-memory tree keeps its depot there too.
bool makeFolder(uint32_t id) {
  if (id == 0) {
    createFolders(depotRoot());
    return makeFolderAt(rootModulePath());
  }
  const Entry* e = findEntry(id);
  return e != nullptr && e->folder && makeFolder(e->parent) &&
         makeFolderAt(entryModulePath(id));
}

// Whether the root or a folder on the way to id (id itself when it is a
// folder) is a symbolic link: its path would lead out of the depot.
bool throughLink(uint32_t id) {
  for (const Entry* e = findEntry(id); e != nullptr;
       e = e->parent == 0 ? nullptr : findEntry(e->parent)) {
    if (e->folder && isSymbolicLink(entryModulePath(e->id).c_str())) {
      return true;
    }
  }
  return isSymbolicLink(rootModulePath().c_str());
}

bool fitsModuleBuffer(const std::string& path) {
  return !path.empty() && path.size() < static_cast<size_t>(kVpiPathSize);
}

bool saveIndex() {
  Depot& d = depot();
  // Built as a string, not through a stream: a stream that runs out of
  // memory only sets its badbit, and would hand over a cut index as whole.
  std::string out = std::string(kHeader) + "\nnext " +
                    std::to_string(d.nextId) + "\n";
  for (const auto& e : d.entries) {
    const char kind = e->folder ? (e->removing ? 'f' : 'F')
                                : (e->removing ? 'i' : 'I');
    out += std::to_string(e->id) + '\t' + std::to_string(e->parent) + '\t' +
           kind + '\t' + escapeField(e->title) + '\t' + escapeField(e->name) +
           '\n';
  }
  if (!writeFileAtomically(depotIndexPath(), out)) {
    noteHostFileFailure("cannot write the depot index " + depotIndexPath());
    return false;
  }
  return true;
}

// Writes the index anew; false (told on stderr, remembered for the exit
// code) when it could not be replaced, the old index then as it was.
bool save() {
  try {
    return saveIndex();
  } catch (const std::exception&) {
    noteHostFileFailure("cannot write the depot index: out of memory");
    return false;
  }
}

bool parseId(const std::string& text, uint32_t* id) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
  if (value > 0xFFFFFFFFull) return false;
  *id = static_cast<uint32_t>(value);
  return true;
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// Parses the index into d; false (d partly filled) when it is not one.
bool parseIndex(const std::string& content, Depot& d) {
  // Every line ends in a line feed: a last line without one was cut, and its
  // name may be a cut file name.
  if (content.empty() || content.back() != '\n') return false;
  // Lines split by hand, not by a stream: a stream that runs out of memory
  // only sets its badbit, and the index would read as ending early.
  std::vector<std::string> lines;
  for (size_t start = 0; start < content.size();) {
    size_t end = content.find('\n', start);
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  if (lines.size() < 2 || lines[0] != kHeader) return false;
  if (lines[1].compare(0, 5, "next ") != 0 ||
      !parseId(lines[1].substr(5), &d.nextId) || d.nextId == 0) {
    return false;
  }
  for (size_t n = 2; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    std::vector<std::string> f = splitTabs(line);
    auto e = std::make_unique<Entry>();
    if (f.size() != 5 || !parseId(f[0], &e->id) || e->id == 0 ||
        e->id >= d.nextId || !parseId(f[1], &e->parent) ||
        f[2].size() != 1 || std::strchr("FIfi", f[2][0]) == nullptr ||
        !unescapeField(f[3], &e->title) ||
        !unescapeField(f[4], &e->name) || !safeComponent(e->name)) {
      return false;
    }
    e->folder = f[2] == "F" || f[2] == "f";
    e->removing = f[2] == "f" || f[2] == "i";
    if (!e->folder && isReservedWindowsName(e->title.c_str())) return false;
    auto find = [&d](uint32_t id) -> const Entry* {
      for (const auto& other : d.entries) {
        if (other->id == id) return other.get();
      }
      return nullptr;
    };
    if (find(e->id) != nullptr) return false;
    if (e->parent != 0) {
      const Entry* parent = find(e->parent);
      if (parent == nullptr || !parent->folder) return false;
    }
    for (const auto& other : d.entries) {
      if (other->parent == e->parent && sameNameOnDisk(other->name, e->name)) {
        return false;
      }
    }
    d.entries.push_back(std::move(e));
  }
  return true;
}

void finishRemovals();

// Reads the index once. Out of memory on the way leaves the depot unread
// (the next call tries again), never read in part.
Depot& loaded() {
  Depot& d = depot();
  if (d.loaded) return d;
  std::string content;
  std::string problem;
  HostFileRead read = readHostFile(depotIndexPath(), &content, &problem);
  Depot parsed;
  const bool good = read == HostFileRead::kRead && parseIndex(content, parsed);
  d.loaded = true;
  if (read == HostFileRead::kMissing) return d;  // a new depot
  if (good) {
    d.nextId = parsed.nextId;
    d.entries = std::move(parsed.entries);
    finishRemovals();
    return d;
  }
  d.entries.clear();
  d.nextId = 1;
  d.unusable = true;
  noteHostFileFailure(
      (read == HostFileRead::kRefused
           ? problem
           : "the depot index " + depotIndexPath() + " is damaged") +
      "; the depot is left as it is");
  return d;
}

uint32_t addEntry(uint32_t parent, const char* title, const char* name,
                  bool folder) {
  Depot& d = loaded();
  if (d.unusable || title == nullptr || name == nullptr ||
      !safeComponent(name) || (!folder && isReservedWindowsName(title))) {
    return 0;
  }
  if (parent != 0) {
    const Entry* p = findEntry(parent);
    if (p == nullptr || !p->folder) return 0;
  }
  for (const auto& e : d.entries) {
    if (e->parent == parent && sameNameOnDisk(e->name, name)) {
      return e->folder == folder && e->title == title && e->name == name ? e->id
                                                                         : 0;
    }
  }
  std::string parentPath = entryModulePath(parent);
  if (parentPath.empty()) return 0;
  std::string path = parentPath + '\\' + name;
  if (!fitsModuleBuffer(path)) return 0;
  if (folder && (!underRoot(path) || !makeFolder(parent) ||
                 !makeFolderAt(path))) {
    return 0;
  }
  // Every id given out: the last one is kept as the next, never wrapped to
  // 0, which the index reader refuses.
  if (d.nextId == UINT32_MAX) return 0;
  auto e = std::make_unique<Entry>(Entry{d.nextId, parent, folder, false, title, name});
  ++d.nextId;
  uint32_t id = e->id;
  d.entries.push_back(std::move(e));
  if (!save()) {
    // Not in the index on disk: not added (a folder made stays, empty).
    d.entries.pop_back();
    --d.nextId;
    return 0;
  }
  return id;
}


// Deletes the file or folder at path (entry id's), never following a link
// (a link is deleted itself; a folder where an item's file should be is
// left, as no file of the item's). True when nothing of it is left.
bool deleteOnDisk(const std::string& path, bool folder) {
  if (!underRoot(path)) return true;
  const bool link = isSymbolicLink(path.c_str());
  const FileKind kind = fileKind(path.c_str());
  if (!folder && !link && kind == FileKind::kDirectory) return true;
  if (folder && !link) {
    if (kind == FileKind::kDirectory) deleteFolderTree(path.c_str());
  } else {
    deleteFile(path.c_str());
  }
  return fileKind(path.c_str()) == FileKind::kMissing &&
         !isSymbolicLink(path.c_str());
}

// The entries of id and everything below it.
std::vector<uint32_t> subtree(uint32_t id) {
  std::vector<uint32_t> gone = {id};
  for (size_t i = 0; i < gone.size(); ++i) {
    for (const auto& e : depot().entries) {
      if (e->parent == gone[i]) gone.push_back(e->id);
    }
  }
  return gone;
}

// Takes the entries out; allocates nothing, so it cannot fail half-way.
void forget(const std::vector<uint32_t>& gone) {
  auto& entries = depot().entries;
  for (uint32_t g : gone) {
    for (auto it = entries.begin(); it != entries.end(); ++it) {
      if ((*it)->id == g) {
        entries.erase(it);
        break;
      }
    }
  }
}

// A removal in three steps, each one whole on the disk: the index marks the
// entry as being removed, its file (or folder) is deleted, the index drops
// it. Interrupted anywhere, the next start sees either the entry with its
// whole file or the mark, and finishes the removal (finishRemovals): never
// an item without its file, never a file left that no item names. A file
// that cannot be deleted (a read-only folder, a file held open) unmarks the
// entry and the removal is refused.
int32_t removeEntry(uint32_t id, bool folder) {
  Depot& d = loaded();
  Entry* e = findEntry(id);
  if (d.unusable || e == nullptr || e->folder != folder) return 0;
  const std::vector<uint32_t> gone = subtree(id);
  const std::string path = entryModulePath(id);
  e->removing = true;
  if (!save()) {
    e->removing = false;
    return 0;
  }
  // From here the removal stands: the index holds the mark, and the next
  // start finishes what this run could not (out of memory on the way).
  bool deleted = true;
  try {
    deleted = deleteOnDisk(path, folder);
  } catch (const std::exception&) {
  }
  if (!deleted) {
    e->removing = false;
    if (save()) {
      noteHostFileFailure("cannot delete " + path + "; its depot entry is kept");
    }
    return 0;
  }
  forget(gone);
  // Not written: the mark stays in the index, and the next start drops the
  // entry whose file is gone. The removal itself is done.
  save();
  return 1;
}

// At the start: the removals a crash interrupted are finished; one whose
// file still cannot be deleted is kept as an entry with its file.
void finishRemovals() {
  std::vector<uint32_t> marked;
  for (const auto& e : depot().entries) {
    if (e->removing) marked.push_back(e->id);
  }
  if (marked.empty()) return;
  for (uint32_t id : marked) {
    Entry* e = findEntry(id);
    if (e == nullptr) continue;  // below a folder removed already
    if (deleteOnDisk(entryModulePath(id), e->folder)) {
      forget(subtree(id));
    } else {
      e->removing = false;
    }
  }
  save();
}

}  // namespace

std::string depotRoot() { return homeFile("depot"); }
std::string depotIndexPath() { return homeFile("depot.idx"); }

bool depotIndexReadable(std::string* problem) {
  std::string content;
  Depot scratch;
  HostFileRead read = readHostFile(depotIndexPath(), &content, problem);
  if (read == HostFileRead::kMissing) return true;
  if (read == HostFileRead::kRefused) {
    *problem = "the depot index: " + *problem;
    return false;
  }
  bool ok = parseIndex(content, scratch);
  if (!ok) *problem = "the depot index " + depotIndexPath() + " is damaged";
  return ok;
}

void resetDepot() {
  Depot& d = depot();
  d.loaded = false;
  d.unusable = false;
  d.nextId = 1;
  d.entries.clear();
}

}  // namespace standin

// No exception leaves a host function: out of memory (the only exception
// the depot's own code can meet) gives the call's failure result.

extern "C" {

uint32_t VPI_DD_GetID(uint32_t parent, const char* title) {
  return guardHostCall(0, [&]() -> uint32_t {
    standin::Depot& d = standin::loaded();
    if (title == nullptr) return 0;
    for (const auto& e : d.entries) {
      if (e->parent == parent && e->title == title) return e->id;
    }
    return 0;
  });
}

uint32_t VPI_DD_AddFolder(uint32_t parent, const char* title,
                          const char* folder) {
  return guardHostCall(0, [&]() -> uint32_t {
    return standin::addEntry(parent, title, folder, true);
  });
}

uint32_t VPI_DD_AddItem(uint32_t parent, const char* title, const char* file) {
  return guardHostCall(0, [&]() -> uint32_t {
    return standin::addEntry(parent, title, file, false);
  });
}

int32_t VPI_DD_GetPath(uint32_t id, char* buffer) {
  if (buffer == nullptr) return 0;
  buffer[0] = '\0';
  return guardHostCall(0, [&]() -> int32_t {
    standin::loaded();
    if (standin::findEntry(id) == nullptr || standin::throughLink(id)) {
      return 0;
    }
    std::string path = standin::entryModulePath(id);
    if (!standin::fitsModuleBuffer(path)) return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return 1;
  });
}

const char* VPI_DD_GetTitle(uint32_t id) {
  return guardHostCall("", [&]() -> const char* {
    standin::loaded();
    const standin::Entry* e = standin::findEntry(id);
    return e != nullptr ? e->title.c_str() : "";
  });
}

uint32_t VPI_DD_EnumFirstID(uint32_t folder) {
  return guardHostCall(0, [&]() -> uint32_t {
    for (const auto& e : standin::loaded().entries) {
      if (e->parent == folder) return e->id;
    }
    return 0;
  });
}

uint32_t VPI_DD_EnumNextID(uint32_t folder, uint32_t id) {
  return guardHostCall(0, [&]() -> uint32_t {
    bool seen = false;
    for (const auto& e : standin::loaded().entries) {
      if (e->parent != folder) continue;
      if (seen) return e->id;
      seen = e->id == id;
    }
    return 0;
  });
}

int32_t VPI_DD_RemoveItem(uint32_t id) {
  return guardHostCall(0, [&]() -> int32_t {
    return standin::removeEntry(id, false);
  });
}

int32_t VPI_DD_RemoveFolder(uint32_t id) {
  return guardHostCall(0, [&]() -> int32_t {
    return standin::removeEntry(id, true);
  });
}

}  // extern "C"
