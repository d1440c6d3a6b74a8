// Small file helpers the stand-in host keeps its own files with (depot
// index, profile values): whole-file reads, writes that replace a file only
// once the new content is complete, and escaping of Shift-JIS texts into
// tab-separated lines.
//
// The host's own files go through the platform layer (platform/FileSystem.h,
// platform/ReplacingFile.h) by their module paths, so that a home inside a
// mounted in-memory tree never reaches the disk: with a MemoryFileSystem
// mounted at "Z:\\mem\\", the home "/mem/home" lives in memory, crash
// simulation included. A host file must be a regular file: a folder, FIFO,
// device or symbolic link in its place is refused, never opened, waited on
// or written through.

#ifndef MORVANE_STANDIN_STANDINFILES_H_
#define MORVANE_STANDIN_STANDINFILES_H_

#include <filesystem>
#include <string>

namespace standin {

// The file-system path of a module path (Shift-JIS, backslashes), naming
// the same file the module's own file functions open. Empty when the path
// cannot be mapped.
std::filesystem::path fileSystemPath(const std::string& modulePathText);

// The native path of a file in the home folder: the home, its separator
// ("\\" for a home written as a Windows path, "/" otherwise) and name.
std::string homeFile(const char* name);

// What stands at a host file (native path): empty when it is a regular
// file or nothing, else a sentence naming it and saying what it is ("... is
// a folder, not a file").
std::string hostFileProblem(const std::string& path);

// Reads a host file (native path) whole, refusing what hostFileProblem
// refuses (*problem set). kMissing when nothing is there.
enum class HostFileRead { kRead, kMissing, kRefused };
HostFileRead readHostFile(const std::string& path, std::string* content,
                          std::string* problem);

// Reads the whole file (native path). False when it is missing, refused
// (see readHostFile) or cannot be read.
bool readWholeFile(const std::string& path, std::string* content);

// Replaces path (native) with content through platform/ReplacingFile.h:
// path holds either the old or the new content, never a part, also after a
// crash. Creates the parent folder when missing. False on any failure; the
// temporary file is then removed and path left as it was, byte for byte.
bool writeFileAtomically(const std::string& path, const std::string& content);

// Creates a native folder and the folders above it, through the platform
// layer.
void createFolders(const std::string& nativeFolder);

// The failures to keep the host's own files during a session: each is
// printed once on stderr ("morvane-host: " and the sentence) and remembered
// until the next reset, so that the program exits 1 however the module
// took the failed call.
void noteHostFileFailure(const std::string& sentence);
// The same without allocating, for a failure that is out of memory.
void noteHostFileFailure(const char* sentence) noexcept;
bool hostFilesFailed();
void resetHostFileFailures();

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
