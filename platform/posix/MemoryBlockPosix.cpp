#include "platform/MemoryBlock.h"

#include <cstdlib>

namespace {
size_t gLimit = 0;
}  // namespace

bool resizeMemoryBlock(MemoryBlock& block, size_t newBytes) {
  if (newBytes == 0) {
    releaseMemoryBlock(block);
    return true;
  }
  if (gLimit != 0 && newBytes > gLimit) return false;
  // glibc's realloc moves large blocks with mremap: growth costs no copy.
  void* grown = std::realloc(block.base, newBytes);
  if (grown == nullptr) return false;
  block.base = grown;
  block.bytes = newBytes;
  block.reserved = newBytes;
  return true;
}

void releaseMemoryBlock(MemoryBlock& block) {
  std::free(block.base);
  block = MemoryBlock();
}

void setMemoryBlockLimitForTesting(size_t limit) { gLimit = limit; }
