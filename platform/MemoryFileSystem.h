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
  bool rename(const char* from, const char* to);
  bool makeDirectory(const char* path);
  bool remove(const char* path);
  bool findFirst(const char* pattern) const;

  struct Node;  // a file or folder of the tree

 private:
  std::string key(const char* path) const;  // the path inside the tree
  bool parentIsDirectory(const std::string& key) const;

  std::string prefix_;
  std::map<std::string, std::shared_ptr<Node>> nodes_;
  int64_t failWritesAt_ = -1;
  int64_t failReadsAt_ = -1;
  int64_t shortWritesAt_ = -1;
  MemoryFileSystem* next_ = nullptr;  // the other mounted trees
};

#endif  // MORVANE_PLATFORM_MEMORYFILESYSTEM_H_
