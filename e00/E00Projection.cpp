#include "e00/E00Projection.h"

#include <cstdio>
#include <cstring>

#include "e00/E00Fields.h"

namespace {

struct Word {
  const char* text = nullptr;
  int32_t size = 0;
};

// The word starting at or after *i, *i moved past it.
Word nextWord(const char* text, int32_t size, int32_t* i) {
  while (*i < size && isE00Space(text[*i])) ++*i;
  Word w{text + *i, 0};
  while (*i < size && !isE00Space(text[*i])) ++*i;
  w.size = static_cast<int32_t>(text + *i - w.text);
  return w;
}

bool sameWord(Word w, const char* keyword) {
  const int32_t n = static_cast<int32_t>(std::strlen(keyword));
  if (w.size != n) return false;
  for (int32_t i = 0; i < n; ++i) {
    char c = w.text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

void keep(Word w, char* out) {
  int32_t n = w.size < E00Projection::kValueSize ? w.size
                                                 : E00Projection::kValueSize;
  for (int32_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(w.text[i]);
    out[i] = c >= 0x21 && c <= 0x7E ? static_cast<char>(c) : '?';
  }
  out[n] = '\0';
}

}  // namespace

bool E00Projection::onLine(const char* text, int32_t size) {
  int32_t i = 0;
  Word first = nextWord(text, size, &i);
  if (!inSection_) {
    // The header is written in upper case, like ARC and LAB.
    if (first.size != 3 || std::memcmp(first.text, "PRJ", 3) != 0) {
      return false;
    }
    inSection_ = true;
    return true;
  }
  if (sameWord(first, "EOP")) {
    inSection_ = false;
    seen_ = true;
    return true;
  }
  // A section that starts without the EOP before it ends this one.
  if ((first.size == 3 && (std::memcmp(first.text, "LAB", 3) == 0 ||
                           std::memcmp(first.text, "ARC", 3) == 0 ||
                           std::memcmp(first.text, "IFO", 3) == 0 ||
                           std::memcmp(first.text, "EOS", 3) == 0))) {
    inSection_ = false;
    seen_ = true;
    return false;
  }
  const bool isProjection = sameWord(first, "PROJECTION");
  const bool isUnits = sameWord(first, "UNITS");
  if (isProjection || isUnits) {
    Word value = nextWord(text, size, &i);
    if (isProjection) {
      if (!sameWord(value, "GEOGRAPHIC")) refuses_ = true;
      if (!seen_ && projection_[0] == '\0') keep(value, projection_);
    } else {
      if (!sameWord(value, "DD")) refuses_ = true;
      if (!seen_ && units_[0] == '\0') keep(value, units_);
    }
  }
  return true;
}

void E00Projection::describe(char* out, size_t size) const {
  if (size == 0) return;
  if (!seen_ && !inSection_) {
    std::snprintf(out, size, "none");
  } else if (projection_[0] != '\0' && units_[0] != '\0') {
    std::snprintf(out, size, "Projection %s; Units %s", projection_, units_);
  } else if (projection_[0] != '\0') {
    std::snprintf(out, size, "Projection %s", projection_);
  } else if (units_[0] != '\0') {
    std::snprintf(out, size, "Units %s", units_);
  } else {
    std::snprintf(out, size, "PRJ without projection or units");
  }
}
