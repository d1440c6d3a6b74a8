// Files and directories as the module sees them. Paths are Windows paths:
// Shift-JIS bytes, backslashes, at most 259 bytes and a terminating zero.
// The Win32 backend hands them to the system as they are; the POSIX backend
// maps them the way Wine maps its drives (Z:\ is the root, Shift-JIS becomes
// UTF-8, backslashes become slashes), so the core builds every path exactly
// as on Windows and never knows the difference.
//
// A test or a fuzzer may mount an in-memory file tree under a path prefix
// (platform/MemoryFileSystem.h); paths under it never reach the disk, on
// either backend.

#ifndef MORVANE_PLATFORM_FILESYSTEM_H_
#define MORVANE_PLATFORM_FILESYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class FileShare {
  kExclusive,  // nobody else may open the file while it is open
  kReadShared, // others may read it, and a program that lets readers in
               // may be writing it (how text-mode readers open files)
};

enum class FileCreation {
  kReplace,  // create the file, or truncate the one that is there
  kNew,      // create the file; fail when anything is there already
};

// What a path names, found without opening it (so nothing blocks: a FIFO is
// not opened to be recognised).
enum class FileKind {
  kMissing,     // nothing there
  kFile,        // a regular file
  kDirectory,
  kFifo,        // a named pipe
  kDevice,      // a character or block device
  kOther,       // a socket, or a name that cannot be examined
  kUnusable,    // the path itself: too long, empty, or without a native form
};

class PlatformFile {
 public:
  virtual ~PlatformFile() = default;  // closes the file if still open

  // Length of the file in bytes, as stored.
  virtual int64_t length() = 0;
  // Reads up to bytes; returns the number read, 0 at the end, -1 on error.
  virtual int64_t read(void* buffer, int64_t bytes) = 0;
  // Writes all bytes; false when they could not all be written.
  virtual bool write(const void* buffer, int64_t bytes) = 0;
  // Makes what was written so far durable: on the disk itself, not only in
  // the system's cache, so that a power loss after it keeps these bytes
  // (fsync natively, FlushFileBuffers on Windows). False when the system
  // could not. A file that lives nowhere (a test's fake) has nothing to do.
  virtual bool flush() { return true; }
  // Closes the file; false when the system reported a failure (for a file
  // being written: the data may not all have reached the disk).
  virtual bool close() = 0;
};

// Opens an existing file for reading; null when it cannot be opened
// (missing, not a regular file, or held open exclusively elsewhere).
std::unique_ptr<PlatformFile> openFileForReading(const char* path,
                                                 FileShare share);

// Creates (or, with kReplace, truncates) a file for writing, exclusive
// access; null on failure, and a file held open elsewhere is left as it is.
// A symbolic link (or another reparse point) at path is never followed:
// with kNew it is a name already taken, with kReplace it is refused, and
// whatever it points to stays as it is.
std::unique_ptr<PlatformFile> openFileForWriting(
    const char* path, FileCreation creation = FileCreation::kReplace);

// What path names, following a symbolic link to what it points to.
FileKind fileKind(const char* path);

// The size and last-write time of a file as the system reports them, to
// tell later whether a file is still the one that was read or written.
// modified is in the system's own unit (nanoseconds natively, 100 ns on
// Windows, a write counter in a memory tree): stamps are compared, never
// read as dates.
struct FileStamp {
  int64_t size;
  int64_t modified;
};

// The stamp of the regular file at path, the name itself examined: false for
// a missing file, a directory, FIFO or device, and for a symbolic link
// (natively) or a reparse point (Windows) whatever it leads to. Nothing is
// opened, so nothing waits.
bool fileStamp(const char* path, FileStamp* stamp);

// True when the last component of path is a symbolic link or another
// reparse point (a junction on Windows), whether or not it points anywhere.
// Whoever must not write through a link asks this first: fileKind() looks
// through it.
bool isSymbolicLink(const char* path);

// Renames the file from to the name to, replacing a file there in one step:
// whoever opens to sees the old file or the new one, never neither. A
// symbolic link at to is itself replaced; what it points to is untouched.
// The rename reaches the disk before the call returns (the folder is
// flushed natively, MOVEFILE_WRITE_THROUGH on Windows). False, with both
// names as they were, when it cannot be done (to is a directory, a FIFO or
// a device, or held open elsewhere, the two are on different volumes, ...).
bool renameFile(const char* from, const char* to);

// The line end of a text file written in text mode: "\r\n" on Windows,
// "\n" elsewhere.
const char* textLineEnd();

// Creates one directory level; false if it could not be made (an existing
// directory also gives false).
bool createDirectory(const char* path);

// Deletes a file (a symbolic link itself, never what it points to); false
// when nothing was deleted.
bool deleteFile(const char* path);

// Deletes a folder with everything in it, never following a link inside it
// (a link is deleted itself). True when nothing is left at path; false,
// with what could not be deleted still there, otherwise.
bool deleteFolderTree(const char* path);

// The names (module form: Shift-JIS) of the entries of a folder, "." and
// ".." left out, in no particular order; empty when it cannot be read. A
// name without a Shift-JIS form is left out (no module path can reach it).
std::vector<std::string> folderEntries(const char* folder);

// True when at least one directory entry matches the pattern (a directory
// followed by "\*.*" finds the directory's "." entry even when empty).
bool findFirstFile(const char* pattern);

// The file-system path the backend uses for a module path (native only;
// the Win32 backend returns the path unchanged). Empty when it cannot be
// mapped.
std::string hostPath(const char* path);

// The module path for a native path (UTF-8): "/a/b" becomes "Z:\a\b" in
// Shift-JIS (empty when a character has no Shift-JIS form). On Windows a
// path with a drive letter stays as it is, and "/a/b" is a Linux path seen
// through Wine's drive Z:.
std::string modulePath(const std::string& nativePath);

#endif  // MORVANE_PLATFORM_FILESYSTEM_H_
