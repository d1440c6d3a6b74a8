#include "base/PathHelpers.h"

#include "base/SjisLeadByte.h"

#include <cstring>

namespace {

// Scans path character by character, skipping the second byte of every
// two-byte character, and returns the last single-byte separator found
// (backslash, or also colon when colons count), or null.
const char* lastSeparator(const char* path, bool colonCounts,
                          const char** lastColon) {
  const char* backslash = nullptr;
  const char* colon = nullptr;
  const char* p = path;
  while (*p != '\0') {
    unsigned char c = static_cast<unsigned char>(*p);
    if (isPathLeadByte(c)) {
      // A lead byte at the very end has no second byte: stop at the zero.
      if (p[1] == '\0') break;
      p += 2;
      continue;
    }
    if (c == '\\') backslash = p;
    if (colonCounts && c == ':') colon = p;
    ++p;
  }
  if (lastColon != nullptr) *lastColon = colon;
  return backslash;
}

}  // namespace

bool endsWithBackslash(const char* path) {
  const char* backslash = lastSeparator(path, false, nullptr);
  return backslash != nullptr && backslash[1] == '\0';
}

bool appendPathComponent(char* buffer, const char* name) {
  const void* end = std::memchr(buffer, '\0', kVpiPathSize);
  if (end == nullptr) return false;
  size_t length = static_cast<size_t>(static_cast<const char*>(end) - buffer);
  bool addBackslash = !endsWithBackslash(buffer);
  if (name[0] == '\\') ++name;
  size_t nameLength = std::strlen(name);
  size_t total = length + (addBackslash ? 1 : 0) + nameLength;
  if (total >= static_cast<size_t>(kVpiPathSize)) return false;
  char* out = buffer + length;
  if (addBackslash) *out++ = '\\';
  std::memcpy(out, name, nameLength + 1);
  return true;
}

const char* splitFileName(const char* path) {
  const char* colon = nullptr;
  const char* backslash = lastSeparator(path, true, &colon);
  if (backslash != nullptr) return backslash + 1;
  if (colon != nullptr) return colon + 1;
  return path;
}
