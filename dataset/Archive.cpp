#include "dataset/Archive.h"

#include <cstring>

namespace {

// The stored form is little-endian. On a little-endian machine (every
// machine the module is built for) values are copied as they are, so whole
// arrays move with one copy; elsewhere every value is swapped.
constexpr bool kHostLittleEndian =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

uint32_t swapBytes(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) |
         (v << 24);
}

void toStoredOrder(int32_t* values, size_t count) {
  if (kHostLittleEndian) return;
  for (size_t i = 0; i < count; ++i) {
    uint32_t u;
    std::memcpy(&u, &values[i], 4);
    u = swapBytes(u);
    std::memcpy(&values[i], &u, 4);
  }
}

}  // namespace

void ArchiveWriter::writeBytes(const unsigned char* bytes, size_t count) {
  if (!ok_ || closed_) {
    ok_ = false;
    return;
  }
  while (count > 0) {
    if (used_ == 0 && count >= kBufferSize) {
      // A whole buffer's worth or more: hand it over without copying.
      size_t direct = count - count % kBufferSize;
      if (!file_.write(bytes, static_cast<int64_t>(direct))) {
        ok_ = false;
        return;
      }
      bytes += direct;
      count -= direct;
      continue;
    }
    size_t n = kBufferSize - used_;
    if (n > count) n = count;
    std::memcpy(buffer_ + used_, bytes, n);
    used_ += n;
    bytes += n;
    count -= n;
    if (used_ == kBufferSize && !flush()) return;
  }
}

bool ArchiveWriter::flush() {
  if (used_ == 0) return ok_;
  bool written = file_.write(buffer_, static_cast<int64_t>(used_));
  used_ = 0;
  if (!written) ok_ = false;
  return ok_;
}

void ArchiveWriter::writeInt32(int32_t value) {
  writeInt32Array(&value, 1);
}

void ArchiveWriter::writeInt32Array(const int32_t* values, size_t count) {
  if (kHostLittleEndian) {
    writeBytes(reinterpret_cast<const unsigned char*>(values), count * 4);
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    int32_t v = values[i];
    toStoredOrder(&v, 1);
    writeBytes(reinterpret_cast<const unsigned char*>(&v), 4);
  }
}

bool ArchiveWriter::close() {
  if (!closed_) {
    if (ok_) flush();
    used_ = 0;
    closed_ = true;
  }
  return ok_;
}

bool ArchiveReader::fill() {
  if (!ok_) return false;
  if (begin_ < end_) return true;
  int64_t n = file_.read(buffer_, static_cast<int64_t>(kBufferSize));
  if (n <= 0) {
    ok_ = false;
    return false;
  }
  begin_ = 0;
  end_ = static_cast<size_t>(n);
  taken_ += n;
  return true;
}

int64_t ArchiveReader::remainingBytes() {
  int64_t length = file_.length();
  if (length < 0) return -1;
  int64_t position = taken_ - static_cast<int64_t>(end_ - begin_);
  return length > position ? length - position : 0;
}

bool ArchiveReader::readInt32(int32_t* value) {
  int32_t v;
  if (readInt32Array(&v, 1) != 1) return false;
  *value = v;
  return true;
}

size_t ArchiveReader::readInt32Array(int32_t* values, size_t count) {
  unsigned char* out = reinterpret_cast<unsigned char*>(values);
  const size_t wanted = count * 4;
  size_t got = 0;
  while (got < wanted && ok_) {
    if (begin_ == end_ && wanted - got >= kBufferSize / 2) {
      // Large requests go straight to their destination once the buffer is
      // drained, saving a copy; the bytes arriving are the same either way.
      int64_t n = file_.read(out + got, static_cast<int64_t>(wanted - got));
      if (n <= 0) {
        ok_ = false;
        break;
      }
      got += static_cast<size_t>(n);
      taken_ += n;
      continue;
    }
    if (!fill()) break;
    size_t n = end_ - begin_;
    if (n > wanted - got) n = wanted - got;
    std::memcpy(out + got, buffer_ + begin_, n);
    begin_ += n;
    got += n;
  }
  size_t whole = got / 4;
  toStoredOrder(values, whole);
  return whole;
}
