#include "standin/StandinNameDb.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "standin/StandinHost.h"

namespace standin {
namespace {

constexpr char kHeader[] = "#morvane-names 1";

struct NameDb {
  bool loaded = false;
  bool open = false;
  std::vector<NameEntry> entries;
  std::string pending;  // lines added but not yet written
  NameDbCalls calls;
  std::function<bool(int32_t, const tagNAMEDBITEM&)> filter;
  bool newFails = false;

  ~NameDb() { flush(); }

  void flush() {
    if (pending.empty()) return;
    std::ofstream out(nameDbPath(), std::ios::binary | std::ios::app);
    out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
    pending.clear();
  }
};

NameDb& db() {
  // Built after the general host state it reads the home folder from, so it
  // is destroyed (and flushed) before that.
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

// Reads the database from the home folder; a line that does not parse is
// skipped.
void load(NameDb& d) {
  d.loaded = true;
  d.entries.clear();
  std::ifstream in(nameDbPath(), std::ios::binary);
  d.open = static_cast<bool>(in);
  if (!d.open) return;
  std::string line;
  while (std::getline(in, line)) {
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
}

NameDb& loaded() {
  NameDb& d = db();
  if (!d.loaded) load(d);
  return d;
}

}  // namespace

std::string nameDbPath() {
  return (std::filesystem::path(home()) / "names.tsv").string();
}

const std::vector<NameEntry>& nameEntries() { return loaded().entries; }
bool nameDbOpen() { return loaded().open; }

void setNameItemFilter(
    std::function<bool(int32_t, const tagNAMEDBITEM&)> filter) {
  db().filter = std::move(filter);
}
void setNewNameDbFails(bool fails) { db().newFails = fails; }
const NameDbCalls& nameDbCalls() { return db().calls; }

void resetNameDb() {
  NameDb& d = db();
  d.flush();
  d.loaded = false;
  d.open = false;
  d.entries.clear();
  d.calls = NameDbCalls();
  d.filter = nullptr;
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
  std::error_code ec;
  std::filesystem::create_directories(standin::home(), ec);
  d.pending.clear();
  std::ofstream out(standin::nameDbPath(), std::ios::binary | std::ios::trunc);
  out << standin::kHeader << '\n';
  out.close();
  if (!out) return 0;
  d.open = true;
  d.entries.clear();
  return 1;
}

int32_t VPI_AddNameDBItem(const tagNAMEDBITEM* item) {
  standin::NameDb& d = standin::loaded();
  int32_t call = ++d.calls.addItem;
  if (!d.open || item == nullptr || item->name == nullptr) return -1;
  if (d.filter && !d.filter(call, *item)) return -1;
  standin::NameEntry e{item->name, item->latitude, item->longitude};
  standin::appendEscaped(d.pending, e.name);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "\t%.17g\t%.17g\n", e.latitude,
                e.longitude);
  d.pending += numbers;
  d.entries.push_back(std::move(e));
  if (d.pending.size() > (1u << 20)) d.flush();
  return static_cast<int32_t>(d.entries.size() - 1);
}

void VPI_RemoveNameDBBlock(int32_t first, int32_t second) {
  standin::NameDb& d = standin::loaded();
  d.calls.removeBlock.emplace_back(first, second);
  d.flush();
}

}  // extern "C"
