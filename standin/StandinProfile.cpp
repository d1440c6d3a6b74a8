#include "standin/StandinProfile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "host/PluginIf.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"

namespace standin {
namespace {

constexpr char kHeader[] = "#morvane-profile 1";

struct Profile {
  bool loaded = false;
  // Something is at profile.tsv that cannot be read: it is never replaced.
  bool unusable = false;
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

// Lines split by hand, not by a stream: a stream that runs out of memory
// only sets its badbit, and the profile would read as ending early. Every
// line ends in a line feed; a last line without one was cut.
bool parse(const std::string& content, Profile& p) {
  if (content.empty() || content.back() != '\n') return false;
  size_t start = content.find('\n');
  if (content.compare(0, start, kHeader) != 0) return false;
  for (++start; start < content.size();) {
    size_t end = content.find('\n', start);
    const std::string line = content.substr(start, end - start);
    start = end + 1;
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
  std::string content;
  std::string problem;
  // Read and parsed aside: out of memory on the way leaves the profile
  // unread (the next call tries again), never read in part.
  HostFileRead read = readHostFile(profilePath(), &content, &problem);
  Profile parsed;
  const bool good = read == HostFileRead::kRead && parse(content, parsed);
  p.loaded = true;
  if (good) p.values = std::move(parsed.values);
  if (read == HostFileRead::kMissing) return p;
  if (read == HostFileRead::kRefused) {
    p.unusable = true;
    noteHostFileFailure(problem + "; the profile is left as it is");
    return p;
  }
  if (!good) {
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
  return homeFile("profile.tsv");
}

bool profileReadable(std::string* problem) {
  std::string content;
  Profile scratch;
  HostFileRead read = readHostFile(profilePath(), &content, problem);
  if (read == HostFileRead::kMissing) return true;
  if (read == HostFileRead::kRefused) {
    *problem = "the profile: " + *problem;
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
  p.unusable = false;
  p.values.clear();
}

}  // namespace standin

extern "C" {

// No exception leaves a host function: out of memory gives the default, or
// a write that did not happen.
int32_t VPI_GetProfileInt(uint32_t plugin, const char* key, int32_t def) {
  try {
    standin::Profile& p = standin::loaded();
    if (key == nullptr) return def;
    auto it = p.values.find({plugin, key});
    return it != p.values.end() ? it->second : def;
  } catch (const std::exception&) {
    return def;
  }
}

int32_t VPI_WriteProfileInt(uint32_t plugin, const char* key, int32_t value) {
  try {
    standin::Profile& p = standin::loaded();
    if (key == nullptr) return 0;
    if (p.unusable) {
      standin::noteHostFileFailure("cannot write the profile " +
                                   standin::profilePath() +
                                   ": something else is there");
      return 0;
    }
    auto it = p.values.find({plugin, key});
    const bool had = it != p.values.end();
    const int32_t before = had ? it->second : 0;
    p.values[{plugin, key}] = value;
    // A string, not a stream: a stream out of memory would end early,
    // silently, and the cut profile be written as whole.
    std::string out = std::string(standin::kHeader) + '\n';
    for (const auto& v : p.values) {
      out += std::to_string(v.first.first) + '\t' +
             standin::escapeField(v.first.second) + '\t' +
             std::to_string(v.second) + '\n';
    }
    if (!standin::writeFileAtomically(standin::profilePath(), out)) {
      // What is held stays what the file holds.
      if (had) {
        p.values[{plugin, key}] = before;
      } else {
        p.values.erase({plugin, key});
      }
      standin::noteHostFileFailure("cannot write the profile " +
                                   standin::profilePath());
      return 0;
    }
    return 1;
  } catch (const std::exception&) {
    standin::noteHostFileFailure("cannot write the profile: out of memory");
    return 0;
  }
}

}  // extern "C"
