#include "dataset/Archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A file in memory that can run out of room at a chosen byte (as a full
// disk does: the bytes up to the limit are stored, the write fails), fail
// its close, and hand out reads in small pieces.
class MemoryFile : public PlatformFile {
 public:
  std::vector<unsigned char> bytes;
  int64_t limit = -1;         // bytes the "disk" holds; -1 no limit
  bool failClose = false;
  int64_t readPiece = 1 << 30;  // most bytes one read returns
  bool readError = false;
  size_t readPosition = 0;

  int64_t length() override { return static_cast<int64_t>(bytes.size()); }

  int64_t read(void* buffer, int64_t count) override {
    if (readError) return -1;
    int64_t left = static_cast<int64_t>(bytes.size() - readPosition);
    int64_t n = std::min(std::min(count, left), readPiece);
    std::memcpy(buffer, bytes.data() + readPosition, static_cast<size_t>(n));
    readPosition += static_cast<size_t>(n);
    return n;
  }

  bool write(const void* buffer, int64_t count) override {
    const unsigned char* in = static_cast<const unsigned char*>(buffer);
    int64_t room = limit < 0 ? count
                             : std::max<int64_t>(0, limit - static_cast<int64_t>(bytes.size()));
    int64_t n = std::min(count, room);
    bytes.insert(bytes.end(), in, in + n);
    return n == count;
  }

  bool close() override { return !failClose; }
};

std::vector<unsigned char> littleEndian(const std::vector<int32_t>& values) {
  std::vector<unsigned char> out;
  for (int32_t v : values) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) out.push_back((u >> shift) & 0xFF);
  }
  return out;
}

std::vector<int32_t> sampleValues(size_t count) {
  std::vector<int32_t> values;
  for (size_t i = 0; i < count; ++i) {
    values.push_back(static_cast<int32_t>(i * 2654435761u));
  }
  values[0] = INT32_MIN;
  values[count - 1] = INT32_MAX;
  return values;
}

TEST(ArchiveTest, WritesLittleEndianThroughTheBuffer) {
  // Sizes around the 4096-byte buffer: single values and arrays, some
  // larger than the buffer.
  for (size_t count : {1u, 1023u, 1024u, 1025u, 3000u, 5000u}) {
    std::vector<int32_t> values = sampleValues(count);
    MemoryFile file;
    {
      ArchiveWriter out(file);
      out.writeInt32(values[0]);
      out.writeInt32Array(values.data() + 1, count - 1);
      EXPECT_TRUE(out.close()) << count;
    }
    EXPECT_EQ(file.bytes, littleEndian(values)) << count;
  }
}

TEST(ArchiveTest, FailureAtAnyByteIsReportedByClose) {
  const size_t count = 1100;  // 4400 bytes: a full buffer and a flush
  std::vector<int32_t> values = sampleValues(count);
  for (int64_t k = 0; k <= 4400; k += (k < 16 || k > 4080 ? 1 : 97)) {
    MemoryFile file;
    file.limit = k;
    ArchiveWriter out(file);
    for (int32_t v : values) out.writeInt32(v);
    EXPECT_EQ(out.close(), k >= 4400) << k;
    EXPECT_EQ(out.ok(), k >= 4400) << k;
  }
  // Array writes too.
  for (int64_t k : {0, 1, 4095, 4096, 4399}) {
    MemoryFile file;
    file.limit = k;
    ArchiveWriter out(file);
    out.writeInt32Array(values.data(), count);
    EXPECT_FALSE(out.close()) << k;
  }
}

TEST(ArchiveTest, ReadsValuesWhateverPiecesTheFileDelivers) {
  std::vector<int32_t> values = sampleValues(3000);
  for (int64_t piece : {1, 3, 4, 4095, 4096, 5000, 1 << 30}) {
    MemoryFile file;
    file.bytes = littleEndian(values);
    file.readPiece = piece;
    ArchiveReader in(file);
    std::vector<int32_t> got(values.size());
    ASSERT_TRUE(in.readInt32(&got[0]));
    EXPECT_EQ(in.readInt32Array(got.data() + 1, 10), 10u);
    EXPECT_EQ(in.readInt32Array(got.data() + 11, 2989), 2989u) << piece;
    EXPECT_EQ(got, values) << piece;
    EXPECT_TRUE(in.ok());
    int32_t extra = 5;
    EXPECT_FALSE(in.readInt32(&extra));
    EXPECT_EQ(extra, 5);
    EXPECT_FALSE(in.ok());
  }
}

TEST(ArchiveTest, ShortReadIsAFailureAndCountsOnlyWholeValues) {
  std::vector<int32_t> values = sampleValues(2000);
  for (size_t cut : {0u, 1u, 3u, 4u, 5u, 4095u, 4097u, 7999u}) {
    MemoryFile file;
    file.bytes = littleEndian(values);
    file.bytes.resize(cut);
    ArchiveReader in(file);
    std::vector<int32_t> got(2000, 0);
    EXPECT_EQ(in.readInt32Array(got.data(), 2000), cut / 4) << cut;
    EXPECT_FALSE(in.ok());
    for (size_t i = 0; i < cut / 4; ++i) ASSERT_EQ(got[i], values[i]);
  }
  MemoryFile broken;
  broken.bytes = littleEndian({1, 2});
  broken.readError = true;
  ArchiveReader in(broken);
  int32_t v;
  EXPECT_FALSE(in.readInt32(&v));
}

}  // namespace
