// The open-file dialog's filter as the system wants it. The module writes a
// filter as "Text [*.txt]|*.txt|All [*.*]|*.*||"; GetOpenFileNameA takes
// the same list with a zero in place of each "|", ended by two zeros.

#ifndef MORVANE_UI_FILEDIALOGFILTER_H_
#define MORVANE_UI_FILEDIALOGFILTER_H_

#include <string>

// The filter with every "|" that is a character of its own turned into a
// zero: the second byte of a Shift-JIS character may be 0x7C ("ポ" is
// 0x83 0x7C) and stays. The result (its size, not counting the zero
// std::string adds) ends with two zeros whatever the input ends with, so
// that the list is always terminated; null reads as empty.
std::string fileDialogFilter(const char* filter);

#endif  // MORVANE_UI_FILEDIALOGFILTER_H_
