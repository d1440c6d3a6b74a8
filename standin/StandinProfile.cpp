#include "standin/StandinProfile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <utility>

#include "host/PluginIf.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"

namespace standin {
namespace {

constexpr char kHeader[] = "#morvane-profile 1";

struct Profile {
  bool loaded = false;
  std::map<std::pair<uint32_t, std::string>, int32_t> values;
};

Profile& profile() {
  (void)home();
  static Profile p;
  return p;
}

bool parseInteger(const std::string& text, long long low, long long high,
                  long long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && end == text.c_str() + text.size() && *value >= low &&
         *value <= high && text[0] != ' ' && text[0] != '+';
}

bool parse(const std::string& content, Profile& p) {
  std::istringstream in(content);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  while (std::getline(in, line)) {
    size_t tab1 = line.find('\t');
    size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) return false;
    long long plugin = 0;
    long long value = 0;
    std::string key;
    if (!parseInteger(line.substr(0, tab1), 0, 0xFFFFFFFFll, &plugin) ||
        !unescapeField(line.substr(tab1 + 1, tab2 - tab1 - 1), &key) ||
        !parseInteger(line.substr(tab2 + 1), INT32_MIN, INT32_MAX, &value)) {
      return false;
    }
    p.values[{static_cast<uint32_t>(plugin), key}] = static_cast<int32_t>(value);
  }
  return true;
}

Profile& loaded() {
  Profile& p = profile();
  if (p.loaded) return p;
  p.loaded = true;
  std::string content;
  if (!readWholeFile(profilePath(), &content)) return p;
  if (!parse(content, p)) {
    p.values.clear();
    std::string aside = setAsideUnreadable(profilePath());
    std::fprintf(stderr,
                 "morvane-host: the profile %s cannot be read; kept as %s, "
                 "the defaults apply\n",
                 profilePath().c_str(), aside.empty() ? "it is" : aside.c_str());
  }
  return p;
}

}  // namespace

std::string profilePath() {
  return (std::filesystem::path(home()) / "profile.tsv").string();
}

bool profileReadable(std::string* problem) {
  std::error_code ec;
  if (!std::filesystem::exists(profilePath(), ec)) return true;
  std::string content;
  Profile scratch;
  if (!readWholeFile(profilePath(), &content)) {
    *problem = "the profile " + profilePath() + " cannot be read";
    return false;
  }
  if (!parse(content, scratch)) {
    *problem = "the profile " + profilePath() + " is damaged";
    return false;
  }
  return true;
}

void resetProfile() {
  Profile& p = profile();
  p.loaded = false;
  p.values.clear();
}

}  // namespace standin

extern "C" {

int32_t VPI_GetProfileInt(uint32_t plugin, const char* key, int32_t def) {
  standin::Profile& p = standin::loaded();
  if (key == nullptr) return def;
  auto it = p.values.find({plugin, key});
  return it != p.values.end() ? it->second : def;
}

int32_t VPI_WriteProfileInt(uint32_t plugin, const char* key, int32_t value) {
  standin::Profile& p = standin::loaded();
  if (key == nullptr) return 0;
  p.values[{plugin, key}] = value;
  std::ostringstream out;
  out << standin::kHeader << '\n';
  for (const auto& v : p.values) {
    out << v.first.first << '\t' << standin::escapeField(v.first.second) << '\t'
        << v.second << '\n';
  }
  if (!standin::writeFileAtomically(standin::profilePath(), out.str())) {
    std::fprintf(stderr, "morvane-host: cannot write the profile %s\n",
                 standin::profilePath().c_str());
    return 0;
  }
  return 1;
}

}  // extern "C"
