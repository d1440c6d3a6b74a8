// What the fuzz targets share: how an input reaches a path-based reader (as
// a file of an in-memory tree, never a file on disk), how an input is cut
// into lines as E00LineReader cuts them, and how a broken invariant stops
// the run.

#ifndef MORVANE_FUZZ_FUZZSUPPORT_H_
#define MORVANE_FUZZ_FUZZSUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/MemoryFileSystem.h"

// Aborts, naming the invariant when given, unless condition holds.
inline void check(bool condition, const char* what = nullptr) {
  if (condition) return;
  if (what != nullptr) std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// Puts the input into the file M:\input.e00 of a tree mounted for the whole
// run (the same tree for every input) and returns that path.
inline const char* memoryInputFile(const uint8_t* data, size_t size) {
  static MemoryFileSystem memory("M:\\");
  static const char kInput[] = "M:\\input.e00";
  memory.putFile(kInput, std::string(reinterpret_cast<const char*>(data), size));
  return kInput;
}

// The next line of [*at, end): up to and including a line break, at most
// 254 characters. False at the end.
inline bool nextLine(const char** at, const char* end, const char** text,
                     int32_t* size) {
  if (*at >= end) return false;
  const char* p = *at;
  while (p < end && p - *at < 254 && *p != '\n') ++p;
  if (p < end && *p == '\n' && p - *at < 254) ++p;
  *text = *at;
  *size = static_cast<int32_t>(p - *at);
  *at = p;
  return true;
}

#endif  // MORVANE_FUZZ_FUZZSUPPORT_H_
