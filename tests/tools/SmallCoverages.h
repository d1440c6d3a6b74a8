// Small E00 inputs for the host programs' tests.

#ifndef MORVANE_TESTS_TOOLS_SMALLCOVERAGES_H_
#define MORVANE_TESTS_TOOLS_SMALLCOVERAGES_H_

#include <cstdio>
#include <string>

namespace host_test {

inline std::string e00Line(const char* format, double a, double b) {
  char line[64];
  std::snprintf(line, sizeof line, format, a, b);
  return line;
}

// Two arcs of three and two vertices around Tokyo: 7 points with the
// separators, a cache file of 28 + 7 x 8 = 84 bytes.
inline std::string smallArcs() {
  std::string t = "EXP  0 /SMALL.E00\nARC  2\n";
  t += "         1         1         1         2         0         0         3\n";
  t += e00Line("%14.7E%14.7E", 139.7, 35.6) + e00Line("%14.7E%14.7E", 139.8, 35.7) + "\n";
  t += e00Line("%14.7E%14.7E", 139.9, 35.8) + "\n";
  t += "         2         2         1         2         0         0         2\n";
  t += e00Line("%14.7E%14.7E", 140.0, 35.5) + e00Line("%14.7E%14.7E", 140.1, 35.4) + "\n";
  t += "        -1         0         0         0         0         0         0\n";
  t += "EOS\n";
  return t;
}

// Three labelled points with their names (東京, 横浜市, 千葉).
inline std::string smallNames() {
  const char* names[] = {"\x93\x8C\x8B\x9E", "\x89\xA1\x95\x6C\x8E\x73",
                         "\x90\xE7\x97\x74"};
  std::string t = "EXP  0 /NAMES.E00\nLAB  2\n";
  char line[160];
  for (int i = 1; i <= 3; ++i) {
    std::snprintf(line, sizeof line, "%10d%10d%14.7E%14.7E\n", i, i,
                  139.0 + i * 0.1, 35.0 + i * 0.1);
    t += line;
    std::snprintf(line, sizeof line, "%14.7E%14.7E%14.7E%14.7E\n", 0.0, 0.0,
                  0.0, 0.0);
    t += line;
  }
  std::snprintf(line, sizeof line, "%10d%10d%14.7E%14.7E\n", -1, 0, 0.0, 0.0);
  t += line;
  t += "CITIES.PAT                      XX   5   5  62         3\n";
  t += "AREA              4-1   14-1  12 3 60-1  -1  -1-1                   1-\n";
  t += "CITIES#           4-1   94-1   5-1 50-1  -1  -1-1                   2-\n";
  t += "NAME             40-1  194-1  40-1 20-1  -1  -1-1                   3-\n";
  for (int i = 1; i <= 3; ++i) {
    std::string name = names[i - 1];
    name.resize(40, ' ');
    std::snprintf(line, sizeof line, "%14.7E%14.7E%11d%11dJP", 0.0, 0.0, i, i);
    std::string r = line + name + "          7";
    t += r.substr(0, 80) + "\n" + r.substr(80) + "\n";
  }
  t += "EOS\n";
  return t;
}

}  // namespace host_test

#endif  // MORVANE_TESTS_TOOLS_SMALLCOVERAGES_H_
