// A file tree held in memory, mounted under a path prefix, with faults on
// demand: a disk that fills at byte k, a read that fails at byte k, a disk
// that loses what is written past byte k and says so only at close.
//
// While a MemoryFileSystem lives, every operation of platform/FileSystem.h
// on a path that begins with its prefix works on the tree instead of the
// disk, on every backend; all other paths reach the system as before. Tests
// use it for failures a real disk gives only with privileges or not at all,
// fuzzers to hand their input to the path-based readers without a file.
//
//   MemoryFileSystem memory("M:\\");
//   memory.putFile("M:\\in.e00", bytes);
//   memory.failWritesAt(100);       // the next files written hold 100 bytes
//   readE00Arcs("M:\\in.e00", ...);
//
// The prefix is a module path ending in a backslash: a drive ("M:\\") or a
// folder ("Z:\\morvane-memory\\", which is the native "/morvane-memory/"
// natively and under Wine alike). The prefix itself is the tree's root
// folder, always there. Names are compared byte for byte, as written;
// separators are backslashes (a Shift-JIS trail byte 0x5C is not one). Sharing
// follows Windows: an exclusive open or a writer keeps everyone out, shared
// readers admit each other. One thread, like the module.
//
// Power loss, for crash tests over whole sessions. Every operation that
// changes the tree is counted: a file opened for writing (created or
// truncated), each write() and flush() call, a rename, a delete and a
// folder made (a folder tree deleted counts one a file or folder in it).
// crashAtOperation(k) makes operation k and everything after
// it fail (opens give null, writes and flushes false, renames false), as
// if the machine stopped just before it; applyCrash() then turns the tree
// into what the disk holds when it starts again, and lifts the crash:
//
// - a file holds what it held at its last flush(): bytes written after it
//   are lost, a file created or truncated and never flushed is empty;
// - renames, deletes, folders made and files created that completed are
//   kept, in the order they were done; a file renamed over another before
//   its content was flushed comes back with the content it had flushed (the
//   strict model: the rename reached the disk, the data did not, as on a
//   file system that orders neither);
// - every file still open is closed, and what it writes later goes
//   nowhere.
//
//   MemoryFileSystem memory("M:\");
//   runSession();                              // counts N operations
//   for (k = 1..N) { fresh tree; memory.crashAtOperation(k); runSession();
//                    memory.applyCrash(); startAgainAndCheck(); }
//
// The tree also holds symbolic links (putLink) for tests of code that must
// never write through one: fileKind follows a link to a name in the same
// tree, isSymbolicLink sees the link itself, a write open never follows it,
// a rename replaces it.

#ifndef MORVANE_PLATFORM_MEMORYFILESYSTEM_H_
#define MORVANE_PLATFORM_MEMORYFILESYSTEM_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

class MemoryFileSystem {
 public:
  // Mounts an empty tree under prefix. Trees may not overlap.
  explicit MemoryFileSystem(const std::string& prefix);
  // Unmounts; files still open keep their bytes until closed.
  ~MemoryFileSystem();
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  const std::string& prefix() const { return prefix_; }

  // The tree, for tests to fill and look at. putFile creates the file's
  // folders; fileBytes is false when path is no file.
  void putFile(const std::string& path, const std::string& bytes);
  bool fileBytes(const std::string& path, std::string* bytes) const;
  void putDirectory(const std::string& path);
  // A symbolic link at path that points to target (a path in this tree, or
  // anything else: a link out of the tree leads nowhere).
  void putLink(const std::string& path, const std::string& target);
  // Every path in the tree (files and folders, not the root), sorted.
  std::vector<std::string> paths() const;

  // Faults, for the files opened after the call; -1 switches one off.
  // A file being written holds at most k bytes: the write that would pass
  // byte k stores what fits and fails, as on a full disk.
  void failWritesAt(int64_t k) { failWritesAt_ = k; }
  // Byte k cannot be read: reads give the bytes before it, then fail (a
  // file of k bytes or fewer reads whole).
  void failReadsAt(int64_t k) { failReadsAt_ = k; }
  // Writes past byte k are reported done but lost; close() then fails, as a
  // disk that reports a failed write only at close.
  void shortWritesAt(int64_t k) { shortWritesAt_ = k; }

  // Power loss (see above). operationCount() is the number of operations
  // counted since the tree was mounted; crashAtOperation(k) with k at most
  // that number crashes at once, -1 never. flushCount() counts successful
  // flush() calls.
  int64_t operationCount() const;
  int64_t flushCount() const;
  void crashAtOperation(int64_t k);
  bool crashed() const;
  void applyCrash();

  // The tree that holds path, or null (the common case: nothing mounted,
  // which costs one test).
  static MemoryFileSystem* owning(const char* path);

  // The operations of platform/FileSystem.h, on this tree.
  std::unique_ptr<PlatformFile> openForReading(const char* path,
                                               FileShare share);
  std::unique_ptr<PlatformFile> openForWriting(const char* path,
                                               FileCreation creation);
  FileKind kind(const char* path) const;
  bool stamp(const char* path, FileStamp* stamp) const;
  bool isLink(const char* path) const;
  bool rename(const char* from, const char* to);
  bool makeDirectory(const char* path);
  bool remove(const char* path);
  bool removeTree(const char* path);
  bool findFirst(const char* pattern) const;
  std::vector<std::string> entries(const char* folder) const;

  struct Node;  // a file, folder or link of the tree
  struct Disk;  // the operation counter and crash point, shared with files

 private:
  std::string key(const char* path) const;  // the path inside the tree
  bool parentIsDirectory(const std::string& key) const;
  // The node at key, a link followed to what it names (null: nothing).
  std::shared_ptr<Node> resolve(const std::string& key) const;
  // Counts one operation; false when it falls at or after the crash.
  bool operate();

  std::string prefix_;
  std::map<std::string, std::shared_ptr<Node>> nodes_;
  int64_t failWritesAt_ = -1;
  int64_t failReadsAt_ = -1;
  int64_t shortWritesAt_ = -1;
  std::shared_ptr<Disk> disk_;
  MemoryFileSystem* next_ = nullptr;  // the other mounted trees
};

#endif  // MORVANE_PLATFORM_MEMORYFILESYSTEM_H_
