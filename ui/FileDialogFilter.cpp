#include "ui/FileDialogFilter.h"

namespace {

bool isSjisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

std::string fileDialogFilter(const char* filter) {
  std::string out;
  if (filter != nullptr) {
    for (const char* p = filter; *p != '\0'; ++p) {
      const unsigned char c = static_cast<unsigned char>(*p);
      if (isSjisLeadByte(c) && p[1] != '\0') {
        out += *p++;
        out += *p;
      } else {
        out += c == '|' ? '\0' : *p;
      }
    }
  }
  while (out.size() < 2 || out[out.size() - 1] != '\0' ||
         out[out.size() - 2] != '\0') {
    out += '\0';
  }
  return out;
}
