#include "standin/StandinDepot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <system_error>
#include <vector>

#include "host/PluginIf.h"
#include "platform/FileSystem.h"
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
  std::string title;
  std::string name;  // on disk, Shift-JIS
};

struct Depot {
  bool loaded = false;
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

// The wider lead-byte rule of the module's path helpers: a byte from 0x80
// up that could start a two-byte character hides the byte after it.
bool isLeadByte(unsigned char c) { return (c >= 0x80 && c <= 0x9F) || c >= 0xE0; }

bool safeComponent(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (isLeadByte(c)) {
      if (i + 1 >= name.size()) return false;  // cut inside a character
      if (static_cast<unsigned char>(name[i + 1]) < 0x40) return false;
      ++i;
      continue;
    }
    if (c < 0x20 || c == 0x7F || std::strchr("\\/:<>\"|?*", c) != nullptr) {
      return false;
    }
  }
  char last = name.back();
  return last != '.' && last != ' ';
}

bool sameNameOnDisk(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (isLeadByte(x) && i + 1 < a.size()) {
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

// The file-system path for a module path under the root, or empty when it is
// not under the root (which the checks on names make impossible; asked all
// the same before anything is deleted).
fs::path nativeUnderRoot(const std::string& module) {
  std::string root = rootModulePath();
  if (root.empty() || module.size() <= root.size() + 1 ||
      module.compare(0, root.size(), root) != 0 || module[root.size()] != '\\') {
    return fs::path();
  }
  return fileSystemPath(module);
}

bool fitsModuleBuffer(const std::string& path) {
  return !path.empty() && path.size() < static_cast<size_t>(kVpiPathSize);
}

void save() {
  Depot& d = depot();
  std::ostringstream out;
  out << kHeader << '\n' << "next " << d.nextId << '\n';
  for (const auto& e : d.entries) {
    out << e->id << '\t' << e->parent << '\t' << (e->folder ? 'F' : 'I') << '\t'
        << escapeField(e->title) << '\t' << escapeField(e->name) << '\n';
  }
  if (!writeFileAtomically(depotIndexPath(), out.str())) {
    std::fprintf(stderr, "morvane-host: cannot write the depot index %s\n",
                 depotIndexPath().c_str());
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
  std::istringstream in(content);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  if (!std::getline(in, line) || line.compare(0, 5, "next ") != 0 ||
      !parseId(line.substr(5), &d.nextId) || d.nextId == 0) {
    return false;
  }
  while (std::getline(in, line)) {
    std::vector<std::string> f = splitTabs(line);
    auto e = std::make_unique<Entry>();
    if (f.size() != 5 || !parseId(f[0], &e->id) || e->id == 0 ||
        e->id >= d.nextId || !parseId(f[1], &e->parent) ||
        (f[2] != "F" && f[2] != "I") || !unescapeField(f[3], &e->title) ||
        !unescapeField(f[4], &e->name) || !safeComponent(e->name)) {
      return false;
    }
    e->folder = f[2] == "F";
    if (findEntry(e->id) != nullptr) return false;
    if (e->parent != 0) {
      const Entry* parent = findEntry(e->parent);
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

Depot& loaded() {
  Depot& d = depot();
  if (d.loaded) return d;
  d.loaded = true;
  std::string content;
  if (!readWholeFile(depotIndexPath(), &content)) return d;  // a new depot
  if (!parseIndex(content, d)) {
    d.entries.clear();
    d.nextId = 1;
    std::string aside = setAsideUnreadable(depotIndexPath());
    std::fprintf(stderr,
                 "morvane-host: the depot index %s cannot be read; kept as %s, "
                 "the depot starts empty\n",
                 depotIndexPath().c_str(),
                 aside.empty() ? "it is" : aside.c_str());
  }
  return d;
}

uint32_t addEntry(uint32_t parent, const char* title, const char* name,
                  bool folder) {
  Depot& d = loaded();
  if (title == nullptr || name == nullptr || !safeComponent(name)) return 0;
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
  if (folder) {
    fs::path native = nativeUnderRoot(path);
    std::error_code ec;
    if (native.empty()) return 0;
    fs::create_directories(native, ec);
    if (!fs::is_directory(native, ec)) return 0;
  }
  if (d.nextId == 0) return 0;  // every id given out
  auto e = std::make_unique<Entry>(Entry{d.nextId, parent, folder, title, name});
  ++d.nextId;
  uint32_t id = e->id;
  d.entries.push_back(std::move(e));
  save();
  return id;
}

// Forgets id and everything below it.
void forget(uint32_t id) {
  auto& entries = depot().entries;
  std::vector<uint32_t> gone = {id};
  for (size_t i = 0; i < gone.size(); ++i) {
    for (const auto& e : entries) {
      if (e->parent == gone[i]) gone.push_back(e->id);
    }
  }
  for (uint32_t g : gone) {
    for (auto it = entries.begin(); it != entries.end(); ++it) {
      if ((*it)->id == g) {
        entries.erase(it);
        break;
      }
    }
  }
}

int32_t removeEntry(uint32_t id, bool folder) {
  loaded();
  Entry* e = findEntry(id);
  if (e == nullptr || e->folder != folder) return 0;
  fs::path p = nativeUnderRoot(entryModulePath(id));
  if (!p.empty()) {
    std::error_code ec;
    // A symbolic link is removed, never followed.
    if (folder) {
      fs::remove_all(p, ec);
    } else if (!fs::is_directory(fs::symlink_status(p, ec))) {
      fs::remove(p, ec);
    }
  }
  forget(id);
  save();
  return 1;
}

}  // namespace

std::string depotRoot() { return (fs::path(home()) / "depot").string(); }
std::string depotIndexPath() {
  return (fs::path(home()) / "depot.idx").string();
}

void resetDepot() {
  Depot& d = depot();
  d.loaded = false;
  d.nextId = 1;
  d.entries.clear();
}

}  // namespace standin

extern "C" {

uint32_t VPI_DD_GetID(uint32_t parent, const char* title) {
  standin::Depot& d = standin::loaded();
  if (title == nullptr) return 0;
  for (const auto& e : d.entries) {
    if (e->parent == parent && e->title == title) return e->id;
  }
  return 0;
}

uint32_t VPI_DD_AddFolder(uint32_t parent, const char* title,
                          const char* folder) {
  return standin::addEntry(parent, title, folder, true);
}

uint32_t VPI_DD_AddItem(uint32_t parent, const char* title, const char* file) {
  return standin::addEntry(parent, title, file, false);
}

int32_t VPI_DD_GetPath(uint32_t id, char* buffer) {
  standin::loaded();
  if (buffer == nullptr) return 0;
  buffer[0] = '\0';
  if (standin::findEntry(id) == nullptr) return 0;
  std::string path = standin::entryModulePath(id);
  if (!standin::fitsModuleBuffer(path)) return 0;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return 1;
}

const char* VPI_DD_GetTitle(uint32_t id) {
  standin::loaded();
  const standin::Entry* e = standin::findEntry(id);
  return e != nullptr ? e->title.c_str() : "";
}

uint32_t VPI_DD_EnumFirstID(uint32_t folder) {
  for (const auto& e : standin::loaded().entries) {
    if (e->parent == folder) return e->id;
  }
  return 0;
}

uint32_t VPI_DD_EnumNextID(uint32_t folder, uint32_t id) {
  bool seen = false;
  for (const auto& e : standin::loaded().entries) {
    if (e->parent != folder) continue;
    if (seen) return e->id;
    seen = e->id == id;
  }
  return 0;
}

int32_t VPI_DD_RemoveItem(uint32_t id) {
  return standin::removeEntry(id, false);
}

int32_t VPI_DD_RemoveFolder(uint32_t id) {
  return standin::removeEntry(id, true);
}

}  // extern "C"
