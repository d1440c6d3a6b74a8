#include "standin/StandinNameDb.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"

namespace standin {
namespace {

constexpr char kHeader[] = "#morvane-names 1";

// The names live in memory; names.tsv is never written in place. Names
// added go to a working copy (a ReplacingFile: the saved names, then each
// new line as it comes), which replaces names.tsv when the module is done
// (VPI_RemoveNameDBBlock), at resetNameDb() and at exit. A name is added
// only once its line was written, so the module's count is what the file
// will hold.
struct NameDb {
  bool loaded = false;
  bool open = false;
  // Something is at names.tsv that could not be read as the database (a
  // folder, an unreadable file): it is never replaced.
  bool unusable = false;
  std::vector<NameEntry> entries;
  size_t saved = 0;  // entries that names.tsv holds
  std::unique_ptr<ReplacingFile> working;
  std::string error;
  NameDbCalls calls;
  std::function<bool(int32_t, const tagNAMEDBITEM&)> filter;
  bool newFails = false;
  int32_t outOfMemoryAt = 0;

  ~NameDb() {
    try {
      save();
    } catch (const std::exception&) {
    }
  }

  void fail(const std::string& what) {
    if (error.empty()) error = what;
  }

  // Writes names.tsv anew with every entry; false (entries back to what
  // names.tsv holds) when it could not be done.
  bool save();
  // Starts a working copy holding the header and every entry so far.
  bool startWorking();
};

NameDb& db() {
  // Built after the general host state it reads the home folder from, so it
  // is destroyed (and saved) before that.
  (void)home();
  static NameDb d;
  return d;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void appendEscaped(std::string& out, const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : name) {
    if (c < 0x20 || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
}

bool unescape(const std::string& text, std::string* name) {
  name->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *name += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int hi = hexValue(text[i + 1]);
    int lo = hexValue(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    *name += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

bool parseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

std::string lineOf(const NameEntry& e) {
  std::string line;
  appendEscaped(line, e.name);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "\t%.17g\t%.17g\n", e.latitude,
                e.longitude);
  return line + numbers;
}

std::string dbModulePath() { return modulePath(nameDbPath()); }

bool NameDb::startWorking() {
  const std::string path = dbModulePath();
  FileKind kind = fileKind(path.c_str());
  if ((kind != FileKind::kFile && kind != FileKind::kMissing) ||
      isSymbolicLink(path.c_str())) {
    fail(nameDbPath() + " is not a file");
    return false;
  }
  working.reset(new ReplacingFile(path));
  bool ok = working->opened() &&
            working->write(std::string(kHeader) + "\n");
  for (size_t i = 0; ok && i < entries.size(); ++i) {
    ok = working->write(lineOf(entries[i]));
  }
  if (!ok) {
    working.reset();
    fail("cannot write " + nameDbPath());
  }
  return ok;
}

bool NameDb::save() {
  if (!working && entries.size() == saved) return true;
  try {
    if ((working || startWorking()) && working->commit()) {
      working.reset();
      saved = entries.size();
      return true;
    }
  } catch (const std::exception&) {
    // Out of memory while writing: as any other failure to write.
  }
  working.reset();
  fail("cannot write " + nameDbPath());
  entries.resize(saved);
  return false;
}

// Reads the whole file; false when it is not there or cannot be read.
bool readWhole(const std::string& path, std::string* text) {
  std::unique_ptr<PlatformFile> file =
      openFileForReading(path.c_str(), FileShare::kReadShared);
  if (!file) return false;
  char buffer[65536];
  for (;;) {
    int64_t n = file->read(buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    text->append(buffer, static_cast<size_t>(n));
  }
}

// Reads the database from the home folder; a line that does not parse is
// skipped.
void readDb(NameDb& d) {
  d.loaded = true;
  d.entries.clear();
  d.saved = 0;
  const std::string path = dbModulePath();
  FileKind kind = fileKind(path.c_str());
  std::string text;
  // A link in its place is not the host's file: never read or replaced.
  const bool link = isSymbolicLink(path.c_str());
  if (link) kind = FileKind::kOther;
  d.open = kind == FileKind::kFile && readWhole(path, &text);
  d.unusable = (kind != FileKind::kMissing || link) && !d.open;
  if (!d.open) return;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    size_t tab1 = line.find('\t');
    size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    NameEntry e;
    if (!unescape(line.substr(0, tab1), &e.name) ||
        !parseNumber(line.substr(tab1 + 1, tab2 - tab1 - 1), &e.latitude) ||
        !parseNumber(line.substr(tab2 + 1), &e.longitude)) {
      continue;
    }
    d.entries.push_back(std::move(e));
  }
  d.saved = d.entries.size();
}

// readDb, never throwing: a database that cannot be held in memory is not
// open, and is never replaced.
void load(NameDb& d) {
  try {
    readDb(d);
  } catch (const std::exception&) {
    d.entries.clear();
    d.saved = 0;
    d.open = false;
    d.unusable = true;
  }
}

NameDb& loaded() {
  NameDb& d = db();
  if (!d.loaded) load(d);
  return d;
}

}  // namespace

std::string nameDbPath() {
  return homeFile("names.tsv");
}

const std::vector<NameEntry>& nameEntries() { return loaded().entries; }
bool nameDbOpen() { return loaded().open; }

void setNameItemFilter(
    std::function<bool(int32_t, const tagNAMEDBITEM&)> filter) {
  db().filter = std::move(filter);
}
void setNameDbOutOfMemoryAt(int32_t call) { db().outOfMemoryAt = call; }
void setNewNameDbFails(bool fails) { db().newFails = fails; }
const NameDbCalls& nameDbCalls() { return db().calls; }

bool saveNameDb() { return db().save(); }

std::string nameDbError() {
  NameDb& d = db();
  std::string error = d.error;
  d.error.clear();
  return error;
}

void resetNameDb() {
  NameDb& d = db();
  d.save();
  d.loaded = false;
  d.open = false;
  d.unusable = false;
  d.entries.clear();
  d.saved = 0;
  d.error.clear();
  d.calls = NameDbCalls();
  d.filter = nullptr;
  d.outOfMemoryAt = 0;
  d.newFails = false;
}

}  // namespace standin

extern "C" {

int32_t VPI_IsOpenName(void) {
  standin::NameDb& d = standin::loaded();
  ++d.calls.isOpenName;
  return d.open ? 1 : 0;
}

int32_t VPI_NewNameDB(void) {
  standin::NameDb& d = standin::loaded();
  ++d.calls.newNameDb;
  if (d.newFails) return 0;
  if (d.unusable) {
    d.fail(standin::nameDbPath() + " is there but is no place-name file");
    return 0;
  }
  // A host never lets an exception out into a module; out of memory is a
  // failure like any other.
  try {
    standin::createFolders(standin::home());
    d.working.reset();
    ReplacingFile out(standin::dbModulePath());
    if (!out.write(std::string(standin::kHeader) + "\n") || !out.commit()) {
      d.fail("cannot write " + standin::nameDbPath());
      return 0;
    }
    d.open = true;
    d.entries.clear();
    d.saved = 0;
    return 1;
  } catch (const std::exception&) {
    return 0;
  }
}

int32_t VPI_AddNameDBItem(const tagNAMEDBITEM* item) {
  standin::NameDb& d = standin::loaded();
  int32_t call = ++d.calls.addItem;
  if (!d.open || item == nullptr || item->name == nullptr) return -1;
  // The filter is the test's own code; what it throws is passed on, so that
  // a test can play a host that lets an exception out.
  if (d.filter && !d.filter(call, *item)) return -1;
  try {
    if (call == d.outOfMemoryAt) throw std::bad_alloc();
    standin::NameEntry e{item->name, item->latitude, item->longitude};
    const std::string line = standin::lineOf(e);
    // Room for this name before it is written, so that nothing throws once
    // it is; the room doubles, or every name would move all the others.
    if (d.entries.size() == d.entries.capacity()) {
      d.entries.reserve(std::max<size_t>(64, 2 * d.entries.capacity()));
    }
    if (!d.working && !d.startWorking()) return -1;
    if (!d.working->write(line)) {
      // The working copy ends in part of this line; the next name starts a
      // new one from the names kept.
      d.working.reset();
      d.fail("cannot write " + standin::nameDbPath());
      return -1;
    }
    d.entries.push_back(std::move(e));
    return static_cast<int32_t>(d.entries.size() - 1);
  } catch (const std::exception&) {
    // std::bad_alloc: the name cannot be kept.
    return -1;
  }
}

void VPI_RemoveNameDBBlock(int32_t first, int32_t second) {
  standin::NameDb& d = standin::loaded();
  try {
    d.calls.removeBlock.emplace_back(first, second);
    d.save();
  } catch (const std::exception&) {
  }
}

}  // extern "C"
