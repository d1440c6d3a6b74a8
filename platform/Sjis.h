// Shift-JIS (code page 932) text shown on a UTF-8 terminal or in an SVG file.

#ifndef MORVANE_PLATFORM_SJIS_H_
#define MORVANE_PLATFORM_SJIS_H_

#include <string>

// Converts Shift-JIS bytes to UTF-8. Bytes that are not valid Shift-JIS come
// out as U+FFFD, so the result is always valid UTF-8.
std::string sjisToUtf8(const std::string& sjis);

// Converts UTF-8 to Shift-JIS; characters without a Shift-JIS form become '?'.
std::string utf8ToSjis(const std::string& utf8);

#endif  // MORVANE_PLATFORM_SJIS_H_
