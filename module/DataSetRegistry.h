// The open line data sets, in the order they were opened. That order is the
// drawing order (index 0 first, later data sets drawn over earlier ones),
// the order of the close dialog's list and of the reopen list.
//
// The registry owns its data sets: remove() hands one back to the caller,
// empty() and the destructor destroy whatever is still registered. Storage
// grows one slot per append (growth step 1). Single-threaded.

#ifndef MORVANE_MODULE_DATASETREGISTRY_H_
#define MORVANE_MODULE_DATASETREGISTRY_H_

#include <cstdint>
#include <memory>

#include "base/GrowableArray.h"
#include "dataset/LineDataSet.h"

class DataSetRegistry {
 public:
  static constexpr int32_t kGrowthStep = 1;

  DataSetRegistry() = default;
  ~DataSetRegistry() { empty(); }
  DataSetRegistry(const DataSetRegistry&) = delete;
  DataSetRegistry& operator=(const DataSetRegistry&) = delete;

  // Adds the data set at the end and takes ownership. Returns false when the
  // storage cannot grow; the caller then still owns the data set.
  bool append(LineDataSet* dataSet);

  // Drops entry index; the later entries move down one place. The data set
  // is handed back: the caller saves or discards it, then destroys it.
  std::unique_ptr<LineDataSet> remove(int32_t index);

  // Destroys every registered data set (without clearing it first) and
  // releases the storage: count and capacity become 0, growth step 1 again.
  void empty();

  int32_t count() const { return entries_.size(); }
  int32_t capacity() const { return entries_.capacity(); }
  LineDataSet* at(int32_t index) const { return entries_[index]; }

  // The first data set, from index 0 on, whose rowId matches; null if none.
  LineDataSet* find(int32_t rowId) const;
  // Its index, or -1.
  int32_t indexOf(int32_t rowId) const;

 private:
  GrowableArray<LineDataSet*> entries_{kGrowthStep};
};

#endif  // MORVANE_MODULE_DATASETREGISTRY_H_
