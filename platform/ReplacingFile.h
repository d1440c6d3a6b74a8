// A file written whole or not at all. The bytes go to a new temporary file
// beside the target, which replaces the target in one rename once it is
// complete; until then, and whenever anything fails, the target stays as it
// was. Whoever opens the target sees the old file or the new one, never a
// part of either.
//
//   ReplacingFile out(path);
//   if (!out.opened() || !out.write(bytes, n) || !out.commit()) fail;
//
// The temporary file is "<name>~N<extension>" in the target's folder, N
// from 0 to 9, created new (a file already there under such a name is never
// touched), and removed again when the file is not committed.

#ifndef MORVANE_PLATFORM_REPLACINGFILE_H_
#define MORVANE_PLATFORM_REPLACINGFILE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

class ReplacingFile {
 public:
  // Creates the temporary file for target (a module path). opened() is
  // false when it cannot be: no temporary name fits 259 bytes, the folder is
  // missing or refuses new files.
  explicit ReplacingFile(const std::string& target);
  // Without commit(), removes the temporary file.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool opened() const { return !temporary_.empty(); }
  const std::string& temporaryPath() const { return temporary_; }

  // Appends bytes; false when they could not all be written (then every
  // later write and commit() fail too).
  bool write(const void* bytes, int64_t size);
  bool write(const std::string& bytes) {
    return write(bytes.data(), static_cast<int64_t>(bytes.size()));
  }

  // Closes the temporary file but keeps it, for a writer that opens the
  // temporary path itself; commit() then renames what it left there.
  void handOver();

  // Closes the temporary file and renames it over the target. False when
  // anything failed on the way; the target is then as it was and the
  // temporary file removed.
  bool commit();

 private:
  std::string target_;
  std::string temporary_;  // empty when there is none (any more)
  std::unique_ptr<PlatformFile> file_;
  bool failed_ = false;
};

#endif  // MORVANE_PLATFORM_REPLACINGFILE_H_
