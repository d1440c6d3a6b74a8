#include "ui/FileDialogFilter.h"

#include "platform/SjisLeadByte.h"

std::string fileDialogFilter(const char* filter) {
  std::string out;
  if (filter != nullptr) {
    for (const char* p = filter; *p != '\0'; ++p) {
      const unsigned char c = static_cast<unsigned char>(*p);
      if (isCodePage932LeadByte(c) && p[1] != '\0') {
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
