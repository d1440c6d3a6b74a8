// Raw storage for the module's growable arrays.
//
// A MemoryBlock is a run of bytes that can be resized while keeping its
// contents. The backends make growth cheap where the platform allows it:
// the POSIX one relies on realloc (which remaps large blocks instead of
// copying them); the Win32 one reserves address space and commits pages as
// the block fills, so a block that grows by small steps is not copied at
// every step.

#ifndef MORVANE_PLATFORM_MEMORYBLOCK_H_
#define MORVANE_PLATFORM_MEMORYBLOCK_H_

#include <cstddef>

struct MemoryBlock {
  void* base = nullptr;
  size_t bytes = 0;     // bytes usable from base
  size_t reserved = 0;  // backend bookkeeping (address space held)
};

// Makes the block exactly newBytes long, keeping the first
// min(old, new) bytes. newBytes 0 releases the storage. Returns false when
// the storage cannot be obtained; the block is then unchanged.
bool resizeMemoryBlock(MemoryBlock& block, size_t newBytes);

// Releases the storage; the block becomes empty.
void releaseMemoryBlock(MemoryBlock& block);

// For tests: refuse any block larger than limit bytes (0: no limit).
void setMemoryBlockLimitForTesting(size_t limit);

#endif  // MORVANE_PLATFORM_MEMORYBLOCK_H_
