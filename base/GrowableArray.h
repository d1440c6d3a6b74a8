// The one container shape the module uses for its variable-length lists:
// the points of a line data set, the registry of open data sets, the rows of
// the panel's list and the label table of the place-name reader.
//
// Elements are plain bytes (trivially copyable). The capacity follows a fixed
// rule (see setSize), which decides how often storage is obtained; how the
// bytes move is the MemoryBlock backend's business.

#ifndef MORVANE_BASE_GROWABLEARRAY_H_
#define MORVANE_BASE_GROWABLEARRAY_H_

#include <cassert>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "platform/MemoryBlock.h"

// The byte size of count elements of elementBytes bytes each, computed in
// Size: the target's size_t, or a narrower type when a 64-bit build checks
// the arithmetic of a 32-bit target. False, *bytes untouched, when count is
// negative or the product does not fit Size: on a 32-bit target 536,870,913
// points of 8 bytes would otherwise wrap to an 8-byte block.
template <typename Size>
constexpr bool checkedByteSize(int64_t count, size_t elementBytes,
                               Size* bytes) {
  static_assert(std::is_unsigned<Size>::value, "a size type");
  if (count < 0 || elementBytes == 0) return false;
  if (static_cast<uint64_t>(count) >
      static_cast<uint64_t>(std::numeric_limits<Size>::max() / elementBytes)) {
    return false;
  }
  *bytes = static_cast<Size>(static_cast<Size>(count) *
                             static_cast<Size>(elementBytes));
  return true;
}

template <typename T>
class GrowableArray {
  static_assert(std::is_trivially_copyable<T>::value,
                "GrowableArray holds plain records");

 public:
  // Growth step 0 means automatic: size / 8, at least 4, at most 1024.
  explicit GrowableArray(int32_t growthStep = 0) : growthStep_(growthStep) {}
  ~GrowableArray() { releaseMemoryBlock(block_); }
  GrowableArray(const GrowableArray&) = delete;
  GrowableArray& operator=(const GrowableArray&) = delete;

  int32_t size() const { return size_; }
  int32_t capacity() const { return capacity_; }
  int32_t growthStep() const { return growthStep_; }
  void setGrowthStep(int32_t step) { growthStep_ = step; }
  bool empty() const { return size_ == 0; }

  T* data() { return static_cast<T*>(block_.base); }
  const T* data() const { return static_cast<const T*>(block_.base); }
  T& operator[](int32_t i) {
    assert(i >= 0 && i < size_);
    return data()[i];
  }
  const T& operator[](int32_t i) const {
    assert(i >= 0 && i < size_);
    return data()[i];
  }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  // Sets the size to n (and, when newGrowthStep >= 0, the growth step first):
  //  - n 0 releases the storage;
  //  - without storage, exactly n elements are obtained;
  //  - within the capacity only the size changes;
  //  - beyond it the capacity becomes capacity + step (or n if larger).
  // New elements are zero bytes. Returns false, changing nothing, when the
  // storage cannot be obtained or its byte size does not fit size_t.
  bool setSize(int32_t n, int32_t newGrowthStep = -1) {
    assert(n >= 0);
    if (newGrowthStep >= 0) growthStep_ = newGrowthStep;
    if (n == 0) {
      release();
      return true;
    }
    int32_t newCapacity = capacity_;
    if (block_.base == nullptr) {
      newCapacity = n;
    } else if (n > capacity_) {
      int64_t step = growthStep_;
      if (step == 0) {
        step = size_ / 8;
        if (step < 4) step = 4;
        if (step > 1024) step = 1024;
      }
      int64_t grown = static_cast<int64_t>(capacity_) + step;
      if (grown < n) grown = n;
      if (grown > INT32_MAX) return false;
      newCapacity = static_cast<int32_t>(grown);
    }
    if (newCapacity != capacity_ || block_.base == nullptr) {
      size_t bytes = 0;
      if (!checkedByteSize<size_t>(newCapacity, sizeof(T), &bytes) ||
          !resizeMemoryBlock(block_, bytes)) {
        return false;
      }
      capacity_ = newCapacity;
    }
    if (n > size_) {
      std::memset(data() + size_, 0,
                  static_cast<size_t>(n - size_) * sizeof(T));
    }
    size_ = n;
    return true;
  }

  // Appends one element; false (nothing changed) when storage runs out.
  bool append(const T& value) {
    if (size_ < capacity_) {  // the usual case: no zero-fill, no call
      data()[size_++] = value;
      return true;
    }
    if (size_ == INT32_MAX || !setSize(size_ + 1)) return false;
    data()[size_ - 1] = value;
    return true;
  }

  // Makes room for n elements (n above the size) in one step, for a reader
  // that knows how many will come: the capacity becomes exactly n, the size
  // and the elements stay. A capacity of n or more already is kept. Returns
  // false, changing nothing, when the storage cannot be obtained.
  bool reserve(int32_t n) {
    assert(n > size_);
    if (n <= capacity_) return true;
    size_t bytes = 0;
    if (!checkedByteSize<size_t>(n, sizeof(T), &bytes) ||
        !resizeMemoryBlock(block_, bytes)) {
      return false;
    }
    capacity_ = n;
    return true;
  }

  // The room after the last element, capacity() - size() elements, to be
  // written in place and then taken in with adopt(). Unlike setSize, nothing
  // is zero-filled first.
  T* room() { return data() + size_; }
  // Takes the next count elements of the room, as they were written there,
  // into the array.
  void adopt(int32_t count) {
    assert(count >= 0 && count <= capacity_ - size_);
    size_ += count;
  }

  // Drops the element at index, moving the later ones down one place.
  void removeAt(int32_t index) {
    assert(index >= 0 && index < size_);
    std::memmove(data() + index, data() + index + 1,
                 static_cast<size_t>(size_ - index - 1) * sizeof(T));
    --size_;
  }

  // Trims the storage to exactly the size (none when the size is 0). A
  // failure to shrink keeps the larger storage, which is harmless.
  void compact() {
    if (capacity_ == size_) return;
    if (size_ == 0) {
      release();
      return;
    }
    // The size's bytes fitted when its storage was obtained.
    size_t bytes = 0;
    if (checkedByteSize<size_t>(size_, sizeof(T), &bytes) &&
        resizeMemoryBlock(block_, bytes)) {
      capacity_ = size_;
    }
  }

  // Releases the storage; size and capacity become 0.
  void release() {
    releaseMemoryBlock(block_);
    size_ = 0;
    capacity_ = 0;
  }

 private:
  MemoryBlock block_;
  int32_t size_ = 0;
  int32_t capacity_ = 0;
  int32_t growthStep_;
};

#endif  // MORVANE_BASE_GROWABLEARRAY_H_
