// The cache file of a line data set: its display attributes and all its
// points, so that it can be reopened without reading the .e00 file again.
//
// File: <depot folder>\<name>.bin. Every field is a signed 32-bit integer,
// little-endian, two's complement, with nothing between fields: no magic
// number, no checksum, nothing after the last point. Size: 28 + 8 x N bytes.
//
//   offset       field
//   0            header version (written 100; read: anything up to 100)
//   4            line colour, 0x00BBGGRR
//   8            line width
//   12           show-in-3D flag
//   16           visible flag
//   --- point block (writePoints / readPoints) ---
//   20           point block version (written 100; read: up to 100)
//   24           N, the number of points that follow, separators included
//   28 + 8 x i   latitude field of point i (units of 1/36000 degree;
//                kSeparatorLatitude in a separator)
//   32 + 8 x i   longitude field of point i
//
// Points are stored exactly as held in memory, in order, so arcs and their
// separators come back unchanged. N of 0 or less means no points follow.

#ifndef MORVANE_DATASET_CACHEFORMAT_H_
#define MORVANE_DATASET_CACHEFORMAT_H_

#include <cstdint>

namespace cache_format {

constexpr int32_t kHeaderVersion = 100;
constexpr int32_t kPointBlockVersion = 100;

constexpr int64_t kHeaderBytes = 20;      // version and four attributes
constexpr int64_t kPointBlockHeaderBytes = 8;  // version and N
constexpr int64_t kFixedBytes = kHeaderBytes + kPointBlockHeaderBytes;  // 28
constexpr int64_t kPointBytes = 8;

constexpr char kExtension[] = ".bin";

// Size of a file holding n points.
constexpr int64_t fileSize(int64_t n) { return kFixedBytes + kPointBytes * n; }

}  // namespace cache_format

#endif  // MORVANE_DATASET_CACHEFORMAT_H_
