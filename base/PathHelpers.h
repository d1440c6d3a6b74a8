// The three helpers with which the module builds every file name: the cache
// files, the reopen list, the directory test and the data set names.
//
// Paths are zero-terminated Shift-JIS texts with backslash (0x5C) separators,
// held in buffers of kVpiPathSize (260) bytes: at most 259 bytes and the
// terminating zero. A byte isPathLeadByte takes (platform/SjisLeadByte.h:
// 0x80-0x9F, 0xE0-0xFF) starts a two-byte character; its second byte is
// never a separator, even when it is 0x5C (the character 0x95 0x5C, for
// one). Forward slashes are not separators.

#ifndef MORVANE_BASE_PATHHELPERS_H_
#define MORVANE_BASE_PATHHELPERS_H_

#include "host/PluginIf.h"

// True when the last character of path is a single-byte backslash. An empty
// path gives false.
bool endsWithBackslash(const char* path);

// Appends name to the path held in buffer (kVpiPathSize bytes), with exactly
// one backslash between them: a backslash is added unless path already ends
// with one, and a leading backslash of name is dropped. An empty path becomes
// "\" + name.
//
// Returns false, leaving buffer untouched, when the result would not fit in
// kVpiPathSize bytes with its terminating zero (or buffer holds no
// terminating zero within them). Nothing is ever cut short.
bool appendPathComponent(char* buffer, const char* name);

// The file-name part of path: what follows the last single-byte backslash;
// without one, what follows the last colon; without either, the whole path.
// Points into path.
const char* splitFileName(const char* path);

// True when name cannot be a file of its own in a Windows folder: empty, only
// dots and blanks, ending in a dot or a blank (Windows drops those, so the
// file would be another one), or a device name that Windows reserves in every
// folder (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any letter case, alone
// or before an extension, "nul.bin" and "Com1 .txt" included), where a write
// would reach the device instead of a file. Neither trail bytes of Shift-JIS
// (0x40 and up) nor lead bytes can be taken for a dot or a blank.
bool isReservedWindowsName(const char* name);

#endif  // MORVANE_BASE_PATHHELPERS_H_
