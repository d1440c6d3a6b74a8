#include "platform/Sjis.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Closes the conversion however convert() leaves (out of memory included).
struct Converter {
  iconv_t cd;
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

std::string convert(const char* to, const char* from, const std::string& in,
                    const char* replacement) {
  std::string out;
  Converter converter{iconv_open(to, from)};
  iconv_t cd = converter.cd;
  if (cd == reinterpret_cast<iconv_t>(-1)) return in;
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[256];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // An invalid or incomplete sequence: replace one byte and go on.
      out += replacement;
      ++src;
      --srcLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace

std::string sjisToUtf8(const std::string& sjis) {
  return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD");
}

std::string utf8ToSjis(const std::string& utf8) {
  return convert("CP932", "UTF-8", utf8, "?");
}
