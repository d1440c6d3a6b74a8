#include "base/PathHelpers.h"

#include "platform/SjisLeadByte.h"

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

bool isReservedWindowsName(const char* name) {
  const size_t size = std::strlen(name);
  if (size == 0 || name[size - 1] == '.' || name[size - 1] == ' ') return true;
  // The device part: up to the first dot, blanks before it dropped, as
  // Windows itself reads "CON .txt".
  size_t base = 0;
  while (base < size && name[base] != '.') ++base;
  while (base > 0 && name[base - 1] == ' ') --base;
  auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  auto is = [&](const char* word) {
    for (size_t i = 0; i < base; ++i) {
      if (word[i] == '\0' || upper(name[i]) != word[i]) return false;
    }
    return word[base] == '\0';
  };
  if (is("CON") || is("PRN") || is("AUX") || is("NUL")) return true;
  if (base == 4 && name[3] >= '1' && name[3] <= '9') {
    const char prefix[4] = {upper(name[0]), upper(name[1]), upper(name[2]), 0};
    if (std::strcmp(prefix, "COM") == 0 || std::strcmp(prefix, "LPT") == 0) {
      return true;
    }
  }
  return false;
}
