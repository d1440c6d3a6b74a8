// Storage that grows in place. The Windows heap copies a block whenever a
// reallocation cannot be satisfied where it is, and a point list growing by
// 1000-point steps would then be copied at almost every step (quadratic in
// the file size). Here a large block lives in its own reservation of address
// space: growing commits further pages behind the data already there, and
// only when the reservation is used up does the block move, into a new
// reservation at least twice as large. Each byte is thus copied a bounded
// number of times on average.
//
// Small blocks (the registry, the rows, short point lists) stay on the heap,
// where a reservation's 64 KiB granularity would waste address space.
//
// block.reserved is 0 for a heap block and the size of the reservation for a
// reserved one; the committed pages always cover block.bytes rounded up to
// whole pages.

#include "platform/MemoryBlock.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

size_t gLimit = 0;

// Blocks up to this size live on the heap. A build may set it to the largest
// size_t to keep every block on the heap, for comparing the two.
#ifdef MORVANE_HEAP_BLOCK_MAX
constexpr size_t kHeapBlockMax = MORVANE_HEAP_BLOCK_MAX;
#else
constexpr size_t kHeapBlockMax = 256 * 1024;
#endif

struct Granularity {
  size_t page;
  size_t reservation;
};

const Granularity& granularity() {
  static const Granularity g = [] {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return Granularity{info.dwPageSize, info.dwAllocationGranularity};
  }();
  return g;
}

// Rounds up to a multiple of unit (a power of two); 0 when it overflows.
size_t roundUp(size_t bytes, size_t unit) {
  if (bytes > static_cast<size_t>(-1) - (unit - 1)) return 0;
  return (bytes + unit - 1) & ~(unit - 1);
}

bool isReserved(const MemoryBlock& block) { return block.reserved != 0; }

// Makes a reservation of at least bytes (preferring twice oldReserved) with
// its first bytes committed. Returns null when the address space or
// the memory is not available.
void* reserveAndCommit(size_t oldReserved, size_t bytes, size_t* reserved) {
  const size_t unit = granularity().reservation;
  size_t needed = roundUp(bytes, unit);
  if (needed == 0) return nullptr;
  size_t doubled = oldReserved * 2 >= oldReserved ? oldReserved * 2 : 0;
  size_t candidates[2] = {needed > doubled ? needed : roundUp(doubled, unit),
                          needed};
  for (size_t size : candidates) {
    if (size == 0) continue;
    void* base = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
    if (base == nullptr) continue;  // a 32-bit process may lack the room
    if (VirtualAlloc(base, bytes, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
      VirtualFree(base, 0, MEM_RELEASE);
      return nullptr;
    }
    *reserved = size;
    return base;
  }
  return nullptr;
}

// Moves the block into new storage of newBytes: the heap when small, a
// reservation otherwise (twice growFrom when that is larger; growFrom 0 gives
// a reservation of just the size). The block is unchanged on failure.
bool moveBlock(MemoryBlock& block, size_t newBytes, size_t growFrom) {
  void* base = nullptr;
  size_t reserved = 0;
  if (newBytes <= kHeapBlockMax) {
    base = std::malloc(newBytes);
  } else {
    base = reserveAndCommit(growFrom, newBytes, &reserved);
  }
  if (base == nullptr) return false;
  if (block.base != nullptr) {
    std::memcpy(base, block.base,
                block.bytes < newBytes ? block.bytes : newBytes);
  }
  releaseMemoryBlock(block);
  block.base = base;
  block.bytes = newBytes;
  block.reserved = reserved;
  return true;
}

// Grows or shrinks a reserved block inside its reservation.
bool resizeInPlace(MemoryBlock& block, size_t newBytes) {
  const size_t page = granularity().page;
  char* base = static_cast<char*>(block.base);
  size_t committed = roundUp(block.bytes, page);
  size_t wanted = roundUp(newBytes, page);
  if (wanted > committed) {
    if (VirtualAlloc(base + committed, wanted - committed, MEM_COMMIT,
                     PAGE_READWRITE) == nullptr) {
      return false;
    }
  } else if (wanted < committed) {
    // Hands the pages back; the address space stays ours for regrowth.
    VirtualFree(base + wanted, committed - wanted, MEM_DECOMMIT);
  }
  block.bytes = newBytes;
  return true;
}

}  // namespace

bool resizeMemoryBlock(MemoryBlock& block, size_t newBytes) {
  if (newBytes == 0) {
    releaseMemoryBlock(block);
    return true;
  }
  if (gLimit != 0 && newBytes > gLimit) return false;
  if (block.base == nullptr) return moveBlock(block, newBytes, 0);

  if (!isReserved(block)) {
    if (newBytes <= kHeapBlockMax) {
      void* grown = std::realloc(block.base, newBytes);
      if (grown == nullptr) return false;
      block.base = grown;
      block.bytes = newBytes;
      return true;
    }
    return moveBlock(block, newBytes, block.bytes);  // leaves the heap
  }

  if (newBytes > block.reserved) {
    return moveBlock(block, newBytes, block.reserved);
  }
  if (newBytes < block.bytes) {
    // A block trimmed to well under half its reservation (compact after an
    // import) moves to storage of its own size, so that a 32-bit process
    // does not keep address space it will not use. If that is not possible
    // the block just gets smaller where it is.
    size_t needed = roundUp(newBytes, granularity().reservation);
    if (needed != 0 && block.reserved - needed > needed &&
        block.reserved - needed >= (size_t{1} << 20) &&
        moveBlock(block, newBytes, 0)) {
      return true;
    }
  }
  return resizeInPlace(block, newBytes);
}

void releaseMemoryBlock(MemoryBlock& block) {
  if (block.base != nullptr) {
    if (isReserved(block)) {
      VirtualFree(block.base, 0, MEM_RELEASE);
    } else {
      std::free(block.base);
    }
  }
  block = MemoryBlock();
}

void setMemoryBlockLimitForTesting(size_t limit) { gLimit = limit; }
