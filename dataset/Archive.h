// Buffered streams of little-endian signed 32-bit integers over an open
// PlatformFile, with a 4096-byte buffer so that a field does not cost a
// system call.
//
// Both streams remember their first error: after it, reads fail and writes
// are dropped, and ok() stays false. The file must outlive the stream; the
// stream never closes it.

#ifndef MORVANE_DATASET_ARCHIVE_H_
#define MORVANE_DATASET_ARCHIVE_H_

#include <cstddef>
#include <cstdint>

#include "platform/FileSystem.h"

class ArchiveWriter {
 public:
  static constexpr size_t kBufferSize = 4096;

  explicit ArchiveWriter(PlatformFile& file) : file_(file) {}
  // Flushes what is still buffered, ignoring the result: call close() to
  // learn whether everything was written.
  ~ArchiveWriter() { close(); }
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  void writeInt32(int32_t value);
  // Writes count values from values, in order.
  void writeInt32Array(const int32_t* values, size_t count);

  // Flushes the buffer. True when every write so far reached the file.
  // Later writes are dropped.
  bool close();

  bool ok() const { return ok_; }

 private:
  bool flush();
  void writeBytes(const unsigned char* bytes, size_t count);

  PlatformFile& file_;
  unsigned char buffer_[kBufferSize];
  size_t used_ = 0;
  bool ok_ = true;
  bool closed_ = false;
};

class ArchiveReader {
 public:
  static constexpr size_t kBufferSize = 4096;

  explicit ArchiveReader(PlatformFile& file) : file_(file) {}
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Reads one value. False at the end of the file or on a read error,
  // including a value cut short by the end (a short read is a failure).
  bool readInt32(int32_t* value);

  // Reads up to count values into values and returns how many arrived whole
  // (fewer than count only at the end of the file or on an error, after
  // which ok() is false). A trailing partial value is not counted.
  size_t readInt32Array(int32_t* values, size_t count);

  bool ok() const { return ok_; }

  // Bytes still to be read before the end of the file as its length stands
  // (those already buffered included); -1 when the length is unknown.
  int64_t remainingBytes();

 private:
  // Makes at least one byte available; false at the end or on an error.
  bool fill();

  PlatformFile& file_;
  unsigned char buffer_[kBufferSize];
  size_t begin_ = 0;
  size_t end_ = 0;
  int64_t taken_ = 0;  // bytes read from the file so far
  bool ok_ = true;
};

#endif  // MORVANE_DATASET_ARCHIVE_H_
