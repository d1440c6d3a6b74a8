// Shift-JIS conversions through the system's code page 932 tables.

#include "platform/Sjis.h"

#include <windows.h>

namespace {

constexpr UINT kShiftJis = 932;

// Appends the UTF-8 form of UTF-16 text.
void appendUtf8(const wchar_t* wide, int count, std::string& out) {
  if (count <= 0) return;
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, count, nullptr, 0,
                                  nullptr, nullptr);
  if (bytes <= 0) return;
  size_t at = out.size();
  out.resize(at + static_cast<size_t>(bytes));
  WideCharToMultiByte(CP_UTF8, 0, wide, count, &out[at], bytes, nullptr,
                      nullptr);
}

// Converts bytes in a code page strictly to UTF-16; empty on any invalid
// sequence.
std::wstring toWideStrict(UINT codePage, const char* text, int count) {
  int chars = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, count,
                                  nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, count, &wide[0],
                      chars);
  return wide;
}

}  // namespace

std::string sjisToUtf8(const std::string& sjis) {
  std::string out;
  if (sjis.empty()) return out;
  if (sjis.size() < 0x7fffffff) {
    std::wstring wide =
        toWideStrict(kShiftJis, sjis.data(), static_cast<int>(sjis.size()));
    if (!wide.empty()) {
      appendUtf8(wide.data(), static_cast<int>(wide.size()), out);
      return out;
    }
  }
  // Some bytes are not Shift-JIS: convert character by character, and let
  // each byte that starts no valid character become U+FFFD, as the native
  // backend does. The system's own replacement would differ between
  // versions.
  size_t i = 0;
  while (i < sjis.size()) {
    unsigned char lead = static_cast<unsigned char>(sjis[i]);
    int length =
        IsDBCSLeadByteEx(kShiftJis, lead) && i + 1 < sjis.size() ? 2 : 1;
    std::wstring wide = toWideStrict(kShiftJis, &sjis[i], length);
    if (wide.empty()) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    appendUtf8(wide.data(), static_cast<int>(wide.size()), out);
    i += static_cast<size_t>(length);
  }
  return out;
}

std::string utf8ToSjis(const std::string& utf8) {
  std::string out;
  if (utf8.empty() || utf8.size() >= 0x7fffffff) return out;
  // Invalid UTF-8 becomes U+FFFD here, which has no Shift-JIS form and so
  // comes out as '?', like any other character without one.
  int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                  static_cast<int>(utf8.size()), nullptr, 0);
  if (chars <= 0) return out;
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                      &wide[0], chars);
  // No best-fit mapping: a character without a Shift-JIS form must not turn
  // into a look-alike (a path would name a different file).
  int bytes = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(),
                                  chars, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return out;
  out.resize(static_cast<size_t>(bytes));
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), chars,
                      &out[0], bytes, "?", nullptr);
  return out;
}
