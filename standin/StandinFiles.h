// Small file helpers the stand-in host keeps its own files with (depot
// index, profile values): whole-file reads, writes that replace a file only
// once the new content is complete, and escaping of Shift-JIS texts into
// tab-separated lines.

#ifndef MORVANE_STANDIN_STANDINFILES_H_
#define MORVANE_STANDIN_STANDINFILES_H_

#include <filesystem>
#include <string>

namespace standin {

// The file-system path of a module path (Shift-JIS, backslashes), naming
// the same file the module's own file functions open. Empty when the path
// cannot be mapped.
std::filesystem::path fileSystemPath(const std::string& modulePathText);

// Reads the whole file (native path). False when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string* content);

// Writes content to a temporary file beside path and renames it over path,
// so that path holds either the old or the new content, never a part.
// Creates the parent folder when missing. False on any failure; the
// temporary file is then removed and path left as it was.
bool writeFileAtomically(const std::string& path, const std::string& content);

// Renames a file that could not be understood to "<path>.bad" (or
// "<path>.bad2", ... when that exists), so that it is kept for the user and
// not overwritten. Returns the new name, or empty when the rename failed.
std::string setAsideUnreadable(const std::string& path);

// A text as one tab-separated field: bytes below 0x20, 0x7F and "%" become
// "%" and two upper-case hex digits (none of them is the second byte of a
// Shift-JIS character, so every other byte stays as it is).
std::string escapeField(const std::string& text);
// The reverse; false on a malformed escape.
bool unescapeField(const std::string& field, std::string* text);

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINFILES_H_
